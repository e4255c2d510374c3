// The file-system primitives that differ between the platforms, one implementation per
// platform (host/ with POSIX calls, win/ with the ANSI Win32 calls), so paths keep their
// code-page bytes on Windows.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace qp {

enum class PathKind { kMissing, kFile, kDirectory, kOther };

// What a path names, as the C runtime's stat sees it, with 64-bit sizes in both builds.
struct PathStat {
    PathKind kind = PathKind::kMissing;  // kOther: a pipe, a socket or a device
    std::uint64_t size = 0;
    std::int64_t mtime = 0;     // seconds since 1970
    std::int64_t mtime_ns = 0;  // the finer part, where the system keeps one (0 on Windows)
    bool Exists() const { return kind != PathKind::kMissing; }
};
// An empty path is missing.
PathStat StatPath(const std::string& path);

bool IsDirectory(const std::string& path);
// Creates one directory; false when it could not be created (it may already exist).
bool MakeDirectory(const std::string& path);
// An existing file that is not a directory.
bool IsFile(const std::string& path);
// An existing ordinary file on a disk: not a directory, a pipe, a socket or a device, any of
// which could block a reader or feed it without end.
bool IsPlainFile(const std::string& path);
// Renames `from` to `to`, replacing a file already at `to` (the C runtime's rename refuses that
// on Windows). False when the rename failed; `from` is then unchanged.
bool RenameOver(const std::string& from, const std::string& to);
// Removes a file, read-only or not. True when nothing is left at the path.
bool RemoveAnyFile(const std::string& path);

// A file made new for writing: the call that finds the name free creates it, so nothing that
// was there is ever opened, and the data and the time go through that one handle.
class NewFile {
public:
    NewFile() = default;
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    ~NewFile() { Close(); }
    // False when the file could not be made; `taken` then tells whether something is there.
    bool Create(const std::string& path, bool* taken = nullptr);
    bool Write(const void* data, std::size_t n);
    // Last-write and last-access time, in seconds since 1970 (UTC).
    bool SetTime(std::int64_t unix_seconds);
    // False when what was written could not be kept. Closing twice does nothing.
    bool Close();

private:
    std::intptr_t handle_ = -1;
};

}  // namespace qp
