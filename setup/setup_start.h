// The first steps of setup.exe, before anything else runs: the DLL search restricted to the
// system folder, and the private copy that the real run happens in (setup/engine/privatecopy.h
// gives its command line and the reasons).
#pragma once
#include <string>

namespace qp::setup {

// The starter's side. Copies the running program into a new private temporary folder, runs the
// copy with `user_arguments` behind the internal arguments, waits for it and removes the copy
// and its folder. `kit_folder` is where the kit's files are. True with the copy's exit status
// in `status`; false when no copy could be made or started (the caller then runs in place).
bool RunPrivateCopy(const std::string& kit_folder, const std::string& user_arguments, int& status);

// Folders of earlier private copies whose starter was killed: removed when nothing in them is
// still running.
void SweepStalePrivateCopies();

}  // namespace qp::setup
