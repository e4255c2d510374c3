// File-system primitives of the Windows build.
#include "common/fsprim.h"

#include <sys/stat.h>
#include <windows.h>

namespace qp {

// The C runtime's stat and not the attribute calls, so that devices and pipes tell themselves
// apart from files the way they do in the host build.
PathStat StatPath(const std::string& path) {
    PathStat r;
    struct _stati64 st;
    if (path.empty() || _stati64(path.c_str(), &st) != 0) return r;
    const unsigned type = st.st_mode & _S_IFMT;
    r.kind = type == _S_IFREG ? PathKind::kFile : type == _S_IFDIR ? PathKind::kDirectory : PathKind::kOther;
    r.size = static_cast<std::uint64_t>(st.st_size);
    r.mtime = static_cast<std::int64_t>(st.st_mtime);
    return r;
}

bool IsDirectory(const std::string& path) {
    if (path.empty()) return false;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeDirectory(const std::string& path) {
    return !path.empty() && CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool IsFile(const std::string& path) {
    if (path.empty()) return false;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsPlainFile(const std::string& path) {
    if (!IsFile(path)) return false;
    // Device names ("NUL", "COM1", "\\.\pipe\...") pass the attribute test; the handle's type
    // tells them from files. Opening for attributes only reads no data and waits for nothing.
    HANDLE h = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool disk = GetFileType(h) == FILE_TYPE_DISK;
    CloseHandle(h);
    return disk;
}

bool RenameOver(const std::string& from, const std::string& to) {
    return !from.empty() && !to.empty() &&
           MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveAnyFile(const std::string& path) {
    if (path.empty()) return false;
    if (DeleteFileA(path.c_str())) return true;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return DeleteFileA(path.c_str()) != 0 || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool NewFile::Create(const std::string& path, bool* taken) {
    Close();
    HANDLE h = path.empty() ? INVALID_HANDLE_VALUE
                            : CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (taken) {
        const DWORD error = h == INVALID_HANDLE_VALUE ? GetLastError() : 0;
        *taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
    }
    handle_ = h == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(h);
    return handle_ != -1;
}

bool NewFile::Write(const void* data, std::size_t n) {
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        DWORD chunk = static_cast<DWORD>(n > (1u << 30) ? (1u << 30) : n), done = 0;
        if (!WriteFile(reinterpret_cast<HANDLE>(handle_), p, chunk, &done, nullptr) || done == 0) return false;
        p += done;
        n -= done;
    }
    return true;
}

bool NewFile::SetTime(std::int64_t unix_seconds) {
    // 100-nanosecond steps since 1601.
    const ULONGLONG ticks = static_cast<ULONGLONG>(unix_seconds) * 10000000ull + 116444736000000000ull;
    FILETIME when{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    return handle_ != -1 && SetFileTime(reinterpret_cast<HANDLE>(handle_), nullptr, &when, &when) != 0;
}

bool NewFile::Close() {
    if (handle_ == -1) return true;
    const bool ok = CloseHandle(reinterpret_cast<HANDLE>(handle_)) != 0;
    handle_ = -1;
    return ok;
}

}  // namespace qp
