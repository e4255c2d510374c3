// The read and apply rules of the sheet pages and the two wizards, where a fault could hide:
// masks rebuilt from controls, states that keep requirements free of cycles, and the kit list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "builder/ui/logic/pages.h"
#include "builder/ui/logic/project_pages.h"

using namespace qp;

TEST(GroupPages, OsPageKeepsGreyedBoxesAndDropsUnknownBits) {
    struct Row {
        std::int32_t read;
        bool check_independent;
        bool systems_enabled;
        std::int32_t stored;
    } rows[] = {
        {2 | 4, true, false, 1 | 2 | 4},  // greyed, marks kept and stored
        {1 | 8, false, true, 8},          // clearing Independent enables the systems again
        {0x81, false, true, 0},           // bits above XP are not boxes
        {64, false, true, 64},
    };
    for (const Row& r : rows) {
        OsPageState s = OsPageState::Read(r.read);
        s.boxes[0] = r.check_independent;
        EXPECT_EQ(s.SystemBoxesEnabled(), r.systems_enabled) << r.read;
        EXPECT_EQ(s.Mask(), r.stored) << r.read;
    }
}

TEST(GroupPages, OverwriteReadTakesTheHighestBitAndApplyRebuildsTheWord) {
    struct Row {
        std::int32_t word;
        int mode, version, date;
    } rows[] = {
        {0x241, 0, 0, 0},
        {0, -1, 0, 0},
        {2 | 64 | 128, 1, 1, 0},
        {1 | 16 | 256 | 512 | 2048, 4, 2, 2},
        {8 | 1024, 3, 0, 1},
    };
    for (const Row& r : rows) {
        const OverwritePageState s = OverwritePageState::Read(r.word);
        EXPECT_EQ(s.mode, r.mode) << r.word;
        EXPECT_EQ(s.version, r.version) << r.word;
        EXPECT_EQ(s.date, r.date) << r.word;
    }
    OverwritePageState fresh = OverwritePageState::Read(0);
    fresh.mode = 1;  // "NEVER"
    EXPECT_EQ(fresh.Word(), 2 + 64 + 512);
    fresh.mode = -1;
    EXPECT_EQ(fresh.Word(), 64 + 512);
    // Conditions are written for modes that do not use them, and only their own radios enable.
    const bool enabled[5][2] = {{false, false}, {false, false}, {false, true}, {true, false}, {true, true}};
    for (int m = 0; m < 5; ++m) {
        OverwritePageState s;
        s.mode = m;
        s.version = 2;
        s.date = 1;
        EXPECT_EQ(s.Word(), (1 << m) + 256 + 1024);
        EXPECT_EQ(s.VersionEnabled(), enabled[m][0]) << m;
        EXPECT_EQ(s.DateEnabled(), enabled[m][1]) << m;
    }
}

TEST(GroupPages, LanguageMaskIs259CharactersOrEmptyForIndependent) {
    std::string mask(259, '0');
    mask[3] = '1';
    mask[102] = '1';
    const std::vector<int> used = {0, 3, 102};
    LanguageMaskPage page(mask, &used);
    ASSERT_EQ(page.Rows().size(), 4u);
    EXPECT_FALSE(page.Rows()[0].checked);  // "Independent"
    EXPECT_FALSE(page.Rows()[1].checked);
    EXPECT_TRUE(page.Rows()[2].checked);
    EXPECT_TRUE(page.Rows()[3].checked);
    page.Toggle(1);
    const std::string out = page.Mask();
    ASSERT_EQ(out.size(), 259u);
    EXPECT_EQ(out.substr(0, 4), "1001");
    EXPECT_EQ(out[102], '1');
    EXPECT_EQ(std::count(out.begin(), out.end(), '1'), 3);
    page.Set(0, true);  // Independent together with languages
    EXPECT_EQ(page.Mask(), "");

    // A short mask leaves the languages past its end unchecked; no project lists all 103.
    LanguageMaskPage all("01", nullptr);
    ASSERT_EQ(all.Rows().size(), 104u);
    EXPECT_FALSE(all.Rows()[0].checked);
    EXPECT_TRUE(all.Rows()[2].checked);
    EXPECT_FALSE(all.Rows()[50].checked);
    LanguageMaskPage independent("", nullptr);
    EXPECT_TRUE(independent.Rows()[0].checked);
    EXPECT_EQ(independent.Mask(), "");
}

TEST(GroupPages, DestinationNodeMatchesTheGroupsPath) {
    CDazDoc doc;
    doc.CreateDefaultFolders();
    CObListFile* target = doc.folder_tree.children[1].get();
    CObListFile* sub = target->AddFolder("Help");
    target->AddFile("C:\\x\\Help");  // a file of that name is never a destination
    EXPECT_EQ(FindDestinationNode(doc.folder_tree, "<TARGETDIR>"), target);
    EXPECT_EQ(FindDestinationNode(doc.folder_tree, "<TARGETDIR>\\Help"), sub);
    EXPECT_EQ(DestinationOf(*sub), "<TARGETDIR>\\Help");
    EXPECT_EQ(FindDestinationNode(doc.folder_tree, "<TARGETDIR>\\Nope"), nullptr);
    EXPECT_FALSE(CanRenameDestination(*target));
    EXPECT_TRUE(CanRenameDestination(*sub));
}

TEST(ComponentPages, RowsNormaliseAndRightClicksCycle) {
    CItemComponent c("Core");
    c.file_need = 5;
    c.visible = 7;
    auto rows = ComponentRows(&c);
    EXPECT_EQ(rows[4].value, "STANDARD");
    EXPECT_EQ(rows[3].value, "Yes");
    const char* cycle[] = {"CRITICAL", "RECOMENDED", "STANDARD", "CRITICAL"};
    for (const char* want : cycle) {
        EXPECT_TRUE(ComponentRowRightClick(c, 4));
        EXPECT_EQ(ComponentRows(&c)[4].value, want);
    }
    EXPECT_TRUE(ComponentRowRightClick(c, 3));
    EXPECT_EQ(c.visible, 0);
    EXPECT_FALSE(ComponentRowRightClick(c, 5));
    EXPECT_EQ(ComponentRows(nullptr)[0].value, "");

    CItemGroup g("G");
    EXPECT_TRUE(GroupRowRightClick(g, 0));
    EXPECT_EQ(g.shared, 0);
    EXPECT_FALSE(GroupRowRightClick(g, 3));
    g.language_mask = std::string(259, '0');
    g.language_mask[0] = '1';
    EXPECT_EQ(GroupRows(&g)[6].value, LanguageName(0));
    g.language_mask.clear();
    EXPECT_EQ(GroupRows(&g)[6].value, "Independent");
}

// The one file-group choice behind the component, registry and shortcut sheets: the boxes show
// the edited list whatever its order; Apply writes the project's order and keeps no group the
// project has lost.
TEST(ComponentPages, GroupChoiceShowsTheListAndWritesTheProjectsOrder) {
    CDazDoc doc;
    doc.CreateDefaultContent();
    auto& g = doc.group_list.items;  // five groups
    CItemGroup gone("Gone");
    struct Case {
        std::vector<CItemGroup*> chosen;
        std::vector<bool> boxes;
        std::vector<CItemGroup*> applied;
    } cases[] = {
        {{}, {false, false, false, false, false}, {}},
        {{g[3].get(), g[0].get()}, {true, false, false, true, false}, {g[0].get(), g[3].get()}},
        {{&gone, g[4].get()}, {false, false, false, false, true}, {g[4].get()}},
    };
    for (const Case& c : cases) {
        GroupChoice choice(doc, c.chosen);
        ASSERT_EQ(choice.Rows().size(), 5u);
        for (std::size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(choice.Rows()[i].group, g[i].get());
            EXPECT_EQ(choice.Rows()[i].checked, c.boxes[i]) << "row " << i;
        }
        std::vector<CItemGroup*> list = c.chosen;
        choice.Apply(list);
        EXPECT_EQ(list, c.applied);
    }
    // A box changed: the list follows it.
    std::vector<CItemGroup*> list{g[1].get()};
    GroupChoice choice(doc, list);
    choice.Rows()[1].checked = false;
    choice.Rows()[2].checked = true;
    choice.Apply(list);
    EXPECT_EQ(list, std::vector<CItemGroup*>{g[2].get()});
}

TEST(ComponentPages, RequiredStatesKeepRequirementsFreeOfCycles) {
    CDazDoc doc;
    CItemComponent* a = doc.root_component.AddChild("A");
    CItemComponent* b = doc.root_component.AddChild("B");
    CItemComponent* c = doc.root_component.AddChild("C");
    CItemComponent* a1 = a->AddChild("A1");
    CItemComponent* d = doc.root_component.AddChild("D");
    a->required_components.push_back(b);   // A requires B
    d->required_components.push_back(a1);  // D requires A1, so A too

    struct Row {
        CItemComponent* edited;
        std::vector<RequiredPage::State> states;  // A, A1, B, C, D
    } rows[] = {
        {b, {RequiredPage::kLocked, RequiredPage::kFree, RequiredPage::kSelf, RequiredPage::kFree, RequiredPage::kFree}},
        {a, {RequiredPage::kSelf, RequiredPage::kFree, RequiredPage::kRequired, RequiredPage::kFree, RequiredPage::kLocked}},
        {c, {RequiredPage::kFree, RequiredPage::kFree, RequiredPage::kFree, RequiredPage::kSelf, RequiredPage::kFree}},
    };
    for (const Row& r : rows) {
        RequiredPage page(doc, *r.edited);
        ASSERT_EQ(page.Nodes().size(), 5u);
        for (std::size_t i = 0; i < 5; ++i)
            EXPECT_EQ(page.Nodes()[i].state, r.states[i]) << r.edited->name << " node " << page.Nodes()[i].component->name;
    }
    RequiredPage page(doc, *b);
    EXPECT_FALSE(page.Toggle(0));  // A is locked
    EXPECT_FALSE(page.Toggle(2));  // self
    EXPECT_TRUE(page.Toggle(4));   // D, then C: applied in tree order
    EXPECT_TRUE(page.Toggle(3));
    page.Apply(*b);
    EXPECT_EQ(b->required_components, (std::vector<CItemComponent*>{c, d}));
    EXPECT_EQ(page.Nodes()[1].depth, 1);
}

TEST(ProjectPages, StepsMaskHoldsBitsZeroToNine) {
    CDazDoc doc;
    ASSERT_EQ(doc.settings_block.page_mask(), 0xFFFFu);
    doc.settings_block.set_product_guid("");
    StepsPageState s = StepsPageState::Read(doc.settings_block);
    EXPECT_EQ(s.guid.size(), 38u);  // an empty GUID is made at once
    EXPECT_EQ(s.PageMask(), 1023u);
    s.Apply(doc);
    EXPECT_EQ(doc.settings_block.page_mask(), 1023u);
    EXPECT_EQ(doc.settings_block.product_guid(), s.guid);
    s.steps.fill(false);
    s.Apply(doc);
    EXPECT_EQ(doc.settings_block.page_mask(), 0u);
    s.steps[2] = s.steps[9] = true;
    EXPECT_EQ(s.PageMask(), 4u + 512u);
}

TEST(ProjectPages, AppNameFillsFourFieldsUntilChangedAgain) {
    GeneralPageState g;
    g.Set(GeneralPageState::kAppName, "Foo");
    EXPECT_EQ(g.Get(GeneralPageState::kCaptionBar), "Foo Setup");
    EXPECT_EQ(g.Get(GeneralPageState::kTitleMain), "Foo Setup");
    EXPECT_EQ(g.Get(GeneralPageState::kFolderName), "Foo");
    EXPECT_EQ(g.Get(GeneralPageState::kUninstallName), "Foo");
    EXPECT_EQ(g.Get(GeneralPageState::kCompany), "Company");
    g.Set(GeneralPageState::kCaptionBar, "Mine");
    g.Set(GeneralPageState::kPublisher, "P");
    EXPECT_EQ(g.Get(GeneralPageState::kCaptionBar), "Mine");
    g.Set(GeneralPageState::kAppName, "Bar");
    EXPECT_EQ(g.Get(GeneralPageState::kCaptionBar), "Bar Setup");
    EXPECT_EQ(g.Get(GeneralPageState::kPublisher), "P");

    CDazDoc doc;
    doc.AddLanguage(0);
    doc.AddLanguage(1);
    g.Apply(doc);
    const CStringItem* name = doc.FindString("PRODUCT_NAME");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->Value(0), "Bar");
    EXPECT_EQ(name->Value(1), "Bar");
    EXPECT_EQ(doc.FindString("UNINST_DISPLAY_NAME")->Value(1), "Bar");
}

TEST(ProjectPages, LanguagesAddBeforeRemovingAndKeepTheLast) {
    CDazDoc doc;
    doc.AddLanguage(0);
    doc.SetString("PRODUCT_NAME", "Quill");
    ProjectLanguagesState s = ProjectLanguagesState::Read(doc);
    EXPECT_TRUE(s.checked[0]);
    s.checked[0] = false;
    s.checked[7] = true;
    s.Apply(doc);
    ASSERT_EQ(doc.LanguageCount(), 1);
    EXPECT_EQ(doc.string_table.language_list[0]->table_index, 7);
    EXPECT_EQ(doc.FindString("PRODUCT_NAME")->Value(0), "Quill");  // copied before the first went
    s.checked.fill(false);
    s.Apply(doc);
    EXPECT_EQ(doc.LanguageCount(), 1);
}

TEST(Wizards, KitRootDefaultAndExistList) {
    CDazDoc doc;
    doc.SetPathName("C:\\work\\p\\demo.qpk");
    EXPECT_EQ(BuildPageState::Read(doc).kit_root, "C:\\work\\p\\KITS");
    BuildPageState s = BuildPageState::Read(doc);
    s.kit_root = "D:\\kits";
    s.Apply(doc);
    EXPECT_EQ(BuildPageState::Read(doc).kit_root, "D:\\kits");

    const std::vector<DirEntry> listing = {
        {".", true, false}, {"..", true, false},   {"Kit1", true, false},
        {"notes.txt", false, false}, {"System Volume Information", true, true}, {"Kit2", true, false},
    };
    EXPECT_EQ(ExistingKits(listing), (std::vector<std::string>{"Kit1", "Kit2"}));
    // A drive's root lists no "." first: its first kit stays.
    EXPECT_EQ(ExistingKits({{"Kit0", true, false}}), std::vector<std::string>{"Kit0"});
    EXPECT_EQ(KitListPattern("D:\\kits\\\\"), "D:\\kits\\*");
}

TEST(Wizards, NewProjectPathHasOneBackslash) {
    EXPECT_EQ(NewProjectPath("C:\\p\\\\\\", "demo"), "C:\\p\\demo.qpk");
    EXPECT_EQ(NewProjectPath("C:\\p", "demo"), "C:\\p\\demo.qpk");
}

TEST(Wizards, PendingEditsRunUntilRemoved) {
    PendingEdits p;
    int a = 0, b = 0;
    const int ta = p.Add([&] { ++a; });
    int tb = 0;
    tb = p.Add([&] { ++b; p.Remove(tb); });  // a sheet that closes while committing
    p.CommitAll();
    p.CommitAll();
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 1);
    p.Remove(ta);
    EXPECT_TRUE(p.Empty());
}

TEST(Wizards, FinishRefusesKitNamesThatAreNoFolder) {
    struct Row {
        const char* name;
        const char* says;  // a part of the message; null: accepted
    } rows[] = {
        {"", "Type a name for the kit"}, {"a:b", "':'"},          {"Kits\\One", "path separator"},
        {"CON", "device name"},          {"name.", "dot or a blank"}, {"..", "\"..\""},
        {"Release 1.0", nullptr},        {"x", nullptr},
    };
    for (const Row& r : rows) {
        const std::string m = qp::KitNameMessage(r.name);
        if (!r.says) {
            EXPECT_EQ(m, "") << r.name;
            continue;
        }
        EXPECT_NE(m.find(r.says), std::string::npos) << r.name << ": " << m;
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(m[0]))) << m;
    }
}

TEST(Wizards, MissingFoldersListChildrenBeforeParentsAndStopAtRoots) {
    const std::vector<std::string> present = {"C:\\p", "\\\\srv\\share", "/tmp"};
    auto exists = [&](const std::string& d) { return std::find(present.begin(), present.end(), d) != present.end(); };
    struct Row {
        const char* path;
        std::vector<std::string> missing;
    } rows[] = {
        {"C:\\p\\KITS", {"C:\\p\\KITS"}},
        {"C:\\p\\a\\b\\\\", {"C:\\p\\a\\b", "C:\\p\\a"}},
        {"C:\\p", {}},
        {"D:\\new\\KITS", {"D:\\new\\KITS", "D:\\new"}},  // the drive itself is never listed
        {"\\\\srv\\share\\kits", {"\\\\srv\\share\\kits"}},
        {"\\\\other\\share\\kits", {"\\\\other\\share\\kits"}},
        {"/tmp/x/y", {"/tmp/x/y", "/tmp/x"}},
        {"", {}},
    };
    for (const Row& r : rows) EXPECT_EQ(qp::MissingFolders(r.path, exists), r.missing) << r.path;
}
