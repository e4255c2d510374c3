// setup.exe from start to exit: finds the kit beside itself, reads the setup list, decides
// between a first installation and a maintenance run, checks the system, runs the wizard (or the
// unattended run), and at exit cleans up, opens the program folder or restarts the computer.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>

#include "common/fileio.h"
#include "common/fsprim.h"
#include "common/pathutil.h"
#include "common/strutil.h"
#include "common/win/syslib.h"
#include "common/win/widen.h"
#include "setup/engine/copyfailure.h"
#include "setup/engine/kitmedia.h"
#include "setup/engine/log.h"
#include "setup/engine/osmask.h"
#include "setup/engine/privatecopy.h"
#include "setup/engine/uninstallreg.h"
#include "setup/engine/upgrade.h"
#include "setup/engine/written.h"
#include "setup/engine/win/context_win.h"
#include "setup/engine/win/filerules_win.h"
#include "setup/engine/win/leftovers_win.h"
#include "setup/engine/win/registry_win.h"
#include "setup/engine/win/restart_win.h"
#include "setup/engine/win/selfdelete_win.h"
#include "setup/engine/win/shortcuts_win.h"
#include "setup/setup_run.h"
#include "setup/setup_start.h"
#include "setup/wizard/win/commoncontrols.h"
#include "setup/wizard/win/wizard_ui.h"

// The default terminate handler demangles the name of the exception's type for a console that a
// windowed program does not have, and the demangler alone is some 46 KB. An exception that
// escapes is a fault either way; ending the process is all that is left to do.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace qp::setup {

void Say(Run& r, const std::string& text, const std::string& caption, UINT flags) {
    r.log.Line(caption + ": " + text);
    if (!r.cl.silent) MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
}

void PrepareRunState(Run& r) {
    RunState& run = r.run;
    const wiz::WizardState& s = r.state;
    run.selected = wiz::SelectedPaths(r.data.root);
    run.ctx.destination = s.target_dir;
    run.ctx.program_folder = s.program_folder;
    run.user_name = s.user_name;
    run.user_company = s.company;
    run.language_position = s.language_position;
    run.language_index = s.language_index;
    run.product_name = r.data.texts.ProductName();
    if (s.maintenance) run.mode = static_cast<RunMode>(s.action < 0 ? 0 : s.action);
    run.abort = false;
}

void TakePhaseResult(Run& r) {
    r.state.report = r.run.report;
    r.state.restart_needed = r.run.restart_needed;
    for (const auto& line : r.run.report) {
        r.log.Line(line);
        if (line.rfind("Fail to copy:", 0) == 0 || line.rfind("CANT COPY", 0) == 0)
            r.files_failed = true;
    }
    if (r.run.abort) r.state.abort = true;
    r.log.Flush();
}

namespace {
bool HasShortcut(const ShortcutNode& node) {
    if (node.kind == ShortcutNode::kShortcut) return true;
    for (const auto& c : node.children)
        if (HasShortcut(c)) return true;
    return false;
}
}  // namespace

bool RunPhase(Run& r, Questions& questions, EngineEvents& events, bool remove) {
    PrepareRunState(r);
    WinFileEffects files(r.run.ctx.nt_family, r.run.ctx.windows_folder);
    if (!r.run.ctx.media_program.empty())
        files.SetArchiveWindow(r.run.ctx.media_program, r.run.ctx.archive_offset, r.run.ctx.archive_size);
    WinRegistry registry;
    WinShortcuts shortcuts;
    Platform platform{files, registry, shortcuts};
    // The component object library is for the shell links. Initialised, it makes a window of
    // its own, which under Wine starts the desktop process: a run without shortcuts goes without.
    const bool links = HasShortcut(r.list.shortcuts);
    HRESULT co = links ? CoInitialize(nullptr) : E_FAIL;
    bool ok = remove ? RemoveProduct(r.run, platform, questions, events)
                     : RunInstallPhase(r.run, platform, questions, events);
    if (SUCCEEDED(co)) CoUninitialize();
    TakePhaseResult(r);
    r.phase_completed = ok && !r.run.abort;
    return ok;
}

namespace {

std::vector<std::string> Arguments() {
    std::vector<std::string> all = SplitCommandLine(GetCommandLineA());
    if (!all.empty()) all.erase(all.begin());
    return all;
}

// The system's own file explorer, by its full path: a bare "explorer.exe" is looked for in the
// program's folder and the current folder first.
std::string ExplorerPath(const InstallContext& ctx) {
    return ctx.windows_folder + "\\explorer.exe";
}

void OpenProgramFolder(const Run& r) {
    const InstallContext& ctx = r.run.ctx;
    std::string folder = ctx.common_shell[kShellPrograms] + "\\" + ctx.program_folder;
    if (ctx.common_shell[kShellPrograms].empty() || !IsDirectory(folder)) {
        folder = ctx.user_shell[kShellPrograms] + "\\" + ctx.program_folder;
        if (ctx.user_shell[kShellPrograms].empty() || !IsDirectory(folder)) return;
    }
    if (ctx.windows_folder.empty()) return;
    const std::string explorer = ExplorerPath(ctx);
    std::string cmd = "\"" + explorer + "\" " + folder;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(explorer.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

const char kUpgradeText[] = "Setup will replace %P %1 with version %2. Your settings and component choice stay.";
const char kOlderVersionText[] =
    "%P %1 is already installed. This setup holds the older version %2 and cannot replace it.";

// A text of the string table (or, for a kit built before the key existed, `fallback` with the
// product name in place of "%P"), with the registered version for "%1" and this kit's for "%2".
std::string VersionText(const Run& r, const char* key, const char* fallback, const std::string& registered,
                        const std::string& kit) {
    std::string text;
    if (!r.data.texts.Lookup(key, text) || text.empty()) {
        text = fallback;
        const auto p = text.find("%P");
        if (p != std::string::npos) text.replace(p, 2, r.data.texts.ProductName());
    }
    for (const auto& [mark, value] : {std::pair<const char*, const std::string&>{"%1", registered}, {"%2", kit}}) {
        const auto p = text.find(mark);
        if (p != std::string::npos) text.replace(p, 2, value.empty() ? std::string("?") : value);
    }
    return text;
}

// What a removal goes by when the log is lost: every component and group of the setup list, and
// the folders of the record of written files or, without one, the first installation's defaults.
InstallLog LogFromSetupList(const SetupList& list, const InstallContext& ctx, const std::string& destination,
                            const std::string& program_folder) {
    InstallLog log;
    for (const auto& p : ComponentPaths(list.components)) log.components.push_back(p.first);
    for (const auto& g : list.groups) log.groups.push_back(g.name);
    WrittenRecord record;
    const bool recorded = ReadWrittenRecord(ctx.InfoRecord(), record) == RecordRead::kRead;
    log.destination = recorded && !record.destination.empty() ? record.destination : destination;
    log.program_folder = recorded ? record.program_folder : program_folder;
    return log;
}

bool EndsWithExe(const std::string& path) {
    return path.size() > 4 && EqualNoCase(path.substr(path.size() - 4), ".exe");
}

// The archive and the side files come from inside `kit`.
void UseOneFileMedia(InstallContext& ctx, const OneFileKit& kit, Run& r) {
    ctx.media_program = kit.program;
    ctx.media_folder = WithoutTrailingBackslash(FolderOf(kit.program));
    ctx.archive_offset = kit.archive_offset;
    ctx.archive_size = kit.archive_size;
    r.side_files_inside = true;
    r.bmp_bytes = kit.bitmap;
    r.readme_text = kit.readme;
    r.license_text = kit.license;
}

// What a run of the product that was killed half-way left in the information folder and beside
// the files the product wrote. Only for a run that knows it is the product's only one.
void SweepLeftovers(Run& r, const InstallContext& ctx) {
    WrittenRecord record;
    const bool recorded = ReadWrittenRecord(ctx.InfoRecord(), record) == RecordRead::kRead;
    RemoveKilledRunLeftovers(ctx.InfoFolder(), recorded ? &record : nullptr,
                             [&r](const std::string& path) { r.log.Line("Removed the temporary file " + path); });
}

// Start-up up to the wizard. False when the run cannot start (the message has been given).
// `copy` tells, in the private copy, which program the user started and where the kit is.
bool Start(Run& r, const PrivateCopyArgs& copy) {
    InstallContext ctx = DetectInstallContext();
    if (copy.present) {
        ctx.started_path = copy.started_path;
        ctx.kit_folder = copy.kit_folder;
        ctx.media_folder = copy.kit_folder;
    }
    const std::string list_path = ctx.kit_folder + "\\setup.lst";
    // A one-file kit carries its files; a plain runtime finds them beside itself.
    OneFileKit own;
    std::string why;
    // The program the user started: a private copy reads the kit from the original.
    const KitKind kit_kind = OpenKitProgram(ctx.started_path, own, &why);
    if (kit_kind == KitKind::kDamaged) {
        r.log.Line(ctx.started_path + ": " + why);
        Say(r, kMsgBadInstallFile, SetupListError::caption(), MB_OK | MB_ICONERROR);
        return false;
    }
    try {
        r.list = kit_kind == KitKind::kOneFile ? ReadSetupList(own.list) : LoadSetupList(list_path);
    } catch (const SetupListError& e) {
        Say(r, e.what(), SetupListError::caption(), MB_OK | MB_ICONERROR);
        return false;
    } catch (const std::exception&) {
        Say(r, list_path + " Instalation file error!", "Fatal Error !", MB_OK | MB_ICONERROR);
        return false;
    }
    RunState& run = r.run;
    run.list = &r.list;
    ctx.product_guid = r.list.settings.product_guid();
    // The GUID names the product's uninstall key and information folder; without a usable one
    // the registration would go into the system's list itself.
    if (!UsableProductCode(ctx.product_guid)) {
        Say(r, kMsgBadInstallFile, SetupListError::caption(), MB_OK | MB_ICONERROR);
        return false;
    }
    wiz::LoadWizardData(r.list, r.data);
    run.product_name = r.data.texts.ProductName();
    // Two runs of one product would write the same files, registration and logs at once: the
    // second (say, a double click given twice, or a deployment beside the user's own run) waits
    // for no one and changes nothing.
    const ProductRun others = AnnounceProductRun(ctx.product_guid);
    if (others == ProductRun::kOther) {
        Say(r, "Another setup of " + run.product_name + " is running. Wait until it has finished, then start this one again.",
            r.data.texts.Get("TITLE_CAPTIONBAR", "Setup"), MB_OK | MB_ICONINFORMATION);
        r.outcome = Outcome::AnotherRun;
        return false;
    }
    const std::string company = r.data.texts.Get("COMPANY_NAME");
    const std::string product = r.data.texts.Get("PRODUCT_NAME");
    const std::string folder_name = r.data.texts.Get("FOLDER_NAME");

    std::string media, registered_version, log_file;
    const bool installed = UninstallKeyExists(ctx.product_guid, &media, &registered_version, &log_file);
    if (installed) {
        // Read where the registration says: an older x86 runtime put the folder under the
        // 64-bit "Program Files". Maintenance, upgrades and the removal keep it there.
        const std::string registered = InfoFolderOfLog(log_file, ctx.product_guid);
        if (!registered.empty() && !EqualNoCase(registered, ctx.InfoFolder()) &&
            (IsFile(registered + "\\uninst.lst") || IsFile(registered + "\\setup.exe")))
            ctx.info_folder = registered;
    }
    if (others == ProductRun::kAlone) SweepLeftovers(r, ctx);
    else r.log.Line("Whether another setup of this product is running cannot be told; temporary files of earlier runs stay.");
    const std::string kit_version = ProductVersion(r.list);
    // The program the user started: in the private copy, the file it was made of.
    const bool from_info = EqualNoCase(ctx.started_path.empty() ? ctx.own_path : ctx.started_path, ctx.InfoSetupExe());
    const KitRun kind = DecideKitRun(installed, from_info, kit_version, registered_version);
    if (kind == KitRun::Older) {
        Say(r, VersionText(r, "OLDER_VERSION_TEXT", kOlderVersionText, registered_version, kit_version),
            r.data.texts.Get("TITLE_CAPTIONBAR", "Setup"), MB_OK | MB_ICONINFORMATION);
        r.outcome = Outcome::OtherVersion;
        return false;
    }
    const int mode = kind == KitRun::FirstInstall ? kFirstInstall : DecideMode(installed, r.cl);
    wiz::WizardState& s = r.state;
    s.silent = r.cl.silent;
    if (kit_kind == KitKind::kOneFile) {
        run.one_file = true;
        run.plain_runtime = own.plain_runtime;
        run.list_bytes = own.list;
    }
    if (mode == kFirstInstall) {
        run.mode = RunMode::FirstInstall;
        ctx.media_folder = ctx.kit_folder;
        if (kit_kind == KitKind::kOneFile) UseOneFileMedia(ctx, own, r);
        s.target_dir = ctx.program_files + "\\" + company + "\\" + product;
        s.program_folder = folder_name;
    } else {
        const bool upgrade = kind == KitRun::Upgrade;
        run.mode = upgrade ? RunMode::Upgrade : static_cast<RunMode>(mode);
        s.maintenance = !upgrade;
        s.action = upgrade ? wiz::kActionNone : mode;
        // A kit run again installs from its own archive; the stored media may be long gone.
        const bool own_media = upgrade || (!from_info && (kit_kind == KitKind::kOneFile || IsFile(ctx.kit_folder + "\\setup.cab")));
        ctx.media_folder = own_media || media.empty() ? ctx.kit_folder : media;
        OneFileKit media_kit;
        if ((own_media || media.empty()) && kit_kind == KitKind::kOneFile) {
            UseOneFileMedia(ctx, own, r);
        } else if (!own_media && !media.empty() && !IsDirectory(media) && (IsFile(media) || EndsWithExe(media))) {
            // "MediaPath" names a one-file kit; one that is gone or damaged is asked for again.
            ctx.media_folder = WithoutTrailingBackslash(FolderOf(media));
            if (OpenKitProgram(media, media_kit) == KitKind::kOneFile) UseOneFileMedia(ctx, media_kit, r);
        }
        InstallLog log;
        LogMessage message;
        if (!ReadLogFile(ctx.InfoLog(), log, message)) {
            // A removal need not be stuck on a lost log: it removes what the setup list installs.
            if (run.mode != RunMode::Remove) {
                Say(r, message.text, message.caption, MB_OK | MB_ICONERROR);
                return false;
            }
            Say(r, message.text + "\nSetup removes what its setup list installs.", message.caption,
                MB_OK | MB_ICONWARNING);
            log = LogFromSetupList(r.list, ctx, ctx.program_files + "\\" + company + "\\" + product, folder_name);
        }
        run.earlier_components = log.components;
        run.earlier_groups = log.groups;
        run.installed_groups = log.groups;
        run.earlier_program_folder = log.program_folder;
        s.target_dir = log.destination;
        s.program_folder = log.program_folder;
        run.have_record = ReadWrittenRecord(ctx.InfoRecord(), run.record) == RecordRead::kRead;
        if (upgrade) {
            try {
                r.earlier_list = LoadSetupList(ctx.InfoSetupList());
                run.earlier_list = &r.earlier_list;
            } catch (const std::exception&) {
                r.log.Line("The earlier version's setup list cannot be read; its shortcuts and values stay.");
            }
            s.upgrade = true;
            s.upgrade_text = VersionText(r, "DLG_UPGRADE_TEXT", kUpgradeText, registered_version, kit_version);
            wiz::MarkSelected(r.data.root, UpgradeSelection(r.list, run.earlier_list, log.components));
        }
    }
    run.ctx = ctx;
    if (!SystemAllowed(r.list.settings.os_mask(), ctx.os_code)) {
        Say(r, "This setup is not design for this OS", "Error", MB_OK);
        s.abort = true;
        return false;
    }
    r.cab_path = ctx.ArchivePath();
    if (!r.side_files_inside) {
        r.bmp_path = ctx.media_folder + "\\setup.bmp";
        r.readme_path = ctx.media_folder + "\\readme.txt";
        r.license_path = ctx.media_folder + "\\license.txt";
    }
    if (s.maintenance) {
        MarkEarlierComponents(run);
        wiz::MarkSelected(r.data.root, run.selected);
    }
    ReadRegisteredOwner(ctx.nt_family, s.user_name);
    ReadRegisteredOrganization(ctx.nt_family, s.company);
    return true;
}

int Main() {
    Run r;
    r.instance = GetModuleHandleA(nullptr);
    const PrivateCopyArgs copy = ParsePrivateCopy(Arguments());
    r.cl = ParseCommandLine(copy.rest);
    if (r.cl.qdelete) return RunQDelete(r.cl.qdelete_handle, r.cl.qdelete_path);
    if (!copy.present) {
        // Everything below runs in the private copy; only when no copy can be made does the run
        // go on here, with the DLL search already restricted.
        int status = 0;
        const std::string own = OwnProgramPath();
        if (own.empty()) {
            // Every file of the kit is found by this name: without it, "bad kit" would be wrong.
            r.log.Open(r.cl.log_path);
            Say(r, "Setup cannot run from this folder: this system cannot spell the folder's name. Move the kit to "
                   "another folder, then start it again.",
                "Setup", MB_OK | MB_ICONERROR);
            return ExitStatus(Outcome::StartFailed, false, false, false);
        }
        if (RunPrivateCopy(FolderOf(own), ArgumentsAfterProgram(GetCommandLineA()), status)) return status;
    }
    SweepStalePrivateCopies();
    r.log.Open(r.cl.log_path);

    // An unattended run shows no window: it leaves the controls unloaded (see commoncontrols.h).
    if (!r.cl.silent) {
        wiz::InitCommonControlsFor(ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES);
        wiz::RegisterWizardClasses(r.instance);
    }

    if (!Start(r, copy)) {
        if (r.outcome == Outcome::OtherVersion) {
            r.log.Line("Setup changed nothing: another version is installed.");
            return ExitStatus(r.outcome, false, false, false);
        }
        if (r.outcome == Outcome::AnotherRun) {
            r.log.Line("Setup changed nothing: another setup of this product is running.");
            return ExitStatus(r.outcome, false, false, false);
        }
        r.log.Line("Setup could not start.");
        return ExitStatus(Outcome::StartFailed, false, false, false);
    }
    if (r.cl.silent) RunUnattended(r);
    else RunInteractive(r);

    if (r.run.failed) r.outcome = Outcome::Failed;
    // Once the phase has run to its end, however the wizard is closed afterwards, the run is
    // complete: deleting its files now would leave a registered product without them.
    const bool aborted = !r.phase_completed && (r.state.abort || r.outcome != Outcome::Completed);
    if (aborted) {
        WinFileEffects files(r.run.ctx.nt_family, r.run.ctx.windows_folder);
        DeleteWrittenFiles(r.run, files);
        // The folders the run made, the destination the wizard made first among them.
        auto& made = r.run.created_folders;
        made.insert(made.end(), r.state.created_folders.begin(), r.state.created_folders.end());
        RemoveCreatedFolders(files, made);
        if (r.outcome == Outcome::Completed) r.outcome = Outcome::Cancelled;
        r.log.Line("Setup was cancelled.");
        return ExitStatus(r.outcome, false, false, false);
    }
    if (r.run.mode == RunMode::Remove) {
        // The file to go is the one the user started; in the private copy its starter is still
        // waiting, and the helper waits for the starter.
        HANDLE starter = nullptr;
        if (copy.present)
            starter = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(std::strtoul(copy.handle.c_str(), nullptr, 10)));
        RemoveOwnCopy(r.run.ctx.started_path, r.run.ctx.InfoSetupExe(), r.run.ctx.InfoFolder(), starter);
    }
    if (!r.state.restart_now && r.run.mode == RunMode::FirstInstall && !r.cl.silent)
        OpenProgramFolder(r);
    if (r.state.restart_now) {
        r.log.Flush();  // the system may end the process before it returns
        RestartComputer(r.run.ctx.nt_family, [&r](const std::string& e) { r.log.Line(e); });
    }
    const int status = ExitStatus(Outcome::Completed, r.files_failed, r.state.restart_needed,
                                  r.state.restart_now);
    r.log.Line("Setup finished with status " + std::to_string(status) + ".");
    return status;
}

}  // namespace
}  // namespace qp::setup

// Before anything can load a DLL by name (a delay-loaded system DLL is loaded at its first
// call, and a static constructor could make one): the system folder only. Again in WinMain, in
// case a toolchain runs this later than promised.
__attribute__((constructor(101))) static void RestrictDllSearchFirst() { qp::RestrictDllSearchToSystem(); }

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    qp::RestrictDllSearchToSystem();
    int status = qp::setup::kExitStartFailed;
    try {
        status = qp::setup::Main();
    } catch (...) {
    }
    // Once more at the end: a self-delete helper that was still finishing at the start has
    // ended by now.
    qp::setup::SweepStalePrivateCopies();
    return status;
}
