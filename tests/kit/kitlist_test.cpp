// Project -> setup-list records: file facts read at build time, tree shape and names, the
// built-in wizard texts, references written as names, and texts that do not fit.
#include <gtest/gtest.h>

#include "builder/kit/kitlist.h"
#include "common/fileinfo.h"
#include "common/keytable.h"
#include "kit_fixture.h"

namespace {

using qp::FileNode;

TEST(KitList, FileNodesCarrySizeInKilobytesVersionAndTimeFromDisk) {
    qptest::TempDir dir;
    auto doc = kittest::SmallProject(dir);
    qp::SetupList list = qp::MakeSetupList(*doc);
    ASSERT_EQ(2u, list.groups.size());
    const FileNode& root = list.groups[0].file_tree;
    EXPECT_EQ("Program", root.name);  // the root is named after its group
    EXPECT_EQ(FileNode::kRoot, root.kind);
    EXPECT_EQ(~std::uint64_t{0}, root.version);
    ASSERT_EQ(2u, root.children.size());

    const FileNode& app = root.children[0];
    EXPECT_EQ(FileNode::kFile, app.kind);
    EXPECT_EQ(2, app.size);  // 3000 bytes: whole kilobytes only
    EXPECT_EQ(0u, app.version);
    EXPECT_EQ(qp::FileTime(dir / "src/app.exe"), app.time);
    EXPECT_NE(qp::kNoFileTime, app.time);
    EXPECT_EQ(std::string::npos, app.name.find('/'));  // the runtime splits at '\'
    EXPECT_EQ("app.exe", app.name.substr(app.name.rfind('\\') + 1));

    const FileNode& bin = root.children[1];
    EXPECT_EQ(FileNode::kFolder, bin.kind);
    EXPECT_EQ("bin", bin.name);
    EXPECT_EQ(~std::uint64_t{0}, bin.version);
    EXPECT_EQ(0u, bin.time);
    ASSERT_EQ(1u, bin.children.size());
    EXPECT_EQ(0, bin.children[0].size);  // 1023 bytes

    EXPECT_EQ(2, list.groups[1].file_tree.children[0].size);  // exactly 2048 bytes
    EXPECT_EQ("Docs", list.groups[1].file_tree.name);
}

TEST(KitList, FileThatVanishedGetsZeroSizeAndAllBitsTime) {
    qptest::TempDir dir;
    auto doc = kittest::SmallProject(dir);
    std::filesystem::remove(dir / "src/app.exe");
    qp::SetupList list = qp::MakeSetupList(*doc);
    const FileNode& app = list.groups[0].file_tree.children[0];
    EXPECT_EQ(0, app.size);
    EXPECT_EQ(qp::kNoFileTime, app.time);
}

TEST(KitList, RootNameFollowsTheGroupWhateverTheTreeSays) {
    qp::CDazDoc doc;
    qp::CItemGroup* g = doc.group_list.Add("Shared DLLs");
    g->file_tree.name = "something else";
    qp::SetupList list = qp::MakeSetupList(doc);
    EXPECT_EQ("Shared DLLs", list.groups[0].file_tree.name);
    EXPECT_EQ("Shared DLLs", list.groups[0].name);
}

TEST(KitList, EmptyFirstValueOfAWizardKeyGetsTheBuiltInText) {
    qp::CDazDoc doc;
    doc.AddLanguage(0);
    doc.AddLanguage(1);
    doc.SetString("DLG_WELCOME_TITLE", "");
    doc.FindString("DLG_WELCOME_TITLE")->SetValue(1, "Willkommen");
    doc.SetString("MY_OWN_KEY", "");
    doc.SetString("TITLE_MAIN", "Mine");
    qp::SetupList list = qp::MakeSetupList(doc);
    const qp::StringRecord* welcome = list.FindString("DLG_WELCOME_TITLE");
    ASSERT_TRUE(welcome);
    ASSERT_EQ(2u, welcome->values.size());
    EXPECT_EQ(qp::KeyDefault(qp::KeyId("DLG_WELCOME_TITLE")), welcome->values[0]);
    EXPECT_EQ("Willkommen", welcome->values[1]);  // other languages are left alone
    EXPECT_EQ("", list.FindString("MY_OWN_KEY")->values[0]);  // not a wizard key
    EXPECT_EQ("Mine", list.FindString("TITLE_MAIN")->values[0]);
    // The document itself keeps its empty text.
    EXPECT_EQ("", doc.FindString("DLG_WELCOME_TITLE")->Value(0));
    ASSERT_EQ(2u, list.languages.size());
    EXPECT_EQ(1, list.languages[1].table_index);
}

TEST(KitList, ReferencesAreWrittenAsNamesAndPaths) {
    qp::CDazDoc doc;
    qp::CItemGroup* g = doc.group_list.Add("Program");
    qp::CItemComponent* top = doc.root_component.AddChild("Top");
    qp::CItemComponent* sub = top->AddChild("Sub");
    sub->file_groups.push_back(g);
    qp::CItemComponent* other = doc.root_component.AddChild("Other");
    other->required_components.push_back(sub);
    doc.setup_type_list.Add("Typical")->components = {sub, other};
    qp::CRegistry* key = doc.registry_root.AddSet("Set")->children[1]->AddChild(qp::CRegistry::kKey, "Software");
    key->AddChild(qp::CRegistry::kDword, "Count", "0000000B")->file_groups.push_back(g);
    doc.CreateDefaultShortcuts();
    doc.shortcut_root.AddChild(qp::CObListShort::kShortcut, "Link")->file_groups.push_back(g);

    qp::SetupList list = qp::MakeSetupList(doc);
    EXPECT_EQ(std::vector<std::string>{"Program"}, list.components.children[0].children[0].group_names);
    EXPECT_EQ(std::vector<std::string>{"Top\\Sub"}, list.components.children[1].required_names);
    EXPECT_EQ((std::vector<std::string>{"Top\\Sub", "Other"}), list.setup_types[0].component_names);
    const qp::RegistryNode& count = list.registry.children[0].children[1].children[0].children[0];
    EXPECT_EQ(qp::RegistryNode::kDword, count.kind);
    EXPECT_EQ("0000000B", count.data);
    EXPECT_EQ(std::vector<std::string>{"Program"}, count.group_names);
    EXPECT_EQ(std::vector<std::string>{"Program"}, list.shortcuts.children.back().group_names);
    EXPECT_EQ(qp::OverwriteText(g->overwrite_word), list.groups[0].group_key);
}

TEST(KitList, TextLongerThanItsFieldIsRefusedNamingTheItem) {
    const std::string long_text(260, 'x');
    {
        qp::CDazDoc doc;
        doc.group_list.Add("Program")->destination = "<TARGETDIR>\\" + long_text;
        try {
            qp::MakeSetupList(doc);
            FAIL() << "a 272-character destination was accepted";
        } catch (const qp::TextTooLong& e) {
            std::string what = e.what();
            EXPECT_NE(std::string::npos, what.find("group \"Program\"")) << what;
            EXPECT_NE(std::string::npos, what.find("destination")) << what;
        }
    }
    {
        qp::CDazDoc doc;
        doc.root_component.AddChild("Top")->AddChild("Sub")->description = long_text;
        EXPECT_THROW(qp::MakeSetupList(doc), qp::TextTooLong);
    }
    {
        qp::CDazDoc doc;
        doc.group_list.Add("G")->file_tree.AddFile("C:\\" + long_text);
        try {
            qp::MakeSetupList(doc);
            FAIL();
        } catch (const qp::TextTooLong& e) {
            EXPECT_NE(std::string::npos, std::string(e.what()).find("file \"C:\\xxx")) << e.what();
        }
    }
    {
        // 259 characters fit.
        qp::CDazDoc doc;
        doc.SetString("TITLE_MAIN", std::string(259, 'y'));
        EXPECT_NO_THROW(qp::MakeSetupList(doc));
    }
}

}  // namespace
