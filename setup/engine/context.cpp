// Path helpers of the install context.
#include "setup/engine/context.h"

#include <cctype>

namespace qp {

std::string InstallContext::InfoFolder() const {
    return program_files + "\\QPBInformation\\" + product_guid;
}

std::string WithoutTrailingBackslash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace qp
