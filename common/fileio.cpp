// Whole-file helpers on stdio.
#include "common/fileio.h"

#include <cstdio>

#include "common/fsprim.h"

namespace qp {

FileResult ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t limit) {
    out.clear();
    if (path.empty() || !IsPlainFile(path)) return FileResult::kCannotOpen;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return FileResult::kCannotOpen;
    // Read in chunks rather than trusting a size asked beforehand: the file may change, and a
    // size taken from the system is no promise about the bytes that follow.
    unsigned char chunk[16384];
    FileResult result = FileResult::kOk;
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, f);
        if (got > limit - out.size()) {
            result = FileResult::kCannotRead;
            break;
        }
        out.insert(out.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            if (std::ferror(f)) result = FileResult::kCannotRead;
            break;
        }
    }
    std::fclose(f);
    if (result != FileResult::kOk) out.clear();
    return result;
}

FileResult WriteFileReplacing(const std::string& path, const void* data, std::size_t size,
                              const std::string& temp_suffix) {
    const std::string temp = path + temp_suffix;
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return FileResult::kCannotOpen;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        std::remove(temp.c_str());
        return FileResult::kCannotWrite;
    }
    if (!RenameOver(temp, path)) {
        std::remove(temp.c_str());
        return FileResult::kCannotReplace;
    }
    return FileResult::kOk;
}


bool RemoveFile(const std::string& path) { return !path.empty() && std::remove(path.c_str()) == 0; }

}  // namespace qp
