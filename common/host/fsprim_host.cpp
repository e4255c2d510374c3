// File-system primitives of the host build.
#include "common/fsprim.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdio>

namespace qp {

PathStat StatPath(const std::string& path) {
    PathStat r;
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0) return r;
    r.kind = S_ISREG(st.st_mode) ? PathKind::kFile : S_ISDIR(st.st_mode) ? PathKind::kDirectory : PathKind::kOther;
    r.size = static_cast<std::uint64_t>(st.st_size);
    r.mtime = static_cast<std::int64_t>(st.st_mtime);
    r.mtime_ns = st.st_mtim.tv_nsec;
    return r;
}

bool PathExists(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectory(const std::string& path) {
    return !path.empty() && mkdir(path.c_str(), 0777) == 0;
}

bool IsFile(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool IsPlainFile(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool RenameOver(const std::string& from, const std::string& to) {
    return !from.empty() && !to.empty() && std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace qp
