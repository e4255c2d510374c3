// The private copy of setup.exe: made in a folder of its own under the user's temporary folder,
// readable and writable only by the user, the administrators and the system, started, waited
// for, and removed.
#include "setup/setup_start.h"

#include <windows.h>

#include <sddl.h>

#include "setup/engine/privatecopy.h"

namespace qp::setup {
namespace {

constexpr char kFolderPrefix[] = "qp-run-";

std::string TempFolder() {
    char buf[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathA(MAX_PATH, buf);
    if (n == 0 || n > MAX_PATH) return "";
    std::string out(buf, n);
    if (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}

// "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;<user>)": nothing inherited from the
// temporary folder, which on some systems (the Windows folder's Temp) lets every user add files.
std::string PrivateAcl() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return "";
    char buf[256];
    DWORD size = 0;
    std::string sddl;
    if (GetTokenInformation(token, TokenUser, buf, sizeof buf, &size)) {
        char* sid = nullptr;
        if (ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buf)->User.Sid, &sid)) {
            sddl = std::string("D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;") + sid + ")";
            LocalFree(sid);
        }
    }
    CloseHandle(token);
    return sddl;
}

// A new folder that did not exist before (so nobody else can have put anything in it).
std::string MakePrivateFolder() {
    const std::string temp = TempFolder();
    if (temp.empty()) return "";
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, FALSE};
    const std::string sddl = PrivateAcl();
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!sddl.empty() && ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &sd, nullptr))
        sa.lpSecurityDescriptor = sd;
    DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 12);
    std::string made;
    for (int attempt = 0; attempt < 100 && made.empty(); ++attempt) {
        seed = seed * 1664525u + 1013904223u;
        char name[16];
        wsprintfA(name, "%08lx", static_cast<unsigned long>(seed));
        const std::string folder = temp + "\\" + kFolderPrefix + name;
        if (CreateDirectoryA(folder.c_str(), &sa)) made = folder;
        else if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    if (sd) LocalFree(sd);
    return made;
}

std::string OwnPath() {
    char buf[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? std::string() : std::string(buf, n);
}

// Deletes the copy (its image may stay mapped for a moment after its process has ended) and
// the folder.
void RemoveFolder(const std::string& folder, const std::string& copy) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        DeleteFileA(copy.c_str());
        if (RemoveDirectoryA(folder.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
            GetLastError() == ERROR_PATH_NOT_FOUND)
            return;
        Sleep(100);
    }
}

}  // namespace

bool RunPrivateCopy(const std::string& kit_folder, const std::string& user_arguments, int& status) {
    const std::string started = OwnPath();
    if (started.empty()) return false;
    const std::string folder = MakePrivateFolder();
    if (folder.empty()) return false;
    const std::string copy = folder + "\\setup.exe";
    if (!CopyFileA(started.c_str(), copy.c_str(), TRUE)) {
        RemoveFolder(folder, copy);
        return false;
    }
    // Held open with delete-on-close and not inherited: should this process be killed, the
    // system deletes the copy once the copy has ended too; the next run removes the empty folder.
    HANDLE keep = CreateFileA(copy.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    HANDLE self = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0);
    std::string line = PrivateCopyCommandLine(copy, static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(self)),
                                              started, kit_folder, user_arguments);
    STARTUPINFOA si{};
    GetStartupInfoA(&si);  // the window state the user's shell asked for
    si.cb = sizeof si;
    si.lpReserved = nullptr;
    si.lpDesktop = nullptr;
    si.lpTitle = nullptr;
    si.cbReserved2 = 0;
    si.lpReserved2 = nullptr;
    PROCESS_INFORMATION pi{};
    const BOOL started_ok = CreateProcessA(copy.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    if (self) CloseHandle(self);
    if (!started_ok) {
        if (keep != INVALID_HANDLE_VALUE) CloseHandle(keep);
        RemoveFolder(folder, copy);
        return false;
    }
    AllowSetForegroundWindow(pi.dwProcessId);
    CloseHandle(pi.hThread);
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    if (!GetExitCodeProcess(pi.hProcess, &code)) code = 1603;
    CloseHandle(pi.hProcess);
    if (keep != INVALID_HANDLE_VALUE) CloseHandle(keep);
    RemoveFolder(folder, copy);
    status = static_cast<int>(code);
    return true;
}

void SweepStalePrivateCopies() {
    const std::string temp = TempFolder();
    if (temp.empty()) return;
    FILETIME now_ft;
    GetSystemTimeAsFileTime(&now_ft);
    const ULONGLONG now = (ULONGLONG(now_ft.dwHighDateTime) << 32) | now_ft.dwLowDateTime;
    const ULONGLONG minute = 60ull * 10000000ull;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((temp + "\\" + kFolderPrefix + "*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        // A folder being set up right now by another start is left alone.
        const ULONGLONG made = (ULONGLONG(fd.ftCreationTime.dwHighDateTime) << 32) | fd.ftCreationTime.dwLowDateTime;
        if (made + minute > now) continue;
        // The copy's file goes by itself when its last holder ends (see RunPrivateCopy), so a
        // folder still holding something belongs to a run still going.
        RemoveDirectoryA((temp + "\\" + fd.cFileName).c_str());
    } while (FindNextFileA(find, &fd));
    FindClose(find);
}

}  // namespace qp::setup
