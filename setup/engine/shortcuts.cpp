// The shortcut walk.
#include "setup/engine/shortcuts.h"

#include <vector>

#include "common/setuplist.h"
#include "setup/engine/lists.h"
#include "common/pathutil.h"
#include "setup/engine/macros.h"
#include "setup/engine/runstate.h"

namespace qp {

int ShowCommandOf(int run_mode) {
    switch (run_mode) {
        case 1: return 3;  // SW_SHOWMAXIMIZED
        case 2: return 7;  // SW_SHOWMINNOACTIVE
        default: return 1;  // SW_SHOWNORMAL
    }
}

namespace {

std::string Join(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '\\') return folder + name;
    return folder + "\\" + name;
}

// Deletes a shortcut file, then its folders up to (not including) the shell folder while empty.
void DeleteAndPrune(ShortcutEffects& fx, const std::string& path, const std::string& stop_at) {
    fx.Delete(path);
    std::string folder = path;
    for (;;) {
        auto pos = folder.rfind('\\');
        if (pos == std::string::npos || pos == 0) break;
        folder.resize(pos);
        if (folder.size() <= stop_at.size() || !fx.RemoveFolder(folder)) break;
    }
}

class ShortcutWalker {
public:
    ShortcutWalker(RunState& run, ShortcutEffects& fx, EngineEvents& ev) : run_(run), fx_(fx), ev_(ev) {}

    void Visit(const ShortcutNode& node) {
        lineage_.push_back(&node);
        if (node.kind == ShortcutNode::kShortcut) {
            int top = -1;
            std::string path = FolderPath(lineage_.size() - 1, node.common, top);
            Shortcut(node, path, top);
        }
        for (const auto& child : node.children) Visit(child);
        lineage_.pop_back();
    }

private:
    // The folder path of lineage_[i]. The all-users choice is made by the node the path is
    // worked out for (`common`), not by the shell folder above it. `top` gets the shell folder
    // kind the path starts from.
    std::string FolderPath(std::size_t i, int common, int& top) const {
        const ShortcutNode& node = *lineage_[i];
        if (node.kind >= ShortcutNode::kDesktop && node.kind <= ShortcutNode::kStartup) {
            top = node.kind;
            return ShellFolder(node.kind, common);
        }
        std::string parent = i > 0 ? FolderPath(i - 1, common, top) : std::string();
        std::string text = node.display_text.empty() ? node.name : node.display_text;
        if (text == "<SHELL_OBJECT_FOLDER>") text = run_.ctx.program_folder;
        if (node.kind != ShortcutNode::kShortcut) return Join(parent, text);
        // A shortcut's caption with backslashes names subfolders: they become part of its folder.
        auto pos = text.rfind('\\');
        return pos == std::string::npos ? parent : Join(parent, text.substr(0, pos));
    }

    std::string ShellFolder(int kind, int common) const {
        if (kind < 0 || kind > 3) return "";
        if (common != 0 && run_.ctx.nt_family) return run_.ctx.common_shell[kind];
        return run_.ctx.user_shell[kind];
    }

    void Shortcut(const ShortcutNode& node, const std::string& folder_path, int top) {
        GroupAction action = DecideGroups(node.group_names, run_.mode, run_.earlier_groups, run_.installed_groups);
        if (action == GroupAction::LeaveAlone) return;
        const std::string folder = WithoutTrailingBackslash(folder_path);
        // Subfolders named in the caption are already part of the folder path.
        const std::string caption =
            NameOf(run_.TextOrSelf(node.display_text.empty() ? node.name : node.display_text));
        const bool install = action == GroupAction::Install;
        // A shortcut outside any shell folder, or under one this system does not have, has
        // nowhere to go: its path would start at the root of the drive.
        const std::string shell = top < 0 ? std::string() : ShellFolder(top, node.common);
        if (folder.empty() || shell.empty()) {
            if (install) AddReport(run_, ev_, "CANT Create shortcut " + caption + ": this system has no such folder");
            return;
        }
        if (install && !fx_.CreateFolderPath(folder)) return;
        if (node.internet_shortcut != 0) {
            const std::string file = folder + "\\" + caption + ".url";
            if (install) {
                fx_.WriteUrl(file, node.target, node.icon_index, node.icon_file);
            } else {
                DeleteAndPrune(fx_, file, shell);
                fx_.RemoveFolder(folder);
            }
            return;
        }
        const std::string file = folder + "\\" + caption + ".lnk";
        if (!install) {
            DeleteAndPrune(fx_, file, shell);
            AddReport(run_, ev_, "Delete shortcut " + file);
            return;
        }
        LinkSpec link;
        link.link_path = file;
        link.target = ExpandMacros(node.target, run_.ctx);
        link.description = node.comment;
        link.arguments = ExpandMacros(node.arguments, run_.ctx);
        // "Start in" takes the macros like the target: "<TARGETDIR>" as text is no folder.
        link.working_folder = ExpandMacros(node.working_folder, run_.ctx);
        link.show_command = ShowCommandOf(node.run_mode);
        link.icon_path = node.icon_file.empty() ? link.target : ExpandMacros(node.icon_file, run_.ctx);
        link.icon_index = node.icon_index;
        fx_.CreateLink(link);
    }

    RunState& run_;
    ShortcutEffects& fx_;
    EngineEvents& ev_;
    std::vector<const ShortcutNode*> lineage_;
};

}  // namespace

void ApplyShortcuts(RunState& run, ShortcutEffects& fx, EngineEvents& events) {
    ShortcutWalker(run, fx, events).Visit(run.list->shortcuts);
}

}  // namespace qp
