// qpbc's entry point: picks the command from the table and runs it. Errors go to stderr; the
// exit status is 0 only when the command succeeded.
#include <exception>
#include <iostream>
#include <map>
#include <ostream>

#include "builder/cli/cli.h"

namespace qp {
namespace cli {

namespace {

std::map<std::string, Command>& Table() {
    static std::map<std::string, Command> table;
    return table;
}

void PrintHelp(std::ostream& os) {
    os << "qpbc: the Quillpacker command-line builder\n\n"
       << "Usage: qpbc COMMAND [ARGUMENTS]\n\nCommands:\n";
    for (const auto& c : Commands()) os << "  qpbc " << c.name << " " << c.usage << "\n      " << c.summary << "\n";
    os << "\n  qpbc --help\n      Shows this text.\n\nExit status: 0 on success, 1 when the command failed, 2 for a wrong command line.\n";
}

}  // namespace

CommandRegistration::CommandRegistration(const Command& command) { Table()[command.name] = command; }

std::vector<Command> Commands() {
    std::vector<Command> out;
    for (const auto& [name, c] : Table()) out.push_back(c);
    return out;
}

void StreamReporter::Report(Severity severity, const std::string& text) {
    if (severity == Severity::Error) ++errors_;
    const char* kind = severity == Severity::Error ? "error" : severity == Severity::Warning ? "warning" : "note";
    err_ << "qpbc: " << kind << ": " << text << "\n";
}

bool ParsedArgs::Has(const std::string& name) const {
    for (const auto& o : options)
        if (o.first == name) return true;
    return false;
}

std::string ParsedArgs::Value(const std::string& name) const {
    std::string value;
    for (const auto& o : options)
        if (o.first == name) value = o.second;
    return value;
}

std::vector<std::string> ParsedArgs::Values(const std::string& name) const {
    std::vector<std::string> values;
    for (const auto& o : options)
        if (o.first == name) values.push_back(o.second);
    return values;
}

bool ParseArgs(const std::vector<std::string>& args, const std::vector<std::string>& valued,
               const std::vector<std::string>& flags, ParsedArgs& parsed, Context& ctx, const char* command) {
    auto known = [](const std::vector<std::string>& list, const std::string& n) {
        for (const auto& l : list)
            if (l == n) return true;
        return false;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() < 3 || a.compare(0, 2, "--") != 0) {
            parsed.words.push_back(a);
            continue;
        }
        std::string name = a.substr(2), value;
        bool has_value = false;
        auto eq = name.find('=');
        if (eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            has_value = true;
        }
        if (known(valued, name)) {
            if (!has_value) {
                if (i + 1 >= args.size()) {
                    ctx.err << "qpbc " << command << ": option --" << name << " needs a value\n";
                    return false;
                }
                value = args[++i];
            }
            parsed.options.emplace_back(name, value);
        } else if (known(flags, name) && !has_value) {
            parsed.options.emplace_back(name, std::string());
        } else {
            ctx.err << "qpbc " << command << ": unknown option " << a << "\n";
            return false;
        }
    }
    return true;
}

int Main(int argc, char** argv) {
    Context ctx{std::cout, std::cerr, ProgramDir(argc > 0 ? argv[0] : nullptr)};
    std::vector<std::string> words(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (words.empty()) {
        ctx.err << "qpbc: no command given\n\n";
        PrintHelp(ctx.err);
        return kExitUsage;
    }
    const std::string& name = words[0];
    if (name == "--help" || name == "-h" || name == "help" || name == "/?") {
        PrintHelp(ctx.out);
        return kExitOk;
    }
    auto it = Table().find(name);
    if (it == Table().end()) {
        ctx.err << "qpbc: unknown command \"" << name << "\" (qpbc --help lists the commands)\n";
        return kExitUsage;
    }
    std::vector<std::string> rest(words.begin() + 1, words.end());
    for (const auto& a : rest) {
        if (a == "--help" || a == "-h") {
            ctx.out << "Usage: qpbc " << it->second.name << " " << it->second.usage << "\n" << it->second.summary << "\n";
            return kExitOk;
        }
    }
    try {
        int rc = it->second.run(rest, ctx);
        ctx.out.flush();
        if (!ctx.out) {
            ctx.err << "qpbc: cannot write the output\n";
            return kExitFailure;
        }
        return rc;
    } catch (const std::exception& e) {
        ctx.err << "qpbc: error: " << e.what() << "\n";
        return kExitFailure;
    }
}

}  // namespace cli
}  // namespace qp

int main(int argc, char** argv) { return qp::cli::Main(argc, argv); }
