// The file behind a ByteSource on Windows: shared with other readers, writers and the loader (a
// running setup.exe reads its own kit; a kit archive may be rebuilt while a reader keeps it), one
// positioned ReadFile per read.
#include <windows.h>

#include "common/errors.h"
#include "common/kitpayload.h"

namespace qp {
namespace {

class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(const std::string& path) {
        h_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
        LARGE_INTEGER size{};
        if (h_ == INVALID_HANDLE_VALUE || !GetFileSizeEx(h_, &size)) {
            if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
            throw IoError("cannot open " + path);
        }
        size_ = static_cast<std::uint64_t>(size.QuadPart);
    }
    ~FileByteSource() override { CloseHandle(h_); }
    std::uint64_t Size() const override { return size_; }
    void ReadAt(std::uint64_t pos, void* buf, std::size_t n) override {
        if (pos > size_ || n > size_ - pos) throw FormatError("read past the end of the file");
        char* p = static_cast<char*>(buf);
        while (n > 0) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(pos);
            at.OffsetHigh = static_cast<DWORD>(pos >> 32);
            DWORD want = static_cast<DWORD>(n > (1u << 30) ? (1u << 30) : n), got = 0;
            if (!ReadFile(h_, p, want, &got, &at) || got == 0) throw IoError("cannot read the file");
            p += got;
            pos += got;
            n -= got;
        }
    }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
    std::uint64_t size_ = 0;
};

}  // namespace

std::unique_ptr<ByteSource> OpenByteSource(const std::string& path) { return std::make_unique<FileByteSource>(path); }

}  // namespace qp
