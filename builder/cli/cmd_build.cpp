// "qpbc build": the kit build without the build wizard; the kit directory is printed instead
// of being opened in a file explorer. For release pipelines it keeps one product GUID per
// project, takes product strings and a signing command from the command line, and can print
// its result as JSON. The exit status is 0 only when the kit is complete.
#include <cstdio>
#include <ostream>
#include <sstream>
#include <vector>

#include "builder/cli/cli.h"
#include "builder/cli/json.h"
#include "builder/kit/kitbuild.h"
#include "builder/kit/kitcheck.h"
#include "builder/kit/kiterror.h"
#include "builder/kit/kitprepare.h"
#include "builder/kit/typecheck.h"
#include "builder/kit/winget.h"
#include "builder/model/language.h"
#include "builder/model/productcode.h"
#include "builder/model/projectfile.h"
#include "common/fsprim.h"
#include "common/pathutil.h"
#include "common/strutil.h"

namespace qp {
namespace cli {

namespace {

// One line per file; on a terminal the same line is rewritten in place.
class TerminalProgress : public Progress {
public:
    TerminalProgress(std::ostream& err, bool in_place) : err_(err), in_place_(in_place) {}
    ~TerminalProgress() override { Finish(); }

    void Status(const std::string& text) override { status_ = text; }
    bool Step(std::uint64_t done, std::uint64_t total) override {
        std::string line = "[" + std::to_string(done) + "/" + std::to_string(total) + "] " + status_;
        if (in_place_) {
            // Keep the line inside a usual terminal width, showing the end of the path.
            constexpr std::size_t kWidth = 79;
            if (line.size() > kWidth) line = "..." + line.substr(line.size() - (kWidth - 3));
            std::string pad(last_ > line.size() ? last_ - line.size() : 0, ' ');
            err_ << '\r' << line << pad << std::flush;
            last_ = line.size();
            open_ = true;
        } else {
            err_ << line << '\n';
        }
        return true;
    }
    void Finish() {
        if (open_) err_ << '\n' << std::flush;
        open_ = false;
    }

private:
    std::ostream& err_;
    bool in_place_;
    std::string status_;
    std::size_t last_ = 0;
    bool open_ = false;
};

// The terminal line is ended before a message is printed, so that the two do not mix. Every
// error is also kept for the machine-readable result.
class BuildReporter : public StreamReporter {
public:
    BuildReporter(std::ostream& err, TerminalProgress& progress) : StreamReporter(err), progress_(progress) {}
    using StreamReporter::Report;
    void Report(Severity severity, const std::string& text) override {
        progress_.Finish();
        StreamReporter::Report(severity, text);
        if (severity == Severity::Error) texts.push_back(text);
    }
    std::vector<std::string> texts;

private:
    TerminalProgress& progress_;
};

std::string Absolute(const std::string& p) {
    if (IsAbsolutePath(p)) return p;
    const std::string dir = CurrentDirectory();
    if (dir.empty()) return p;
    std::string rel = p;
    while (rel.size() >= 2 && rel[0] == '.' && IsPathSeparator(rel[1])) rel.erase(0, 2);
    return JoinPath(dir, rel);
}

std::uint64_t FileBytes(const std::string& path) {
    const PathStat st = StatPath(HostPath(path));
    return st.kind == PathKind::kFile ? st.size : 0;
}

// The options of "qpbc build": name, whether a value follows. One row per option, so that a new
// option is one row here and one use below.
struct BuildOption {
    const char* name;
    bool valued;
};
constexpr BuildOption kBuildOptions[] = {
    {"name", true},         {"kit-root", true}, {"runtime", true},      {"arch", true},  {"language-file", true},
    {"product-code", true}, {"set", true},      {"sign-command", true}, {"json", false},
    {"single-file", false}, {"winget-manifest", true}, {"installer-url", true}, {"package-identifier", true},
    {"locale", true},       {"license", true},
};

// What the build ends with: printed as the kit directory, or as one JSON object with --json.
struct BuildOutcome {
    bool json = false;
    std::string kit_dir;
    bool complete = false;
    std::size_t files_archived = 0, files_total = 0;
    std::uint64_t bytes = 0;
    std::string product_code;
    std::vector<std::string> errors;
    std::vector<std::string> manifests;  // the package manager's manifests written
    std::vector<std::string> warnings;

    int Finish(Context& ctx, int status) const {
        if (json) {
            JsonObject o;
            if (kit_dir.empty()) o.AddNull("kit"); else o.Add("kit", kit_dir);
            o.Add("complete", complete).Add("exit_status", static_cast<std::uint64_t>(status));
            o.Add("files_archived", static_cast<std::uint64_t>(files_archived));
            o.Add("files_total", static_cast<std::uint64_t>(files_total)).Add("bytes", bytes);
            if (product_code.empty()) o.AddNull("product_code"); else o.Add("product_code", product_code);
            o.Add("errors", errors);
            o.Add("warnings", warnings);
            if (!manifests.empty()) o.Add("winget_manifests", manifests);
            ctx.out << o.Text() << "\n";
        } else if (status == kExitOk) {
            ctx.out << kit_dir << "\n";
        }
        return status;
    }
};

// A command-line mistake: on stderr, and in the result.
int UsageError(Context& ctx, BuildOutcome& outcome, const std::string& text) {
    ctx.err << "qpbc build: " << text << "\n";
    outcome.errors.push_back(text);
    return outcome.Finish(ctx, kExitUsage);
}

// The sign command for one file: every "{file}" becomes the quoted path.
std::string SignCommandFor(const std::string& pattern, const std::string& file) {
    std::string out;
    const std::string mark = "{file}";
    std::size_t at = 0;
    for (std::size_t hit; (hit = pattern.find(mark, at)) != std::string::npos; at = hit + mark.size())
        out += pattern.substr(at, hit - at) + ShellQuote(file);
    return out + pattern.substr(at);
}

int RunBuild(const std::vector<std::string>& args, Context& ctx) {
    BuildOutcome outcome;
    for (const auto& w : args) outcome.json = outcome.json || w == "--json";

    std::vector<std::string> valued, flags;
    for (const auto& o : kBuildOptions) (o.valued ? valued : flags).push_back(o.name);
    ParsedArgs a;
    {
        std::ostringstream parse_err;
        Context quiet{ctx.out, parse_err, ctx.program_dir};
        if (!ParseArgs(args, valued, flags, a, quiet, "build")) {
            std::string text = parse_err.str();
            while (!text.empty() && text.back() == '\n') text.pop_back();
            ctx.err << text << "\n";
            outcome.errors.push_back(text);
            return outcome.Finish(ctx, kExitUsage);
        }
    }
    if (a.words.size() != 1 || a.Value("name").empty())
        return UsageError(ctx, outcome, "give one project and a kit name (qpbc build PROJECT --name KIT)");
    std::string product_code;
    if (a.Has("product-code") && !ParseGuidText(a.Value("product-code"), product_code))
        return UsageError(ctx, outcome, "--product-code needs a GUID such as {8A3E5F10-2B7C-4D19-9E62-5C0F1A2B3C4D}, not \"" +
                                            a.Value("product-code") + "\"");
    std::vector<std::pair<std::string, std::string>> sets;
    for (const auto& kv : a.Values("set")) {
        auto eq = kv.find('=');
        if (eq == std::string::npos) return UsageError(ctx, outcome, "--set needs KEY=VALUE, not \"" + kv + "\"");
        sets.emplace_back(kv.substr(0, eq), kv.substr(eq + 1));
    }
    // The kit is one folder below the kit root: "..", "." or a path would put it elsewhere.
    const std::string name_problem = KitNameProblem(a.Value("name"));
    if (!name_problem.empty()) return UsageError(ctx, outcome, name_problem);
    RuntimeArch arch = RuntimeArch::X86;
    if (a.Has("arch") && !ParseRuntimeArch(a.Value("arch"), arch))
        return UsageError(ctx, outcome, "--arch is x86 or x64, not \"" + a.Value("arch") + "\"");
    if (a.Has("arch") && a.Has("runtime")) return UsageError(ctx, outcome, "give --arch or --runtime, not both");
    const std::string sign_pattern = a.Value("sign-command");
    if (a.Has("sign-command") && sign_pattern.find("{file}") == std::string::npos)
        return UsageError(ctx, outcome, "--sign-command must name the file to sign with {file}");

    WingetOptions winget;
    const bool single_file = a.Has("single-file");
    const std::string winget_dir = a.Value("winget-manifest");
    for (const char* o : {"installer-url", "package-identifier", "locale", "license"})
        if (a.Has(o) && !a.Has("winget-manifest")) return UsageError(ctx, outcome, std::string("--") + o + " goes with --winget-manifest DIR");
    if (a.Has("winget-manifest")) {
        if (!single_file) return UsageError(ctx, outcome, "--winget-manifest needs --single-file: the manifests name one program");
        winget.installer_url = a.Value("installer-url");
        winget.package_identifier = a.Value("package-identifier");
        if (a.Has("locale")) winget.locale = a.Value("locale");
        winget.license = a.Value("license");
        const std::string problem = WingetOptionsProblem(winget);
        if (!problem.empty()) return UsageError(ctx, outcome, problem);
    }

    // An absolute project path makes the data files it expands absolute too, so the kit does
    // not depend on the working directory, and the printed kit directory can be used anywhere.
    const std::string project = Absolute(a.words[0]);
    TerminalProgress progress(ctx.err, IsTerminal(stderr));
    BuildReporter reporter(ctx.err, progress);
    auto failed = [&](int status) {
        outcome.errors.insert(outcome.errors.end(), reporter.texts.begin(), reporter.texts.end());
        return outcome.Finish(ctx, status);
    };

    std::string language_path =
        a.Has("language-file") ? a.Value("language-file") : BuilderLanguageFile(ctx.program_dir);
    // A language file that is there must be a plain file: a pipe would be waited on for ever.
    if (ClassifyInput(HostPath(language_path)) == InputKind::kOther) {
        reporter.Report(Severity::Error, InputProblem(language_path));
        return failed(kExitFailure);
    }
    LanguageFile texts(language_path);
    auto doc = OpenProject(project, reporter, &texts);
    if (!doc) {
        reporter.Report(Severity::Error, "cannot open the project " + project);
        return failed(kExitFailure);
    }
    doc->wizard_texts = nullptr;

    KitBuildParams params;
    KitPrepareOptions prepare;
    prepare.project_path = project;
    prepare.product_code = product_code;
    prepare.sets = sets;
    prepare.guid_advice = "give one with --product-code";
    const KitPreparation prepared = PrepareKitBuild(*doc, prepare, params, reporter);
    if (prepared.status == KitPrepareStatus::kRefused) return UsageError(ctx, outcome, prepared.refusal);
    if (prepared.status == KitPrepareStatus::kFailed) return failed(kExitFailure);
    outcome.product_code = prepared.product_code;

    // Setup types that would install nothing: said, and the kit is built all the same.
    for (const std::string& w : SetupTypeWarnings(*doc)) {
        reporter.Report(Severity::Warning, w);
        outcome.warnings.push_back(w);
    }

    params.kit_root = a.Has("kit-root") ? Absolute(a.Value("kit-root")) : std::string();
    params.kit_name = a.Value("name");
    params.runtime_path = a.Has("runtime") ? a.Value("runtime") : RuntimeSource(ctx.program_dir, arch);
    params.make_compressor = [](Reporter& r) { return MakeStaticCompressor(r, stderr); };
    params.single_file = single_file;
    if (!sign_pattern.empty()) {
        params.sign_runtime = [&](const std::string& exe) {
            progress.Finish();
            const std::string command = SignCommandFor(sign_pattern, HostPath(exe));
            std::string output;
            int status = RunShellCommand(command, output);
            if (status == 0) {
                ctx.err << output << std::flush;
                return;
            }
            std::string why = "The sign command " + (status < 0 ? std::string("could not be started") : "failed with exit status " + std::to_string(status)) +
                  ": " + command + (output.empty() ? std::string() : "\n" + output);
            while (!why.empty() && (why.back() == '\n' || why.back() == '\r')) why.pop_back();
            throw KitError(why);
        };
    }

    KitBuildResult result = BuildMedia(*doc, params, reporter, &progress);
    progress.Finish();
    outcome.kit_dir = single_file ? result.program : result.kit_dir;
    outcome.files_archived = result.files_added;
    outcome.files_total = result.started ? result.files_total : CountProjectFiles(*doc);
    outcome.complete = result.complete;
    if (single_file) {
        outcome.bytes = result.complete ? FileBytes(result.program) : 0;
    } else if (!result.kit_dir.empty()) {
        outcome.bytes += FileBytes(KitPath(result.kit_dir, kKitSetupExe)) + FileBytes(KitPath(result.kit_dir, kKitSetupList)) +
                         FileBytes(KitPath(result.kit_dir, kKitArchive));
        for (std::size_t i = 0; i < 3; ++i)
            if (!doc->side_file_paths[i].empty()) outcome.bytes += FileBytes(KitPath(result.kit_dir, kKitSideFiles[i]));
    }
    if (!result.started) {
        if (!result.missing_files.empty())
            ctx.err << "qpbc build: " << result.missing_files.size() << " file(s) of the project are missing; nothing was built\n";
        return failed(kExitFailure);
    }
    if (!result.complete) {
        ctx.err << "qpbc build: the kit is INCOMPLETE and was not made (" << result.files_added << " of "
                << result.files_total << " files archived, " << result.failures.size() << " failure(s)); "
                << (result.kit_dir.empty() ? std::string("nothing was changed") : result.kit_dir + " is as it was before")
                << "\n";
        return failed(kExitFailure);
    }
    if (a.Has("winget-manifest")) {
        // From the program as written, signature included.
        try {
            outcome.manifests = WriteWingetManifests(Absolute(winget_dir), MakeWingetManifests(result.program, winget));
        } catch (const std::exception& e) {
            reporter.Report(Severity::Error, std::string("the package manager's manifests were not written: ") + e.what());
            return failed(kExitFailure);
        }
        for (const auto& m : outcome.manifests) ctx.err << "qpbc build: wrote " << m << "\n";
    }
    ctx.err << "qpbc build: " << result.files_added << " file(s) archived\n";
    return failed(kExitOk);
}

const CommandRegistration kBuild{
    {"build",
     "PROJECT --name KIT [--kit-root DIR] [--arch x86|x64 | --runtime FILE] [--language-file FILE] "
     "[--product-code GUID] [--set KEY=VALUE]... [--sign-command \"COMMAND {file}\"] [--single-file "
     "[--winget-manifest DIR --installer-url URL --license TEXT [--package-identifier ID] [--locale LOCALE]]] [--json]",
     "Builds the kit (setup.exe, setup.lst, setup.cab and the side files) into KIT-ROOT/KIT (default root: the "
     "project's folder, then KITS) and prints the kit directory, or with --json one JSON object. --arch picks the "
     "runtime beside qpbc: REDIS/setup.ex_ for x86 (the default, runs on every Windows) or REDIS/x64/setup.ex_. A "
     "project without a product GUID gets one: kept in the .qpk, derived for an .ipr. --set changes a product string "
     "for this build only; --sign-command runs on setup.exe before setup.lst is written. --single-file makes one "
     "program KIT-ROOT/KIT.exe with the kit inside it instead (signed once the kit is in), and --winget-manifest "
     "writes the Windows Package Manager's manifests for it into DIR. Exit status 0 only when the kit is complete.",
     RunBuild}};

}  // namespace

}  // namespace cli
}  // namespace qp
