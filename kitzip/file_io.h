// A stdio file with 64-bit positions in both builds (the 32-bit Windows runtime needs the
// _fseeki64 family for archives past 2 GiB). Errors throw qp::IoError.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

namespace kitzip {

class File {
public:
    File(const std::string& path, const char* mode);  // throws qp::IoError
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    void Seek(std::uint64_t pos);
    std::uint64_t Tell();
    // Reads up to n bytes; returns how many (0 at the end). Throws on a read error.
    std::size_t ReadSome(void* buf, std::size_t n);
    void ReadExact(void* buf, std::size_t n);
    void Write(const void* buf, std::size_t n);
    void Write(const std::string& s) { Write(s.data(), s.size()); }
    // Cuts the file at `size` (drops bytes a failed write left past the end).
    void Truncate(std::uint64_t size);
    void Close();  // flushes; throws when the data did not reach the file
    const std::string& Path() const { return path_; }

private:
    std::FILE* f_ = nullptr;
    std::string path_;
};

}  // namespace kitzip
