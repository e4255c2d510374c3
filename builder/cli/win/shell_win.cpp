// Commands through cmd.exe on Windows, for the build's signing step.
#include <stdio.h>

#include "builder/cli/cli.h"

namespace qp {
namespace cli {

int RunShellCommand(const std::string& command, std::string& output) {
    output.clear();
    fflush(nullptr);
    // cmd /c drops the first and the last quote of its line when the line starts with one; the
    // extra pair keeps the command's own quotes ("C:\Program Files\...\signtool.exe" ...).
    FILE* p = _popen(("\"" + command + " 2>&1\"").c_str(), "rb");
    if (!p) return -1;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) output.append(buf, n);
    return _pclose(p);
}

std::string ShellQuote(const std::string& path) {
    // A Windows path cannot hold a double quote, so one pair quotes every path.
    return "\"" + path + "\"";
}

}  // namespace cli
}  // namespace qp
