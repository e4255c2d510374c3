// Removal of the setup program's own copy after a remove run. A running program cannot delete
// its own file, so a short-lived copy in the temporary folder, started with "QDELETE", waits for
// it to end and deletes it.
#pragma once
#include <string>

namespace qp {

// The helper's command line: the copy's path in double quotes, " QDELETE  ", the handle number,
// " ", the running program's path in double quotes.
std::string QDeleteCommandLine(const std::string& helper_path, unsigned long handle, const std::string& running_path);

}  // namespace qp
