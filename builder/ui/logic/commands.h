// The builder's command ids (menu, toolbar, accelerators, context menus) and the decisions that
// enable them. Portable: the windows ask these functions and only map the answer onto menus,
// buttons and label editing.
#pragma once
#include <cstdint>
#include <string>

namespace qp {
namespace cmd {
// Standard commands.
constexpr unsigned kNew = 57600, kOpen = 57601, kClose = 57602, kSave = 57603, kSaveAs = 57604;
constexpr unsigned kPrint = 57607, kRecentFirst = 57616, kRecentLast = 57619, kExit = 57665;
constexpr unsigned kCut = 57635, kCopy = 57634, kPaste = 57637, kUndo = 57643;
constexpr unsigned kViewToolbar = 59392, kViewStatusBar = 59393;
constexpr unsigned kCascade = 57650, kTile = 57651, kArrange = 57649;
constexpr unsigned kHelpTopics = 57667, kAbout = 57664, kContextHelp = 57670;
// The builder's own.
constexpr unsigned kInsertFolder = 32771, kInsertFile = 32772, kInsertGroup = 32773;
constexpr unsigned kNewComponent = 32774, kDelete = 32775, kRename = 32777, kNewSetupType = 32778;
constexpr unsigned kProperties = 32779, kNewKey = 32780, kNewString = 32781, kNewBinary = 32782;
constexpr unsigned kNewDword = 32783, kAddEntry = 32784, kModify = 32785;
constexpr unsigned kWindowFirst = 32790, kWindowLast = 32797;
constexpr unsigned kBuild = 32800, kExplorer = 32801, kSettings = 32802;
constexpr unsigned kWorkspaceBar = 32809, kMakeRelative = 32812;
}  // namespace cmd

// Commands the frame decides: enabled with a project only.
bool NeedsProject(unsigned id);

// The six workspace trees, in tab order.
enum class TreeKind { kGroup = 0, kComponent = 1, kSetupType = 2, kRegistry = 3, kString = 4, kLink = 5 };
constexpr int kTreeCount = 6;  // one tree per tab of the workspace bar

// The selected node of a tree, as far as the decisions need it.
struct TreeNode {
    enum Role { kNone, kRoot, kGroup, kFilesRoot, kFolder, kComponent, kSetupType, kRegistry, kLanguage, kShortcut };
    Role role = kNone;
    std::int32_t kind = 0;     // registry or shortcut node kind
    bool has_parent = false;   // components: false for the root component
};

// Whether a tree's command is enabled for the selected node; `known` false when the tree does
// not decide the command (it then goes on along the route).
struct Decision {
    bool known = false;
    bool enabled = false;
};
Decision TreeCommand(TreeKind tree, const TreeNode& node, unsigned id);
// Label editing of a node (the same rule as Rename).
bool CanRenameNode(TreeKind tree, const TreeNode& node);

// The Window menu's entry of an item window.
struct WindowEntry {
    bool enabled = false;
    bool checked = false;
};
WindowEntry WindowMenuEntry(bool project_open, bool is_active);

// The frame caption: "Quillpacker", then "-" and the title while a project is open.
std::string FrameCaption(bool project_open, const std::string& title);
// The project's title: the file name of its path without the directory, "Untitled" without a
// path; a trailing "*" while modified.
std::string ProjectTitle(const std::string& path, bool modified);

// The tab control's row rule: below three rows the texts show on several rows; from three on,
// one row of images only.
struct TabLayout {
    bool multi_line = true;
    bool texts = true;
};
TabLayout TabRule(int rows_with_texts);

// " %ld K" of a file's size (integer division by 1024); empty when unknown (negative).
std::string SizeText(long long bytes);
// The part after the last "\" (or "/").
std::string BaseName(const std::string& path);

}  // namespace qp
