// System restart with the shutdown privilege.
#include <windows.h>

#include <vector>

#include "setup/engine/win/restart_win.h"

namespace qp {

namespace {

bool SetShutdownPrivilege(HANDLE token, bool enable) {
    TOKEN_PRIVILEGES tp = {};
    if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &tp.Privileges[0].Luid)) return false;
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
    // AdjustTokenPrivileges succeeds without granting when the user lacks the privilege.
    return GetLastError() == ERROR_SUCCESS;
}

}  // namespace

void RestartComputer(bool nt_family, const std::function<void(const std::string&)>& error,
                     const ShutdownCall& shutdown) {
    auto report = [&](const char* text) {
        if (error) error(text);
    };
    if (!nt_family) {
        ExitWindowsEx(EWX_REBOOT, 0);
        return;
    }
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        report("OpenProcessToken failed.");
        token = nullptr;
    }
    if (!token || !SetShutdownPrivilege(token, true)) report("AdjustTokenPrivileges enable failed.");
    std::vector<char> message(kShutdownMessage, kShutdownMessage + sizeof kShutdownMessage);
    const bool started = shutdown ? shutdown(message.data())
                                  : InitiateSystemShutdownA(nullptr, message.data(), 0, FALSE, TRUE) != 0;
    if (!started) report("InitiateSystemShutdown failed.");
    if (!token || !SetShutdownPrivilege(token, false)) report("AdjustTokenPrivileges disable failed.");
    if (token) CloseHandle(token);
}

}  // namespace qp
