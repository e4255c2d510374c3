// "qpbc dump": opens a project file (or imports a directory-style ".ipr" project) and lists
// everything in it.
#include <ostream>

#include "builder/cli/cli.h"
#include "builder/cli/dump.h"
#include "builder/cli/dump_list.h"
#include "builder/model/language.h"
#include "builder/model/projectfile.h"
#include "common/fileio.h"
#include "common/fsprim.h"

namespace qp {
namespace cli {

namespace {

#ifdef _WIN32
constexpr bool kUtf8Default = false;  // the console takes the ANSI texts as they are
#else
constexpr bool kUtf8Default = true;
#endif

int RunDump(const std::vector<std::string>& args, Context& ctx) {
    ParsedArgs a;
    if (!ParseArgs(args, {"language-file"}, {"ansi"}, a, ctx, "dump")) return kExitUsage;
    if (a.words.size() != 1) {
        ctx.err << "qpbc dump: give exactly one project file (qpbc dump PROJECT)\n";
        return kExitUsage;
    }
    StreamReporter reporter(ctx.err);
    if (!IsFile(a.words[0])) {
        reporter.Report(Severity::Error, "no such file: " + a.words[0]);
        return kExitFailure;
    }
    // A kit's setup list is known by its magic, whatever it is called.
    if (IsSetupListFile(a.words[0])) return DumpSetupListFile(a.words[0], kUtf8Default && !a.Has("ansi"), ctx);
    // An imported project takes its wizard texts from the builder's language file.
    std::string language_path =
        a.Has("language-file") ? a.Value("language-file") : BuilderLanguageFile(ctx.program_dir);
    LanguageFile texts(language_path);
    auto doc = OpenProject(a.words[0], reporter, &texts);
    if (!doc) {
        if (reporter.errors() == 0) reporter.Report(Severity::Error, "cannot open " + a.words[0]);
        return kExitFailure;
    }
    doc->wizard_texts = nullptr;
    ctx.out << "Project " << Quote(a.words[0], kUtf8Default && !a.Has("ansi")) << "\n";
    DumpProject(*doc, ctx.out, kUtf8Default && !a.Has("ansi"));
    return kExitOk;
}

const CommandRegistration kDump{{"dump", "PROJECT|setup.lst [--ansi] [--language-file FILE]",
                                 "Lists the project: settings block, groups with their files, components, setup "
                                 "types, registry, strings per language, shortcuts and functions.",
                                 RunDump}};

}  // namespace

}  // namespace cli
}  // namespace qp
