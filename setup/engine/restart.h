// Restarting the computer at the very end of a run that left files to be replaced.
#pragma once
#include <functional>
#include <string>

namespace qp {

// The text shown by the system while it shuts down (six blanks between "press" and "the").
constexpr char kShutdownMessage[] = "Click on the main window and press      the Escape key to cancel shutdown.";

#ifdef _WIN32
// Each step that fails goes to `error` (which shows nothing in the setup program); the steps
// after it still run. `shutdown` starts the system shutdown itself: null means the system's
// InitiateSystemShutdownA (tests pass their own, so that the test machine keeps running).
using ShutdownCall = std::function<bool(const char* message)>;
void RestartComputer(bool nt_family, const std::function<void(const std::string&)>& error,
                     const ShutdownCall& shutdown = nullptr);
#endif

}  // namespace qp
