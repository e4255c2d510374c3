// "qpbc build": the kit build without the build wizard; the kit directory is printed instead
// of being opened in a file explorer. The exit status is 0 only when the kit is complete.
#include <cstdio>
#include <vector>
#include <ostream>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#define getcwd _getcwd
#else
#include <unistd.h>
#endif

#include "builder/cli/cli.h"
#include "builder/kit/kitbuild.h"
#include "builder/kit/kitcheck.h"
#include "builder/model/language.h"
#include "builder/model/projectfile.h"
#include "common/pathutil.h"

namespace qp {
namespace cli {

namespace {

bool StderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

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

// The terminal line is ended before a message is printed, so that the two do not mix.
class BuildReporter : public StreamReporter {
public:
    BuildReporter(std::ostream& err, TerminalProgress& progress) : StreamReporter(err), progress_(progress) {}
    using StreamReporter::Report;
    void Report(Severity severity, const std::string& text) override {
        progress_.Finish();
        StreamReporter::Report(severity, text);
    }

private:
    TerminalProgress& progress_;
};

bool IsAbsolute(const std::string& p) {
    if (p.empty()) return false;
    if (IsPathSeparator(p[0])) return true;
    return p.size() >= 2 && p[1] == ':';
}

std::string Absolute(const std::string& p) {
    if (IsAbsolute(p)) return p;
    std::vector<char> buf(4096);
    if (!getcwd(buf.data(), static_cast<int>(buf.size()))) return p;
    std::string dir = buf.data();
    std::string rel = p;
    while (rel.size() >= 2 && rel[0] == '.' && IsPathSeparator(rel[1])) rel.erase(0, 2);
    return JoinPath(dir, rel);
}

int RunBuild(const std::vector<std::string>& args, Context& ctx) {
    ParsedArgs a;
    if (!ParseArgs(args, {"name", "kit-root", "runtime", "language-file", "arch"}, {}, a, ctx, "build")) return kExitUsage;
    if (a.words.size() != 1 || a.Value("name").empty()) {
        ctx.err << "qpbc build: give one project and a kit name (qpbc build PROJECT --name KIT)\n";
        return kExitUsage;
    }
    // The kit is one folder below the kit root: "..", "." or a path would put it elsewhere.
    const std::string name_problem = KitNameProblem(a.Value("name"));
    if (!name_problem.empty()) {
        ctx.err << "qpbc build: " << name_problem << "\n";
        return kExitUsage;
    }
    RuntimeArch arch = RuntimeArch::X86;
    if (a.Has("arch") && !ParseRuntimeArch(a.Value("arch"), arch)) {
        ctx.err << "qpbc build: --arch is x86 or x64, not \"" << a.Value("arch") << "\"\n";
        return kExitUsage;
    }
    if (a.Has("arch") && a.Has("runtime")) {
        ctx.err << "qpbc build: give --arch or --runtime, not both\n";
        return kExitUsage;
    }
    // An absolute project path makes the data files it expands absolute too, so the kit does
    // not depend on the working directory, and the printed kit directory can be used anywhere.
    const std::string project = Absolute(a.words[0]);
    TerminalProgress progress(ctx.err, StderrIsTerminal());
    BuildReporter reporter(ctx.err, progress);

    std::string language_path =
        a.Has("language-file") ? a.Value("language-file") : BuilderLanguageFile(ctx.program_dir);
    // A language file that is there must be a plain file: a pipe would be waited on for ever.
    if (ClassifyInput(HostPath(language_path)) == InputKind::kOther) {
        reporter.Report(Severity::Error, InputProblem(language_path));
        return kExitFailure;
    }
    LanguageFile texts(language_path);
    auto doc = OpenProject(project, reporter, &texts);
    if (!doc) {
        reporter.Report(Severity::Error, "cannot open the project " + project);
        return kExitFailure;
    }
    doc->wizard_texts = nullptr;

    // Side files named without a folder are taken from the project's folder, so that a project
    // builds the same from any working directory (its data files are found there too).
    const std::string project_dir = FolderOf(project);
    for (std::size_t i = 0; i < 3; ++i) {
        std::string& p = doc->side_file_paths[i];
        if (!p.empty() && !IsAbsolute(p) && !project_dir.empty()) p = JoinPath(project_dir, p);
    }

    KitBuildParams params;
    params.kit_root = a.Value("kit-root");
    params.kit_name = a.Value("name");
    params.runtime_path = a.Has("runtime") ? a.Value("runtime") : RuntimeSource(ctx.program_dir, arch);
    params.make_compressor = [](Reporter& r) { return MakeStaticCompressor(r, stderr); };

    KitBuildResult result = BuildMedia(*doc, params, reporter, &progress);
    progress.Finish();
    if (!result.started) {
        if (!result.missing_files.empty())
            ctx.err << "qpbc build: " << result.missing_files.size() << " file(s) of the project are missing; nothing was built\n";
        return kExitFailure;
    }
    if (!result.complete) {
        ctx.err << "qpbc build: the kit is INCOMPLETE and was not made (" << result.files_added << " of "
                << result.files_total << " files archived, " << result.failures.size() << " failure(s)); "
                << (result.kit_dir.empty() ? std::string("nothing was changed") : result.kit_dir + " is as it was before")
                << "\n";
        return kExitFailure;
    }
    ctx.err << "qpbc build: " << result.files_added << " file(s) archived\n";
    ctx.out << result.kit_dir << "\n";
    return kExitOk;
}

const CommandRegistration kBuild{{"build", "PROJECT --name KIT [--kit-root DIR] [--arch x86|x64 | --runtime FILE] [--language-file FILE]",
                                  "Builds the kit (setup.exe, setup.lst, setup.cab and the side files) into "
                                  "KIT-ROOT/KIT (default root: the project's folder, then KITS) and prints the kit "
                                  "directory. --arch picks the runtime beside qpbc: REDIS/setup.ex_ for x86 (the "
                                  "default, runs on every Windows) or REDIS/x64/setup.ex_. Exit status 0 only when "
                                  "the kit is complete.",
                                  RunBuild}};

}  // namespace

}  // namespace cli
}  // namespace qp
