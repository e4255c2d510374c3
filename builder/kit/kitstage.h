// Where a kit is made before it is a kit: a staging folder beside the kit directory, filled
// with files created afresh, and moved into place only when the build is complete; a lock that
// keeps two builds of one kit apart. A failed or interrupted build leaves the previous kit as
// it was.
#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace qp {

// The system's own words for an error number (errno, or a Windows error code on Windows).
std::string SystemErrorText(int code);

// One build of the kit `name` below `root` at a time. Held until destroyed; the system drops
// it when the process ends, so a killed build leaves no lock behind.
class KitLock {
public:
    // Waits up to `wait_ms` for another build of the same kit to finish; KitError when the
    // lock could not be had.
    static std::unique_ptr<KitLock> Acquire(const std::string& root, const std::string& name, int wait_ms);
    ~KitLock();
    KitLock(const KitLock&) = delete;
    KitLock& operator=(const KitLock&) = delete;

private:
    KitLock() = default;
    void* handle_ = nullptr;  // Windows
    int fd_ = -1;             // host
};

// A new, empty staging folder beside `kit_dir` (in the same root, so that the move into place
// is a rename). Removed with everything in it unless committed.
class KitStage {
public:
    // Also removes what interrupted builds of the same kit left behind; call it with the lock
    // held. KitError when no staging folder can be made.
    void Create(const std::string& root, const std::string& name);
    ~KitStage();

    const std::string& dir() const { return dir_; }
    // Puts the staging folder in the place of `kit_dir`; the previous kit (whatever stood there,
    // a link included, which is replaced and not followed) is removed afterwards. KitError
    // leaves the previous kit in place.
    void Commit(const std::string& kit_dir);

private:
    std::string root_, name_, dir_;
    bool committed_ = false;
};

// Opens `path` for binary writing only if nothing stands there yet (not even a link); null,
// with errno set, otherwise.
std::FILE* CreateNewFile(const std::string& path);

// Copies the regular file `from` to the new file `to` (created as CreateNewFile does). A
// source that is no regular file (a folder, a pipe, a device) is refused before it is read.
// IoError says why it failed.
void CopyToNewFile(const std::string& from, const std::string& to);

// Writes `size` bytes to the new file `path`; IoError says why it failed.
void WriteNewFile(const std::string& path, const void* data, std::size_t size);

}  // namespace qp
