// The portable version-resource reader on hostile PE images. It reads files, so each input
// goes through one temporary file of this process.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/fileinfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/qp-fuzz-peversion-" + std::to_string(getpid()) + ".bin";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    std::string text = "untouched";
    if (qp::FileVersionFromImage(path, &text) == 0 && text != "untouched" && text != "0.0.0.0") __builtin_trap();
    return 0;
}
