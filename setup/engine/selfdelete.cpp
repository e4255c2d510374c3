// The command line of the self-deletion helper.
#include "setup/engine/selfdelete.h"

namespace qp {

std::string QDeleteCommandLine(const std::string& helper_path, unsigned long handle, const std::string& running_path) {
    return helper_path + " QDELETE  " + std::to_string(handle) + " \"" + running_path + "\"";
}

}  // namespace qp
