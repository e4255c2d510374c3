// Which commands the trees and the frame enable, and the small display rules of the windows.
#include <gtest/gtest.h>

#include "builder/ui/logic/commands.h"
#include "builder/ui/logic/drop.h"

using qp::TreeKind;
using qp::TreeNode;
namespace cmd = qp::cmd;

namespace {
bool Enabled(TreeKind t, TreeNode n, unsigned id) {
    const qp::Decision d = qp::TreeCommand(t, n, id);
    EXPECT_TRUE(d.known) << "tree " << int(t) << " command " << id;
    return d.enabled;
}
TreeNode Node(TreeNode::Role role, int kind = 0, bool has_parent = true) { return TreeNode{role, kind, has_parent}; }
}  // namespace

TEST(TreeCommands, DeleteAndRenameOnlyWhereTheRulesAllow) {
    struct Row {
        TreeKind tree;
        TreeNode node;
        bool editable;
    } rows[] = {
        {TreeKind::kGroup, Node(TreeNode::kRoot), false},
        {TreeKind::kGroup, Node(TreeNode::kGroup), true},
        {TreeKind::kGroup, Node(TreeNode::kFilesRoot), false},
        {TreeKind::kGroup, Node(TreeNode::kFolder, 1), true},
        {TreeKind::kComponent, Node(TreeNode::kComponent, 0, false), false},
        {TreeKind::kComponent, Node(TreeNode::kComponent), true},
        {TreeKind::kSetupType, Node(TreeNode::kRoot), false},
        {TreeKind::kSetupType, Node(TreeNode::kSetupType), true},
        {TreeKind::kRegistry, Node(TreeNode::kRegistry, 0), false},
        {TreeKind::kRegistry, Node(TreeNode::kRegistry, 1), true},
        {TreeKind::kRegistry, Node(TreeNode::kRegistry, 2), false},
        {TreeKind::kRegistry, Node(TreeNode::kRegistry, 3), true},
        {TreeKind::kString, Node(TreeNode::kLanguage), false},
        {TreeKind::kLink, Node(TreeNode::kShortcut, 3), false},
        {TreeKind::kLink, Node(TreeNode::kShortcut, 4), true},
        {TreeKind::kLink, Node(TreeNode::kShortcut, 5), true},
        {TreeKind::kLink, Node(TreeNode::kNone), false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Enabled(r.tree, r.node, cmd::kDelete), r.editable) << int(r.tree) << " role " << r.node.role;
        EXPECT_EQ(Enabled(r.tree, r.node, cmd::kRename), r.editable);
        EXPECT_EQ(qp::CanRenameNode(r.tree, r.node), r.editable);
    }
}

TEST(TreeCommands, CreationCommandsFollowTheSelectedKind) {
    EXPECT_TRUE(Enabled(TreeKind::kRegistry, Node(TreeNode::kRegistry, 0), cmd::kAddEntry));
    EXPECT_FALSE(Enabled(TreeKind::kRegistry, Node(TreeNode::kRegistry, 1), cmd::kAddEntry));
    EXPECT_FALSE(Enabled(TreeKind::kRegistry, Node(TreeNode::kRegistry, 1), cmd::kNewKey));
    EXPECT_TRUE(Enabled(TreeKind::kRegistry, Node(TreeNode::kRegistry, 2), cmd::kNewDword));
    EXPECT_TRUE(Enabled(TreeKind::kLink, Node(TreeNode::kShortcut, 4), cmd::kInsertFile));
    EXPECT_FALSE(Enabled(TreeKind::kLink, Node(TreeNode::kShortcut, 5), cmd::kInsertFolder));
    EXPECT_TRUE(Enabled(TreeKind::kComponent, Node(TreeNode::kComponent, 0, false), cmd::kNewComponent));
    EXPECT_FALSE(Enabled(TreeKind::kSetupType, Node(TreeNode::kRoot), cmd::kProperties));
    // Values are the registry window's: the registry tree's Modify goes on along the route.
    EXPECT_FALSE(qp::TreeCommand(TreeKind::kRegistry, Node(TreeNode::kRegistry, 3), cmd::kModify).known);
    // The group tree leaves the files window's commands to the route.
    EXPECT_FALSE(qp::TreeCommand(TreeKind::kGroup, Node(TreeNode::kFolder, 1), cmd::kInsertFolder).known);
}

TEST(FrameRules, WindowEntriesCaptionTabsAndSizes) {
    EXPECT_FALSE(qp::WindowMenuEntry(true, true).enabled);
    EXPECT_TRUE(qp::WindowMenuEntry(true, true).checked);
    EXPECT_TRUE(qp::WindowMenuEntry(true, false).enabled);
    EXPECT_FALSE(qp::WindowMenuEntry(false, false).enabled);
    EXPECT_EQ(qp::FrameCaption(false, "x"), "Quillpacker");
    EXPECT_EQ(qp::FrameCaption(true, qp::ProjectTitle("C:\\p\\demo.qpk", true)), "Quillpacker - demo.qpk*");
    EXPECT_TRUE(qp::TabRule(2).texts);
    EXPECT_FALSE(qp::TabRule(3).texts);
    EXPECT_FALSE(qp::TabRule(3).multi_line);
    EXPECT_EQ(qp::SizeText(1023), " 0 K");
    EXPECT_EQ(qp::SizeText(2048), " 2 K");
    EXPECT_EQ(qp::SizeText(-1), "");
    EXPECT_TRUE(qp::NeedsProject(cmd::kBuild));
    EXPECT_FALSE(qp::NeedsProject(cmd::kOpen));
}

TEST(DropRule, ProjectsOpenAnywhereFilesOnlyWhereAFolderTakesThem) {
    using qp::DropPlan;
    using qp::DropTarget;
    const qp::DroppedPath exe{"C:\\in\\app.exe", false}, txt{"C:\\in\\read.txt", false}, dir{"C:\\in\\sub", true};
    const qp::DroppedPath qpk{"C:\\p\\Demo.QPK", false}, ipr{"C:\\p\\old.ipr", false}, qpk_dir{"C:\\p\\odd.qpk", true};
    struct Row {
        const char* what;
        std::vector<qp::DroppedPath> dropped;
        DropTarget target;
        bool has_folder, project_open;
        DropPlan::Action action;
        std::string project;
        std::vector<std::string> files;
        const char* message;
    } rows[] = {
        {"a project on a window that holds no files", {exe, qpk}, DropTarget::kOtherWindow, false, true,
         DropPlan::kOpenProject, qpk.path, {}, ""},
        {"an .ipr on the files window wins over the files", {exe, ipr, txt}, DropTarget::kFolderWindow, true, true,
         DropPlan::kOpenProject, ipr.path, {}, ""},
        {"a folder named like a project is no project", {qpk_dir, exe}, DropTarget::kFolderWindow, true, true,
         DropPlan::kAddFiles, "", {exe.path}, ""},
        {"files keep their order, folders are left out", {txt, dir, exe}, DropTarget::kFolderWindow, true, true,
         DropPlan::kAddFiles, "", {txt.path, exe.path}, ""},
        {"folders only", {dir}, DropTarget::kFolderWindow, true, true, DropPlan::kExplain, "", {}, qp::kDropFoldersOnly},
        {"no folder shown", {exe}, DropTarget::kFolderWindow, false, true, DropPlan::kExplain, "", {}, qp::kDropNeedsFolder},
        {"files on a window that holds none", {exe}, DropTarget::kOtherWindow, false, true, DropPlan::kExplain, "", {},
         qp::kDropNotHere},
        {"a stray file on the frame keeps the open project", {exe}, DropTarget::kFrame, false, true, DropPlan::kExplain,
         "", {}, qp::kDropNotHere},
        {"any file on an empty builder is opened", {dir, exe}, DropTarget::kFrame, false, false, DropPlan::kOpenProject,
         exe.path, {}, ""},
        {"folders on an empty builder", {dir}, DropTarget::kFrame, false, false, DropPlan::kNothing, "", {}, ""},
        {"nothing dropped", {}, DropTarget::kFolderWindow, true, true, DropPlan::kNothing, "", {}, ""},
    };
    for (const Row& r : rows) {
        const DropPlan p = qp::PlanDrop(r.dropped, r.target, r.has_folder, r.project_open);
        EXPECT_EQ(p.action, r.action) << r.what;
        EXPECT_EQ(p.project, r.project) << r.what;
        EXPECT_EQ(p.files, r.files) << r.what;
        EXPECT_EQ(p.message, r.message) << r.what;
    }
}
