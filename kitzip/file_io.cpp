// 64-bit stdio file for the zip writer.
#include "kitzip/file_io.h"

#include "common/errors.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kitzip {

File::File(const std::string& path, const char* mode) : path_(path) {
    f_ = std::fopen(path.c_str(), mode);
    if (!f_) throw qp::IoError("cannot open " + path);
}

File::~File() {
    if (f_) std::fclose(f_);
}

void File::Seek(std::uint64_t pos) {
#ifdef _WIN32
    int rc = _fseeki64(f_, static_cast<long long>(pos), SEEK_SET);
#else
    int rc = fseeko(f_, static_cast<off_t>(pos), SEEK_SET);
#endif
    if (rc != 0) throw qp::IoError("cannot seek in " + path_);
}

std::uint64_t File::Tell() {
#ifdef _WIN32
    long long pos = _ftelli64(f_);
#else
    long long pos = ftello(f_);
#endif
    if (pos < 0) throw qp::IoError("cannot tell the position in " + path_);
    return static_cast<std::uint64_t>(pos);
}

std::size_t File::ReadSome(void* buf, std::size_t n) {
    std::size_t got = std::fread(buf, 1, n, f_);
    if (got < n && std::ferror(f_)) throw qp::IoError("cannot read " + path_);
    return got;
}

void File::ReadExact(void* buf, std::size_t n) {
    if (ReadSome(buf, n) != n) throw qp::IoError("unexpected end of " + path_);
}

void File::Write(const void* buf, std::size_t n) {
    if (n && std::fwrite(buf, 1, n, f_) != n) throw qp::IoError("cannot write " + path_);
}

void File::Truncate(std::uint64_t size) {
    if (std::fflush(f_) != 0) throw qp::IoError("cannot write " + path_);
#ifdef _WIN32
    int rc = _chsize_s(_fileno(f_), static_cast<long long>(size));
#else
    int rc = ftruncate(fileno(f_), static_cast<off_t>(size));
#endif
    if (rc != 0) throw qp::IoError("cannot set the size of " + path_);
}

void File::Close() {
    if (!f_) return;
    int rc = std::fclose(f_);
    f_ = nullptr;
    if (rc != 0) throw qp::IoError("cannot write " + path_);
}

}  // namespace kitzip
