// Child processes with redirected output.
#include "common/win/process.h"

namespace qp {

HANDLE StartProcess(const char* program, std::string command_line, HANDLE out, HANDLE err) {
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    // CreateProcess may write into the command line, so it gets a copy of its own.
    if (!CreateProcessA(program, &command_line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
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
