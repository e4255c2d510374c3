// The process's current directory and its console, apart from the other primitives so that a
// program that needs neither (the setup runtime) does not carry their imports.
#include "common/fsprim.h"

#include <direct.h>
#include <io.h>

namespace qp {

std::string CurrentDirectory() {
    char buf[4096];
    return _getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

bool IsTerminal(std::FILE* stream) { return stream && _isatty(_fileno(stream)) != 0; }

}  // namespace qp
