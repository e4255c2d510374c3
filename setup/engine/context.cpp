// Path helpers of the install context.
#include "setup/engine/context.h"

#include <cctype>
#include "common/strutil.h"

namespace qp {

std::string InstallContext::InfoFolder() const {
    if (!info_folder.empty()) return info_folder;
    return program_files + "\\" + kInfoFolderName + "\\" + product_guid;
}

std::string InfoFolderOfLog(const std::string& log_file, const std::string& guid) {
    const std::string tail = std::string("\\") + kInfoFolderName + "\\" + guid + "\\uninst.lst";
    if (guid.empty() || log_file.size() < tail.size() + 2 || log_file.size() > 259) return "";
    const unsigned char drive = static_cast<unsigned char>(log_file[0]);
    if (!std::isalpha(drive) || log_file[1] != ':' || log_file[2] != '\\') return "";
    if (!EqualNoCase(log_file.substr(log_file.size() - tail.size()), tail)) return "";
    // Every part between the drive and the tail is a plain name.
    const std::string middle = log_file.substr(2, log_file.size() - tail.size() - 2);
    std::size_t pos = 0;
    while (pos < middle.size()) {
        const std::size_t next = middle.find('\\', pos + 1);
        const std::string part = middle.substr(pos + 1, (next == std::string::npos ? middle.size() : next) - pos - 1);
        if (part.empty() || part == "." || part == ".." || part.find_first_of("/\"<>|?*:") != std::string::npos)
            return "";
        pos = next == std::string::npos ? middle.size() : next;
    }
    return log_file.substr(0, log_file.size() - std::string("\\uninst.lst").size());
}

std::string WithoutTrailingBackslash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

}  // namespace qp
