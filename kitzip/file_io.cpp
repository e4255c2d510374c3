// 64-bit stdio file for the zip writer.
#include "kitzip/file_io.h"

#include "common/errors.h"
#include "kitzip/file_sys.h"

namespace kitzip {

File::File(const std::string& path, const char* mode) : path_(path) {
    f_ = std::fopen(path.c_str(), mode);
    if (!f_) throw qp::IoError("cannot open " + path);
}

File::~File() {
    if (f_) std::fclose(f_);
}

void File::Seek(std::uint64_t pos) {
    int rc = sys::Seek(f_, pos);
    if (rc != 0) throw qp::IoError("cannot seek in " + path_);
}

std::uint64_t File::Tell() {
    long long pos = sys::Tell(f_);
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
    int rc = sys::Resize(f_, size);
    if (rc != 0) throw qp::IoError("cannot set the size of " + path_);
}

void File::Close() {
    if (!f_) return;
    int rc = std::fclose(f_);
    f_ = nullptr;
    if (rc != 0) throw qp::IoError("cannot write " + path_);
}

}  // namespace kitzip
