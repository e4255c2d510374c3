// Whole-file reading and writing with the C runtime's stdio, for the setup runtime and the
// builder alike. Kept free of iostreams and std::filesystem: they drag hundreds of kilobytes
// of locale code into setup.exe for no gain over fread and fwrite.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qp {

enum class FileResult {
    kOk,
    kCannotOpen,     // the file (for writing: the temporary beside it) could not be opened
    kCannotRead,     // a read failed, or the file is larger than the limit
    kCannotWrite,    // a write or the close failed; the temporary is gone again
    kCannotReplace,  // the complete temporary could not take the target's place; it is gone again
};

// Reads the whole of `path` into `out`. Only an ordinary file is opened (a directory, pipe or
// device gives kCannotOpen). A file larger than `limit` bytes is refused (kCannotRead)
// rather than read in part, so a reader never sees a cut file as if it were whole.
FileResult ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out,
                         std::size_t limit = static_cast<std::size_t>(-1) / 2);

// Writes `size` bytes to `path` + `temp_suffix` and renames that over `path` only when it is
// complete, so a failed write never leaves a half-written target behind.
FileResult WriteFileReplacing(const std::string& path, const void* data, std::size_t size,
                              const std::string& temp_suffix = ".tmp");

// Removes a file; true when it was removed.
bool RemoveFile(const std::string& path);

}  // namespace qp
