// The walk over a file group's tree that installs or removes its files, and the pruning of the
// folders a removal empties.
#include <algorithm>
#include <vector>

#include "setup/engine/filerules.h"
#include "common/pathutil.h"
#include "setup/engine/macros.h"
#include "setup/engine/questions.h"
#include "setup/engine/runstate.h"

namespace qp {

int FileEffects::ExtractNew(const std::string& archive, const std::string& member, const std::string& folder,
                            const std::string& output, bool& taken) {
    taken = Exists(output) || !CreateFolderPath(folder);
    return taken ? kExtractNotTried : Extract(archive, member, folder, output);
}

namespace {

// `folder` and then each parent while it can be removed (it is empty); never a drive root.
void PruneUp(FileEffects& fx, std::string folder) {
    for (;;) {
        // A drive root ("C:") is never a folder to remove.
        if (folder.empty() || (folder.size() <= 2 && folder.back() == ':')) break;
        if (!fx.RemoveFolder(folder)) break;
        auto pos = folder.rfind('\\');
        if (pos == std::string::npos || pos == 0) break;
        folder.resize(pos);
    }
}

}  // namespace

void EmptiedFolders::NoteFileOf(const std::string& path) {
    const std::string folder = FolderOf(path);
    // Files come folder by folder: the last one noted is the usual case.
    if (folder.empty() || (!folders_.empty() && folders_.back() == folder)) return;
    if (seen_.insert(folder).second) folders_.push_back(folder);
}

void EmptiedFolders::PruneFolderOf(FileEffects& fx, const std::string& path) { PruneUp(fx, FolderOf(path)); }

void EmptiedFolders::Prune(FileEffects& fx) {
    auto depth = [](const std::string& f) { return std::count(f.begin(), f.end(), '\\'); };
    std::stable_sort(folders_.begin(), folders_.end(),
                     [&depth](const std::string& a, const std::string& b) { return depth(a) > depth(b); });
    for (const std::string& f : folders_) PruneUp(fx, f);
    folders_.clear();
    seen_.clear();
}

namespace {

class GroupWalker {
public:
    // `count` asks that the use count of each shared file be raised: the group is new to the
    // product in this run.
    GroupWalker(RunState& run, const GroupRecord& group, bool install, bool count, FileEffects& fx, Questions& q,
                EngineEvents& ev)
        : run_(run), group_(group), install_(install), count_(count && group.shared != 0), fx_(fx), q_(q), ev_(ev),
          destination_(ExpandMacros(group.destination, run.ctx)) {}

    bool Walk(const FileNode& node, const std::string& full_path) {
        if (run_.abort) return true;
        for (const auto& child : node.children) {
            if (!Walk(child, full_path + "\\" + (child.IsFile() ? NodeFileName(child.name) : child.name))) {
                run_.abort = true;
                return false;
            }
        }
        if (node.IsFile() && !File(node, full_path)) return false;
        ev_.Pump();
        return true;
    }

private:
    bool File(const FileNode& node, const std::string& full_path) {
        const std::string target = TargetPath(destination_, full_path);
        const std::size_t entry = AddReport(run_, ev_, target);
        ev_.ProgressPos(run_.progress++);
        ev_.FileText(target);
        if (install_) return Install(node, full_path, target, entry);
        Remove(target, entry);
        return true;
    }

    bool Install(const FileNode& node, const std::string& full_path, const std::string& target, std::size_t entry) {
        const std::string folder = FolderOf(target);
        const std::string member = MemberName(full_path);
        // A target that is not there is always written: it is created by the same call that
        // finds its name free, with no look-up beforehand and no overwrite question. Under Wine
        // every look-up of a missing name reads the whole folder.
        NoteFolder(folder);
        bool taken = true;
        int rc;
        while ((rc = fx_.ExtractNew(run_.ctx.ArchivePath(), member, folder, target, taken)) != 0 && !taken) {
            const CopyFailures::Next next = run_.copy_failures.OnFailure(q_, ReportPair("CANT COPY ", target));
            if (next == CopyFailures::kRetry) continue;
            Failed(entry, target);
            if (next == CopyFailures::kStop) return false;
            break;
        }
        if (!taken) {
            if (rc == 0) Written(target, target, true, node);
            if (count_ && rc == 0) Count(target, false);
            SelfRegisterIfAsked(target);
            return true;
        }
        return InstallOver(node, target, folder, member, entry);
    }

    // Whether or not the file was written in this run.
    void SelfRegisterIfAsked(const std::string& target) {
        if (group_.self_register == 1 && fx_.SelfRegister(target) != 0)
            AddReport(run_, ev_, RegisterFailedText(target));
    }

    // The target is there (or may be): the overwrite rules decide, a locked target is asked
    // about or written beside, and a replacement is written whole before it takes the name.
    bool InstallOver(const FileNode& node, const std::string& target, const std::string& folder,
                     const std::string& member, std::size_t entry) {
        OverwriteFacts facts;
        facts.target_exists = fx_.Exists(target);
        if (facts.target_exists) {
            facts.packaged_version = node.version;
            facts.target_version = fx_.Version(target);
            facts.packaged_time = node.time;
            facts.target_time = fx_.LastWriteTime(target);
        }
        if (!OverwriteDecision(static_cast<std::uint32_t>(group_.overwrite_word), facts)) {
            SetReport(run_, ev_, entry, ReportPair("Unnecessary overwrite", target));
        } else {
            std::string output = target;
            bool temporary = false;
            // Only a file that is there can be locked.
            if (facts.target_exists && group_.restart_if_locked == 0) {
                while (fx_.IsLocked(target)) {
                    int answer = q_.AbortRetryIgnore(LockedFileText(target), "Install");
                    if (answer == Questions::kIgnore) return true;
                    if (answer == Questions::kAbort) return false;
                }
            } else if (facts.target_exists && fx_.IsLocked(target)) {
                std::string temp = TemporaryNameFor(target, [this](const std::string& p) { return fx_.Exists(p); });
                // Without a free name the file goes to its own name; that fails, and is reported.
                if (!temp.empty()) {
                    output = temp;
                    temporary = true;
                }
            }
            if (!fx_.CreateFolderPath(folder)) q_.Message(folder, "Failed to create directory", Questions::kNoIcon);
            int rc;
            while ((rc = fx_.Extract(run_.ctx.ArchivePath(), member, folder, output)) != 0) {
                const CopyFailures::Next next = run_.copy_failures.OnFailure(q_, ReportPair("CANT COPY ", output));
                if (next == CopyFailures::kRetry) continue;
                Failed(entry, output);
                if (next == CopyFailures::kStop) return false;
                break;
            }
            if (rc != 0) {
            } else if (temporary && !fx_.ScheduleReplace(output, target)) {
                // The system will not replace the target at restart: offering one would promise
                // what never happens, so the file counts as not copied.
                fx_.Delete(output);
                Failed(entry, target);
                if (run_.copy_failures.OnFailure(q_, ReportPair("CANT COPY ", target)) == CopyFailures::kStop)
                    return false;
            } else {
                if (temporary) {
                    run_.restart_needed = true;
                    AddReport(run_, ev_, RestartByText(target));
                }
                Written(output, target, !facts.target_exists || temporary, node);
            }
        }
        if (count_ && fx_.Exists(target)) Count(target, facts.target_exists);
        SelfRegisterIfAsked(target);
        return true;
    }

    // The one place where a file of this run is known to be written: `path` new (nothing was
    // there: it goes again when the run ends aborted) or replacing an earlier file.
    // Removal deletes only the files recorded here as the product's (written new or over what was
    // there), under the target's name even when the file waits beside it for a restart.
    void Written(const std::string& path, const std::string& target, bool is_new, const FileNode& node) {
        if (is_new) run_.written_files.push_back(path);
        run_.NoteWritten(target, static_cast<std::uint32_t>(node.size > 0 ? node.size : 0));
    }

    // The report line of a file that is not in place (the user has been asked already).
    void Failed(std::size_t entry, const std::string& path) { SetReport(run_, ev_, entry, ReportPair("CANT COPY ", path)); }

    // The folders this run makes go again when it is aborted. Each folder is looked at once, when
    // its first file comes, so that a folder of many files costs no look-up per file.
    void NoteFolder(const std::string& folder) {
        if (noted_folders_.insert(folder).second) NoteMissingFolders(fx_, folder, run_.created_folders);
    }

    // One more user of a shared file. A file that was there before without a count belongs to
    // someone unknown, whose use is never given back: it starts at two and so always stays.
    void Count(const std::string& target, bool existed) {
        const std::int64_t before = fx_.SharedCount(target);
        fx_.SetSharedCount(target, before > 0 ? before + 1 : existed ? 2 : 1);
        run_.counted.push_back({target, before});
    }

    void Remove(const std::string& target, std::size_t entry) {
        if (group_.shared != 0) {
            // Without a count nobody can tell who else uses the file, so it stays.
            const std::int64_t count = fx_.SharedCount(target);
            if (count < 0 || count > 1) {
                if (count > 1) fx_.SetSharedCount(target, count - 1);
                SetReport(run_, ev_, entry, ReportPair("Shared file", target));
                return;
            }
            fx_.SetSharedCount(target, 0);
        }
        // A file that was there before the product and was kept is not the product's to delete.
        if (!run_.ProductWrote(target)) {
            SetReport(run_, ev_, entry, ReportPair("Kept", target));
            return;
        }
        const bool deleted = fx_.Delete(target);
        emptied_.NoteFileOf(target);
        if (deleted) run_.record.Remove(target);
        SetReport(run_, ev_, entry, ReportPair(deleted ? "Delete " : "CANT Delete ", target));
    }

public:
    // The folders the group's files left go once, after the walk.
    void PruneEmptied() { emptied_.Prune(fx_); }

private:
    RunState& run_;
    const GroupRecord& group_;
    bool install_;
    bool count_;
    FileEffects& fx_;
    Questions& q_;
    EngineEvents& ev_;
    std::string destination_;
    EmptiedFolders emptied_;
    std::unordered_set<std::string> noted_folders_;
};

}  // namespace

bool ProcessGroup(RunState& run, const GroupRecord& group, bool install, FileEffects& fx, Questions& questions,
                  EngineEvents& events) {
    // A group the product already has (from an earlier run, or from another component in this
    // one) has counted its shared files already.
    const bool new_to_product = !ContainsNoCase(run.installed_groups, group.name);
    if (install)
        AddUnique(run.installed_groups, group.name);
    else
        RemoveName(run.installed_groups, group.name);
    GroupWalker walker(run, group, install, install && new_to_product, fx, questions, events);
    const bool walked = walker.Walk(group.file_tree, group.name);
    // Also after an abort: the folders of the files removed so far go as they would have gone
    // one by one.
    walker.PruneEmptied();
    if (!walked) {
        run.abort = true;
        return false;
    }
    return true;
}

}  // namespace qp
