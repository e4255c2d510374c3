// Under Xvfb there is no window manager, and Wine then waits two seconds for one whenever a
// top-level window goes away. Wine reads its "Managed" setting when a process starts, so a test
// program that finds it unset sets it and runs itself once more as a child.
#pragma once
#include <windows.h>

namespace qptest {

inline bool WineWindowsUnmanaged() {
    char value[8] = {};
    DWORD size = sizeof(value);
    HKEY k;
    bool set = false;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, KEY_READ, &k) ==
        ERROR_SUCCESS) {
        set = RegQueryValueExA(k, "Managed", nullptr, nullptr, (BYTE*)value, &size) ==
                  ERROR_SUCCESS &&
              value[0] == 'N';
        RegCloseKey(k);
    }
    if (set) return true;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &k, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(k, "Managed", 0, REG_SZ, (const BYTE*)"N", 2);
        RegCloseKey(k);
    }
    return false;
}

// Call from a static initialiser: returns only in a process that has the setting.
inline int RunWithUnmanagedWindows() {
    // Only under Wine: a real Windows has no such key and no such wait.
    if (!GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) return 0;
    if (WineWindowsUnmanaged()) return 0;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    char* cmd = GetCommandLineA();
    if (!CreateProcessA(nullptr, cmd, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
        return 0;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    ExitProcess(code);
}

}  // namespace qptest
