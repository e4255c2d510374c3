// 64-bit stdio positions and resizing in the host build.
#include "kitzip/file_sys.h"

#include <sys/types.h>
#include <unistd.h>

namespace kitzip {
namespace sys {

int Seek(std::FILE* f, std::uint64_t pos) { return fseeko(f, static_cast<off_t>(pos), SEEK_SET); }

long long Tell(std::FILE* f) { return ftello(f); }

int Resize(std::FILE* f, std::uint64_t size) { return ftruncate(fileno(f), static_cast<off_t>(size)); }

}  // namespace sys
}  // namespace kitzip
