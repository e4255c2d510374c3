// The edits the builder's windows make: unique names among siblings ignoring case, deletes that
// take every reference along, membership of setup types, and what listeners hear.
#include <gtest/gtest.h>

#include <set>

#include "builder/model/edits.h"

using qp::CItemComponent;
using qp::CRegistry;
using qp::ProjectEdits;
using qp::RenameResult;

namespace {

struct Recorder : qp::DocListener {
    std::set<const void*> removing, changed;
    void OnItemChanged(qp::ItemKind, const void* item) override { changed.insert(item); }
    void OnItemRemoving(qp::ItemKind, const void* item) override { removing.insert(item); }
};

struct EditsTest : ::testing::Test {
    qp::CDazDoc doc;
    ProjectEdits edits{doc};
    Recorder heard;
    void SetUp() override {
        doc.CreateDefaultContent();
        doc.SetModifiedFlag(false);
        edits.AddListener(&heard);
    }
    CItemComponent& Top(int i) { return *doc.root_component.children[std::size_t(i)]; }
};

}  // namespace

TEST_F(EditsTest, RenamesKeepSiblingNamesUniqueIgnoringCase) {
    auto& groups = doc.group_list.items;
    EXPECT_EQ(edits.RenameGroup(*groups[0], "program dlls"), RenameResult::kDuplicate);
    EXPECT_EQ(edits.RenameGroup(*groups[0], ""), RenameResult::kEmpty);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(groups[0]->name, "Program Executable Files");
    // Its own name in another case is no clash.
    EXPECT_EQ(edits.RenameGroup(*groups[0], "PROGRAM EXECUTABLE FILES"), RenameResult::kRenamed);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(heard.changed.count(groups[0].get()), 1u);

    // Components: only siblings count, and the root stays as it is.
    CItemComponent* sub = Top(0).AddChild("DLL");
    EXPECT_EQ(edits.RenameComponent(*sub, "Dll2"), RenameResult::kRenamed);
    EXPECT_EQ(edits.RenameComponent(Top(0), "dll"), RenameResult::kDuplicate);
    EXPECT_EQ(edits.RenameComponent(doc.root_component, "Other"), RenameResult::kNotAllowed);

    EXPECT_EQ(edits.RenameSetupType(*doc.setup_type_list.items[0], "typical"), RenameResult::kDuplicate);

    // Registry: hives and the root are fixed; a key may share a value's name.
    CRegistry& set = *doc.registry_root.children[0];
    CRegistry& hive = *set.children[0];
    CRegistry* key = hive.AddChild(CRegistry::kKey, "Software");
    CRegistry* value = hive.AddChild(CRegistry::kString, "Value");
    EXPECT_EQ(edits.RenameRegistry(hive, "X"), RenameResult::kNotAllowed);
    EXPECT_EQ(edits.RenameRegistry(*value, "SOFTWARE"), RenameResult::kRenamed);
    EXPECT_EQ(edits.RenameRegistry(*hive.AddChild(CRegistry::kKey, "Other"), "software"), RenameResult::kDuplicate);
    (void)key;

    // Folders of a file tree: files in the same folder do not clash with a folder's name.
    qp::CObListFile& root = groups[1]->file_tree;
    qp::CObListFile* a = root.AddFolder("a");
    root.AddFolder("b");
    root.AddFile("C:\\x\\c");
    EXPECT_EQ(edits.RenameFolder(*a, "B"), RenameResult::kDuplicate);
    EXPECT_EQ(edits.RenameFolder(*a, "c"), RenameResult::kRenamed);
    EXPECT_EQ(edits.RenameFolder(root, "r"), RenameResult::kNotAllowed);

    // Shortcuts: shell folders are fixed.
    qp::CObListShort& start = *doc.shortcut_root.children[0];
    EXPECT_EQ(edits.RenameShortcut(start, "S"), RenameResult::kNotAllowed);
}

TEST_F(EditsTest, DeletesTakeEveryReferenceAndTellTheWindows) {
    qp::CItemGroup* group = doc.group_list.items[0].get();
    qp::CObListFile* folder = group->file_tree.AddFolder("f");
    qp::CObListFile* file = folder->AddFile("C:\\f.txt");
    CRegistry& hive = *doc.registry_root.children[0]->children[0];
    hive.file_groups.push_back(group);
    doc.shortcut_root.children[0]->file_groups.push_back(group);

    ASSERT_TRUE(edits.DeleteGroup(*group));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(Top(0).file_groups.empty());
    EXPECT_TRUE(hive.file_groups.empty());
    EXPECT_TRUE(doc.shortcut_root.children[0]->file_groups.empty());
    EXPECT_EQ(heard.removing, (std::set<const void*>{group, &group->file_tree, folder, file}));
    EXPECT_EQ(doc.group_list.size(), 4u);

    // A component goes with its subtree, out of every setup type and required list.
    CItemComponent& first = Top(0);
    CItemComponent* child = first.AddChild("child");
    Top(1).required_components.push_back(child);
    qp::CItemSetup& typical = *doc.setup_type_list.items[1];
    typical.components = {&first, child, &Top(1)};
    heard.removing.clear();
    ASSERT_TRUE(edits.DeleteComponent(first));
    EXPECT_EQ(heard.removing, (std::set<const void*>{&first, child}));
    EXPECT_TRUE(Top(0).required_components.empty());  // Top(0) is now the old Top(1)
    ASSERT_EQ(typical.components.size(), 1u);
    EXPECT_EQ(typical.components[0], &Top(0));

    // What cannot go stays, unchanged and unmodified.
    doc.SetModifiedFlag(false);
    EXPECT_FALSE(edits.DeleteComponent(doc.root_component));
    EXPECT_FALSE(edits.DeleteRegistry(hive));
    EXPECT_FALSE(edits.DeleteRegistry(doc.registry_root));
    EXPECT_FALSE(edits.DeleteFileNode(doc.group_list.items[0]->file_tree));
    EXPECT_FALSE(edits.DeleteShortcut(*doc.shortcut_root.children[0]));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(edits.DeleteRegistry(*doc.registry_root.children[0]));
    EXPECT_TRUE(doc.registry_root.children.empty());
}

TEST(SelectionAfterDelete, NextThenPreviousThenParent) {
    EXPECT_EQ(qp::SelectionAfterDelete(3, 0), 0);
    EXPECT_EQ(qp::SelectionAfterDelete(3, 1), 1);
    EXPECT_EQ(qp::SelectionAfterDelete(3, 2), 1);
    EXPECT_EQ(qp::SelectionAfterDelete(1, 0), -1);
    EXPECT_EQ(qp::SelectionAfterDelete(2, 5), -1);
}

TEST_F(EditsTest, MembershipFollowsRequiredComponentsAndAncestors) {
    // Program Files \ Core requires DLL \ Runtime; Help Files stands alone.
    CItemComponent* core = Top(0).AddChild("Core");
    CItemComponent* runtime = Top(1).AddChild("Runtime");
    core->required_components.push_back(runtime);
    qp::CItemSetup& setup = *doc.setup_type_list.items[0];

    EXPECT_EQ(edits.ToggleMembership(setup, *core), ProjectEdits::Membership::kAdded);
    EXPECT_EQ(setup.components, (std::vector<CItemComponent*>{core, runtime, &Top(1), &Top(0)}));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(heard.changed.count(&setup), 1u);

    // Runtime is required by the member Core: it cannot go; Core can, alone.
    EXPECT_EQ(edits.ToggleMembership(setup, *runtime), ProjectEdits::Membership::kRefused);
    EXPECT_EQ(setup.components.size(), 4u);
    EXPECT_EQ(edits.ToggleMembership(setup, *core), ProjectEdits::Membership::kRemoved);
    EXPECT_EQ(setup.components, (std::vector<CItemComponent*>{runtime, &Top(1), &Top(0)}));
    EXPECT_EQ(edits.ToggleMembership(setup, *runtime), ProjectEdits::Membership::kRemoved);
    EXPECT_EQ(edits.ToggleMembership(setup, doc.root_component), ProjectEdits::Membership::kRefused);
    // Adding a member's child adds nothing twice.
    EXPECT_EQ(edits.ToggleMembership(setup, *core), ProjectEdits::Membership::kAdded);
    EXPECT_EQ(setup.components.size(), 4u);
}

TEST_F(EditsTest, NewItemsTakeTheFirstFreeNameAndAreHeard) {
    qp::CItemGroup* g = edits.NewGroup();
    EXPECT_EQ(g->name, "New group#1");
    g->name = "NEW GROUP#1";  // taken whatever the case
    EXPECT_EQ(edits.NewGroup()->name, "New group#2");
    qp::CObListFile* f = edits.NewFolder(g->file_tree);
    EXPECT_EQ(f->name, "New folder#1");
    auto files = edits.AddFiles(*f, {"C:\\a.exe", "", "C:\\b.dll"});
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(f->children[1]->name, "C:\\b.dll");
    EXPECT_EQ(f->children[1]->kind, qp::CObListFile::kFile);
    // A shortcut is not named like a folder; the two patterns count apart among the same
    // children.
    qp::CObListShort& programs = *doc.shortcut_root.children[0]->children[0];
    EXPECT_EQ(edits.NewShortcut(programs, qp::CObListShort::kShortcut)->name, "New shortcut#1");
    EXPECT_EQ(edits.NewShortcut(programs, qp::CObListShort::kProgramFolder)->name, "New folder#1");
    EXPECT_EQ(edits.NewShortcut(programs, qp::CObListShort::kShortcut)->name, "New shortcut#2");
    CRegistry* set = edits.NewRegistry(doc.registry_root, CRegistry::kSet);
    EXPECT_EQ(set->children.size(), 4u);  // a set comes with its hives
    EXPECT_TRUE(doc.IsModified());
}
