// Feeds arbitrary bytes to the project-file reader: it must refuse or load, never crash, hang
// or allocate without bound. A loaded document must also write out again.
#include <cstddef>
#include <cstdint>

#include "builder/model/projectfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qp::CDazDoc doc;
    try {
        qp::ReadProjectBytes(doc, data, size, "C:\\proj\\p.qpk");
    } catch (const qp::FormatError&) {
        return 0;
    }
    std::vector<std::uint8_t> again = qp::WriteProjectBytes(doc);
    qp::CDazDoc second;
    qp::ReadProjectBytes(second, again.data(), again.size(), "");
    return 0;
}
