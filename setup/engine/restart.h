// Restarting the computer at the very end of a run that left files to be replaced.
#pragma once

namespace qp {

// The text shown by the system while it shuts down (six blanks between "press" and "the").
constexpr char kShutdownMessage[] = "Click on the main window and press      the Escape key to cancel shutdown.";

}  // namespace qp
