// The kit staging's system calls in the host build: POSIX, links never followed.
#include "builder/kit/stagesys.h"
#include "builder/kit/kiterror.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "builder/kit/kitstage.h"

namespace qp {

std::string SystemErrorText(int code) { return std::strerror(code); }

namespace stagesys {

Entry LookAt(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return Entry::kNone;
    return S_ISDIR(st.st_mode) ? Entry::kDirectory : Entry::kOther;
}

bool IsLink(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool MakeDir(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

bool RemoveDir(const std::string& path) { return ::rmdir(path.c_str()) == 0; }

bool RemoveEntry(const std::string& path) { return ::unlink(path.c_str()) == 0; }

std::FILE* CreateNew(const std::string& path) {
    // O_EXCL refuses any name that exists, a dangling link included.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f) ::close(fd);
    return f;
}

std::FILE* OpenRegular(const std::string& path, bool& regular) {
    regular = true;
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (regular) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* f = regular ? ::fdopen(fd, "rb") : nullptr;
    if (!f) ::close(fd);
    return f;
}

bool TryLock(const std::string& path, void*&, int& fd) {
    if (fd < 0) {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) throw KitError("cannot create the lock file " + path + ": " + std::strerror(errno));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EWOULDBLOCK || errno == EINTR) return false;
    throw KitError("cannot lock " + path + ": " + std::strerror(errno));
}

void Unlock(void*, int fd) {
    if (fd >= 0) ::close(fd);  // the lock file stays; it is only ever locked, never trusted
}

}  // namespace stagesys
}  // namespace qp
