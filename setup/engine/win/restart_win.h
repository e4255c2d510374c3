// Restarting the computer through the system: the shutdown privilege, then the shutdown.
#pragma once
#include <functional>
#include <string>

#include "setup/engine/restart.h"

namespace qp {

// Each step that fails goes to `error` (which shows nothing in the setup program); the steps
// after it still run. `shutdown` starts the system shutdown itself: null means the system's
// InitiateSystemShutdownA (tests pass their own, so that the test machine keeps running).
using ShutdownCall = std::function<bool(const char* message)>;
void RestartComputer(bool nt_family, const std::function<void(const std::string&)>& error,
                     const ShutdownCall& shutdown = nullptr);

}  // namespace qp
