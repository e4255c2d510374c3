// Command enabling, captions and small display rules of the builder's windows.
#include "builder/ui/logic/commands.h"

#include <cstdio>

namespace qp {

bool NeedsProject(unsigned id) {
    switch (id) {
    case cmd::kClose: case cmd::kSave: case cmd::kSaveAs: case cmd::kMakeRelative:
    case cmd::kSettings: case cmd::kBuild: case cmd::kInsertGroup:
        return true;
    }
    return false;
}

namespace {
Decision Yes(bool enabled) { return Decision{true, enabled}; }
}  // namespace

bool CanRenameNode(TreeKind tree, const TreeNode& n) {
    switch (tree) {
    case TreeKind::kGroup: return n.role == TreeNode::kGroup || n.role == TreeNode::kFolder;
    case TreeKind::kComponent: return n.role == TreeNode::kComponent && n.has_parent;
    case TreeKind::kSetupType: return n.role == TreeNode::kSetupType;
    case TreeKind::kRegistry: return n.role == TreeNode::kRegistry && n.kind != 0 && n.kind != 2;
    case TreeKind::kString: return false;
    case TreeKind::kLink: return n.role == TreeNode::kShortcut && n.kind >= 4;
    }
    return false;
}

Decision TreeCommand(TreeKind tree, const TreeNode& n, unsigned id) {
    const bool none = n.role == TreeNode::kNone;
    if (id == cmd::kDelete || id == cmd::kRename) return Yes(!none && CanRenameNode(tree, n));
    switch (tree) {
    case TreeKind::kGroup:
        // Insert folder and Insert File belong to the files window; InsertGroup to the frame.
        return Decision{};
    case TreeKind::kComponent:
        if (id == cmd::kNewComponent) return Yes(n.role == TreeNode::kComponent);
        return Decision{};
    case TreeKind::kSetupType:
        if (id == cmd::kNewSetupType) return Yes(n.role != TreeNode::kNone);
        if (id == cmd::kProperties) return Yes(n.role == TreeNode::kSetupType);
        return Decision{};
    case TreeKind::kRegistry:
        switch (id) {
        case cmd::kNewKey: case cmd::kNewString: case cmd::kNewBinary: case cmd::kNewDword:
            return Yes(n.role == TreeNode::kRegistry && n.kind >= 2);
        case cmd::kAddEntry:
            return Yes(n.role == TreeNode::kRegistry && n.kind == 0);
        case cmd::kModify:
            return Decision{};  // the values are the registry window's: it decides
        case cmd::kProperties:
            return Yes(n.role == TreeNode::kRegistry && n.kind != 0);  // "Registry Properties"
        }
        return Decision{};
    case TreeKind::kString:
        return Decision{};
    case TreeKind::kLink:
        if (id == cmd::kInsertFolder || id == cmd::kInsertFile) return Yes(n.role == TreeNode::kShortcut && n.kind < 5);
        return Decision{};
    }
    return Decision{};
}

WindowEntry WindowMenuEntry(bool project_open, bool is_active) {
    return WindowEntry{project_open && !is_active, is_active};
}

std::string FrameCaption(bool project_open, const std::string& title) {
    return project_open ? "Quillpacker - " + title : "Quillpacker";
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ProjectTitle(const std::string& path, bool modified) {
    std::string title = path.empty() ? std::string("Untitled") : BaseName(path);
    if (modified) title += '*';
    return title;
}

TabLayout TabRule(int rows_with_texts) {
    if (rows_with_texts >= 3) return TabLayout{false, false};
    return TabLayout{true, true};
}

std::string SizeText(long long bytes) {
    if (bytes < 0) return std::string();
    char buf[32];
    std::snprintf(buf, sizeof(buf), " %ld K", long(bytes / 1024));
    return buf;
}

}  // namespace qp
