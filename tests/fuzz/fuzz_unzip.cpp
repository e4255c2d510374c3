// The setup runtime's zip reader on hostile bytes: parse the directory, look members up by
// name and inflate them into a counting sink.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "setup/engine/unzip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qp::MemoryZipSource source(data, size);
    std::shared_ptr<const qp::ZipCatalog> catalog;
    try {
        catalog = qp::ZipCatalog::Read(source);
    } catch (const std::exception&) {
        return 0;
    }
    std::size_t done = 0;
    for (const qp::ZipEntry& e : catalog->Entries()) {
        if (++done > 16) break;
        const qp::ZipEntry* found = catalog->Find(e.name);
        if (!found) continue;
        std::size_t written = 0;
        try {
            qp::ExtractData(source, *catalog, *found, [&written](const void*, std::size_t n) {
                written += n;
                return written < (1u << 20);  // a bomb stops here instead of running long
            });
        } catch (const std::exception&) {
        }
    }
    return 0;
}
