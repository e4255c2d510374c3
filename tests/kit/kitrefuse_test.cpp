// Projects whose kit could not install what they say are refused before a setup list is made:
// trees beyond the reader's limits, names the runtime cannot use, two files on one member; and
// a file that turns into a folder while the archive is made.
#include <gtest/gtest.h>

#include "builder/kit/kitbuild.h"
#include "builder/kit/kitcheck.h"
#include "builder/kit/kitlist.h"
#include "kit_fixture.h"

namespace {

// The refusal's text, or "" when the list was made.
std::string Refusal(const qp::CDazDoc& doc) {
    try {
        qp::MakeSetupList(doc);
    } catch (const qp::KitRefused& e) {
        return e.what();
    }
    return "";
}

qp::CObListFile* Chain(qp::CObListFile* at, int folders) {
    for (int i = 0; i < folders; ++i) at = at->AddFolder("d");
    return at;
}

TEST(KitRefusal, TreesAreHeldToWhatTheSetupListReaderAccepts) {
#ifndef _WIN32  // 10,000 files looked up on disk take minutes under Wine
    // At the limits: written, and read back by the runtime's reader.
    qp::CDazDoc ok;
    qp::CItemGroup* g = ok.group_list.Add("Wide");
    for (int i = 0; i < qp::kMaxFileTreeChildren; ++i) g->file_tree.AddFile("f" + std::to_string(i) + ".txt");
    Chain(&ok.group_list.Add("Deep")->file_tree, qp::kMaxSetupListDepth - 2)->AddFile("x.txt");
    qp::CObListShort* s = &ok.shortcut_root;
    for (int i = 0; i < qp::kMaxSetupListDepth - 1; ++i) s = s->AddChild(qp::CObListShort::kProgramFolder, "s");
    ASSERT_EQ("", Refusal(ok));
    std::vector<std::uint8_t> bytes = qp::WriteSetupList(qp::MakeSetupList(ok));
    EXPECT_EQ(qp::kMaxFileTreeChildren, static_cast<int>(qp::ReadSetupList(bytes).groups[0].file_tree.children.size()));
#endif

    struct Case {
        const char* what;
        void (*make)(qp::CDazDoc&);
        const char* expect;
    };
    const Case cases[] = {
        {"10,001 files in one folder",
         [](qp::CDazDoc& d) {
             qp::CItemGroup* g = d.group_list.Add("Wide");
             for (int i = 0; i <= qp::kMaxFileTreeChildren; ++i) g->file_tree.AddFile("f" + std::to_string(i));
         },
         "group \"Wide\" holds 10001"},
        {"a file 199 folders deep",
         [](qp::CDazDoc& d) { Chain(&d.group_list.Add("Deep")->file_tree, 199)->AddFile("x.txt"); },
         "file \"x.txt\" lies 200 folders deep"},
        {"a file holding nodes",
         [](qp::CDazDoc& d) { d.group_list.Add("G")->file_tree.AddFile("a.txt")->AddFile("b.txt"); },
         "file \"a.txt\" is a file but holds 1"},
        {"a node of kind 7",
         [](qp::CDazDoc& d) { d.group_list.Add("G")->file_tree.AddFolder("odd")->kind = 7; },
         "folder \"odd\" is of kind 7"},
        {"a registry node of kind 9",
         [](qp::CDazDoc& d) { d.registry_root.AddChild(9, "r"); },
         "registry entry \"r\" is of kind 9"},
        {"shortcut folders 200 deep",
         [](qp::CDazDoc& d) {
             qp::CObListShort* s = &d.shortcut_root;
             for (int i = 0; i < qp::kMaxSetupListDepth; ++i) s = s->AddChild(qp::CObListShort::kProgramFolder, "s");
         },
         "shortcut \"s\" lies 200 levels deep"},
    };
    for (const Case& c : cases) {
        qp::CDazDoc doc;
        c.make(doc);
        EXPECT_NE(std::string::npos, Refusal(doc).find(c.expect)) << c.what << ": " << Refusal(doc);
    }
}

TEST(KitRefusal, NamesThatMakeNoSafeMemberOrTargetAreRefusedNamingTheItem) {
    const char* bad[] = {"..", ".", "", "C:", "a:b", "what?", "a*", "x|y", "<in>", "quo\"te", "dot.", "blank ",
                         "CON", "con.txt", "LPT1", "Com9.log", "nul", "a\\b", "a/b", "tab\there"};
    for (const char* name : bad) {
        SCOPED_TRACE(std::string("name \"") + name + "\"");
        qp::CDazDoc as_group;
        as_group.group_list.Add(name)->file_tree.AddFile("/src/a.txt");
        EXPECT_NE(std::string::npos, Refusal(as_group).find(std::string("group \"") + name + "\": its name"))
            << Refusal(as_group);

        qp::CDazDoc as_folder;
        as_folder.group_list.Add("G")->file_tree.AddFolder(name)->AddFile("/src/a.txt");
        EXPECT_NE(std::string::npos, Refusal(as_folder).find(std::string("folder \"") + name + "\": its name"))
            << Refusal(as_folder);

        // The file name part of a source path: everything after its last separator.
        const std::string leaf = std::string(name).substr(std::string(name).find_last_of("\\/") + 1);
        if (leaf == std::string(name)) {
            qp::CDazDoc as_file;
            as_file.group_list.Add("G")->file_tree.AddFile(std::string("/src/") + name);
            EXPECT_NE(std::string::npos, Refusal(as_file).find("its file name")) << Refusal(as_file);
        }
    }
    const char* good[] = {"Program Files", "readme.txt", ".hidden", "a.b.c", "CONSOLE", "com10", "\xE9t\xE9"};
    for (const char* name : good) {
        qp::CDazDoc doc;
        doc.group_list.Add(name)->file_tree.AddFolder(name)->AddFile(std::string("/src/") + name);
        EXPECT_EQ("", Refusal(doc)) << name;
    }
}

TEST(KitRefusal, TwoFilesOnOneMemberAreRefusedNamingBoth) {
    qp::CDazDoc same;
    qp::CItemGroup* g = same.group_list.Add("G");
    g->file_tree.AddFolder("bin")->AddFile("/one/App.exe");
    g->file_tree.AddFolder("BIN")->AddFile("/two/app.EXE");  // Windows makes one folder of the two
    std::string why = Refusal(same);
    EXPECT_NE(std::string::npos, why.find("/one/App.exe")) << why;
    EXPECT_NE(std::string::npos, why.find("/two/app.EXE")) << why;

    qp::CDazDoc file_on_folder;
    qp::CItemGroup* h = file_on_folder.group_list.Add("G");
    h->file_tree.AddFile("/src/bin");
    h->file_tree.AddFolder("bin")->AddFile("/src/x.dll");
    EXPECT_NE(std::string::npos, Refusal(file_on_folder).find("would both be stored as")) << Refusal(file_on_folder);

    // The same name in two groups, or in two folders, is two members.
    qp::CDazDoc apart;
    apart.group_list.Add("A")->file_tree.AddFile("/one/app.exe");
    apart.group_list.Add("B")->file_tree.AddFile("/two/app.exe");
    apart.group_list.items[1]->file_tree.AddFolder("sub")->AddFile("/three/app.exe");
    EXPECT_EQ("", Refusal(apart));
}

// The archive takes a file that is a file when it is added: one that became a folder since the
// check is refused, not packed with everything below it.
TEST(KitRefusal, FileThatBecameAFolderIsNotArchived) {
    qptest::TempDir dir;
    auto doc = kittest::SmallProject(dir);
    struct Swap : qp::Progress {
        std::string victim;
        void Status(const std::string& text) override {
            if (text != victim) return;
            std::filesystem::remove(victim);
            kittest::MakeFile(victim + "/inside/secret.txt", 10);
        }
        bool Step(std::uint64_t, std::uint64_t) override { return true; }
    } swap;
    swap.victim = dir / "src/bin/tool.dll";
    qptest::RecordingReporter reporter;
    qp::KitBuildResult result;
    const std::string cab = dir / "a.cab";
    EXPECT_FALSE(qp::ArchiveProjectFiles(*doc, cab, nullptr, reporter, &swap, &result));
    EXPECT_NE(std::string::npos, reporter.All().find("is not a regular file")) << reporter.All();
    for (const std::string& m : kittest::ZipMembers(cab)) EXPECT_EQ(std::string::npos, m.find("secret")) << m;
}

}  // namespace
