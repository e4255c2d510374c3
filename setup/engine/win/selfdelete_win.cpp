// Self-deletion of the uninstaller copy through a helper process.
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "setup/engine/context.h"
#include "setup/engine/win/selfdelete_win.h"

namespace qp {

namespace {

std::string FolderPart(const std::string& path) {
    auto pos = path.rfind('\\');
    return pos == std::string::npos ? std::string() : path.substr(0, pos);
}

}  // namespace

bool RemoveOwnCopy(const std::string& running_path, const std::string& copy_path, const std::string& info_folder,
                   void* holder) {
    if (!EqualNoCase(running_path, copy_path)) {
        DeleteFileA(copy_path.c_str());
        RemoveDirectoryA(info_folder.c_str());
        return true;
    }
    char temp_dir[MAX_PATH + 1] = {}, helper[MAX_PATH + 1] = {};
    if (!GetTempPathA(MAX_PATH, temp_dir) || !GetTempFileNameA(temp_dir, "Del", 0, helper)) return false;
    if (!CopyFileA(running_path.c_str(), helper, FALSE)) {
        DeleteFileA(helper);
        return false;
    }
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    // The helper inherits this handle; the system deletes the helper's file once the helper,
    // the last holder, has ended.
    HANDLE self_file = CreateFileA(helper, 0, FILE_SHARE_READ | FILE_SHARE_DELETE, &inherit, OPEN_EXISTING,
                                   FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    HANDLE process = nullptr;
    if (holder)
        DuplicateHandle(GetCurrentProcess(), static_cast<HANDLE>(holder), GetCurrentProcess(), &process, SYNCHRONIZE,
                        TRUE, 0);
    else
        process = OpenProcess(SYNCHRONIZE, TRUE, GetCurrentProcessId());
    if (!process) {
        if (self_file != INVALID_HANDLE_VALUE) CloseHandle(self_file);
        DeleteFileA(helper);
        return false;
    }
    std::string cmd = QDeleteCommandLine(helper, static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(process)),
                                         running_path);
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    const BOOL started = CreateProcessA(helper, line.data(), nullptr, nullptr, TRUE, 0, nullptr, temp_dir, &si, &pi);
    if (started) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(process);
    if (self_file != INVALID_HANDLE_VALUE) CloseHandle(self_file);
    if (!started) DeleteFileA(helper);
    return started != 0;
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
    if (!folder.empty()) RemoveDirectoryA(folder.c_str());
    return 0;
}

}  // namespace qp
