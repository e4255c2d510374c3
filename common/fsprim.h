// The two file-system primitives that directory creation needs, one implementation per
// platform (host/ with POSIX calls, win/ with the ANSI Win32 calls), so paths keep their
// code-page bytes on Windows.
#pragma once
#include <string>

namespace qp {

bool IsDirectory(const std::string& path);
// Creates one directory; false when it could not be created (it may already exist).
bool MakeDirectory(const std::string& path);

}  // namespace qp
