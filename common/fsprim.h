// The file-system primitives that differ between the platforms, one implementation per
// platform (host/ with POSIX calls, win/ with the ANSI Win32 calls), so paths keep their
// code-page bytes on Windows.
#pragma once
#include <string>

namespace qp {

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

}  // namespace qp
