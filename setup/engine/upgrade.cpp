// Upgrade decision, selection and the removal of the earlier version's leftovers.
#include "setup/engine/upgrade.h"

#include "common/strutil.h"
#include "setup/engine/filerules.h"
#include "setup/engine/macros.h"
#include "setup/engine/questions.h"
#include "setup/engine/registry.h"
#include "setup/engine/runstate.h"
#include "setup/engine/shortcuts.h"
#include "setup/engine/version.h"

namespace qp {

KitRun DecideKitRun(bool registered, bool from_info_folder, const std::string& kit_version,
                    const std::string& registered_version) {
    if (!registered) return KitRun::FirstInstall;
    if (from_info_folder) return KitRun::Maintenance;
    const int c = CompareVersions(kit_version, registered_version);
    if (c > 0) return KitRun::Upgrade;
    if (c < 0) return KitRun::Older;
    return KitRun::Maintenance;
}

std::string ProductVersion(const SetupList& list) {
    std::string v;
    if (LookupText(list, "DisplayVersion", 0, "", v) && !v.empty()) return v;
    LookupText(list, "PRODUCT_VERSION", 0, "", v);
    return v;
}

std::vector<std::string> UpgradeSelection(const SetupList& list, const SetupList* earlier_list,
                                          const std::vector<std::string>& earlier_components) {
    std::vector<std::string> known;
    if (earlier_list)
        for (const auto& p : ComponentPaths(earlier_list->components)) known.push_back(p.first);
    const SetupTypeRecord* type = nullptr;
    for (const auto& t : list.setup_types) {
        if (!t.component_names.empty()) {
            type = &t;
            break;
        }
    }
    std::vector<std::string> out;
    for (const auto& p : ComponentPaths(list.components)) {
        const bool earlier = ContainsNoCase(earlier_components, p.first);
        const bool is_new = earlier_list && !ContainsNoCase(known, p.first);
        if (earlier || (is_new && type && ContainsNoCase(type->component_names, p.first))) out.push_back(p.first);
    }
    return out;
}

namespace {

void CollectTargets(const FileNode& node, const std::string& full_path, const std::string& destination,
                    std::vector<std::string>& out) {
    for (const auto& child : node.children)
        CollectTargets(child, full_path + "\\" + (child.IsFile() ? NodeFileName(child.name) : child.name), destination,
                       out);
    if (node.IsFile()) out.push_back(TargetPath(destination, full_path));
}

}  // namespace

std::vector<std::string> GroupTargets(const SetupList& list, const std::vector<std::string>& groups,
                                      const RunState& run) {
    std::vector<std::string> out;
    for (const auto& name : groups)
        if (const GroupRecord* g = list.FindGroup(name))
            CollectTargets(g->file_tree, g->name, ExpandMacros(g->destination, run.ctx), out);
    return out;
}

namespace {

// Paths told apart without regard to case, in constant time each (the record's index).
WrittenRecord PathSet(const std::vector<std::string>& paths) {
    WrittenRecord set;
    for (const auto& p : paths) set.Add(p, 0);
    return set;
}

}  // namespace

std::vector<StaleFile> StaleFiles(const RunState& run) {
    const WrittenRecord shipped = PathSet(GroupTargets(*run.list, run.installed_groups, run));
    std::vector<StaleFile> out;
    if (run.have_record) {
        run.record.EachFile([&](const WrittenFile& f) {
            if (!shipped.Has(f.path)) out.push_back({f.path, false});
        });
        return out;
    }
    if (!run.earlier_list) return out;
    WrittenRecord listed;
    for (const auto& name : run.earlier_groups) {
        const GroupRecord* g = run.earlier_list->FindGroup(name);
        if (!g) continue;
        std::vector<std::string> targets;
        CollectTargets(g->file_tree, g->name, ExpandMacros(g->destination, run.ctx), targets);
        for (const auto& t : targets)
            if (!shipped.Has(t) && !listed.Has(t)) {
                listed.Add(t, 0);
                out.push_back({t, g->shared != 0});
            }
    }
    return out;
}

namespace {

// Registry effects that only note what a walk would set or delete.
struct RegistryNotes : RegistryEffects {
    struct Value {
        std::uint32_t root;
        std::string key, name;
    };
    std::vector<Value> set, deleted;
    bool SetValue(std::uint32_t root, const std::string& key, const std::string& name, std::uint32_t type,
                  const std::vector<std::uint8_t>&) override {
        if (type != 0) set.push_back({root, key, name});
        return true;
    }
    void DeleteValue(std::uint32_t root, const std::string& key, const std::string& name) override {
        deleted.push_back({root, key, name});
    }
    void DeleteKeyTree(std::uint32_t, const std::string&) override {}
    bool WillSet(const Value& v) const {
        for (const auto& s : set)
            if (s.root == v.root && EqualNoCase(s.key, v.key) && EqualNoCase(s.name, v.name)) return true;
        return false;
    }
};

// Shortcut effects that note the files a walk would make, and the deletions (each followed by
// the folders it would try to remove) so that they can be done for real afterwards.
struct ShortcutNotes : ShortcutEffects {
    struct Removal {
        std::string file;
        std::vector<std::string> folders;
    };
    std::vector<std::string> made;
    std::vector<Removal> removals;
    bool CreateFolderPath(const std::string&) override { return true; }
    bool CreateLink(const LinkSpec& link) override {
        made.push_back(link.link_path);
        return true;
    }
    bool WriteUrl(const std::string& path, const std::string&, int, const std::string&) override {
        made.push_back(path);
        return true;
    }
    bool Delete(const std::string& path) override {
        removals.push_back({path, {}});
        return true;
    }
    bool RemoveFolder(const std::string& folder) override {
        if (!removals.empty()) removals.back().folders.push_back(folder);
        return true;
    }
};

void RemoveStaleFile(RunState& run, const StaleFile& f, FileEffects& files, EmptiedFolders& emptied,
                     EngineEvents& events) {
    const std::int64_t count = files.SharedCount(f.path);
    if (count > 1 || (count < 0 && f.shared_without_record)) {
        if (count > 1) files.SetSharedCount(f.path, count - 1);
        AddReport(run, events, ReportPair("Shared file", f.path));
        return;
    }
    if (count == 1) files.SetSharedCount(f.path, 0);
    if (!files.Exists(f.path)) {
        run.record.Remove(f.path);
        return;
    }
    const bool deleted = files.Delete(f.path);
    emptied.NoteFileOf(f.path);
    if (deleted) run.record.Remove(f.path);
    AddReport(run, events, ReportPair(deleted ? "Delete " : "CANT Delete ", f.path));
}

}  // namespace

void RemoveEarlierLeftovers(RunState& run, FileEffects& files, RegistryEffects& registry, ShortcutEffects& shortcuts,
                            EngineEvents& events) {
    EmptiedFolders emptied;
    for (const auto& f : StaleFiles(run)) RemoveStaleFile(run, f, files, emptied, events);
    emptied.Prune(files);
    // A product from before records: the earlier version's files that this one ships again
    // and that are there count as the product's, as they always did; from now on it has a record.
    if (!run.have_record && run.earlier_list) {
        const WrittenRecord shipped = PathSet(GroupTargets(*run.list, run.installed_groups, run));
        for (const auto& t : GroupTargets(*run.earlier_list, run.earlier_groups, run))
            if (shipped.Has(t) && !run.record.Has(t) && files.Exists(t)) run.record.Add(t, 0);
        run.have_record = true;
    }
    if (!run.earlier_list) return;

    // The earlier version's walk in remove mode says what it would take away; this version's
    // walk says what it puts back. Only the difference goes.
    EngineEvents quiet;
    RunState earlier = run;
    earlier.list = run.earlier_list;
    earlier.mode = RunMode::Remove;
    earlier.installed_groups.clear();
    earlier.ctx.program_folder = run.earlier_program_folder;
    RegistryNotes old_values, new_values;
    ShortcutNotes old_links, new_links;
    ApplyRegistry(earlier, old_values);
    ApplyShortcuts(earlier, old_links, quiet);
    RunState current = run;
    ApplyRegistry(current, new_values);
    ApplyShortcuts(current, new_links, quiet);

    for (const auto& v : old_values.deleted)
        if (!new_values.WillSet(v)) registry.DeleteValue(v.root, v.key, v.name);
    for (const auto& r : old_links.removals) {
        if (ContainsNoCase(new_links.made, r.file)) continue;
        if (!shortcuts.Delete(r.file)) continue;
        AddReport(run, events, "Delete shortcut " + r.file);
        for (const auto& folder : r.folders)
            if (!shortcuts.RemoveFolder(folder)) break;
    }
}

}  // namespace qp
