// Commands through /bin/sh on Linux, for the build's signing step.
#include <sys/wait.h>

#include <cstdio>

#include "builder/cli/cli.h"

namespace qp {
namespace cli {

int RunShellCommand(const std::string& command, std::string& output) {
    output.clear();
    std::fflush(nullptr);
    // The braces keep a redirection inside the command from swallowing the one added here.
    std::FILE* p = ::popen(("{ " + command + "\n} 2>&1").c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) output.append(buf, n);
    int status = ::pclose(p);
    if (status == -1) return -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

std::string ShellQuote(const std::string& path) {
    // Single quotes take every byte as it is; a single quote itself ends, escapes and reopens.
    std::string out = "'";
    for (char c : path) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace cli
}  // namespace qp
