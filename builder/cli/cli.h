// qpbc, the command-line builder: the command table and what every command shares. A command
// lives in a file of its own and registers itself with a CommandRegistration object, so adding
// one ("build", ...) means adding one file.
#pragma once
#include <iosfwd>
#include <string>
#include <vector>

#include "common/report.h"

namespace qp {
namespace cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the command ran and failed
constexpr int kExitUsage = 2;    // the command line was wrong

struct Context {
    std::ostream& out;
    std::ostream& err;
    std::string program_dir;  // the folder that holds qpbc (and the builder's language.ini)
};

// `args` are the words after the command's name.
using CommandFn = int (*)(const std::vector<std::string>& args, Context& ctx);

struct Command {
    const char* name;
    const char* usage;    // the arguments, e.g. "PROJECT.qpk [--force]"
    const char* summary;  // one line for --help
    CommandFn run;
};

class CommandRegistration {
public:
    explicit CommandRegistration(const Command& command);
};

// Every registered command, sorted by name.
std::vector<Command> Commands();

// Writes "qpbc: error: TEXT" (or warning) to the error stream.
class StreamReporter : public Reporter {
public:
    explicit StreamReporter(std::ostream& err) : err_(err) {}
    void Report(Severity severity, const std::string& text) override;
    int errors() const { return errors_; }

private:
    std::ostream& err_;
    int errors_ = 0;
};

// Splits "--name VALUE", "--name=VALUE" and "--flag" options from the other words. `valued`
// names the options that take a value. False (with a message on ctx.err) for an unknown option
// or a missing value.
struct ParsedArgs {
    std::vector<std::string> words;
    std::vector<std::pair<std::string, std::string>> options;  // name without "--", value
    bool Has(const std::string& name) const;
    std::string Value(const std::string& name) const;  // the last one given
    std::vector<std::string> Values(const std::string& name) const;  // every one, in order
};
bool ParseArgs(const std::vector<std::string>& args, const std::vector<std::string>& valued,
               const std::vector<std::string>& flags, ParsedArgs& parsed, Context& ctx, const char* command);

// The folder of the running program, with its trailing separator removed.
std::string ProgramDir(const char* argv0);

// Runs `command` through the system's command interpreter (sh on Linux, cmd.exe on Windows)
// with its standard output and error collected in `output`. Returns its exit status, or -1
// when it could not be started.
int RunShellCommand(const std::string& command, std::string& output);
// `path` quoted for that interpreter, as one word whatever it holds.
std::string ShellQuote(const std::string& path);

}  // namespace cli
}  // namespace qp
