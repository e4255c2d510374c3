// The install phase.
#include "setup/engine/installphase.h"

#include "setup/engine/lists.h"
#include "setup/engine/log.h"
#include "setup/engine/osmask.h"
#include "setup/engine/uninstallreg.h"
#include "setup/engine/upgrade.h"

namespace qp {

namespace {

bool RemoveRun(const RunState& run) { return run.mode == RunMode::Remove; }

// In a modify run a group can belong to a component being removed and to one that stays; its
// files must stay for the one that stays.
bool KeptByChosenComponent(const RunState& run, const std::string& group) {
    if (RemoveRun(run)) return false;
    for (const auto& [path, c] : ComponentPaths(run.list->components)) {
        if (!ContainsNoCase(run.chosen_components, path)) continue;
        for (const auto& g : c->group_names)
            if (EqualNoCase(g, group)) return true;
    }
    return false;
}

// The groups of a component that this phase handles in install or in remove mode.
std::vector<const GroupRecord*> GroupsOf(const RunState& run, const ComponentRecord& c, bool install) {
    std::vector<const GroupRecord*> out;
    for (const auto& name : c.group_names) {
        const GroupRecord* g = run.list->FindGroup(name);
        if (!g) continue;
        if (install) {
            if (!SystemAllowed(static_cast<std::uint32_t>(g->operating_system_mask), run.ctx.os_code)) continue;
            if (!g->InstallsForLanguage(run.language_index)) continue;
        } else if (!ContainsNoCase(run.installed_groups, g->name) || KeptByChosenComponent(run, g->name)) {
            continue;
        }
        out.push_back(g);
    }
    return out;
}

std::string StatusLine(const RunState& run, const ComponentRecord& c) {
    if (!c.status_text.empty()) return run.TextOrSelf(c.status_text);
    return (RemoveRun(run) ? "UnInstalling" : "Installing") + std::string(" ") + c.name;
}

bool WriteLogAndRecord(RunState& run, FileEffects& files) {
    InstallLog log;
    log.components = run.chosen_components;
    log.groups = run.installed_groups;
    log.program_folder = run.ctx.program_folder;
    log.destination = run.ctx.destination;
    log.language = run.language_index;
    if (WriteLogFile(run.ctx.InfoLog(), log) != 1) return false;
    if (!run.have_record) return true;
    run.record.destination = run.ctx.destination;
    run.record.program_folder = run.ctx.program_folder;
    if (WriteWrittenRecord(run.ctx.InfoRecord(), run.record) == 1) return true;
    // An earlier record left beside the new log would name the wrong files; without one, a
    // removal deletes every target as it did before there were records.
    files.Delete(run.ctx.InfoRecord());
    return false;
}

void CopyIntoInfoFolder(RunState& run, FileEffects& files, EngineEvents& events, const std::string& from,
                        const std::string& to) {
    AddReport(run, events, files.Copy(from, to) ? to : "Fail to copy:" + to);
}

void WriteIntoInfoFolder(RunState& run, FileEffects& files, EngineEvents& events, const std::vector<std::uint8_t>& bytes,
                         const std::string& to) {
    AddReport(run, events, !bytes.empty() && files.Write(to, bytes) ? to : "Fail to copy:" + to);
}

}  // namespace

int CountPhaseFiles(RunState& run) {
    BuildComponentLists(run);
    const bool remove = RemoveRun(run);
    std::size_t n = 0;
    for (const ComponentRecord* c : remove ? run.remove_list : run.install_list)
        for (const GroupRecord* g : GroupsOf(run, *c, !remove)) n += CountFileNodes(g->file_tree);
    return static_cast<int>(n);
}

bool EnsureArchive(RunState& run, FileEffects& files, Questions& questions) {
    if (files.Exists(run.ctx.ArchivePath())) return true;
    questions.Message(run.ctx.ArchivePath() + " Not Found ", "Error", Questions::kNoIcon);
    while (!files.Exists(run.ctx.ArchivePath())) {
        std::string folder;
        if (!questions.PickFolder("Select kit path", folder)) return false;
        run.ctx.media_folder = WithoutTrailingBackslash(folder);
        run.ctx.media_program.clear();
    }
    return true;
}

bool RunInstallPhase(RunState& run, Platform& p, Questions& questions, EngineEvents& events) {
    // Whichever way the phase ends, the archive is let go: the restart page may ask for the
    // disk to be taken out, and an open file would keep it in use.
    struct ArchiveRelease {
        FileEffects& files;
        ~ArchiveRelease() { files.ReleaseArchive(); }
    } release{p.files};
    run.ctx.destination = WithoutTrailingBackslash(run.ctx.destination);
    events.ProgressRange(CountPhaseFiles(run));
    run.progress = 1;
    BuildComponentLists(run);
    run.written_files.clear();
    run.counted.clear();
    // A first installation starts the record of what the product wrote; a product installed
    // without one keeps being removed as it always was.
    if (run.mode == RunMode::FirstInstall) {
        run.have_record = true;
        run.record.Clear();
    }

    if (!run.install_list.empty() && !EnsureArchive(run, p.files, questions)) {
        run.abort = true;
        return false;
    }
    for (const ComponentRecord* c : run.install_list) {
        if (run.abort) break;
        events.Status(StatusLine(run, *c));
        for (const GroupRecord* g : GroupsOf(run, *c, true))
            if (run.abort || !ProcessGroup(run, *g, true, p.files, questions, events)) break;
    }
    for (const ComponentRecord* c : run.remove_list) {
        if (run.abort) break;
        events.Status(StatusLine(run, *c));
        for (const GroupRecord* g : GroupsOf(run, *c, false))
            if (run.abort || !ProcessGroup(run, *g, false, p.files, questions, events)) break;
    }
    // Cancel confirmed between files, or Abort at a locked file: nothing more is registered, and
    // the driver deletes what this run wrote.
    if (run.abort) return false;

    if (run.mode == RunMode::Upgrade) {
        // The log's groups helped the file phase tell which groups the product had (their shared
        // files are counted already); from here on the product has what this version installed.
        std::vector<std::string> now;
        for (const ComponentRecord* c : run.install_list)
            for (const GroupRecord* g : GroupsOf(run, *c, true)) AddUnique(now, g->name);
        run.installed_groups = now;
        RemoveEarlierLeftovers(run, p.files, p.registry, p.shortcuts, events);
    }

    const bool registers = InstallsAfresh(run.mode);
    if (registers) {
        const std::string info = run.ctx.InfoFolder();
        if (!p.files.CreateFolderPath(info)) questions.Message(info, "Failed to create directory", Questions::kNoIcon);
        if (run.one_file) {
            // The runtime without the kit it carries, and the setup list it carried.
            WriteIntoInfoFolder(run, p.files, events, run.plain_runtime, run.ctx.InfoSetupExe());
            WriteIntoInfoFolder(run, p.files, events, run.list_bytes, run.ctx.InfoSetupList());
        } else {
            CopyIntoInfoFolder(run, p.files, events, run.ctx.own_path, run.ctx.InfoSetupExe());
            CopyIntoInfoFolder(run, p.files, events, run.ctx.kit_folder + "\\setup.lst", run.ctx.InfoSetupList());
        }
    }
    // The log and the record come before the shortcuts, the values and the uninstall key: a
    // product that is registered always has them, and a run that cannot write them stops here
    // with nothing registered, so that it can be run again.
    if (!RemoveRun(run) && !WriteLogAndRecord(run, p.files)) {
        questions.Message("Instalation LOG file error!", "Error !", Questions::kErrorIcon);
        run.failed = true;
        run.abort = true;
        if (run.mode == RunMode::FirstInstall) {
            // The three share the information folder, which goes once they are gone.
            p.files.Delete(run.ctx.InfoLog());
            p.files.Delete(run.ctx.InfoSetupExe());
            p.files.Delete(run.ctx.InfoSetupList());
            EmptiedFolders::PruneFolderOf(p.files, run.ctx.InfoSetupExe());
        }
        return false;
    }

    ApplyShortcuts(run, p.shortcuts, events);
    ApplyRegistry(run, p.registry);
    if (registers) RegisterUninstall(run, p.registry);
    return true;
}

bool RemoveProduct(RunState& run, Platform& p, Questions& questions, EngineEvents& events) {
    run.mode = RunMode::Remove;
    // An interrupted removal keeps the product registered, so that it can be removed again.
    if (!RunInstallPhase(run, p, questions, events)) return false;
    if (!run.ctx.product_guid.empty()) p.registry.DeleteKeyTree(kHkeyLocalMachine, UninstallKeyPath(run.ctx.product_guid));
    p.files.Delete(run.ctx.InfoLog());
    p.files.Delete(run.ctx.InfoSetupList());
    p.files.Delete(run.ctx.InfoRecord());
    return true;
}

void DeleteWrittenFiles(RunState& run, FileEffects& files) {
    for (const auto& f : run.written_files) files.Delete(f);
    run.written_files.clear();
    for (auto it = run.counted.rbegin(); it != run.counted.rend(); ++it) files.SetSharedCount(it->path, it->before);
    run.counted.clear();
}

}  // namespace qp
