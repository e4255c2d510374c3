// Command line, mode decision and exit status of setup.exe.
#include "setup/engine/driver.h"

#include <cctype>

namespace qp::setup {
namespace {

std::string Lower(std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    if (!args.empty() && Lower(args[0]) == "qdelete") {
        cl.qdelete = true;
        if (args.size() > 1) cl.qdelete_handle = args[1];
        if (args.size() > 2) cl.qdelete_path = args[2];
        return cl;
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string a = Lower(args[i]);
        int mode = -3;
        if (a == "-m") mode = -1;
        else if (a == "-a") mode = 0;
        else if (a == "-r") mode = 1;
        else if (a == "-u") mode = 2;
        if (mode != -3) {
            cl.mode = mode;
            cl.mode_given = true;
            ++i;  // the log path the uninstall registration passes; the log is found by GUID
        } else if (a == "-s") {
            cl.silent = true;
        } else if (a == "-log") {
            if (i + 1 < args.size()) cl.log_path = args[++i];
        }
    }
    return cl;
}

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string arg;
        bool quoted = false;
        for (; i < line.size(); ++i) {
            const char ch = line[i];
            if (ch == '"') {
                quoted = !quoted;
            } else if ((ch == ' ' || ch == '\t') && !quoted) {
                break;
            } else {
                arg += ch;
            }
        }
        out.push_back(arg);
    }
    return out;
}

int DecideMode(bool uninstall_key_exists, const CommandLine& cl) {
    if (!uninstall_key_exists) return kFirstInstall;
    return cl.mode_given ? cl.mode : -1;
}

int ExitStatus(Outcome outcome, bool files_failed, bool restart_needed, bool restart_now) {
    switch (outcome) {
    case Outcome::StartFailed: return kExitStartFailed;
    case Outcome::Cancelled: return kExitCancelled;
    case Outcome::Failed: return kExitFailed;
    case Outcome::OtherVersion: return kExitOtherVersion;
    case Outcome::AnotherRun: return kExitAnotherRun;
    case Outcome::Completed: break;
    }
    if (files_failed) return kExitFilesFailed;
    if (restart_needed && !restart_now) return kExitRestartNeeded;
    return kExitOk;
}

std::string QuietUninstallCommand(const std::string& setup_copy, const std::string& log_path) {
    return "\"" + setup_copy + "\" -s -u \"" + log_path + "\"";
}

}  // namespace qp::setup
