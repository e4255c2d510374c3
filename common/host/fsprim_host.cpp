// File-system primitives of the host build.
#include "common/fsprim.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace qp {

PathStat StatPath(const std::string& path) {
    PathStat r;
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0) return r;
    r.kind = S_ISREG(st.st_mode) ? PathKind::kFile : S_ISDIR(st.st_mode) ? PathKind::kDirectory : PathKind::kOther;
    r.size = static_cast<std::uint64_t>(st.st_size);
    r.mtime = static_cast<std::int64_t>(st.st_mtime);
    r.mtime_ns = st.st_mtim.tv_nsec;
    return r;
}

bool IsDirectory(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectory(const std::string& path) {
    return !path.empty() && mkdir(path.c_str(), 0777) == 0;
}

bool IsFile(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool IsPlainFile(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool RenameOver(const std::string& from, const std::string& to) {
    return !from.empty() && !to.empty() && std::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveAnyFile(const std::string& path) {
    struct stat st;
    if (path.empty() || lstat(path.c_str(), &st) != 0) return errno == ENOENT;
    if (std::remove(path.c_str()) == 0) return true;
    chmod(path.c_str(), S_IRUSR | S_IWUSR);
    return std::remove(path.c_str()) == 0 || lstat(path.c_str(), &st) != 0;
}

bool NewFile::Create(const std::string& path, bool* taken) {
    Close();
    const int fd = path.empty() ? -1 : open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (taken) *taken = fd < 0 && errno == EEXIST;
    handle_ = fd;
    return fd >= 0;
}

bool NewFile::Write(const void* data, std::size_t n) {
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t w = write(static_cast<int>(handle_), p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

bool NewFile::SetTime(std::int64_t unix_seconds) {
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(unix_seconds);
    times[0].tv_nsec = times[1].tv_nsec = 0;
    return handle_ >= 0 && futimens(static_cast<int>(handle_), times) == 0;
}

bool NewFile::Close() {
    if (handle_ < 0) return true;
    const bool ok = close(static_cast<int>(handle_)) == 0;
    handle_ = -1;
    return ok;
}

}  // namespace qp
