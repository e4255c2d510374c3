// Child processes that inherit only what they are given.
#include "common/win/process.h"

#include <utility>
#include <vector>

namespace qp {

bool StartInheritingOnly(const char* program, std::string command_line, std::initializer_list<HANDLE> inherit,
                         const STARTUPINFOA& si, DWORD flags, const char* folder, PROCESS_INFORMATION& pi) {
    std::vector<HANDLE> handles;
    for (HANDLE h : inherit) {
        DWORD info = 0;
        if (!h || h == INVALID_HANDLE_VALUE || !GetHandleInformation(h, &info) || !(info & HANDLE_FLAG_INHERIT))
            continue;
        bool repeated = false;
        for (HANDLE seen : handles) repeated = repeated || seen == h;
        if (!repeated) handles.push_back(h);
    }
    STARTUPINFOEXA ex{};
    ex.StartupInfo = si;
    ex.StartupInfo.cb = sizeof ex.StartupInfo;
    SIZE_T size = 0;
    std::vector<char> memory;
    LPPROC_THREAD_ATTRIBUTE_LIST attrs = nullptr;
    if (!handles.empty()) {
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        memory.resize(size ? size : 1);
        attrs = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(memory.data());
        if (!size || !InitializeProcThreadAttributeList(attrs, 1, 0, &size)) {
            attrs = nullptr;
        } else if (!UpdateProcThreadAttribute(attrs, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles.data(),
                                              handles.size() * sizeof(HANDLE), nullptr, nullptr)) {
            DeleteProcThreadAttributeList(attrs);
            attrs = nullptr;
        }
    }
    if (attrs) {
        ex.StartupInfo.cb = sizeof ex;
        ex.lpAttributeList = attrs;
        flags |= EXTENDED_STARTUPINFO_PRESENT;
    }
    // CreateProcess may write into the command line: it is our own copy.
    const BOOL ok = CreateProcessA(program, &command_line[0], nullptr, nullptr, handles.empty() ? FALSE : TRUE, flags,
                                   nullptr, folder, &ex.StartupInfo, &pi);
    const DWORD error = ok ? 0 : GetLastError();
    if (attrs) DeleteProcThreadAttributeList(attrs);
    SetLastError(error);
    return ok != FALSE;
}

HANDLE StartProcess(const char* program, std::string command_line, HANDLE out, HANDLE err) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    if (!StartInheritingOnly(program, std::move(command_line), {si.hStdInput, out, err}, si, 0, nullptr, pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

int FinishProcess(HANDLE process, DWORD timeout_ms, int failed) {
    WaitForSingleObject(process, timeout_ms);
    DWORD code = 0;
    const bool known = GetExitCodeProcess(process, &code) != FALSE;
    CloseHandle(process);
    return known ? static_cast<int>(code) : failed;
}

}  // namespace qp
