// qpbc run as a real process: its command line, exit status, stderr, the projects that "new"
// saves and what "dump" prints.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "builder/model/doc.h"
#include "builder/model/language.h"
#include "builder/model/projectfile.h"
#include "common/fileio.h"
#include "common/fsprim.h"
#include "common/keytable.h"
#include "common/languages.h"
#include "support/run_process.h"
#include "support/testutil.h"

namespace {

using qptest::ProcessResult;

class Qpbc : public ::testing::Test {
protected:
    ProcessResult Run(const std::vector<std::string>& args) { return qptest::RunProcess(QPBC_EXE, args, dir.Str()); }
    std::unique_ptr<qp::CDazDoc> Open(const std::string& path) {
        qptest::RecordingReporter reporter;
        auto doc = qp::OpenProject(path, reporter);
        EXPECT_TRUE(doc) << reporter.All();
        return doc;
    }
    qptest::TempDir dir;
};

TEST_F(Qpbc, CommandLineMistakesExitWithTwo) {
    ProcessResult none = Run({});
    EXPECT_EQ(2, none.status);
    EXPECT_NE(std::string::npos, none.err.find("Usage: qpbc COMMAND"));
    EXPECT_EQ("", none.out);

    ProcessResult unknown = Run({"frobnicate"});
    EXPECT_EQ(2, unknown.status);
    EXPECT_NE(std::string::npos, unknown.err.find("frobnicate"));

    EXPECT_EQ(2, Run({"new"}).status);
    EXPECT_EQ(2, Run({"new", "a.qpk", "b.qpk"}).status);
    ProcessResult bad_option = Run({"new", dir / "a.qpk", "--colour"});
    EXPECT_EQ(2, bad_option.status);
    EXPECT_NE(std::string::npos, bad_option.err.find("--colour"));
    EXPECT_EQ(2, Run({"new", dir / "a.qpk", "--language-file"}).status);
    EXPECT_FALSE(qp::IsFile(dir / "a.qpk"));
}

TEST_F(Qpbc, HelpListsTheCommands) {
    ProcessResult help = Run({"--help"});
    EXPECT_EQ(0, help.status);
    EXPECT_NE(std::string::npos, help.out.find("qpbc new PROJECT.qpk"));
    EXPECT_NE(std::string::npos, help.out.find("qpbc dump PROJECT"));
    EXPECT_EQ("", help.err);
    EXPECT_EQ(0, Run({"dump", "--help"}).status);
}

TEST_F(Qpbc, NewSavesTheDefaultsWithTheTextsOfTheLanguageFileBesideIt) {
    std::string path = dir / "fresh.qpk";
    ProcessResult r = Run({"new", path});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("", r.err);
    auto bytes = qptest::ReadBytes(path);
    ASSERT_GT(bytes.size(), 2188u);
    EXPECT_EQ(0x23, bytes[0]);
    auto doc = Open(path);
    ASSERT_TRUE(doc);
    EXPECT_EQ(5u, doc->group_list.size());
    EXPECT_EQ(5u, doc->root_component.children.size());
    EXPECT_EQ(3u, doc->setup_type_list.size());
    EXPECT_EQ(38u, doc->settings_block.product_guid().size());
    ASSERT_EQ(1, doc->LanguageCount());
    EXPECT_EQ(0, doc->string_table.language_list[0]->table_index);
    for (int id : {1, 19, 57})
        EXPECT_EQ(qp::KeyDefault(id), doc->FindString(qp::KeyName(id))->Value(0)) << qp::KeyName(id);
    // Texts the key table leaves empty or misspells come from the file too.
    EXPECT_EQ("Required:", doc->FindString("SPACEREQ")->Value(0));
    EXPECT_EQ("Cancel", doc->FindString("CANCELBUT")->Value(0));
}

TEST_F(Qpbc, NewTakesAnotherLanguageFileOrRefuses) {
    std::string ini = dir / "mine.ini";
    qptest::WriteText(ini, "[DLG_WELCOME_TITLE]\r\nEnglish=Hello from mine\r\n[NEXTBUT]\r\nGerman=&Weiter\r\n");
    std::string path = dir / "custom.qpk";
    ProcessResult r = Run({"new", path, "--language-file", ini});
    ASSERT_EQ(0, r.status) << r.err;
    auto doc = Open(path);
    ASSERT_TRUE(doc);
    EXPECT_EQ("Hello from mine", doc->FindString("DLG_WELCOME_TITLE")->Value(0));
    EXPECT_EQ("", doc->FindString("NEXTBUT")->Value(0));

    ProcessResult missing = Run({"new", dir / "other.qpk", "--language-file=" + (dir / "none.ini")});
    EXPECT_EQ(1, missing.status);
    EXPECT_NE(std::string::npos, missing.err.find("none.ini"));
    EXPECT_FALSE(qp::IsFile(dir / "other.qpk"));
}

TEST_F(Qpbc, NewWithoutALanguageFileBesideItWarnsAndLeavesTextsEmpty) {
    // A copy of the program in a folder of its own, without language.ini.
    std::string exe = QPBC_EXE;
    std::string name = exe.substr(exe.find_last_of("/\\") + 1);
    std::string lonely = dir / name;
    qptest::WriteBytes(lonely, qptest::ReadBytes(exe));
    std::filesystem::permissions(lonely, std::filesystem::perms::owner_all);
    std::string path = dir / "bare.qpk";
    ProcessResult r = qptest::RunProcess(lonely, {"new", path}, dir.Str());
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("warning"));
    auto doc = Open(path);
    ASSERT_TRUE(doc);
    ASSERT_EQ(1, doc->LanguageCount());
    EXPECT_EQ("", doc->FindString("DLG_WELCOME_TITLE")->Value(0));
}

TEST_F(Qpbc, NewDoesNotReplaceAProjectUnlessForced) {
    std::string path = dir / "keep.qpk";
    qptest::WriteText(path, "precious");
    ProcessResult r = Run({"new", path});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("exists"));
    EXPECT_EQ("precious", qptest::ReadText(path));
    EXPECT_EQ(0, Run({"new", path, "--force"}).status);
    EXPECT_EQ(0x23, qptest::ReadBytes(path)[0]);
    // A folder that is not there: failure, on stderr.
    ProcessResult nodir = Run({"new", dir / "no/such.qpk"});
    EXPECT_EQ(1, nodir.status);
    EXPECT_NE(std::string::npos, nodir.err.find("the folder " + (dir / "no") + " does not exist")) << nodir.err;
    EXPECT_EQ(std::string::npos, nodir.err.find("Failed to save")) << nodir.err;
    // A file where the folder should be, and a folder where the file should be.
    qptest::WriteText(dir / "plain", "x");
    EXPECT_NE(std::string::npos, Run({"new", dir / "plain/such.qpk"}).err.find("is a file"));
    std::filesystem::create_directories(dir / "sub.qpk");
    ProcessResult onfolder = Run({"new", dir / "sub.qpk", "--force"});
    EXPECT_EQ(1, onfolder.status);
    EXPECT_NE(std::string::npos, onfolder.err.find("it is a folder")) << onfolder.err;
}

TEST_F(Qpbc, DumpListsEveryPartOfTheProject) {
    qp::LanguageFile texts(qptest::SourceDir() + "/builder/model/language.ini");
    qp::CDazDoc doc;
    doc.wizard_texts = &texts;
    doc.NewProject();
    doc.AddLanguage(qp::LanguageIndexOfId(0x0407));  // "German (Germany)"
    doc.group_list.items[0]->file_tree.AddFolder("bin")->AddFile("C:\\src\\app.exe");
    doc.group_list.items[1]->language_mask = "01";
    doc.root_component.children[0]->required_components.push_back(doc.root_component.children[1].get());
    doc.setup_type_list.items[1]->components.push_back(doc.root_component.children[0].get());
    auto* hklm = doc.registry_root.children[0]->children[2].get();
    hklm->AddChild(qp::CRegistry::kKey, "Software")->AddChild(qp::CRegistry::kDword, "Level", "1A");
    auto fn = std::make_unique<qp::CItemFunction>();
    fn->name = "Register";
    fn->dll_path = "helper.dll";
    fn->function_call = "DllRegisterServer";
    fn->parameters = {"/s", "two words"};
    doc.function_list.push_back(std::move(fn));
    qptest::RecordingReporter reporter;
    std::string path = dir / "rich.qpk";
    ASSERT_TRUE(qp::SaveProject(doc, path, reporter)) << reporter.All();

    ProcessResult r = Run({"dump", path});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("", r.err);
    const std::string& out = r.out;
    const std::string guid = doc.settings_block.product_guid();
    const char* expected[] = {
        "page mask: 0x0000FFFF",
        guid.c_str(),
        "window colour 1 (gradient start): 0x00993300",
        "group \"Program Executable Files\"",
        "folder \"bin\"",
        "file \"C:\\src\\app.exe\"",
        "languages: \"German\"",
        "overwrite: 0x00000241 (\"ALLWAYSOVERWRITE\")",
        "required components: \"DLL\"",
        "components: \"Program Files\"",
        "hive \"HKEY_LOCAL_MACHINE\"",
        "key \"Software\"",
        "dword \"Level\" = \"1A\"",
        "1: \"German (Germany)\"",
        "German (Germany): \"&Weiter\"",
        "English: \"Setup will install %P in the following folder.\\n\\nTo install",
        "shortcut \"Uninstall\"",
        "target: \"<UNINSTALLDIR>\\setup.exe\"",
        "function \"Register\"",
        "parameters: \"/s\" \"two words\"",
        "Functions (1)",
    };
    for (const char* e : expected) EXPECT_NE(std::string::npos, out.find(e)) << e;
    EXPECT_LT(out.find("Settings block"), out.find("File groups"));
    EXPECT_LT(out.find("Registry"), out.find("Strings ("));
}

TEST_F(Qpbc, DumpOfABadFileFailsOnStderr) {
    std::string junk = dir / "junk.qpk";
    qptest::WriteText(junk, "this is not a project");
    ProcessResult r = Run({"dump", junk});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("Unknown file format"));
    EXPECT_EQ("", r.out);
    ProcessResult missing = Run({"dump", dir / "none.qpk"});
    EXPECT_EQ(1, missing.status);
    EXPECT_NE(std::string::npos, missing.err.find("none.qpk"));
}

}  // namespace
