// The system calls under the kit staging (kitstage.cpp), one implementation per platform:
// host/stagesys_host.cpp with POSIX calls, win/stagesys_win.cpp with the C runtime and Win32.
#pragma once
#include <cstdio>
#include <string>

namespace qp {
namespace stagesys {

// What stands at `path`, links not followed.
enum class Entry { kNone, kDirectory, kOther };
Entry LookAt(const std::string& path);
bool IsLink(const std::string& path);
// Creates one folder; false with errno set (EEXIST when anything, a link included, stands there).
bool MakeDir(const std::string& path);
bool RemoveDir(const std::string& path);
// A link at `path` is removed as a link; a file as a file.
bool RemoveEntry(const std::string& path);

// See CreateNewFile in kitstage.h.
std::FILE* CreateNew(const std::string& path);
// Opens `path` for binary reading, without waiting on a pipe, and looks at it again through
// the open file. Null with `regular` false when it is no regular file; null with errno set
// when it cannot be opened.
std::FILE* OpenRegular(const std::string& path, bool& regular);

// One attempt at the lock file `path`: true when it is held, false when another build holds
// it; KitError when it cannot be made or locked. The handle (Windows) or descriptor (host) is
// kept in `handle` / `fd` across attempts and released by Unlock.
bool TryLock(const std::string& path, void*& handle, int& fd);
void Unlock(void* handle, int fd);

}  // namespace stagesys
}  // namespace qp
