// The file behind a ByteSource in the host build: one pread per read.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/errors.h"
#include "common/kitpayload.h"

namespace qp {
namespace {

class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(const std::string& path) {
        fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st;
        if (fd_ < 0 || fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            if (fd_ >= 0) close(fd_);
            throw IoError("cannot open " + path);
        }
        size_ = static_cast<std::uint64_t>(st.st_size);
    }
    ~FileByteSource() override { close(fd_); }
    std::uint64_t Size() const override { return size_; }
    void ReadAt(std::uint64_t pos, void* buf, std::size_t n) override {
        if (pos > size_ || n > size_ - pos) throw FormatError("read past the end of the file");
        char* p = static_cast<char*>(buf);
        while (n > 0) {
            ssize_t got = pread(fd_, p, n, static_cast<off_t>(pos));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) throw IoError("cannot read the file");
            p += got;
            pos += static_cast<std::uint64_t>(got);
            n -= static_cast<std::size_t>(got);
        }
    }

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

}  // namespace

std::unique_ptr<ByteSource> OpenByteSource(const std::string& path) { return std::make_unique<FileByteSource>(path); }

}  // namespace qp
