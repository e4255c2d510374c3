// Learning the install context from the system.
#include "setup/engine/win/context_win.h"

#include <windows.h>
#include <shlobj.h>

#include "common/win/widen.h"
#include "setup/engine/osmask.h"

namespace qp {

namespace {

std::string SpecialFolder(int csidl) {
    char buf[MAX_PATH + 1] = {};
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) || !pidl) return "";
    std::string out;
    if (SHGetPathFromIDListA(pidl, buf)) out = buf;
    CoTaskMemFree(pidl);
    return out;
}

int ReadRegisteredValue(bool nt_family, const char* name, std::string& out) {
    const char* key = nt_family ? "Software\\Microsoft\\Windows NT\\CurrentVersion"
                                : "Software\\Microsoft\\Windows\\CurrentVersion";
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return 0;
    char buf[261] = {};
    DWORD size = 260, type = 0;
    if (RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ))
        out = std::string(buf, strnlen(buf, 260));
    RegCloseKey(h);
    return 1;
}

// The system's folder for programs of this process's architecture: the shell's, else the
// "ProgramFilesDir" value of the registry view this process sees (a 32-bit program on 64-bit
// Windows gets "Program Files (x86)" from both), else the old guess from the system drive.
// The name differs between languages of Windows, so it is never put together by hand first.
std::string ProgramFilesFolder(const std::string& system_folder) {
    std::string folder = SpecialFolder(CSIDL_PROGRAM_FILES);
    if (folder.empty()) {
        HKEY h;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &h) ==
            ERROR_SUCCESS) {
            char buf[MAX_PATH + 1] = {};
            DWORD size = MAX_PATH, type = 0;
            if (RegQueryValueExA(h, "ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) ==
                    ERROR_SUCCESS &&
                (type == REG_SZ || type == REG_EXPAND_SZ))
                folder.assign(buf, strnlen(buf, MAX_PATH));
            RegCloseKey(h);
        }
    }
    if (folder.empty()) folder = system_folder.substr(0, 2) + "\\Program Files";
    return WithoutTrailingBackslash(folder);
}

}  // namespace

int DetectOperatingSystem(bool* nt_family) {
    OSVERSIONINFOEXA ex = {};
    ex.dwOSVersionInfoSize = sizeof ex;
    OSVERSIONINFOA* info = reinterpret_cast<OSVERSIONINFOA*>(&ex);
    if (!GetVersionExA(info)) {
        OSVERSIONINFOA basic = {};
        basic.dwOSVersionInfoSize = sizeof basic;
        if (!GetVersionExA(&basic)) return 0;
        *info = basic;
    }
    OsPlatform platform = OsPlatform::Win32s;
    if (info->dwPlatformId == VER_PLATFORM_WIN32_NT) platform = OsPlatform::Nt;
    if (info->dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) platform = OsPlatform::Win9x;
    if (nt_family) *nt_family = platform == OsPlatform::Nt;
    return OsCodeFromVersion(platform, info->dwMajorVersion, info->dwMinorVersion);
}

InstallContext DetectInstallContext() {
    InstallContext c;
    char buf[MAX_PATH + 1] = {};
    c.own_path = OwnProgramPath();
    c.started_path = c.own_path;
    auto pos = c.own_path.rfind('\\');
    c.kit_folder = pos == std::string::npos ? c.own_path : c.own_path.substr(0, pos);
    c.media_folder = c.kit_folder;
    UINT len = GetSystemDirectoryA(buf, MAX_PATH);
    c.system_folder.assign(buf, len <= MAX_PATH ? len : 0);
    len = GetWindowsDirectoryA(buf, MAX_PATH);
    c.windows_folder.assign(buf, len <= MAX_PATH ? len : 0);
    c.program_files = ProgramFilesFolder(c.system_folder);
    c.os_code = DetectOperatingSystem(&c.nt_family);
    const int user[4] = {CSIDL_DESKTOPDIRECTORY, CSIDL_STARTMENU, CSIDL_PROGRAMS, CSIDL_STARTUP};
    const int common[4] = {CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS,
                           CSIDL_COMMON_STARTUP};
    for (int i = 0; i < 4; ++i) {
        c.user_shell[i] = SpecialFolder(user[i]);
        c.common_shell[i] = SpecialFolder(common[i]);
    }
    return c;
}

int ReadRegisteredOwner(bool nt_family, std::string& out) { return ReadRegisteredValue(nt_family, "RegisteredOwner", out); }

int ReadRegisteredOrganization(bool nt_family, std::string& out) {
    return ReadRegisteredValue(nt_family, "RegisteredOrganization", out);
}

}  // namespace qp
