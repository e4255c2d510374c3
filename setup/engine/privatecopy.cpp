// The private copy's command line: written by the starter, read back by the copy.
#include "setup/engine/privatecopy.h"

#include "common/strutil.h"

namespace qp::setup {

namespace {

bool IsNumber(const std::string& s) {
    if (s.empty() || s.size() > 20) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

std::string PrivateCopyCommandLine(const std::string& copy_path, unsigned long handle,
                                   const std::string& started_path, const std::string& kit_folder,
                                   const std::string& user_arguments) {
    std::string line = "\"" + copy_path + "\" " + kPrivateCopySwitch + " " + std::to_string(handle) + " \"" +
                       started_path + "\" \"" + kit_folder + "\"";
    if (!user_arguments.empty()) line += " " + user_arguments;
    return line;
}

PrivateCopyArgs ParsePrivateCopy(const std::vector<std::string>& args) {
    PrivateCopyArgs out;
    if (args.size() < 4 || !EqualNoCase(args[0], kPrivateCopySwitch) || !IsNumber(args[1]) ||
        args[2].empty() || args[3].empty()) {
        out.rest = args;
        return out;
    }
    out.present = true;
    out.handle = args[1];
    out.started_path = args[2];
    out.kit_folder = args[3];
    out.rest.assign(args.begin() + 4, args.end());
    return out;
}

std::string ArgumentsAfterProgram(const std::string& command_line) {
    std::size_t i = 0;
    const std::size_t n = command_line.size();
    while (i < n && (command_line[i] == ' ' || command_line[i] == '\t')) ++i;
    if (i < n && command_line[i] == '"') {
        const std::size_t close = command_line.find('"', i + 1);
        i = close == std::string::npos ? n : close + 1;
    } else {
        while (i < n && command_line[i] != ' ' && command_line[i] != '\t') ++i;
    }
    while (i < n && (command_line[i] == ' ' || command_line[i] == '\t')) ++i;
    return command_line.substr(i);
}

std::string FolderOf(const std::string& path) {
    const auto pos = path.rfind('\\');
    return pos == std::string::npos ? std::string() : path.substr(0, pos);
}

}  // namespace qp::setup
