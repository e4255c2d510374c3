// Telling a killed run's temporary files from everything else in the product's folders.
#include "setup/engine/leftovers.h"

#include <unordered_map>

#include "common/strutil.h"

namespace qp {

bool IsExtractionTempOf(const std::string& name, const std::string& base) {
    const std::size_t n = base.size();
    if (base.empty() || name.size() < n + 4 || name.size() > n + 5) return false;
    if (!EqualNoCase(name.substr(0, n), base) || !EqualNoCase(name.substr(n, 3), ".qz")) return false;
    const std::string digits = name.substr(n + 3);
    for (char c : digits)
        if (c < '0' || c > '9') return false;
    return digits.size() == 1 || digits[0] != '0';
}

std::vector<std::string> InfoFolderTempNames() {
    return {"uninst.lst.new", "written.lst.new", "setup.exe.qpnew", "setup.lst.qpnew"};
}

std::vector<RecordedFolder> RecordedFolders(const WrittenRecord& record) {
    std::vector<RecordedFolder> out;
    std::unordered_map<std::string, std::size_t> index;  // lower-case folder -> place in out
    record.EachFile([&](const WrittenFile& f) {
        const std::size_t slash = f.path.rfind('\\');
        if (slash == std::string::npos || slash == 0 || slash + 1 == f.path.size()) return;
        const std::string folder = f.path.substr(0, slash);
        auto [it, added] = index.emplace(LowerAscii(folder), out.size());
        if (added) out.push_back({folder, {}});
        out[it->second].names.push_back(f.path.substr(slash + 1));
    });
    return out;
}

}  // namespace qp
