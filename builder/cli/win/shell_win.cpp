// Commands through cmd.exe on Windows, for the build's signing step.
#include <windows.h>

#include <cstdlib>

#include "builder/cli/cli.h"
#include "common/win/process.h"

namespace qp {
namespace cli {

int RunShellCommand(const std::string& command, std::string& output) {
    output.clear();
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &sa, 0)) return -1;
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    // One pipe takes both output streams, so nothing has to be redirected inside the command
    // (a redirection after a parenthesised block is not understood everywhere). /s makes cmd drop
    // exactly the outer pair of quotes and keep the command's own.
    const char* comspec = std::getenv("COMSPEC");
    std::string line = std::string("\"") + (comspec && *comspec ? comspec : "cmd.exe") + "\" /s /c \"" + command + "\"";
    HANDLE process = StartProcess(nullptr, line, write, write);
    CloseHandle(write);
    if (!process) {
        CloseHandle(read);
        return -1;
    }
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(read, buf, sizeof buf, &n, nullptr) && n > 0) output.append(buf, n);
    CloseHandle(read);
    return FinishProcess(process, INFINITE, 1);
}

std::string ShellQuote(const std::string& path) {
    // A Windows path cannot hold a double quote, so one pair quotes every path.
    return "\"" + path + "\"";
}

}  // namespace cli
}  // namespace qp
