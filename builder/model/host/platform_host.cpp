// The model's system services on the host: a random version-4 GUID.
#include "builder/model/platform.h"

#include <random>

namespace qp {
namespace sys {

bool NewGuidBytes(std::uint8_t out[16]) {
    try {
        std::random_device rd;
        for (int i = 0; i < 16; i += 4) {
            std::uint32_t v = rd();
            for (int k = 0; k < 4; ++k) out[i + k] = static_cast<std::uint8_t>(v >> (8 * k));
        }
    } catch (...) {
        return false;
    }
    // Version 4 in the high nibble of Data3 (little-endian: byte 7), variant 10xx in Data4[0].
    out[7] = static_cast<std::uint8_t>((out[7] & 0x0F) | 0x40);
    out[8] = static_cast<std::uint8_t>((out[8] & 0x3F) | 0x80);
    return true;
}

}  // namespace sys
}  // namespace qp
