// The running program's folder on Windows, from the module file name.
#include <windows.h>

#include "builder/cli/cli.h"

namespace qp {
namespace cli {

std::string ProgramDir(const char* argv0) {
    char buf[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof(buf));
    std::string path = (n > 0 && n < sizeof(buf)) ? std::string(buf, n) : std::string(argv0 ? argv0 : "");
    auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace cli
}  // namespace qp
