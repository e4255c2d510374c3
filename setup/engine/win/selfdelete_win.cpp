// Self-deletion of the uninstaller copy through a helper process.
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "common/win/process.h"
#include "setup/engine/context.h"
#include "setup/engine/win/privatecopy_win.h"
#include "setup/engine/win/selfdelete_win.h"

namespace qp {

namespace {

std::string FolderPart(const std::string& path) {
    auto pos = path.rfind('\\');
    return pos == std::string::npos ? std::string() : path.substr(0, pos);
}

std::string NamePart(const std::string& path) {
    auto pos = path.rfind('\\');
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

// The information folder, and the "QPBInformation" folder above it once it is empty.
void RemoveInfoFolder(const std::string& folder) {
    RemoveDirectoryA(folder.c_str());
    const std::string parent = FolderPart(folder);
    if (EqualNoCase(NamePart(parent), kInfoFolderName)) RemoveDirectoryA(parent.c_str());
}

}  // namespace

bool RemoveOwnCopy(const std::string& running_path, const std::string& copy_path, const std::string& info_folder,
                   void* holder) {
    if (!EqualNoCase(running_path, copy_path)) {
        DeleteFileA(copy_path.c_str());
        RemoveInfoFolder(info_folder);
        return true;
    }
    // The helper runs from a private folder of its own, as the private copy does: the
    // temporary folder itself may hold DLLs that anyone put there.
    // A sweep by another run may take the new folder before the copy is in it: a second try.
    std::string folder, helper;
    for (int attempt = 0; attempt < 2 && helper.empty(); ++attempt) {
        folder = MakePrivateFolder(kHelperFolderPrefix);
        if (folder.empty()) return false;
        if (CopyFileA(running_path.c_str(), (folder + "\\setup.exe").c_str(), TRUE)) helper = folder + "\\setup.exe";
        else RemovePrivateFolder(folder, folder + "\\setup.exe");
    }
    if (helper.empty()) return false;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    // The helper inherits this handle; the system deletes the helper's file once the helper,
    // the last holder, has ended.
    HANDLE self_file = CreateFileA(helper.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_DELETE, &inherit, OPEN_EXISTING,
                                   FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    HANDLE process = nullptr;
    if (holder)
        DuplicateHandle(GetCurrentProcess(), static_cast<HANDLE>(holder), GetCurrentProcess(), &process, SYNCHRONIZE,
                        TRUE, 0);
    else
        process = OpenProcess(SYNCHRONIZE, TRUE, GetCurrentProcessId());
    if (!process) {
        if (self_file != INVALID_HANDLE_VALUE) CloseHandle(self_file);
        RemovePrivateFolder(folder, helper);
        return false;
    }
    std::string cmd = QDeleteCommandLine(helper, static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(process)),
                                         running_path);
    // The helper inherits those two handles and nothing else: not the uninstaller's output,
    // whose reader would otherwise wait for the helper too, nor any other handle it holds.
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;  // no standard handles of ours
    PROCESS_INFORMATION pi = {};
    // Its current folder is the system's: a process's current folder cannot be removed.
    char system_folder[MAX_PATH + 1] = {};
    const UINT n = GetSystemDirectoryA(system_folder, MAX_PATH);
    const bool started = StartInheritingOnly(helper.c_str(), cmd, {process, self_file}, si, 0,
                                             n > 0 && n <= MAX_PATH ? system_folder : nullptr, pi);
    if (started) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(process);
    if (self_file != INVALID_HANDLE_VALUE) CloseHandle(self_file);
    if (!started) RemovePrivateFolder(folder, helper);
    return started;
}

int RunQDelete(const std::string& handle_text, const std::string& path) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(handle_text.c_str(), &end, 10);
    HANDLE process = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value));
    if (value != 0 && end && *end == 0) {
        // Waits without limit: the uninstaller ends once its last window closes.
        WaitForSingleObject(process, INFINITE);
        CloseHandle(process);
    }
    // The file may still be mapped for a moment after its process has ended: asked again in
    // short steps (the uninstall is over only once the file is gone), for five seconds at most.
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) break;
        Sleep(10);
    }
    const std::string folder = FolderPart(path);
    if (!folder.empty()) RemoveInfoFolder(folder);
    // The helper's own folder cannot go while the helper runs from it: empty once the helper
    // has ended, it goes with the next run's sweep (SweepStalePrivateFolders).
    return 0;
}

}  // namespace qp
