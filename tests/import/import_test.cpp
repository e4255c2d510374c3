// The import of directory-style projects: a whole project tree under data/full (its folders and
// files in mixed letter case, as Windows projects arrive), the parsing rules one at a time, the
// open that ends in a ".qpk" path, and the case-insensitive lookup of the definition files.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "builder/model/doc.h"
#include "builder/model/import.h"
#include "builder/model/projectfile.h"
#include "common/languages.h"
#include "support/testutil.h"

namespace {

namespace fs = std::filesystem;

// Wizard texts that show which language asked for them; only the welcome keys have any.
class TaggedTexts : public qp::WizardTextSource {
public:
    std::string WizardText(const std::string& key, const std::string& language) override {
        return key.rfind("DLG_WELCOME", 0) == 0 ? language + ":" + key : std::string();
    }
};

std::unique_ptr<qp::CDazDoc> Open(const std::string& path, qp::WizardTextSource* texts = nullptr) {
    qptest::RecordingReporter reporter;
    auto doc = qp::OpenProject(path, reporter, texts);
    EXPECT_TRUE(doc) << reporter.All();
    EXPECT_TRUE(reporter.entries.empty()) << reporter.All();
    return doc;
}

template <class Node>
std::vector<std::string> Names(const Node& node) {
    std::vector<std::string> names;
    for (const auto& c : node.children) names.push_back(c->name);
    return names;
}

template <class T>
std::vector<std::string> Names(const std::vector<T*>& refs) {
    std::vector<std::string> names;
    for (const T* r : refs) names.push_back(r->name);
    return names;
}

std::vector<std::string> Paths(const std::vector<qp::CItemComponent*>& refs) {
    std::vector<std::string> paths;
    for (const auto* r : refs) paths.push_back(r->Path());
    return paths;
}

const qp::CObListShort* Child(const qp::CObListShort& node, const std::string& name) {
    for (const auto& c : node.children)
        if (c->name == name) return c.get();
    return nullptr;
}

const qp::CRegistry* Child(const qp::CRegistry& node, const std::string& name) {
    for (const auto& c : node.children)
        if (c->name == name) return c.get();
    return nullptr;
}

class FullTree : public ::testing::Test {
protected:
    void SetUp() override {
        doc = Open(qptest::TestData("import/data/full/quill.ipr"), &texts);
        ASSERT_TRUE(doc);
    }
    TaggedTexts texts;
    std::unique_ptr<qp::CDazDoc> doc;
};

TEST_F(FullTree, OpensAsAModifiedQpkBesideTheIpr) {
    EXPECT_EQ(1, doc->read_ok);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(qptest::TestData("import/data/full/quill.qpk"), doc->PathName());
}

TEST_F(FullTree, GroupsWithTheirPropertiesUpToTheGap) {
    ASSERT_EQ(3u, doc->group_list.size());
    const qp::CItemGroup& program = *doc->group_list.items[0];
    EXPECT_EQ("Program Files", program.name);
    EXPECT_EQ(1, program.self_register);
    EXPECT_EQ(0, program.shared);
    EXPECT_EQ(1, program.restart_if_locked);
    EXPECT_EQ(0, program.compressed);
    EXPECT_EQ("<TARGETDIR>\\bin", program.destination);
    EXPECT_EQ("http://example.com/files", program.http_location);
    EXPECT_EQ("ftp://example.com/files", program.ftp_location);
    EXPECT_EQ("The main program", program.comment);
    EXPECT_EQ(16 + 64 + 512, program.overwrite_word);
    // "LANGUAGE" and "OPERATINGSYSTEM" are recognised and change nothing.
    EXPECT_EQ("", program.language_mask);
    EXPECT_EQ(1, program.operating_system_mask);

    const qp::CItemGroup& help = *doc->group_list.items[1];
    EXPECT_EQ("Help Files", help.name);
    EXPECT_EQ(2, help.overwrite_word);
    EXPECT_EQ("<WINDIR>\\Help", help.destination);
    // Entries the section does not have keep the group defaults.
    EXPECT_EQ(1, help.shared);
    EXPECT_EQ(1, help.compressed);
    EXPECT_EQ("", help.comment);

    const qp::CItemGroup& unlisted = *doc->group_list.items[2];
    EXPECT_EQ(0, unlisted.overwrite_word);
    EXPECT_TRUE(unlisted.file_tree.children.empty());  // it has no ".fgl" file
}

TEST_F(FullTree, GroupFileTreesFilesBeforeFolders) {
    const qp::CObListFile& tree = doc->group_list.items[0]->file_tree;
    ASSERT_EQ((std::vector<std::string>{"C:\\Build\\app.exe", "C:\\Build\\app.dll", "plugins", "docs"}), Names(tree));
    EXPECT_EQ(qp::CObListFile::kFile, tree.children[0]->kind);
    EXPECT_EQ(qp::CObListFile::kFolder, tree.children[2]->kind);
    const qp::CObListFile& plugins = *tree.children[2];
    ASSERT_EQ((std::vector<std::string>{"C:\\Build\\plugins\\one.dll", "extra"}), Names(plugins));
    EXPECT_EQ((std::vector<std::string>{"C:\\Build\\plugins\\extra\\two.dll"}), Names(*plugins.children[1]));
    EXPECT_EQ((std::vector<std::string>{"C:\\Build\\docs\\readme.txt"}), Names(*tree.children[3]));
    EXPECT_EQ("plugins\\extra", plugins.children[1]->RelativeDir());

    // The list file is named in other letter case than the group.
    EXPECT_EQ((std::vector<std::string>{"C:\\Build\\help\\app.hlp"}), Names(doc->group_list.items[1]->file_tree));
}

TEST_F(FullTree, ComponentsCreatedAlongTheirPaths) {
    const qp::CItemComponent& root = doc->root_component;
    ASSERT_EQ((std::vector<std::string>{"Program", "Help", "Extras", "Tools"}), Names(root));
    // "Program" was created as the parent of "Program\Core", then filled by its own section.
    const qp::CItemComponent* program = doc->FindComponent("Program");
    EXPECT_EQ("The program", program->description);
    EXPECT_EQ("Copying the program", program->status_text);
    EXPECT_EQ("Quill Program", program->display_text);
    EXPECT_EQ(qp::CItemComponent::kRecommended, program->file_need);
    EXPECT_EQ((std::vector<std::string>{"Program Files"}), Names(program->file_groups));  // the unknown group is dropped

    const qp::CItemComponent* core = doc->FindComponent("Program\\Core");
    ASSERT_TRUE(core);
    EXPECT_EQ("The core files", core->description);
    EXPECT_EQ(qp::CItemComponent::kCritical, core->file_need);
    EXPECT_EQ(1, core->visible);
    EXPECT_EQ(1, core->include_in_build);

    const qp::CItemComponent* help = doc->FindComponent("Help");
    EXPECT_EQ(0, help->visible);
    EXPECT_EQ(0, help->include_in_build);
    EXPECT_EQ(qp::CItemComponent::kStandard, help->file_need);  // "OPTIONAL" leaves the default
    EXPECT_EQ((std::vector<std::string>{"Help Files"}), Names(help->file_groups));

    // Parents that no section describes keep the component defaults.
    const qp::CItemComponent* deep = doc->FindComponent("Extras\\Samples\\Deep");
    ASSERT_TRUE(deep);
    const qp::CItemComponent* extras = doc->FindComponent("Extras");
    EXPECT_EQ(1, extras->visible);
    EXPECT_EQ(qp::CItemComponent::kStandard, extras->file_need);
    EXPECT_TRUE(doc->FindComponent("Tools")->file_groups.empty());  // "FILEGROUP0" is missing
}

TEST_F(FullTree, RequiredByBecomesRequirements) {
    EXPECT_EQ((std::vector<std::string>{"Program\\Core"}), Paths(doc->FindComponent("Help")->required_components));
    EXPECT_EQ((std::vector<std::string>{"Program\\Core"}),
              Paths(doc->FindComponent("Extras\\Samples\\Deep")->required_components));
    EXPECT_TRUE(doc->FindComponent("Program\\Core")->required_components.empty());
    EXPECT_TRUE(doc->IsRequiredBy(doc->FindComponent("Program"), doc->FindComponent("Help")));
}

TEST_F(FullTree, SetupTypesWithTheirComponents) {
    ASSERT_EQ(3u, doc->setup_type_list.size());
    EXPECT_EQ("Typical", doc->setup_type_list.items[0]->name);
    EXPECT_EQ((std::vector<std::string>{"Program", "Help"}), Paths(doc->setup_type_list.items[0]->components));
    EXPECT_EQ("Custom", doc->setup_type_list.items[1]->name);
    EXPECT_EQ((std::vector<std::string>{"Program\\Core", "Extras\\Samples\\Deep"}),
              Paths(doc->setup_type_list.items[1]->components));
    EXPECT_EQ("Minimal", doc->setup_type_list.items[2]->name);
    EXPECT_TRUE(doc->setup_type_list.items[2]->components.empty());
    EXPECT_EQ(1, doc->setup_type_list.items[2]->require_component_step);
}

TEST_F(FullTree, LanguagesAndStringsPerLanguage) {
    const auto& langs = doc->string_table.language_list;
    ASSERT_EQ(3u, langs.size());
    EXPECT_EQ(0, langs[0]->table_index);
    EXPECT_STREQ("English (US)", qp::LanguageName(langs[1]->table_index));
    EXPECT_EQ(0, langs[2]->table_index);  // 7777 is in no entry
    EXPECT_EQ(200, langs[1]->lang_value);
    EXPECT_EQ(0, langs[1]->shown);

    const qp::CStringItem* product = doc->FindString("PRODUCT_NAME");
    EXPECT_EQ((std::vector<std::string>{"Quill", "Quill US", "Quill"}), product->values);
    const qp::CStringItem* greeting = doc->FindString("MY_GREETING");
    ASSERT_TRUE(greeting);
    EXPECT_EQ(qp::CStringItem::kAuthor, greeting->category);
    EXPECT_EQ((std::vector<std::string>{"Hello", "Howdy", "Hello"}), greeting->values);
    // The key in other letter case is the default string, not a second one.
    const qp::CStringItem* company = doc->FindString("COMPANY_NAME");
    EXPECT_EQ("COMPANY_NAME", company->key);
    EXPECT_EQ(qp::CStringItem::kProductInfo, company->category);
    EXPECT_EQ("Veltor Ltd", company->Value(0));
    EXPECT_EQ("", company->Value(1));
    int count = 0;
    for (const auto& s : doc->string_table.items) count += qp::EqualNoCase(s->key, "COMPANY_NAME");
    EXPECT_EQ(1, count);
}

TEST_F(FullTree, WizardTextsFillWhatTheProjectLeftEmpty) {
    const qp::CStringItem* title = doc->FindString("DLG_WELCOME_TITLE");
    EXPECT_EQ("Welcome to Quill", title->Value(0));  // the project's own text stays
    EXPECT_EQ("English (US):DLG_WELCOME_TITLE", title->Value(1));
    EXPECT_EQ("Welcome to Quill", title->Value(2));
    const qp::CStringItem* text = doc->FindString("DLG_WELCOME_COMMENT");
    ASSERT_TRUE(text);
    EXPECT_EQ("English:DLG_WELCOME_COMMENT", text->Value(0));
    EXPECT_EQ("English (US):DLG_WELCOME_COMMENT", text->Value(1));
}

TEST_F(FullTree, ShellFoldersAndShortcuts) {
    const qp::CObListShort* programs = Child(*Child(doc->shortcut_root, "Start Menu"), "Programs");
    ASSERT_TRUE(programs);
    EXPECT_EQ((std::vector<std::string>{"Startup", "Program Folder", "Quill Tools"}), Names(*programs));
    const qp::CObListShort* tools = Child(*programs, "Quill Tools");
    EXPECT_EQ(qp::CObListShort::kProgramFolder, tools->kind);
    EXPECT_EQ("Quill Tools", tools->display_text);
    EXPECT_EQ("Tools folder", tools->comment);
    EXPECT_EQ("", Child(*programs, "Startup")->display_text);  // it existed: its section is not read

    ASSERT_EQ(1u, tools->children.size());
    const qp::CObListShort& quill = *tools->children[0];
    EXPECT_EQ("Quill", quill.name);
    EXPECT_EQ(qp::CObListShort::kShortcut, quill.kind);
    EXPECT_EQ("Quill", quill.display_text);
    EXPECT_EQ("Starts Quill", quill.comment);
    EXPECT_EQ("<TARGETDIR>\\bin\\app.exe", quill.target);
    EXPECT_EQ("<TARGETDIR>", quill.start_in);
    EXPECT_EQ("<TARGETDIR>\\bin\\app.exe", quill.icon_file);
    EXPECT_EQ("-fast", quill.parameters);
    EXPECT_EQ(0, quill.replace_existing);
    EXPECT_EQ(0, quill.internet_shortcut);
    EXPECT_EQ((std::vector<std::string>{"Program Files", "Help Files"}), Names(quill.file_groups));

    const qp::CObListShort* folder = Child(*programs, "Program Folder");
    ASSERT_EQ((std::vector<std::string>{"Link", "Web Site"}), Names(*folder));
    const qp::CObListShort& link = *folder->children[0];
    EXPECT_EQ(qp::CObListShort::kShortcut, link.kind);
    EXPECT_EQ("", link.target);
    EXPECT_EQ("", link.display_text);
    const qp::CObListShort& web = *folder->children[1];
    EXPECT_EQ(1, web.internet_shortcut);
    EXPECT_EQ(1, web.replace_existing);  // no "REPLACE" entry: the default stays
    EXPECT_EQ("http://example.com", web.target);
}

TEST_F(FullTree, RegistrySetsKeysAndValues) {
    ASSERT_EQ((std::vector<std::string>{"App Keys", "Shell Keys"}), Names(doc->registry_root));
    const qp::CRegistry& app = *doc->registry_root.children[0];
    EXPECT_EQ(qp::CRegistry::kSet, app.kind);
    EXPECT_EQ((std::vector<std::string>{"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"}),
              Names(app));
    EXPECT_EQ((std::vector<std::string>{"Program Files"}), Names(app.file_groups));

    const qp::CRegistry* quill = Child(*Child(*Child(*app.children[2], "Software"), "Veltor"), "Quill");
    ASSERT_TRUE(quill);
    EXPECT_EQ(qp::CRegistry::kKey, quill->kind);
    ASSERT_EQ((std::vector<std::string>{"Options", "Version", "Count", "Blob", "Plain", "Path"}), Names(*quill));
    struct Want { std::int32_t kind; const char* data; };
    const Want want[] = {{qp::CRegistry::kKey, ""},      {qp::CRegistry::kString, "1.0"},
                         {qp::CRegistry::kDword, "1"},   {qp::CRegistry::kBinary, "0102FF"},
                         {qp::CRegistry::kString, "just text"}, {qp::CRegistry::kString, "C:\\Program Files,Quill"}};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(want[i].kind, quill->children[i]->kind) << i;
        EXPECT_EQ(want[i].data, quill->children[i]->data) << i;
    }
    const qp::CRegistry& options = *quill->children[0];
    ASSERT_EQ(1u, options.children.size());
    EXPECT_EQ(qp::CRegistry::kDword, options.children[0]->kind);
    EXPECT_EQ("0", options.children[0]->data);

    const qp::CRegistry* user_key = Child(*Child(*app.children[1], "Software"), "Veltor");
    ASSERT_TRUE(user_key);
    ASSERT_EQ(1u, user_key->children.size());
    EXPECT_EQ("User", user_key->children[0]->name);
    EXPECT_EQ("", user_key->children[0]->data);
    EXPECT_EQ(1u, Child(*app.children[1], "Software")->children.size());  // "HKCU2" follows a gap

    const qp::CRegistry& shell = *doc->registry_root.children[1];
    EXPECT_EQ((std::vector<std::string>{"Help Files"}), Names(shell.file_groups));
    const qp::CRegistry* qpk = Child(*shell.children[0], ".qpk");
    ASSERT_TRUE(qpk);
    ASSERT_EQ(1u, qpk->children.size());
    EXPECT_EQ("Content Type", qpk->children[0]->name);
    EXPECT_EQ("application/x-quill", qpk->children[0]->data);
}

TEST_F(FullTree, FolderTreeAdditionsUnderTheirMacros) {
    const qp::CObListFile& tree = doc->folder_tree;
    ASSERT_EQ((std::vector<std::string>{"Windows Operating system", "App Destination", "Program Files Folder",
                                        "Common Files"}),
              Names(tree));
    EXPECT_EQ((std::vector<std::string>{"drivers"}), Names(*tree.children[0]->children[0]));
    const qp::CObListFile& app = *tree.children[1];
    ASSERT_EQ((std::vector<std::string>{"C:\\Build\\extra.dat", "bin"}), Names(app));
    EXPECT_EQ(qp::CObListFile::kFile, app.children[0]->kind);
    EXPECT_EQ((std::vector<std::string>{"plugins"}), Names(*app.children[1]));
    EXPECT_EQ("<TARGETDIR>\\bin\\plugins", app.children[1]->children[0]->FullPath());
    EXPECT_EQ((std::vector<std::string>{"Veltor"}), Names(*tree.children[3]));
    EXPECT_EQ(qp::CObListFile::kFolder, tree.children[3]->kind);
}

TEST_F(FullTree, SavedProjectReadsBackAlike) {
    qptest::TempDir dir;
    qptest::RecordingReporter reporter;
    ASSERT_TRUE(qp::SaveProject(*doc, dir / "quill.qpk", reporter)) << reporter.All();
    auto again = Open(dir / "quill.qpk");
    ASSERT_TRUE(again);
    EXPECT_EQ(qp::WriteProjectBytes(*doc), qp::WriteProjectBytes(*again));
}

TEST(OverwriteWord, TokensAddTheirBits) {
    using qp::ParseOverwriteWord;
    EXPECT_EQ(16 + 64 + 512, ParseOverwriteWord("NEWERVERSION\\NEWERDATE"));
    EXPECT_EQ(16 + 128 + 2048, ParseOverwriteWord("olderdate\\SameOrNewerVersion"));
    EXPECT_EQ(2, ParseOverwriteWord("NEVEROVERWRITE"));
    EXPECT_EQ(0, ParseOverwriteWord(""));
    EXPECT_EQ(8 + 256, ParseOverwriteWord("OLDERVERSION"));
    EXPECT_EQ(4 + 1024, ParseOverwriteWord("SAMEORNEWERDATE"));
    // Parsing ends at either overwrite token, whatever came before.
    EXPECT_EQ(1, ParseOverwriteWord("NEWERVERSION\\ALWAYSOVERWRITE\\NEWERDATE"));
    EXPECT_EQ(2, ParseOverwriteWord("NEWERDATE\\neveroverwrite"));
    // Unknown and empty tokens are skipped.
    EXPECT_EQ(8 + 64, ParseOverwriteWord("\\NEWER\\NEWERVERSION\\"));
    // Once both conditions merged, a later date token sets the date bit again beside 16.
    EXPECT_EQ(16 + 64 + 512 + 4 + 2048, ParseOverwriteWord("NEWERVERSION\\NEWERDATE\\OLDERDATE"));
}

TEST(ImportLanguage, HexadecimalIdentifiersPickTheFirstEntry) {
    EXPECT_EQ(0, qp::ImportLanguageIndex("0009"));
    EXPECT_STREQ("English (US)", qp::LanguageName(qp::ImportLanguageIndex("0409")));
    EXPECT_STREQ("German (Germany)", qp::LanguageName(qp::ImportLanguageIndex("407")));
    EXPECT_STREQ("English(Ireland)", qp::LanguageName(qp::ImportLanguageIndex("1809")));  // shared identifier
    EXPECT_STREQ("French", qp::LanguageName(qp::ImportLanguageIndex("0x000c")));
    EXPECT_EQ(0, qp::ImportLanguageIndex("zz"));
    EXPECT_EQ(0, qp::ImportLanguageIndex("10409"));  // no identifier is wider than 16 bits
    EXPECT_EQ("0009-English", qp::ImportLanguageFolder(0));
    EXPECT_EQ("0C0A-Spanish(Modern)", qp::ImportLanguageFolder(qp::ImportLanguageIndex("c0a")));
}

class SmallTree : public ::testing::Test {
protected:
    void Write(const std::string& relative, const std::string& text) {
        fs::path p = dir.Path() / relative;
        fs::create_directories(p.parent_path());
        qptest::WriteText(p.string(), text);
    }
    std::unique_ptr<qp::CDazDoc> Import() {
        Write("p.ipr", "");
        return Open(dir / "p.ipr");
    }
    qptest::TempDir dir;
};

TEST_F(SmallTree, WithoutDefinitionFilesOnlyTheDefaultFolders) {
    qptest::WriteText(dir / "p.ipr", "[Project]\nName=x\n");
    auto doc = Open(dir / "p.ipr");
    ASSERT_TRUE(doc);
    EXPECT_EQ(0u, doc->group_list.size());
    EXPECT_TRUE(doc->root_component.children.empty());
    EXPECT_EQ(0u, doc->setup_type_list.size());
    EXPECT_TRUE(doc->registry_root.children.empty());
    EXPECT_EQ(0, doc->LanguageCount());
    EXPECT_EQ((std::vector<std::string>{"Windows Operating system", "App Destination", "Program Files Folder"}),
              Names(doc->folder_tree));
    EXPECT_EQ(qp::CObListFile::kSystemDir, doc->folder_tree.children[0]->children[0]->folder_id);
    const qp::CObListShort* folder = Child(*Child(*Child(doc->shortcut_root, "Start Menu"), "Programs"), "Program Folder");
    ASSERT_TRUE(folder);
    EXPECT_EQ("<SHELL_OBJECT_FOLDER>", folder->display_text);
    EXPECT_EQ((std::vector<std::string>{"Link"}), Names(*folder));

    // The save writes the project beside the ".ipr" and leaves the ".ipr" alone.
    EXPECT_EQ(dir / "p.qpk", doc->PathName());
    EXPECT_TRUE(doc->IsModified());
    qptest::RecordingReporter reporter;
    ASSERT_TRUE(qp::SaveProject(*doc, doc->PathName(), reporter));
    EXPECT_EQ("[Project]\nName=x\n", qptest::ReadText(dir / "p.ipr"));
    auto reopened = Open(dir / "p.qpk");
    ASSERT_TRUE(reopened);
    EXPECT_EQ(Names(doc->folder_tree), Names(reopened->folder_tree));
    EXPECT_FALSE(reopened->IsModified());
}

TEST_F(SmallTree, ParentListedAfterItsChildIsFilledInPlace) {
    Write("COMPONENT DEFINITIONS/default.cdf",
          "[COMPONENTS]\nCOMPONENT0=A\\B\nCOMPONENT1=C\nCOMPONENT2=A\nCOMPONENT3=A\\B\n"
          "[A]\nDESCRIPTION=first level\nVISIBLE=no\n[A\\B]\nSTATUS=second level\n");
    auto doc = Import();
    ASSERT_TRUE(doc);
    ASSERT_EQ((std::vector<std::string>{"A", "C"}), Names(doc->root_component));
    const qp::CItemComponent& a = *doc->root_component.children[0];
    EXPECT_EQ("first level", a.description);
    EXPECT_EQ(0, a.visible);
    ASSERT_EQ(1u, a.children.size());  // listed twice, created once
    EXPECT_EQ("second level", a.children[0]->status_text);
}

TEST_F(SmallTree, GapsEndEveryNumberedList) {
    Write("FILE GROUPS/default.fdf", "[FILEGROUPS]\nGROUP0=One\nGROUP1=Two\nGROUP3=Four\n");
    Write("COMPONENT DEFINITIONS/default.cdf", "[COMPONENTS]\nCOMPONENT1=Late\n[SETUPTYPE]\nSETUPTYPE0=\nSETUPTYPE1=X\n");
    Write("STRING TABLES/default.shl", "[LANGUAGE]\nLANG0=0007\nLANG2=0409\n[DATA]\nENTRY0=A_KEY\nENTRY2=B_KEY\n");
    Write("STRING TABLES/0007-German/value.shl", "[DATA]\nA_KEY=Hallo\n");
    auto doc = Import();
    ASSERT_TRUE(doc);
    EXPECT_EQ(2u, doc->group_list.size());
    EXPECT_TRUE(doc->root_component.children.empty());
    EXPECT_EQ(0u, doc->setup_type_list.size());
    ASSERT_EQ(1, doc->LanguageCount());
    EXPECT_STREQ("German", qp::LanguageName(doc->string_table.language_list[0]->table_index));
    EXPECT_EQ("Hallo", doc->FindString("A_KEY")->Value(0));
    EXPECT_FALSE(doc->FindString("B_KEY"));
}

TEST_F(SmallTree, ValuesAreCutToTheirLimits) {
    const std::string long_text(400, 'x');
    Write("FILE GROUPS/default.fdf", "[FILEGROUPS]\nGROUP0=G\n[G]\nCOMMENT=" + long_text + "\n");
    Write("FILE GROUPS/G.fgl", "[TOPDIR]\nFILE0=" + long_text + "\n");
    Write("SHELL OBJECTS/default.shl",
          "[DATA]\nFOLDER0=<FOLDER_STARTMENU>\\F\n[FOLDER0]\nDISPLAYTEXT=" + long_text + "\n");
    auto doc = Import();
    ASSERT_TRUE(doc);
    EXPECT_EQ(199u, doc->group_list.items[0]->comment.size());
    EXPECT_EQ(299u, doc->group_list.items[0]->file_tree.children[0]->name.size());
    EXPECT_EQ(259u, Child(*Child(doc->shortcut_root, "Start Menu"), "F")->display_text.size());
}

TEST_F(SmallTree, RegistryEntriesTakeTheirTypeBeforeTheFirstComma) {
    Write("REGISTRY ENTRIES/default.rge",
          "[DATA]\nSET0=S\n[S]\nHKUS0=.DEFAULT\\Key\nHKUS1=.default\\KEY\\Sub\n"
          "[HKUS:.DEFAULT\\Key]\nD=N,1\nWhole=no comma here\nLower=b,00\nBare\n");
    auto doc = Import();
    ASSERT_TRUE(doc);
    const qp::CRegistry& hive = *doc->registry_root.children[0]->children[3];
    ASSERT_EQ(1u, hive.children.size());  // one key whatever the case of its spelling
    const qp::CRegistry& key = *hive.children[0]->children[0];
    ASSERT_EQ((std::vector<std::string>{"Sub", "D", "Whole", "Lower", "Bare"}), Names(key));
    EXPECT_EQ(qp::CRegistry::kDword, key.children[1]->kind);
    EXPECT_EQ("1", key.children[1]->data);
    EXPECT_EQ(qp::CRegistry::kString, key.children[2]->kind);
    EXPECT_EQ("no comma here", key.children[2]->data);
    EXPECT_EQ(qp::CRegistry::kBinary, key.children[3]->kind);
    EXPECT_EQ(qp::CRegistry::kString, key.children[4]->kind);
    EXPECT_EQ("", key.children[4]->data);
}

TEST_F(SmallTree, HostileNestingStopsAtAFixedDepth) {
    // Every level names a section of its own; the bound keeps the recursion finite and shallow.
    std::string fgl = "[TOPDIR]\nSUBDIR0=a\n";
    std::string section = "a";
    for (int i = 0; i < 300; ++i) {
        fgl += "[" + section + "]\nSUBDIR0=a\n";
        section += "\\a";
    }
    Write("FILE GROUPS/default.fdf", "[FILEGROUPS]\nGROUP0=G\n");
    Write("FILE GROUPS/G.fgl", fgl);
    auto doc = Import();
    ASSERT_TRUE(doc);
    int depth = 0;
    for (const qp::CObListFile* n = &doc->group_list.items[0]->file_tree; !n->children.empty(); n = n->children[0].get())
        ++depth;
    EXPECT_GT(depth, 100);
    EXPECT_LT(depth, 300);
}

TEST_F(SmallTree, DefinitionFileThatCannotBeReadIsAnErrorNamingIt) {
    // Too large for the profile reader: read as empty it would make a project without groups.
    Write("FILE GROUPS/default.fdf", "[FILEGROUPS]\nGROUP0=G\n" + std::string((16 << 20) + 1, ';'));
    Write("p.ipr", "");
    qptest::RecordingReporter reporter;
    EXPECT_FALSE(qp::OpenProject(dir / "p.ipr", reporter));
    EXPECT_NE(std::string::npos, reporter.All().find("default.fdf is too large to read")) << reporter.All();
    // A folder where a group's file list belongs.
    Write("FILE GROUPS/default.fdf", "[FILEGROUPS]\nGROUP0=G\n");
    fs::create_directories(dir.Path() / "FILE GROUPS" / "G.fgl");
    qptest::RecordingReporter folder;
    EXPECT_FALSE(qp::OpenProject(dir / "p.ipr", folder));
    EXPECT_NE(std::string::npos, folder.All().find("G.fgl is not a regular file")) << folder.All();
}

TEST_F(SmallTree, SubdirNamesTheFolderByItsLastPartWhicheverSeparator) {
    Write("FILE GROUPS/default.fdf", "[FILEGROUPS]\nGROUP0=G\n");
    Write("FILE GROUPS/G.fgl", "[TOPDIR]\nSUBDIR0=src\\back\nSUBDIR1=src/fore\n[fore]\nFILE0=x.txt\n");
    auto doc = Import();
    ASSERT_TRUE(doc);
    const qp::CObListFile& top = doc->group_list.items[0]->file_tree;
    EXPECT_EQ((std::vector<std::string>{"back", "fore"}), Names(top));
    EXPECT_EQ(1u, top.children[1]->children.size());
}

TEST_F(SmallTree, DeepShortcutChainsImportInLinearTimeOrAreRefused) {
    // Program folders, each below the one before: the lookup of the parent by name must not walk
    // the whole tree each time (30,000 levels took 14 s and 900 MB).
    auto chain = [](int depth) {
        std::string shl = "[DATA]\nFOLDER0=<FOLDER_PROGRAMS>\\f0\n";
        for (int i = 1; i < depth; ++i)
            shl += "FOLDER" + std::to_string(i) + "=f" + std::to_string(i - 1) + "\\f" + std::to_string(i) + "\n";
        return shl;
    };
    Write("SHELL OBJECTS/default.shl", chain(998));  // Programs lies 2 deep
    auto doc = Import();
    ASSERT_TRUE(doc);
    int depth = 0;
    const qp::CObListShort* at = Child(*Child(doc->shortcut_root, "Start Menu"), "Programs");
    for (std::string name = "f0"; (at = Child(*at, name)) != nullptr; name = "f" + std::to_string(++depth)) {
    }
    EXPECT_EQ(998, depth);

    // Deeper than a Windows program's stack could walk: refused at once, naming the file.
    Write("SHELL OBJECTS/default.shl", chain(30000));
    const auto start = std::chrono::steady_clock::now();
    qptest::RecordingReporter reporter;
    EXPECT_FALSE(qp::OpenProject(dir / "p.ipr", reporter));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_NE(std::string::npos, reporter.All().find("default.shl: \"f997\\f998\" (FOLDER998) lies more than 1000"))
        << reporter.All();
    EXPECT_LT(seconds, 4.0);
}

TEST(ResolvePathNoCase, FindsEachLevelWhateverItsCase) {
    qptest::TempDir dir;
    fs::create_directories(dir.Path() / "Abc" / "DEF");
    qptest::WriteText((dir.Path() / "Abc" / "DEF" / "file.TXT").string(), "found");
    std::string resolved = qp::ResolvePathNoCase(dir.Str(), "abc\\def\\FILE.txt");
    EXPECT_EQ("found", qptest::ReadText(resolved));
    std::string slashes = qp::ResolvePathNoCase(dir.Str(), "ABC/Def/File.Txt");
    EXPECT_EQ("found", qptest::ReadText(slashes));
#ifndef _WIN32
    EXPECT_EQ((dir.Path() / "Abc" / "DEF" / "file.TXT").string(), resolved);
    // An exact match wins over one in other case.
    fs::create_directories(dir.Path() / "abc");
    EXPECT_EQ((dir.Path() / "abc").string(), qp::ResolvePathNoCase(dir.Str(), "abc"));
    EXPECT_EQ((dir.Path() / "Abc").string(), qp::ResolvePathNoCase(dir.Str(), "ABC"));
#endif
    // What does not exist keeps the spelling asked for from the first missing level on.
    std::string missing = qp::ResolvePathNoCase(dir.Str(), "abc\\Nope\\x.txt");
    EXPECT_NE(std::string::npos, missing.find("Nope"));
    EXPECT_FALSE(fs::exists(missing));
}

}  // namespace
