// The kit build: project -> kit directory with setup.exe, setup.lst, setup.cab and the side
// files. Portable: the GUI adds the build wizard and the file explorer through the hooks of
// KitBuildParams; qpbc runs it without either.
#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "builder/kit/compressor.h"
#include "builder/model/doc.h"
#include "common/report.h"

namespace qp {

// The messages of the build, as the user sees them.
constexpr char kMsgFilesMissing[] = "These files DOESN'T EXIST !!:\n";
constexpr char kMsgCantCopy[] = "Can't copy %s  into kit directory!";
constexpr char kMsgCantCreateList[] = "Can't create setup list";
constexpr char kMsgArchiveDirEndsWithSeparator[] = "EROARE";
constexpr char kMsgErrorAdding[] = "Error adding %s to archive";
constexpr char kMsgFilesNotRegular[] = "These files are not regular files (folders, pipes or devices):\n";

// How long a build waits for another build of the same kit to finish before it gives up.
constexpr int kKitLockWaitMs = 60000;

// The fixed names of a kit's files, and the runtime's name in the builder's REDIS directory.
constexpr char kKitSetupExe[] = "setup.exe";
constexpr char kKitSetupList[] = "setup.lst";
constexpr char kKitArchive[] = "setup.cab";
constexpr char kRuntimeSourceName[] = "setup.ex_";
// The kit names of side file slots 0, 1, 2.
constexpr const char* kKitSideFiles[3] = {"setup.bmp", "readme.txt", "license.txt"};

struct KitBuildParams;

// What the build made. `complete` is true only when every kit file was written and every
// project file is in the archive; the GUI may carry on after a failure, but this says so.
struct KitBuildResult {
    bool started = false;    // false: files were missing, or the wizard was cancelled
    bool cancelled = false;  // the wizard, or the progress, asked to stop
    bool complete = false;
    std::string kit_dir;
    std::string program;  // a one-file build: the program KIT-ROOT/KIT.exe
    std::vector<std::string> missing_files;
    std::vector<std::string> failures;  // every failure message, as reported
    std::size_t files_total = 0;
    std::size_t files_added = 0;
};

using CompressorFactory = std::function<std::unique_ptr<Compressor>(Reporter&)>;

struct KitBuildParams {
    std::string kit_root;      // empty: DefaultKitRoot of the document
    std::string kit_name;      // the kit directory's name below the root
    std::string runtime_path;  // the setup runtime to copy as setup.exe ("...\REDIS\setup.ex_")
    // The side files of slots 0, 1, 2 as they are to be copied; empty: the document's own.
    std::vector<std::string> side_files;
    // The build wizard: runs after the missing-file check and may change the root and the name;
    // false cancels the build. Null: no wizard.
    std::function<bool(KitBuildParams&)> wizard;
    // Shows the kit directory at the end (the explorer in the GUI). Null: nothing is shown.
    std::function<void(const std::string& kit_dir)> show_kit_dir;
    // Makes the compressor for the archive. Null: the compressor linked into the program.
    CompressorFactory make_compressor;
    // Signs the kit's setup.exe once it is copied, before the setup list is written. A KitError
    // (its text is reported as it stands) leaves the kit incomplete. Null: the runtime is not
    // signed. With `single_file`, the one program is signed instead, once its payload is in.
    std::function<void(const std::string& exe_path)> sign_runtime;
    // One program KIT-ROOT/KIT.exe with the kit's files inside it, instead of the kit folder.
    bool single_file = false;
};

// The document's kit root, or the project file's directory followed by "KITS"; empty when
// the document has neither a kit root nor a path.
std::string DefaultKitRoot(const CDazDoc& doc);
// `dir`, one separator unless it already ends with one, and `name`.
std::string KitPath(const std::string& dir, const std::string& name);
// The runtime's architecture. x86 runs on every Windows; x64 writes the native registry view
// and installs into the native "Program Files" of 64-bit Windows, and runs nowhere else.
enum class RuntimeArch { X86, X64 };
// "x86" or "x64" (also "i686", "x86_64"); false for anything else.
bool ParseRuntimeArch(const std::string& text, RuntimeArch& arch);
// The runtime beside a builder in `builder_dir`: REDIS\setup.ex_ for x86, REDIS\x64\setup.ex_
// for x64.
std::string RuntimeSource(const std::string& builder_dir, RuntimeArch arch = RuntimeArch::X86);

// The number of file nodes of every group's file tree.
std::size_t CountProjectFiles(const CDazDoc& doc);
// The directory inside the archive of a group's file node: the group's name, then "\" and the
// node's folders when it lies in sub-folders.
std::string ArchiveDir(const CItemGroup& group, const CObListFile& file);

// The whole build. May set the document's kit root (from the wizard) and product GUID (when
// empty; the document is then marked modified, so that a save keeps the GUID). The kit is made
// in a staging folder beside the kit directory and takes its place only when complete; after
// any failure the previous kit is left as it was. A one-file build makes the program in the
// staging folder and moves it into the kit root; the staging folder then goes.
KitBuildResult BuildMedia(CDazDoc& doc, KitBuildParams params, Reporter& reporter, Progress* progress = nullptr);

// Adds every project file to the archive at `archive_path` (replacing any file there), in group
// and tree order; stops at the first file that cannot be added. True when every file is in.
// `result`, when given, receives the counts and failure messages.
bool ArchiveProjectFiles(const CDazDoc& doc, const std::string& archive_path, const CompressorFactory& make,
                         Reporter& reporter, Progress* progress, KitBuildResult* result = nullptr);

}  // namespace qp
