// Finding the definition files of a directory-style project whatever their letter case. The
// projects come from Windows, where "FILE GROUPS\default.fdf" and "File Groups\Default.fdf" are
// the same file; on a case-sensitive file system each level is looked up in its folder.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "builder/model/import.h"
#include "builder/model/items.h"
#include "common/pathutil.h"

namespace qp {

namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

std::vector<std::string> SplitNames(const std::string& relative) {
    std::vector<std::string> names;
    std::string name;
    for (char c : relative) {
        if (c == '\\' || c == '/') {
            if (!name.empty()) names.push_back(name);
            name.clear();
        } else {
            name += c;
        }
    }
    if (!name.empty()) names.push_back(name);
    return names;
}

// The entry of `dir` that equals `name` without regard to case; empty when none does.
std::string FindNoCase(const std::string& dir, const std::string& name) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return std::string();
    std::string best;
    while (dirent* e = ::readdir(d)) {
        std::string entry = e->d_name;
        if (!EqualNoCase(entry, name)) continue;
        // Directory order differs between file systems; the byte order does not.
        if (best.empty() || entry < best) best = entry;
    }
    ::closedir(d);
    return best;
}

}  // namespace

std::string ResolvePathNoCase(const std::string& base, const std::string& relative) {
    std::size_t sep_at = base.find_last_of("\\/");
    const char sep = sep_at == std::string::npos ? kPathSeparator : base[sep_at];
    std::string path = base;
    bool found = true;
    for (const std::string& name : SplitNames(relative)) {
        std::string prefix = path;
        if (!prefix.empty() && prefix.back() != '\\' && prefix.back() != '/') prefix += sep;
        std::string next = prefix + name;
        if (found && !Exists(next) && name != "." && name != "..") {
            std::string match = FindNoCase(path, name);
            if (match.empty()) {
                found = false;  // nothing below a missing folder can be found either
            } else {
                next = prefix + match;
            }
        }
        path = next;
    }
    return path;
}

}  // namespace qp
