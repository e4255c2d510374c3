// The document's rules where a fault could hide: new-project content, naming, languages and
// strings, path macros, the required closure, removal with references, texts and GUIDs.
#include <gtest/gtest.h>

#include <cctype>
#include <set>

#include "builder/model/doc.h"
#include "common/keytable.h"
#include "common/languages.h"
#include "support/testutil.h"

using namespace qptest;

TEST(LanguageTable, EntriesAreIndexedWithDuplicatesKept) {
    ASSERT_EQ(qp::kLanguageCount, 103);
    EXPECT_STREQ(qp::LanguageName(0), "English");
    EXPECT_EQ(qp::LanguageAt(0)->id, 0x0009);
    EXPECT_STREQ(qp::LanguageName(11), "English (US)");
    EXPECT_STREQ(qp::LanguageName(23), "English(Irish)");
    EXPECT_EQ(qp::LanguageAt(26)->id, 0x1809);  // "English(Carribean)" shares Ireland's id
    EXPECT_STREQ(qp::LanguageName(26), "English(Carribean)");
    EXPECT_STREQ(qp::LanguageName(57), "Chinese");
    EXPECT_STREQ(qp::LanguageName(58), "Chinese");
    EXPECT_EQ(qp::LanguageAt(58)->id, 0x0404);
    EXPECT_STREQ(qp::LanguageName(69), "Norwegian - Bokmal");
    EXPECT_STREQ(qp::LanguageName(102), "Vietnamese");
    EXPECT_EQ(qp::LanguageAt(102)->id, 0x002A);
    EXPECT_EQ(qp::LanguageAt(103), nullptr);
    EXPECT_EQ(qp::LanguageAt(-1), nullptr);
    EXPECT_EQ(qp::LanguageIndexOfId(0x0409), 11);
    EXPECT_EQ(qp::LanguageIndexOfId(0x1809), 22);
    EXPECT_EQ(qp::LanguageIndexOfId(0x7777), -1);
}

TEST(NewProject, HasTheDefaultItemsLinkedByPosition) {
    qp::EnglishDefaultTexts english;
    qp::CDazDoc doc;
    doc.wizard_texts = &english;
    EXPECT_EQ(doc.settings_block.page_mask(), 0xFFFFu);
    EXPECT_EQ(doc.settings_block.os_mask(), 1u);
    EXPECT_EQ(doc.string_table.size(), 16u + 20u + 73u);
    doc.NewProject();
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(doc.group_list.size(), 5u);
    ASSERT_EQ(doc.root_component.children.size(), 5u);
    for (int k = 0; k < 5; ++k) {
        const auto& c = doc.root_component.children[k];
        ASSERT_EQ(c->file_groups.size(), 1u);
        EXPECT_EQ(c->file_groups[0], doc.group_list.items[k].get());
        EXPECT_EQ(c->parent, &doc.root_component);
    }
    EXPECT_EQ(doc.root_component.children[1]->name, "DLL");
    EXPECT_EQ(doc.group_list.items[0]->overwrite_word, 577);
    EXPECT_EQ(doc.group_list.items[0]->destination, "<TARGETDIR>");
    ASSERT_EQ(doc.setup_type_list.size(), 3u);
    EXPECT_EQ(doc.setup_type_list.items[2]->name, "Custom");
    ASSERT_EQ(doc.registry_root.children.size(), 1u);
    const auto& set = doc.registry_root.children[0];
    EXPECT_EQ(set->kind, qp::CRegistry::kSet);
    ASSERT_EQ(set->children.size(), 4u);
    EXPECT_EQ(set->children[3]->name, "HKEY_USERS");
    EXPECT_EQ(set->children[3]->kind, qp::CRegistry::kHive);
    const qp::CObListShort* programs = doc.shortcut_root.children.at(0)->children.at(0).get();
    EXPECT_EQ(programs->name, "Programs");
    const qp::CObListShort* folder = programs->children.at(1).get();
    EXPECT_EQ(folder->folder_option, 2);
    EXPECT_EQ(folder->display_text, "<SHELL_OBJECT_FOLDER>");
    EXPECT_EQ(folder->children.at(0)->target, "<UNINSTALLDIR>\\setup.exe");
    EXPECT_EQ(doc.shortcut_root.folder_option, 1);
    ASSERT_EQ(doc.LanguageCount(), 1);
    EXPECT_EQ(doc.string_table.language_list[0]->lang_value, 200);
    EXPECT_EQ(doc.string_table.language_list[0]->shown, 0);
    // The wizard texts came from the source, the product texts stayed.
    EXPECT_EQ(doc.FindString("NEXTBUT")->Value(0), "&Next");
    EXPECT_EQ(doc.FindString("CANCELBUT")->Value(0), "Cance");
    EXPECT_EQ(doc.FindString("PRODUCT_NAME")->Value(0), "Product");
    EXPECT_EQ(doc.FindString("M0")->category, qp::CStringItem::kBillboard);
    EXPECT_EQ(doc.FindString(""), nullptr);  // the reserved key slot made no string
}

TEST(NewProject, GuidIs38CharactersThirdGroupLowerAndUnique) {
    qp::CDazDoc a, b;
    a.NewProject();
    b.NewProject();
    std::string g = a.settings_block.product_guid();
    ASSERT_EQ(g.size(), 38u);
    EXPECT_EQ(g[0], '{');
    EXPECT_EQ(g[37], '}');
    for (std::size_t i : {9u, 14u, 19u, 24u}) EXPECT_EQ(g[i], '-');
    // A version-4 GUID, the third group printed in lower case.
    EXPECT_EQ(g[15], '4');
    for (std::size_t i = 15; i < 19; ++i) EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(g[i])) || (g[i] >= 'a' && g[i] <= 'f')) << g;
    for (std::size_t i = 1; i < 9; ++i) EXPECT_FALSE(g[i] >= 'a' && g[i] <= 'f') << g;
    EXPECT_NE(g, b.settings_block.product_guid());
    // A GUID already there is kept.
    std::string kept = a.settings_block.product_guid();
    a.NewProject();
    EXPECT_EQ(a.settings_block.product_guid(), kept);

    const std::uint8_t bytes[16] = {0x78, 0x56, 0x34, 0x12, 0xBC, 0x9A, 0xEF, 0x4D, 0xAB, 0xCD, 0x01, 0x23, 0x45, 0x67, 0x89, 0xEF};
    EXPECT_EQ(qp::FormatGuid(bytes), "{12345678-9ABC-4def-ABCD-0123456789EF}");
}

TEST(PathMacros, FullPathsOfFolderTreeAndRelativeDirectories) {
    qp::CDazDoc doc;
    doc.CreateDefaultFolders();
    const auto& windows = doc.folder_tree.children[0];
    EXPECT_EQ(windows->FullPath(), "<WINDIR>");
    EXPECT_EQ(windows->children[0]->FullPath(), "<WINDIR>\\<WINSYSDIR>");
    EXPECT_EQ(doc.folder_tree.children[1]->FullPath(), "<TARGETDIR>");
    EXPECT_EQ(doc.folder_tree.children[2]->FullPath(), "<PROGRAM FILES>");
    qp::CObListFile* own = doc.folder_tree.children[1]->AddFolder("bin")->AddFolder("x86");
    EXPECT_EQ(own->FullPath(), "<TARGETDIR>\\bin\\x86");

    qp::CObListFile tree;
    qp::CObListFile* file = tree.AddFolder("a")->AddFolder("b")->AddFile("C:\\src\\f.txt");
    EXPECT_EQ(file->RelativeDir(), "a\\b");
    EXPECT_EQ(tree.AddFile("g.txt")->RelativeDir(), "");
    EXPECT_EQ(file->parent->RelativeDir(), "a\\b");

    qp::CObListShort root;
    EXPECT_EQ(root.Macro(), "<FOLDER_DESKTOP>");
    EXPECT_EQ(root.AddChild(qp::CObListShort::kStartup, "S")->Macro(), "<FOLDER_STARTUP>");
    EXPECT_EQ(root.AddChild(qp::CObListShort::kProgramFolder, "PF")->Macro(), "PF");
}

TEST(Naming, FirstFreeNumberWithoutRegardToCase) {
    qp::CDazDoc doc;
    doc.group_list.Add("New group#1");
    doc.group_list.Add("New group#3");
    EXPECT_EQ(doc.NewGroupName(), "New group#2");
    qp::CItemComponent* parent = doc.root_component.AddChild("P");
    parent->AddChild("component1");
    parent->AddChild("COMPONENT2");
    EXPECT_EQ(qp::CDazDoc::NewComponentName(*parent), "component3");
    EXPECT_EQ(qp::CDazDoc::NewComponentName(doc.root_component), "component1");  // scope is the parent
    std::vector<std::string> taken;
    for (int n = 1; n <= 999; ++n) taken.push_back("new reg#" + std::to_string(n));
    EXPECT_EQ(qp::UniqueName("New reg#%d", taken), "???");
    taken.pop_back();
    EXPECT_EQ(qp::UniqueName("New reg#%d", taken), "New reg#999");
    doc.SetString("new_string1", "x");
    EXPECT_EQ(doc.NewStringKey(), "NEW_STRING2");
}

TEST(Strings, SetStringAndLanguagesKeepValuesAligned) {
    qp::EnglishDefaultTexts english;
    qp::CDazDoc doc;
    doc.wizard_texts = &english;
    doc.AddLanguage(0);
    doc.SetString("PRODUCT_NAME", "Widget");
    doc.SetString("MY_KEY", "Mine");
    EXPECT_EQ(doc.FindString("my_key")->category, qp::CStringItem::kProductInfo);
    // The second language starts as a copy of the first; wizard keys come from the source,
    // which has nothing for German.
    EXPECT_EQ(doc.AddLanguage(1), 1);
    EXPECT_TRUE(doc.IsLanguagePresent(1));
    EXPECT_FALSE(doc.IsLanguagePresent(2));
    EXPECT_EQ(doc.FindString("PRODUCT_NAME")->values, (std::vector<std::string>{"Widget", "Widget"}));
    EXPECT_EQ(doc.FindString("MY_KEY")->values, (std::vector<std::string>{"Mine", "Mine"}));
    EXPECT_EQ(doc.FindString("NEXTBUT")->values, (std::vector<std::string>{"&Next", ""}));
    doc.SetString("PRODUCT_NAME", "Both");
    EXPECT_EQ(doc.FindString("PRODUCT_NAME")->values, (std::vector<std::string>{"Both", "Both"}));
    doc.FindString("PRODUCT_NAME")->SetValue(1, "Zwei");
    doc.AddLanguage(2);
    // Dropping the middle language drops its value everywhere.
    ASSERT_TRUE(doc.RemoveLanguage(1));
    EXPECT_EQ(doc.LanguageCount(), 2);
    EXPECT_EQ(doc.string_table.language_list[1]->table_index, 2);
    EXPECT_EQ(doc.FindString("PRODUCT_NAME")->values, (std::vector<std::string>{"Both", "Both"}));
    EXPECT_FALSE(doc.RemoveLanguage(2));
    EXPECT_EQ(doc.AddLanguage(103), -1);
    EXPECT_EQ(doc.LanguageCount(), 2);
}

TEST(Strings, AddLanguageToStringsWithoutValuesGivesEmptyTexts) {
    qp::CDazDoc doc;
    doc.string_table.Add(std::make_unique<qp::CStringItem>("BARE", 0));
    doc.AddLanguage(0);
    doc.AddLanguage(5);
    EXPECT_EQ(doc.FindString("BARE")->values, (std::vector<std::string>{"", ""}));
}

TEST(References, RequiredClosureFollowsChainsWithAncestorsAndSurvivesCycles) {
    qp::CDazDoc doc;
    qp::CItemComponent* a = doc.root_component.AddChild("A");
    qp::CItemComponent* b = doc.root_component.AddChild("B");
    qp::CItemComponent* bx = b->AddChild("X");
    qp::CItemComponent* c = doc.root_component.AddChild("C");
    qp::CItemComponent* d = doc.root_component.AddChild("D");
    a->required_components = {bx};
    bx->required_components = {c, a};  // a cycle back to A
    c->required_components = {bx};
    auto closure = doc.RequiredClosure(a);
    std::vector<qp::CItemComponent*> expect = {bx, b, c, a};
    EXPECT_EQ(closure, expect);
    EXPECT_TRUE(doc.IsRequiredBy(c, a));
    EXPECT_TRUE(doc.IsRequiredBy(b, a));  // the ancestor of a required component
    EXPECT_FALSE(doc.IsRequiredBy(d, a));
    EXPECT_FALSE(doc.IsRequiredBy(&doc.root_component, a));

    // A long chain must not need a deep call stack.
    qp::CItemComponent* prev = d;
    for (int i = 0; i < 100000; ++i) {
        qp::CItemComponent* n = doc.root_component.AddChild("n" + std::to_string(i));
        prev->required_components.push_back(n);
        prev = n;
    }
    EXPECT_EQ(doc.RequiredClosure(d).size(), 100000u);
}

TEST(References, RemovingItemsDropsEveryReferenceToThem) {
    qp::CDazDoc doc;
    doc.NewProject();
    qp::CItemGroup* g = doc.group_list.items[0].get();
    qp::CItemComponent* first = doc.root_component.children[0].get();
    qp::CItemComponent* second = doc.root_component.children[1].get();
    qp::CItemComponent* sub = second->AddChild("sub");
    doc.registry_root.children[0]->file_groups.push_back(g);
    doc.shortcut_root.file_groups.push_back(g);
    first->required_components = {sub, second};
    doc.setup_type_list.items[0]->components = {first, sub};
    doc.RemoveGroup(g);
    EXPECT_EQ(doc.group_list.size(), 4u);
    EXPECT_TRUE(first->file_groups.empty());
    EXPECT_TRUE(doc.registry_root.children[0]->file_groups.empty());
    EXPECT_TRUE(doc.shortcut_root.file_groups.empty());
    doc.RemoveComponent(second);
    EXPECT_TRUE(first->required_components.empty());
    EXPECT_EQ(doc.setup_type_list.items[0]->components, std::vector<qp::CItemComponent*>{first});
    EXPECT_EQ(doc.FindComponent("DLL"), nullptr);
    doc.RemoveComponent(&doc.root_component);  // the root stays
    EXPECT_EQ(doc.root_component.children.size(), 4u);
}

TEST(GroupTexts, OverwriteKeywordFirstRuleWins) {
    using namespace qp::overwrite;
    EXPECT_EQ(qp::OverwriteText(0), "");
    EXPECT_EQ(qp::OverwriteText(kAlways | kNever), "ALLWAYSOVERWRITE");
    EXPECT_EQ(qp::OverwriteText(577), "ALLWAYSOVERWRITE");
    EXPECT_EQ(qp::OverwriteText(kNever | kNewerDate), "NEVEROVERWRITE");
    EXPECT_EQ(qp::OverwriteText(kByDate | kNewerOrSameDate), "NEWERORSAMEDATE");
    EXPECT_EQ(qp::OverwriteText(kByDate | kNewerVersion), "");  // date mode without a date condition
    EXPECT_EQ(qp::OverwriteText(kByVersion | kOlderVersion | kNewerDate), "OLDERVERSION");
    EXPECT_EQ(qp::OverwriteText(kByVersionAndDate | kNewerVersion | kNewerDate), "NEWERVERSION\\NEWERDATE");
    EXPECT_EQ(qp::OverwriteText(kByVersionAndDate | kNewerVersion | kOlderVersion | kNewerDate | kOlderDate),
              "OLDERVERSION\\NEWERDATEOLDERDATE");
    EXPECT_EQ(qp::OverwriteText(kByVersionAndDate), "\\");
}

TEST(GroupTexts, OperatingSystemText) {
    EXPECT_EQ(qp::OperatingSystemText(1 | 6), "OS Independent ");
    EXPECT_EQ(qp::OperatingSystemText(6), "Win95 && Win98 ");
    EXPECT_EQ(qp::OperatingSystemText(4), " Win98 ");
    EXPECT_EQ(qp::OperatingSystemText(8 | 16), " WinME&& WinNT");
    EXPECT_EQ(qp::OperatingSystemText(0), "");
}

TEST(Files, MakeRelativeAndMissingFiles) {
    TempDir dir;
    WriteText(dir / "here.txt", "x");
    qp::CDazDoc doc;
    qp::CItemGroup* g = doc.group_list.Add("G");
    g->file_tree.AddFile(dir / "here.txt");
    g->file_tree.AddFolder("f")->AddFile(dir / "gone.txt");
    doc.group_list.Add("H")->file_tree.AddFile(dir / "also-gone.txt");
    EXPECT_EQ(doc.MissingFiles(), (std::vector<std::string>{dir / "gone.txt", dir / "also-gone.txt"}));
    doc.MakeFileNamesRelative();
    EXPECT_EQ(g->file_tree.children[0]->name, "here.txt");
    EXPECT_EQ(g->file_tree.children[1]->name, "f");  // folders keep their names
    EXPECT_EQ(g->file_tree.children[1]->children[0]->name, "gone.txt");
}

TEST(DocumentState, ModifiedFlagNotifiesOnlyOnChange) {
    qp::CDazDoc doc;
    std::vector<bool> seen;
    doc.on_modified_changed = [&](bool m) { seen.push_back(m); };
    doc.SetModifiedFlag();
    doc.SetModifiedFlag();
    doc.SetModifiedFlag(false);
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}
