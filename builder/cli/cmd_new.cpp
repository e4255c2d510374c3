// "qpbc new": a new project with the defaults of the builder's New, saved to a project file.
#include <ostream>

#include "builder/cli/cli.h"
#include "builder/model/doc.h"
#include "builder/model/language.h"
#include "builder/model/projectfile.h"
#include "common/fileio.h"
#include "common/fsprim.h"
#include "common/pathutil.h"

namespace qp {
namespace cli {

namespace {

int RunNew(const std::vector<std::string>& args, Context& ctx) {
    ParsedArgs a;
    if (!ParseArgs(args, {"language-file"}, {"force"}, a, ctx, "new")) return kExitUsage;
    if (a.words.size() != 1) {
        ctx.err << "qpbc new: give exactly one project file (qpbc new PROJECT.qpk)\n";
        return kExitUsage;
    }
    const std::string& path = a.words[0];
    StreamReporter reporter(ctx.err);
    if (IsFile(path) && !a.Has("force")) {
        reporter.Report(Severity::Error, path + " exists already; --force replaces it");
        return kExitFailure;
    }
    // The project is written into a folder that is there; qpbc does not make folders.
    const std::string folder = FolderOf(path);
    if (!folder.empty() && !IsDirectory(folder)) {
        reporter.Report(Severity::Error, "cannot write " + path + ": the folder " + folder +
                                             (IsFile(folder) ? " is a file" : " does not exist"));
        return kExitFailure;
    }
    if (IsDirectory(path)) {
        reporter.Report(Severity::Error, "cannot write " + path + ": it is a folder");
        return kExitFailure;
    }
    // The wizard texts of language 0 come from the builder's language file, as in the GUI.
    std::string language_path =
        a.Has("language-file") ? a.Value("language-file") : BuilderLanguageFile(ctx.program_dir);
    LanguageFile texts(language_path);
    if (!texts.Loaded()) {
        if (a.Has("language-file")) {
            reporter.Report(Severity::Error, "cannot read the language file " + language_path);
            return kExitFailure;
        }
        reporter.Report(Severity::Warning, "no language file at " + language_path + "; the wizard texts stay empty");
    }
    CDazDoc doc;
    doc.wizard_texts = &texts;
    doc.NewProject();
    doc.wizard_texts = nullptr;
    if (!SaveProject(doc, path, reporter)) return kExitFailure;
    return kExitOk;
}

const CommandRegistration kNew{{"new", "PROJECT.qpk [--language-file FILE] [--force]",
                                "Creates a new project with the defaults of a new project and saves it; the wizard "
                                "texts come from language.ini beside qpbc or from FILE.",
                                RunNew}};

}  // namespace

}  // namespace cli
}  // namespace qp
