// The portable half of setup.exe's driver: what the command line asks for, whether the run is a
// first installation or a maintenance run, and the exit status the process ends with.
#pragma once
#include <string>
#include <vector>

namespace qp::setup {

struct CommandLine {
    // "QDELETE" as the first argument: the short-lived process that deletes the uninstaller copy.
    bool qdelete = false;
    std::string qdelete_handle;  // the waited-for process handle, in decimal
    std::string qdelete_path;    // the file to delete

    int mode = -1;           // -1 choose; 0 modify ("-a"); 1 repair ("-r"); 2 remove ("-u")
    bool mode_given = false;  // "-m", "-a", "-r" or "-u" was on the line
    bool silent = false;      // "-s": no window, no message box
    std::string log_path;     // "-log FILE": report lines and errors are appended to FILE
};

// `args` excludes the program name. Switches compare without regard to case; the mode switches
// and "-log" take the argument after them; unknown arguments are ignored.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// Splits a Windows command line into arguments (double quotes group, as the C runtime does for
// the simple cases the uninstall registration produces).
std::vector<std::string> SplitCommandLine(const std::string& line);

// The mode a run works in: -2 for a first installation (no uninstall key), otherwise the
// maintenance mode from the command line, -1 when none was given.
constexpr int kFirstInstall = -2;
int DecideMode(bool uninstall_key_exists, const CommandLine& cl);

// How the run ended, for the exit status.
enum class Outcome {
    StartFailed,  // bad kit, unreadable log, refused operating system
    Cancelled,    // language dialog cancelled, removal declined, Cancel confirmed, abort
    Failed,       // the installation log or the record could not be written: nothing registered
    OtherVersion, // a newer version of the product is installed; nothing was changed
    AnotherRun,   // another run of the product was going; nothing was changed
    Completed,
};

// Exit statuses. 0 only for a run that completed with every file in place.
constexpr int kExitOk = 0;
constexpr int kExitFilesFailed = 1;     // completed, but some files could not be copied
constexpr int kExitCancelled = 1602;    // the user (or an unattended safe answer) stopped it
constexpr int kExitStartFailed = 1603;  // the run could not start
constexpr int kExitFailed = 1603;       // the run failed and was undone
constexpr int kExitAnotherRun = 1618;    // another run of this product is going
constexpr int kExitOtherVersion = 1638;  // another (newer) version of this product is installed
constexpr int kExitRestartNeeded = 3010;  // completed; a restart is needed and was not done

int ExitStatus(Outcome outcome, bool files_failed, bool restart_needed, bool restart_now);

// The command line registered as "QuietUninstallString".
std::string QuietUninstallCommand(const std::string& setup_copy, const std::string& log_path);

}  // namespace qp::setup
