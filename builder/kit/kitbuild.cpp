// The kit build pipeline: missing-file check, wizard hook, kit directory, runtime and side
// files, setup list, archive, and the hook that shows the kit. Each step that fails is reported
// with the builder's message and recorded in the result, and the build goes on to the next.
#include "builder/kit/kitbuild.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "builder/kit/kitcheck.h"
#include "builder/kit/kiterror.h"
#include "builder/kit/kitlist.h"
#include "builder/kit/kitsingle.h"
#include "builder/kit/kitstage.h"
#include "builder/kit/zipnames.h"
#include "common/errors.h"
#include "common/fileio.h"
#include "common/fsprim.h"
#include "common/pathutil.h"
#include "common/setuplist.h"

namespace qp {
namespace {

std::string Format1(const char* pattern, const std::string& arg) {
    std::string out = pattern;
    auto pos = out.find("%s");
    if (pos != std::string::npos) out.replace(pos, 2, arg);
    return out;
}

void Fail(KitBuildResult* result, Reporter& reporter, const std::string& text) {
    reporter.Report(Severity::Error, text);
    if (result) result->failures.push_back(text);
}

// Runs one step of the build. What it throws (KitError, IoError, FormatError) is caught here
// and nowhere else, and reported as `message` makes it of the thrown words; false then.
template <class Run, class Message>
bool Step(KitBuildResult* result, Reporter& reporter, Run&& run, Message&& message) {
    try {
        run();
        return true;
    } catch (const std::exception& e) {
        Fail(result, reporter, message(std::string(e.what())));
        return false;
    }
}

// The step's text as it was thrown.
std::string AsThrown(const std::string& what) { return what; }

// The compressor writes the archive's directory only when it is unloaded and cannot say there
// whether that worked; an archive without its end record would reach the kit as if complete.
bool ArchiveHasEndRecord(const std::string& path) { return ZipHasEndRecords(HostPath(path)); }

// The member name the runtime asks the archive for: the directory in the archive and the file
// name, with '/' between the parts.
std::string MemberName(const std::string& archive_dir, const std::string& source_path) {
    std::string m = archive_dir + "/" + SourceFileName(source_path);
    for (char& c : m)
        if (c == '\\') c = '/';
    return m;
}

// FormatError saying how the archive differs from `expected`.
void CheckMembers(const std::string& archive_path, std::vector<std::string> expected) {
    std::vector<std::string> found;
    if (!ReadZipMemberNames(HostPath(archive_path), found)) throw FormatError("its directory cannot be read");
    std::sort(expected.begin(), expected.end());
    std::sort(found.begin(), found.end());
    std::vector<std::string> missing, extra;
    std::set_difference(expected.begin(), expected.end(), found.begin(), found.end(), std::back_inserter(missing));
    std::set_difference(found.begin(), found.end(), expected.begin(), expected.end(), std::back_inserter(extra));
    if (!missing.empty()) throw FormatError("it lacks \"" + missing.front() + "\"");
    if (!extra.empty()) throw FormatError("it holds \"" + extra.front() + "\", which no file of the project is");
}

}  // namespace

std::string DefaultKitRoot(const CDazDoc& doc) {
    if (!doc.kit_root.empty()) return doc.kit_root;
    const std::string& path = doc.PathName();
    if (path.empty()) return std::string();
    std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) return "KITS";  // a project named without a folder lies here
    return path.substr(0, cut + 1) + "KITS";
}

std::string KitPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return std::string();
    std::string out = dir;
    if (!IsPathSeparator(out.back())) out += kPathSeparator;
    return out + name;
}

bool ParseRuntimeArch(const std::string& text, RuntimeArch& arch) {
    if (text == "x86" || text == "i686") arch = RuntimeArch::X86;
    else if (text == "x64" || text == "x86_64") arch = RuntimeArch::X64;
    else return false;
    return true;
}

std::string RuntimeSource(const std::string& builder_dir, RuntimeArch arch) {
    std::string redis = KitPath(builder_dir.empty() ? std::string(".") : builder_dir, "REDIS");
    if (arch == RuntimeArch::X64) redis = KitPath(redis, "x64");
    return KitPath(redis, kRuntimeSourceName);
}

std::size_t CountProjectFiles(const CDazDoc& doc) {
    std::size_t n = 0;
    for (const auto& g : doc.group_list.items)
        static_cast<const CObListFile&>(g->file_tree).ForEachFile([&](const CObListFile&) { ++n; });
    return n;
}

std::string ArchiveDir(const CItemGroup& group, const CObListFile& file) {
    std::string rel = file.RelativeDir();
    return rel.empty() ? group.name : group.name + "\\" + rel;
}

bool ArchiveProjectFiles(const CDazDoc& doc, const std::string& archive_path, const CompressorFactory& make,
                         Reporter& reporter, Progress* progress, KitBuildResult* result) {
    std::unique_ptr<Compressor> zip = make ? make(reporter) : MakeStaticCompressor(reporter);
    const std::size_t total = CountProjectFiles(doc);
    if (result) result->files_total = total;
    if (!zip || !zip->Load()) {
        if (result) result->failures.push_back("The zip compressor could not be loaded; no archive was made.");
        return false;
    }
    // Each build starts a new archive: the compressor would otherwise append to the last one.
    if (!archive_path.empty()) RemoveFile(HostPath(archive_path));

    std::size_t done = 0;
    bool ok = true;
    std::vector<std::string> expected;
    for (const auto& g : doc.group_list.items) {
        static_cast<const CObListFile&>(g->file_tree).ForEachFile([&](const CObListFile& f) {
            if (!ok) return;
            const std::string dir = ArchiveDir(*g, f);
            if (progress) {
                progress->Status(f.name);
                if (!progress->Step(done + 1, total)) {
                    ok = false;
                    if (result) {
                        result->cancelled = true;
                        result->failures.push_back("The build was stopped before every file was in the archive.");
                    }
                    return;
                }
            }
            if (!dir.empty() && dir.back() == '\\') reporter.Report(Severity::Error, kMsgArchiveDirEndsWithSeparator);
            // A file that became a folder (or anything else) since the check is not archived:
            // the compressor would take a folder with everything below it.
            if (ClassifyInput(HostPath(f.name)) != InputKind::kRegular) {
                Fail(result, reporter, Format1(kMsgErrorAdding, f.name) + " (" + InputProblem(f.name) + ")");
                ok = false;
                return;
            }
            expected.push_back(MemberName(dir, f.name));
            if (!zip->AddFile(HostPath(f.name), dir, archive_path)) {
                Fail(result, reporter, Format1(kMsgErrorAdding, f.name));
                ok = false;
                return;
            }
            ++done;
        });
        if (!ok) break;
    }
    zip->Unload();
    if (result) result->files_added = done;
    if (done > 0 && !ArchiveHasEndRecord(archive_path)) {
        if (ok) Fail(result, reporter, "The archive " + archive_path + " could not be finished.");
        return false;
    }
    if (ok && done == 0 && !archive_path.empty()) {
        // A project without files still gets an archive, so that every kit has its three files:
        // an empty zip is its end record alone.
        const unsigned char empty_zip[22] = {'P', 'K', 5, 6};
        if (!Step(result, reporter, [&] { WriteNewFile(archive_path, empty_zip, sizeof empty_zip); },
                  [&](const std::string& why) { return Format1(kMsgCantCopy, archive_path) + " (" + why + ")"; }))
            return false;
    }
    if (ok && done > 0) {
        // The setup runtime looks each file up by the name the setup list gives it: the archive
        // must hold exactly those members, each once, and nothing else.
        if (!Step(result, reporter, [&] { CheckMembers(archive_path, expected); }, [&](const std::string& why) {
                return "The archive " + archive_path + " is not as the setup list says: " + why;
            }))
            return false;
    }
    return ok;
}

KitBuildResult BuildMedia(CDazDoc& doc, KitBuildParams params, Reporter& reporter, Progress* progress) {
    KitBuildResult result;

    // 1. Nothing is built while a file of the project is missing, or is no plain file.
    ProjectInputs inputs = CheckProjectInputs(doc);
    result.missing_files = inputs.missing;
    if (!inputs.missing.empty()) {
        std::string text = kMsgFilesMissing;
        for (const auto& m : inputs.missing) text += m + "\n";
        Fail(&result, reporter, text);
    }
    if (!inputs.not_regular.empty()) {
        std::string text = kMsgFilesNotRegular;
        for (const auto& m : inputs.not_regular) text += m + "\n";
        Fail(&result, reporter, text);
        result.missing_files.insert(result.missing_files.end(), inputs.not_regular.begin(), inputs.not_regular.end());
    }
    if (!result.failures.empty()) return result;

    // 2. The wizard may rename the kit or move its root; its root becomes the project's.
    if (params.kit_root.empty()) params.kit_root = DefaultKitRoot(doc);
    if (params.wizard) {
        if (!params.wizard(params)) {
            result.cancelled = true;
            return result;
        }
        doc.kit_root = params.kit_root;
    }
    result.started = true;

    // 3. The kit is one folder below its root.
    const std::string root = params.kit_root;
    std::string why = KitNameProblem(params.kit_name);
    if (!why.empty()) {
        Fail(&result, reporter, "Can't build the kit: " + why);
        return result;
    }
    if (root.empty()) {
        Fail(&result, reporter, "Can't build the kit: the project has no folder and no kit root was given");
        return result;
    }
    const std::string kit_dir = KitPath(root, params.kit_name);
    result.kit_dir = kit_dir;
    if (params.single_file) result.program = SingleFileProgramPath(root, params.kit_name);

    // 4. The setup list first, with a product GUID made when the project has none: a project that
    // the runtime could not install is refused before anything is written.
    doc.EnsureProductGuid();
    std::vector<std::uint8_t> list_bytes;
    if (!Step(&result, reporter, [&] { list_bytes = WriteSetupList(MakeSetupList(doc)); },
              [](const std::string& why) { return std::string(kMsgCantCreateList) + ": " + why; }))
        return result;

    // 5. The root, the lock against a second build of the same kit, and a staging folder that
    // becomes the kit only when everything is in it.
    NullReporter quiet;
    if (!CreateDirectoryPath(root, quiet)) {
        Fail(&result, reporter, "Can't create the kit root " + root + ": " + SystemErrorText(errno));
        return result;
    }
    const auto cant_build = [](const std::string& why) { return "Can't build the kit: " + why; };
    std::unique_ptr<KitLock> lock;
    KitStage stage;
    if (!Step(&result, reporter, [&] { lock = KitLock::Acquire(root, params.kit_name, kKitLockWaitMs); }, cant_build) ||
        !Step(&result, reporter, [&] { stage.Create(root, params.kit_name); }, cant_build))
        return result;
    const std::string& dir = stage.dir();

    // 6. The runtime and the side files.
    const auto copy = [&](const std::string& from, const std::string& to) {
        return Step(&result, reporter, [&] { CopyToNewFile(from, to); },
                    [&](const std::string& why) { return Format1(kMsgCantCopy, from) + " (" + why + ")"; });
    };
    if (copy(params.runtime_path, KitPath(dir, kKitSetupExe)) && params.sign_runtime && !params.single_file)
        Step(&result, reporter, [&] { params.sign_runtime(KitPath(dir, kKitSetupExe)); }, AsThrown);
    for (int i = 0; i < 3; ++i) {
        const std::size_t slot = static_cast<std::size_t>(i);
        const std::string& from = slot < params.side_files.size() ? params.side_files[slot] : doc.side_file_paths[slot];
        if (!from.empty()) copy(from, KitPath(dir, kKitSideFiles[i]));
    }

    // 7. The setup list.
    const bool list_ok =
        Step(&result, reporter, [&] { WriteNewFile(KitPath(dir, kKitSetupList), list_bytes.data(), list_bytes.size()); },
             [](const std::string& why) { return std::string(kMsgCantCreateList) + ": " + why; });

    // 8. The archive; the build goes on whatever failed before, so that every failure is told.
    bool archive_ok = ArchiveProjectFiles(doc, KitPath(dir, kKitArchive), params.make_compressor, reporter, progress, &result);

    // 9. Complete: the staging folder takes the kit's place. Otherwise it goes, and the previous
    // kit stays as it was.
    if (result.failures.empty() && archive_ok && list_ok && params.single_file) {
        // The one program is made and signed beside the staged kit, then takes its place in the
        // root; the staging folder goes with the destructor.
        const std::string program = SingleFileProgramPath(root, params.kit_name);
        const std::string staged = SingleFileProgramPath(dir, params.kit_name);
        result.program = program;
        const bool made =
            Step(&result, reporter, [&] { AssembleSingleFile(dir, staged); },
                 [](const std::string& why) { return "Can't build the one-file kit: " + why; }) &&
            (!params.sign_runtime || Step(&result, reporter, [&] { params.sign_runtime(staged); }, AsThrown)) &&
            Step(&result, reporter, [&] { CheckSingleFile(staged); },
                 [](const std::string& why) { return "Can't build the one-file kit: after signing, " + why; });
        if (!made) {
            // reported by the step that failed
        } else if (!RenameOver(HostPath(staged), HostPath(program))) {
            Fail(&result, reporter, "Can't build the one-file kit: " + staged + " cannot take the place of " + program);
        } else {
            result.complete = true;
        }
        if (params.show_kit_dir) params.show_kit_dir(root);
        return result;
    }
    if (result.failures.empty() && archive_ok && list_ok) {
        result.complete = Step(&result, reporter, [&] { stage.Commit(kit_dir); }, cant_build);
    }
    // 10. The kit is shown whatever happened once the wizard was confirmed.
    if (params.show_kit_dir) params.show_kit_dir(kit_dir);
    return result;
}

}  // namespace qp
