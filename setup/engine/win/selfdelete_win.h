// The uninstaller's own copy removed after a remove run, and the helper that does it.
#pragma once
#include <string>

#include "setup/engine/selfdelete.h"

namespace qp {

// At exit of a remove run. `running_path` is the program the user started, held open by the
// process `holder` (null: this process). When it is not the copy in the information folder,
// deletes the copy and the folder; otherwise starts the helper, which waits for `holder`, and
// returns (the caller exits). True when the work is done or handed over.
bool RemoveOwnCopy(const std::string& running_path, const std::string& copy_path, const std::string& info_folder,
                   void* holder = nullptr);

// The helper's side: waits for the process handle `handle_text` (decimal), then deletes `path`
// and removes its folder. Returns 0.
int RunQDelete(const std::string& handle_text, const std::string& path);

}  // namespace qp
