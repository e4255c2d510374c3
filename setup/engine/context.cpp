// Path helpers of the install context.
#include "setup/engine/context.h"

#include <cctype>
#include "common/strutil.h"

namespace qp {

std::string InstallContext::InfoFolder() const {
    return program_files + "\\QPBInformation\\" + product_guid;
}

std::string WithoutTrailingBackslash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

}  // namespace qp
