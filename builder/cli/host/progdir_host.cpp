// The running program's folder on Linux, from /proc/self/exe (argv[0] as a fallback).
#include <filesystem>
#include <system_error>

#include "builder/cli/cli.h"

namespace qp {
namespace cli {

std::string ProgramDir(const char* argv0) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec && argv0) exe = std::filesystem::absolute(argv0, ec);
    return exe.parent_path().string();
}

}  // namespace cli
}  // namespace qp
