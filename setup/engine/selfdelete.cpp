// The command line of the self-deletion helper.
#include "setup/engine/selfdelete.h"

namespace qp {

std::string QDeleteCommandLine(const std::string& helper_path, unsigned long handle, const std::string& running_path) {
    // Quoted: the temporary folder may hold blanks, and unquoted the system would look for a
    // program at the first of them.
    return "\"" + helper_path + "\" QDELETE  " + std::to_string(handle) + " \"" + running_path + "\"";
}

}  // namespace qp
