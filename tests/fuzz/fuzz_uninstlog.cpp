// Feeds arbitrary bytes to the installation log reader: it must refuse or read, never crash.
#include <cstddef>
#include <cstdint>

#include "common/errors.h"
#include "setup/engine/log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        qp::InstallLog log = qp::DecodeLog(data, size);
        auto again = qp::EncodeLog(log);
        (void)again;
    } catch (const qp::FormatError&) {
    }
    return 0;
}
