// 64-bit stdio positions and resizing in the Windows build (the 32-bit runtime's fseek and
// ftell stop at 2 GiB).
#include "kitzip/file_sys.h"

#include <io.h>

namespace kitzip {
namespace sys {

int Seek(std::FILE* f, std::uint64_t pos) { return _fseeki64(f, static_cast<long long>(pos), SEEK_SET); }

long long Tell(std::FILE* f) { return _ftelli64(f); }

int Resize(std::FILE* f, std::uint64_t size) { return _chsize_s(_fileno(f), static_cast<long long>(size)); }

}  // namespace sys
}  // namespace kitzip
