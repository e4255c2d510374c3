// The kit staging's system calls in the Windows build: the C runtime where it sets errno,
// Win32 for reparse points, the lock and the system's error texts.
#include "builder/kit/stagesys.h"
#include "builder/kit/kiterror.h"

#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "builder/kit/kitstage.h"

namespace qp {

std::string SystemErrorText(int code) {
    char buf[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(code), 0, buf, sizeof buf, nullptr);
    std::string s(buf, n);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ' || s.back() == '.')) s.pop_back();
    return s.empty() ? "error " + std::to_string(code) : s;
}

namespace stagesys {

Entry LookAt(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return Entry::kNone;
    if ((a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT)) return Entry::kDirectory;
    return Entry::kOther;
}

bool IsLink(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool MakeDir(const std::string& path) { return _mkdir(path.c_str()) == 0; }

bool RemoveDir(const std::string& path) { return _rmdir(path.c_str()) == 0 || RemoveDirectoryA(path.c_str()) != 0; }

bool RemoveEntry(const std::string& path) {
    if (DeleteFileA(path.c_str())) return true;
    return RemoveDirectoryA(path.c_str()) != 0;  // a directory link
}

std::FILE* CreateNew(const std::string& path) {
    int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* f = _fdopen(fd, "wb");
    if (!f) _close(fd);
    return f;
}

std::FILE* OpenRegular(const std::string& path, bool& regular) {
    regular = true;
    int fd = _open(path.c_str(), _O_RDONLY | _O_BINARY);
    if (fd < 0) return nullptr;
    struct _stati64 st;
    regular = _fstati64(fd, &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFREG;
    std::FILE* f = regular ? _fdopen(fd, "rb") : nullptr;
    if (!f) _close(fd);
    return f;
}

bool TryLock(const std::string& path, void*& handle, int&) {
    // No sharing: a second build cannot open the file while the first holds it, and the file
    // goes when its holder closes it or ends.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        handle = h;
        return true;
    }
    DWORD err = GetLastError();
    if (err == ERROR_SHARING_VIOLATION || err == ERROR_ACCESS_DENIED) return false;
    throw KitError("cannot create the lock file " + path + ": " + SystemErrorText(static_cast<int>(err)));
}

void Unlock(void* handle, int) {
    if (handle) CloseHandle(static_cast<HANDLE>(handle));
}

}  // namespace stagesys
}  // namespace qp
