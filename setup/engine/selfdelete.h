// Removal of the setup program's own copy after a remove run. A running program cannot delete
// its own file, so a short-lived copy in the temporary folder, started with "QDELETE", waits for
// it to end and deletes it.
#pragma once
#include <string>

namespace qp {

// The helper's command line: the copy's path in double quotes, " QDELETE  ", the handle number,
// " ", the running program's path in double quotes.
std::string QDeleteCommandLine(const std::string& helper_path, unsigned long handle, const std::string& running_path);

#ifdef _WIN32
// At exit of a remove run. `running_path` is the program the user started, held open by the
// process `holder` (null: this process). When it is not the copy in the information folder,
// deletes the copy and the folder; otherwise starts the helper, which waits for `holder`, and
// returns (the caller exits). True when the work is done or handed over.
bool RemoveOwnCopy(const std::string& running_path, const std::string& copy_path, const std::string& info_folder,
                   void* holder = nullptr);

// The helper's side: waits for the process handle `handle_text` (decimal), then deletes `path`
// and removes its folder. Returns 0.
int RunQDelete(const std::string& handle_text, const std::string& path);
#endif

}  // namespace qp
