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

bool PathExists(const std::string& path) {
    return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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

}  // namespace qp
