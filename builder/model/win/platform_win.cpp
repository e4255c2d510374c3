// The model's system services on Windows: CoCreateGuid.
#include <windows.h>
#include <objbase.h>

#include <cstring>

#include "builder/model/platform.h"

namespace qp {
namespace sys {

bool NewGuidBytes(std::uint8_t out[16]) {
    GUID g;
    if (CoCreateGuid(&g) != S_OK) return false;
    static_assert(sizeof(GUID) == 16, "GUID layout");
    std::memcpy(out, &g, 16);
    return true;
}

}  // namespace sys
}  // namespace qp
