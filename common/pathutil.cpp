// Path helpers and whole-path directory creation.
#include "common/pathutil.h"

#include <cstring>

#include "common/fsprim.h"

namespace qp {
namespace {

const char kCreateFailedCaption[] = "Failed to create directory";
// Deeper paths than this are not real: no file system nests this far in 260 or so bytes.
const int kMaxCreateDepth = 999;

// Position of the k-th separator of either kind, or npos.
std::size_t NthSeparator(const std::string& path, int k) {
    int count = 0;
    for (std::size_t i = 0; i < path.size(); ++i)
        if (IsPathSeparator(path[i]) && ++count == k) return i;
    return std::string::npos;
}

}  // namespace

int NthBackslash(const char* text, int n) {
    if (!text || n < 1) return -1;
    int count = 0;
    for (int i = 0; text[i]; ++i)
        if (text[i] == '\\' && ++count == n) return i;
    return -1;
}

int NthBackslash(const std::string& text, int n) { return NthBackslash(text.c_str(), n); }

void StripTrailingBackslashes(std::string& text) {
    while (!text.empty() && text.back() == '\\') text.pop_back();
}

void StripTrailingBackslashes(char* text) {
    if (!text) return;
    std::size_t n = std::strlen(text);
    while (n > 0 && text[n - 1] == '\\') text[--n] = '\0';
}

bool CreateDirectoryPath(const std::string& path, Reporter& reporter) {
    const std::string native = HostPath(path);
    if (IsDirectory(native)) return true;
    for (int k = 1; k <= kMaxCreateDepth; ++k) {
        std::size_t cut = NthSeparator(native, k);
        if (cut == std::string::npos) {
            // A path ending in a separator fails this last creation although every directory
            // is there; what counts is whether the directory exists now.
            if (MakeDirectory(native) || IsDirectory(native)) return true;
            reporter.Report(Severity::Error, path, kCreateFailedCaption);
            return false;
        }
        // Each ancestor in turn; the drive or root part fails harmlessly.
        MakeDirectory(native.substr(0, cut));
    }
    if (IsDirectory(native)) return true;
    reporter.Report(Severity::Error, path, kCreateFailedCaption);
    return false;
}

void SplitFolderName(const std::string& path, std::string* folder, std::string* name) {
    std::size_t pos = path.find_last_of("\\/");
    if (pos == std::string::npos) {
        if (folder) folder->clear();
        if (name) *name = path;
        return;
    }
    // Copy before assigning: `path` may be one of the outputs.
    std::string f = path.substr(0, pos), n = path.substr(pos + 1);
    if (folder) *folder = std::move(f);
    if (name) *name = std::move(n);
}

std::string FolderOf(const std::string& path) {
    std::string folder;
    SplitFolderName(path, &folder, nullptr);
    return folder;
}

std::string NameOf(const std::string& path) {
    std::string name;
    SplitFolderName(path, nullptr, &name);
    return name;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    std::string out = folder;
    if (!IsPathSeparator(out.back())) out += kPathSeparator;
    std::size_t skip = 0;
    while (skip < name.size() && IsPathSeparator(name[skip])) ++skip;
    out.append(name, skip, std::string::npos);
    return out;
}

std::vector<std::string> MissingFolders(const std::string& path, const std::function<bool(const std::string&)>& exists) {
    std::vector<std::string> out;
    std::string p = path;
    for (;;) {
        while (p.size() > 1 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
        // "C:", "\\server\share" and "" end the walk: none of them is a folder to make.
        if (p.empty() || (p.size() == 2 && p[1] == ':')) break;
        if (p.size() >= 2 && (p[0] == '\\' || p[0] == '/') && (p[1] == '\\' || p[1] == '/')) {
            const std::size_t server_end = p.find_first_of("\\/", 2);
            if (server_end == std::string::npos || p.find_first_of("\\/", server_end + 1) == std::string::npos) break;
        }
        if (exists(p)) break;
        out.push_back(p);
        const std::size_t cut = p.find_last_of("\\/");
        if (cut == std::string::npos || cut == 0) break;
        p.resize(cut);
    }
    return out;
}

std::string NearestExistingFolder(const std::string& path, const std::function<bool(const std::string&)>& exists) {
    const std::vector<std::string> missing = MissingFolders(path, exists);
    std::string p = missing.empty() ? path : FolderOf(missing.back());
    while (p.size() > 1 && IsPathSeparator(p.back())) p.pop_back();
    if (p.size() == 2 && p[1] == ':') p += '\\';
    return !p.empty() && exists(p) ? p : std::string();
}

std::string HostPath(const std::string& path) {
#ifdef _WIN32
    return path;
#else
    std::string out = path;
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
#endif
}

}  // namespace qp
