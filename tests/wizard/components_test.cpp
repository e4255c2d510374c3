// Component tree rules, install order and disk-space figures.
#include <gtest/gtest.h>

#include "common/setuplist.h"
#include "setup/engine/context.h"
#include "setup/wizard/components.h"
#include "setup/wizard/setup_data.h"

using namespace qp::wiz;

namespace {

// Root
//   App (visible)
//     Core
//     Hidden (invisible)
//       Deep
//   Docs  (includes App\Core)
//   Secret (invisible) -> Child (visible)
struct Tree {
    Component root;
    Component *app, *core, *hidden, *deep, *docs, *secret, *child;
    Tree() {
        app = root.AddChild("App");
        core = app->AddChild("Core");
        hidden = app->AddChild("Hidden");
        hidden->visible = false;
        deep = hidden->AddChild("Deep");
        docs = root.AddChild("Docs");
        docs->includes = {"APP\\core"};
        secret = root.AddChild("Secret");
        secret->visible = false;
        child = secret->AddChild("Child");
        LinkTree(root);
    }
};

}  // namespace

TEST(Components, FullNamesAndFind) {
    Tree t;
    EXPECT_EQ(FullName(*t.deep), "App\\Hidden\\Deep");
    EXPECT_EQ(FullName(*t.app), "App");
    EXPECT_EQ(FindComponent(t.root, "app\\hidden\\DEEP"), t.deep);
    EXPECT_EQ(FindComponent(t.root, "Deep"), nullptr);
    ASSERT_EQ(t.core->dependents.size(), 1u);
    EXPECT_EQ(t.core->dependents[0], t.docs);
}

TEST(Components, RequiredComponentCannotBeCleared) {
    Tree t;
    EXPECT_TRUE(IsRequired(*t.core));
    EXPECT_EQ(ImageIndex(*t.core), 2);
    EXPECT_FALSE(Toggle(*t.core));
    EXPECT_EQ(t.core->selected, 1);
    // Once Docs is cleared, Core is free again, and stays selected.
    EXPECT_TRUE(Toggle(*t.docs));
    EXPECT_EQ(t.core->selected, 1);
    EXPECT_EQ(ImageIndex(*t.core), 1);
    EXPECT_TRUE(Toggle(*t.core));
    EXPECT_EQ(ImageIndex(*t.core), 0);
}

TEST(Components, SelectingPullsInIncludedOnlyThatComponent) {
    Tree t;
    Toggle(*t.docs);  // off
    Toggle(*t.app);   // off: Core and Hidden follow, Deep below the hidden child does not
    EXPECT_EQ(t.core->selected, 0);
    EXPECT_EQ(t.hidden->selected, 0);
    EXPECT_EQ(t.deep->selected, 1);
    Toggle(*t.docs);  // on: pulls in App\Core, not App
    EXPECT_EQ(t.core->selected, 1);
    EXPECT_EQ(t.app->selected, 0);
}

TEST(Components, SetupTypeLeavesHiddenSubtreesAlone) {
    Tree t;
    t.child->selected = 7;
    t.hidden->selected = 5;
    SetupType type;
    type.components = {"docs"};
    ApplyTreeStates(t.root, &type, true, false);
    EXPECT_EQ(t.app->selected, 0);
    EXPECT_EQ(t.core->selected, 0);
    EXPECT_EQ(t.docs->selected, 1);
    EXPECT_EQ(t.hidden->selected, 5);
    EXPECT_EQ(t.child->selected, 7);
    // Unchanged type keeps what the user did; no type in maintenance keeps the log's choice.
    t.app->selected = 1;
    ApplyTreeStates(t.root, &type, false, false);
    EXPECT_EQ(t.app->selected, 1);
    ApplyTreeStates(t.root, nullptr, false, true);
    EXPECT_EQ(t.core->selected, 0);
    ApplyTreeStates(t.root, nullptr, false, false);
    EXPECT_EQ(t.core->selected, 1);
}

TEST(Components, UnattendedRunTakesTheFirstSetupTypeWithComponents) {
    Tree t;
    auto type = [](std::vector<std::string> components) {
        SetupType st;
        st.components = std::move(components);
        return st;
    };
    const struct {
        std::vector<SetupType> types;
        int expected;
    } cases[] = {
        {{}, -1},
        {{type({}), type({}), type({})}, -1},          // a new project's three empty types
        {{type({"Gone"}), type({})}, -1},              // names nothing the tree holds
        {{type({}), type({"app\\CORE"}), type({"Docs"})}, 1},
        {{type({"Docs"}), type({"App"})}, 0},
        {{type({"Gone"}), type({}), type({"Docs"})}, 2},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, UnattendedSetupType(t.root, c.types));
}

TEST(Components, InstallOrderVisitsEachOnceAndSurvivesIncludeCycles) {
    Tree t;
    t.core->includes = {"Docs"};  // Docs <-> Core
    LinkTree(t.root);
    auto order = SelectedInstallOrder(t.root);
    std::vector<std::string> names;
    for (auto* c : order) names.push_back(FullName(*c));
    // Core includes Docs, so Docs comes before Core; Docs' include of Core is already seen.
    EXPECT_EQ(names, (std::vector<std::string>{"Docs", "App\\Core", "App\\Hidden\\Deep",
                                                "App\\Hidden", "App", "Secret\\Child", "Secret"}));
}

TEST(Components, RequiredSizeCountsTheTargetDriveOnlyAndGroupsTwice) {
    Tree t;
    Toggle(*t.docs);
    Toggle(*t.docs);  // back on
    t.app->groups = {"G"};
    t.docs->groups = {"G", "Missing"};
    std::vector<FileSize> g = {{"C:\\Prog\\a.exe", 10}, {"d:\\Win\\b.dll", 100},
                               {"c:\\x\\c.txt", 1}};
    GroupFiles files = [&](const std::string& name) -> const std::vector<FileSize>* {
        return name == "G" ? &g : nullptr;
    };
    std::vector<Component*> list = {t.app, t.docs};
    EXPECT_EQ(RequiredKilobytes(list, files, "C:\\Program Files\\X"), 22);
    EXPECT_EQ(RequiredKilobytes(list, files, "D:\\"), 200);
    std::vector<FileSize> huge = {{"C:\\a", 0x7FFFFFFF}, {"C:\\b", 2}};
    GroupFiles big = [&](const std::string&) { return &huge; };
    EXPECT_EQ(RequiredKilobytes({t.app}, big, "C:\\"), -0x7FFFFFFF);
}

TEST(Components, DriveRoots) {
    EXPECT_EQ(DriveRoot("C:\\Program Files\\X"), "C:\\");
    EXPECT_EQ(DriveRoot("d:"), "d:\\");
    EXPECT_EQ(DriveRoot("\\\\server\\share\\dir\\sub"), "\\\\server\\share\\");
    EXPECT_EQ(DriveRoot("\\\\server\\share"), "\\\\server\\share\\");
    EXPECT_EQ(DisplayRoot("C:\\"), "C:");
    EXPECT_EQ(DisplayRoot("\\\\server\\share\\"), "\\\\server\\share");
    EXPECT_EQ(DisplayRoot("\\"), "\\");
    EXPECT_EQ(RequiredText("Required:", "C:", 120), "Required: C: 120 k");
    EXPECT_EQ(AvailableText("", "C:", -1), " C: -1 K");
    EXPECT_EQ(AvailableText("Available:", "C:", 5000000000LL), "Available: C: 5000000000 K");
    std::vector<FileSize> g = {{"\\\\server\\share\\p\\a", 3}, {"\\\\server\\other\\a", 4}};
    Component c;
    c.groups = {"G"};
    GroupFiles files = [&](const std::string&) { return &g; };
    EXPECT_EQ(RequiredKilobytes({&c}, files, "\\\\server\\share\\target"), 3);
}

// A component names its groups as the author typed them.
TEST(Components, GroupSizesFindAGroupWhateverTheCaseOfItsName) {
    qp::SetupList list;
    qp::GroupRecord g;
    g.name = "Help Files";
    g.destination = "C:\\P";
    qp::FileNode f;
    f.kind = qp::FileNode::kFile;
    f.size = 7;
    g.file_tree.children = {f};
    list.groups = {g};
    GroupSizes sizes(list, qp::InstallContext(), 0);
    const std::vector<FileSize>* files = sizes.Files("help files");
    ASSERT_TRUE(files);
    EXPECT_EQ(files->size(), 1u);
}
