// Path helpers shared by the builder and the setup runtime. Paths are ANSI byte strings.
// Stored paths use '\'; on the host '/' is a separator too, and paths handed to the host's
// file system use its own separator.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "common/report.h"

namespace qp {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// Both separators count where a path is taken apart ('/' is no file-name character on
// Windows either).
inline bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// 0-based position of the n-th backslash (n from 1), or -1 when the text has fewer.
int NthBackslash(const std::string& text, int n);
int NthBackslash(const char* text, int n);

// Removes every trailing backslash; an empty text stays empty.
void StripTrailingBackslashes(std::string& text);
void StripTrailingBackslashes(char* text);

// Creates `path` and every missing ancestor. True when the directory exists afterwards; a
// failure is reported with the path as text and the caption "Failed to create directory".
// A path that ends in a separator is fine: it counts as created when the directory is there.
bool CreateDirectoryPath(const std::string& path, Reporter& reporter);

// The folder part (without its final separator) and the name after the last separator.
// A path without a separator is all name; "\name" has an empty folder.
void SplitFolderName(const std::string& path, std::string* folder, std::string* name);
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

// `folder` and `name` joined with one separator of this platform (none for an empty folder).
std::string JoinPath(const std::string& folder, const std::string& name);

// The folders of `path` that do not exist yet, the path itself first, then each missing parent
// (so that removing them in order removes children before parents); `exists` tells whether a
// folder is there. A drive ("C:") or a share's root is never listed.
std::vector<std::string> MissingFolders(const std::string& path, const std::function<bool(const std::string&)>& exists);

// The nearest folder of `path` that exists: the path itself, else its nearest existing parent
// (a drive's root as "C:"); empty when none of them exists.
std::string NearestExistingFolder(const std::string& path, const std::function<bool(const std::string&)>& exists);

// A path for this platform's file system: on the host every '\' becomes '/'; on Windows the
// path is unchanged.
std::string HostPath(const std::string& path);

}  // namespace qp
