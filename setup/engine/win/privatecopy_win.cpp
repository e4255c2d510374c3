// Private temporary folders for the programs the runtime starts from a copy of itself.
#include "setup/engine/win/privatecopy_win.h"

#include <windows.h>

#include <sddl.h>

#include "common/win/widen.h"

namespace qp {
namespace {

// "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;<user>)": protected, nothing inherited.
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

}  // namespace

std::string TempFolder() {
    wchar_t buf[MAX_PATH + 2] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, buf);
    if (n == 0 || n > MAX_PATH + 1) return "";
    // A user name in another script than the system's: the short form of the folder.
    std::string out = AnsiPath(std::u16string(reinterpret_cast<const char16_t*>(buf), n));
    if (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}

std::string MakePrivateFolder(const char* prefix) {
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
        const std::string folder = temp + "\\" + prefix + name;
        // Fails when the name is taken, by a folder or by anything else: never an old folder.
        if (CreateDirectoryA(folder.c_str(), &sa)) made = folder;
        else if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    if (sd) LocalFree(sd);
    return made;
}

void RemovePrivateFolder(const std::string& folder, const std::string& file) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        DeleteFileA(file.c_str());
        if (RemoveDirectoryA(folder.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
            GetLastError() == ERROR_PATH_NOT_FOUND)
            return;
        Sleep(100);
    }
}

void SweepStalePrivateFolders() {
    const std::string temp = TempFolder();
    if (temp.empty()) return;
    FILETIME now_ft;
    GetSystemTimeAsFileTime(&now_ft);
    const ULONGLONG now = (ULONGLONG(now_ft.dwHighDateTime) << 32) | now_ft.dwLowDateTime;
    const ULONGLONG minute = 60ull * 10000000ull;
    for (const char* prefix : {kPrivateFolderPrefix, kHelperFolderPrefix}) {
        // A private copy's folder being set up right now by another start is left alone; a
        // helper's is never empty before its helper ends (but for the moment before the copy
        // is in it, which its maker tries again after).
        const ULONGLONG guard = prefix == kPrivateFolderPrefix ? minute : 0;
        WIN32_FIND_DATAA fd;
        HANDLE find = FindFirstFileA((temp + "\\" + prefix + "*").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            // A link is never followed, nor removed: it is not ours.
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
                (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                continue;
            const ULONGLONG made =
                (ULONGLONG(fd.ftCreationTime.dwHighDateTime) << 32) | fd.ftCreationTime.dwLowDateTime;
            if (made + guard > now) continue;
            RemoveDirectoryA((temp + "\\" + fd.cFileName).c_str());
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
}

}  // namespace qp
