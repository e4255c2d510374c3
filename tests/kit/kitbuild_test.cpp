// The pipeline in process: the kit's files, archive member names, replacing an earlier kit,
// the missing-file refusal, and failures that leave the kit incomplete.
#include <gtest/gtest.h>

#include <algorithm>

#include "builder/kit/kitbuild.h"
#include "common/fileinfo.h"
#include "common/pathutil.h"
#include "common/setuplist.h"
#include "kit_fixture.h"

namespace {

using kittest::ExistingFiles;
using kittest::ZipMembers;

struct CountingProgress : qp::Progress {
    std::vector<std::string> status;
    std::uint64_t last_done = 0, last_total = 0;
    int steps = 0;
    int stop_at = -1;
    void Status(const std::string& text) override { status.push_back(text); }
    bool Step(std::uint64_t done, std::uint64_t total) override {
        ++steps;
        last_done = done;
        last_total = total;
        return steps != stop_at;
    }
};

class KitBuild : public ::testing::Test {
protected:
    qp::KitBuildParams Params() {
        qp::KitBuildParams p;
        p.kit_name = "Kit1";
        p.runtime_path = kittest::FakeRuntime(dir);
        return p;
    }
    qptest::TempDir dir;
    qptest::RecordingReporter reporter;
};

TEST_F(KitBuild, MakesTheThreeKitFilesUnderTheDefaultRoot) {
    auto doc = kittest::SmallProject(dir);
    std::string shown;
    qp::KitBuildParams p = Params();
    p.show_kit_dir = [&](const std::string& d) { shown = d; };
    CountingProgress progress;
    qp::KitBuildResult r = qp::BuildMedia(*doc, p, reporter, &progress);
    EXPECT_TRUE(r.complete) << reporter.All();
    EXPECT_EQ(qp::KitPath(dir / "KITS", "Kit1"), r.kit_dir);
    EXPECT_EQ(r.kit_dir, shown);
    EXPECT_EQ((std::vector<std::string>{"setup.cab", "setup.exe", "setup.lst"}), ExistingFiles(r.kit_dir));
    EXPECT_EQ(qptest::ReadText(p.runtime_path), qptest::ReadText(qp::KitPath(r.kit_dir, "setup.exe")));
    EXPECT_EQ(3u, r.files_added);
    EXPECT_EQ(3, progress.steps);
    EXPECT_EQ(3u, progress.last_total);
    EXPECT_EQ(doc->group_list.items[0]->file_tree.children[0]->name, progress.status[0]);
    // A GUID was made for the project on the way.
    EXPECT_FALSE(doc->settings_block.product_guid().empty());
    EXPECT_EQ("", doc->kit_root);  // only the wizard sets the root
}

TEST_F(KitBuild, MembersAreGroupFoldersAndNameAndTwoSameNamesStayApart) {
    auto doc = kittest::SmallProject(dir);
    qp::KitBuildResult r = qp::BuildMedia(*doc, Params(), reporter);
    ASSERT_TRUE(r.complete) << reporter.All();
    const std::string cab = qp::KitPath(r.kit_dir, "setup.cab");
    std::vector<std::string> names = ZipMembers(cab);
    EXPECT_EQ((std::vector<std::string>{"Program/app.exe", "Program/bin/tool.dll", "Docs/app.exe"}), names);
    EXPECT_EQ(std::string(3000, 'p').size(), kittest::ZipMember(cab, "Program/app.exe").size());
    EXPECT_EQ(qptest::ReadText(dir / "src/docs/app.exe"), kittest::ZipMember(cab, "Docs/app.exe"));
}

TEST_F(KitBuild, SetupListReadsBackWithTheFileFacts) {
    auto doc = kittest::SmallProject(dir);
    qp::KitBuildResult r = qp::BuildMedia(*doc, Params(), reporter);
    ASSERT_TRUE(r.complete) << reporter.All();
    qp::SetupList list = qp::LoadSetupList(qp::KitPath(r.kit_dir, "setup.lst"));
    ASSERT_EQ(2u, list.groups.size());
    EXPECT_EQ(doc->settings_block.product_guid(), list.settings.product_guid());
    EXPECT_EQ(2, list.groups[0].file_tree.children[0].size);
    EXPECT_EQ(qp::FileTime(dir / "src/bin/tool.dll"), list.groups[0].file_tree.children[1].children[0].time);
    EXPECT_EQ(3u, qp::CountFileNodes(list.groups[0].file_tree) + qp::CountFileNodes(list.groups[1].file_tree));
}

TEST_F(KitBuild, SideFilesAreCopiedUnderTheirKitNames) {
    auto doc = kittest::SmallProject(dir);
    kittest::MakeFile(dir / "art/logo.bmp", 100, 'B');
    kittest::MakeFile(dir / "art/notes.txt", 10, 'N');
    doc->side_file_paths[0] = dir / "art/logo.bmp";
    doc->side_file_paths[2] = dir / "art/notes.txt";
    qp::KitBuildResult r = qp::BuildMedia(*doc, Params(), reporter);
    ASSERT_TRUE(r.complete) << reporter.All();
    EXPECT_EQ((std::vector<std::string>{"license.txt", "setup.bmp", "setup.cab", "setup.exe", "setup.lst"}),
              ExistingFiles(r.kit_dir));
    EXPECT_EQ(qptest::ReadText(dir / "art/notes.txt"), qptest::ReadText(qp::KitPath(r.kit_dir, "license.txt")));
}

TEST_F(KitBuild, SecondBuildReplacesTheFirstArchive) {
    auto doc = kittest::SmallProject(dir);
    qp::KitBuildParams p = Params();
    ASSERT_TRUE(qp::BuildMedia(*doc, p, reporter).complete) << reporter.All();
    // The second build has one group less: the old members must not survive in the archive.
    doc->RemoveGroup(doc->group_list.items[1].get());
    qp::KitBuildResult r = qp::BuildMedia(*doc, p, reporter);
    ASSERT_TRUE(r.complete) << reporter.All();
    EXPECT_EQ((std::vector<std::string>{"Program/app.exe", "Program/bin/tool.dll"}),
              ZipMembers(qp::KitPath(r.kit_dir, "setup.cab")));
    EXPECT_EQ(1u, qp::LoadSetupList(qp::KitPath(r.kit_dir, "setup.lst")).groups.size());
}

TEST_F(KitBuild, MissingFilesBlockTheBuildBeforeTheWizard) {
    auto doc = kittest::SmallProject(dir);
    std::filesystem::remove(dir / "src/bin/tool.dll");
    std::filesystem::remove(dir / "src/docs/app.exe");
    bool wizard_ran = false, shown = false;
    qp::KitBuildParams p = Params();
    p.wizard = [&](qp::KitBuildParams&) { return wizard_ran = true; };
    p.show_kit_dir = [&](const std::string&) { shown = true; };
    qp::KitBuildResult r = qp::BuildMedia(*doc, p, reporter);
    EXPECT_FALSE(r.started);
    EXPECT_FALSE(r.complete);
    EXPECT_FALSE(wizard_ran);
    EXPECT_FALSE(shown);
    ASSERT_EQ(1u, reporter.entries.size());
    EXPECT_EQ("These files DOESN'T EXIST !!:\n" + (dir / "src/bin/tool.dll") + "\n" + (dir / "src/docs/app.exe") + "\n",
              reporter.entries[0].text);
    EXPECT_FALSE(std::filesystem::exists(dir / "KITS"));
}

TEST_F(KitBuild, WizardChoosesRootAndNameOrCancels) {
    auto doc = kittest::SmallProject(dir);
    qp::KitBuildParams p = Params();
    p.wizard = [&](qp::KitBuildParams& w) {
        EXPECT_EQ(dir / "KITS", w.kit_root);  // the default it shows
        w.kit_root = dir / "out";
        w.kit_name = "Final";
        return true;
    };
    qp::KitBuildResult r = qp::BuildMedia(*doc, p, reporter);
    EXPECT_TRUE(r.complete) << reporter.All();
    EXPECT_EQ(dir / "out", doc->kit_root);
    EXPECT_TRUE(std::filesystem::exists(qp::KitPath(dir / "out/Final", "setup.lst")));

    auto doc2 = kittest::SmallProject(dir);
    p.wizard = [](qp::KitBuildParams&) { return false; };
    r = qp::BuildMedia(*doc2, p, reporter);
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.started);
    EXPECT_EQ("", doc2->kit_root);
}

TEST_F(KitBuild, FailuresAreReportedAndLeaveNoIncompleteKit) {
    auto doc = kittest::SmallProject(dir);
    doc->side_file_paths[1] = dir / "nowhere/readme.txt";
    qp::KitBuildParams p = Params();
    p.runtime_path = dir / "REDIS/none.ex_";
    qp::KitBuildResult r = qp::BuildMedia(*doc, p, reporter);
    EXPECT_TRUE(r.started);
    EXPECT_FALSE(r.complete);
    // Each message says why as well.
    EXPECT_NE(std::string::npos, reporter.All().find("Can't copy " + (dir / "REDIS/none.ex_") + "  into kit directory! (" +
                                                     (dir / "REDIS/none.ex_") + " does not exist)"))
        << reporter.All();
    EXPECT_NE(std::string::npos, reporter.All().find("Can't copy " + (dir / "nowhere/readme.txt") + "  into kit directory!"))
        << reporter.All();
    // The build went on to the archive, but an incomplete kit never takes the kit's place.
    EXPECT_EQ(3u, r.files_added);
    EXPECT_EQ((std::vector<std::string>{}), ExistingFiles(r.kit_dir));
}

TEST_F(KitBuild, TooLongTextFailsTheListNamingTheItem) {
    auto doc = kittest::SmallProject(dir);
    doc->root_component.children[0]->comment = std::string(300, 'c');
    qp::KitBuildResult r = qp::BuildMedia(*doc, Params(), reporter);
    EXPECT_FALSE(r.complete);
    EXPECT_NE(std::string::npos, reporter.All().find("Can't create setup list: The comment of component \"Main\""))
        << reporter.All();
    EXPECT_FALSE(std::filesystem::exists(qp::KitPath(r.kit_dir, "setup.lst")));
}

TEST_F(KitBuild, FileThatCannotBeAddedStopsTheArchive) {
    auto doc = kittest::SmallProject(dir);
    // A file that exists for the check but that the compressor refuses: a stand-in compressor
    // that fails the second file.
    struct FailingSecond : qp::Compressor {
        int calls = 0;
        bool Load() override { return true; }
        bool AddFile(const std::string&, const std::string&, const std::string&) override { return ++calls < 2; }
        void Unload() override {}
    };
    qp::KitBuildParams p = Params();
    p.make_compressor = [](qp::Reporter&) { return std::unique_ptr<qp::Compressor>(new FailingSecond); };
    qp::KitBuildResult r = qp::BuildMedia(*doc, p, reporter);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(1u, r.files_added);
    EXPECT_TRUE(reporter.Has("Error adding " + (dir / "src/bin/tool.dll") + " to archive")) << reporter.All();
}

TEST_F(KitBuild, ArchiveDirectoryEndingInABackslashIsReportedAndTheFileStillAdded) {
    auto doc = kittest::SmallProject(dir);
    doc->group_list.items[0]->file_tree.children[1]->name = "bin\\";
    struct Recording : qp::Compressor {
        std::vector<std::string>* dirs;
        explicit Recording(std::vector<std::string>* d) : dirs(d) {}
        bool Load() override { return true; }
        bool AddFile(const std::string&, const std::string& d, const std::string&) override {
            dirs->push_back(d);
            return true;
        }
        void Unload() override {}
    };
    std::vector<std::string> dirs;
    qp::CompressorFactory make = [&](qp::Reporter&) { return std::unique_ptr<qp::Compressor>(new Recording(&dirs)); };
    // The build refuses such a folder name before anything is archived ...
    qp::KitBuildParams p = Params();
    p.make_compressor = make;
    EXPECT_FALSE(qp::BuildMedia(*doc, p, reporter).complete);
    EXPECT_TRUE(dirs.empty());
    EXPECT_NE(std::string::npos, reporter.All().find("folder \"bin\\\": its name holds a path separator")) << reporter.All();
    // ... and the archive step on its own still says so and goes on.
    qp::KitBuildResult r;
    qp::ArchiveProjectFiles(*doc, dir / "a.cab", make, reporter, nullptr, &r);
    EXPECT_EQ((std::vector<std::string>{"Program", "Program\\bin\\", "Docs"}), dirs);
    EXPECT_TRUE(reporter.Has("EROARE")) << reporter.All();
    EXPECT_EQ(3u, r.files_added);
}

TEST_F(KitBuild, ProjectWithoutFilesStillGetsAnEmptyArchive) {
    qp::CDazDoc doc;
    doc.SetPathName(dir / "empty.qpk");
    doc.group_list.Add("Nothing");
    qp::KitBuildResult r = qp::BuildMedia(doc, Params(), reporter);
    EXPECT_TRUE(r.complete) << reporter.All();
    EXPECT_EQ((std::vector<std::string>{"setup.cab", "setup.exe", "setup.lst"}), ExistingFiles(r.kit_dir));
    EXPECT_TRUE(ZipMembers(qp::KitPath(r.kit_dir, "setup.cab")).empty());
}

TEST_F(KitBuild, ProgressCanStopTheArchive) {
    auto doc = kittest::SmallProject(dir);
    CountingProgress progress;
    progress.stop_at = 2;
    qp::KitBuildResult r = qp::BuildMedia(*doc, Params(), reporter, &progress);
    EXPECT_FALSE(r.complete);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(1u, r.files_added);
}

TEST(KitPaths, DefaultRootAndArchiveDirectories) {
    qp::CDazDoc doc;
    EXPECT_EQ("", qp::DefaultKitRoot(doc));
    doc.SetPathName("C:\\Work\\Proj\\app.qpk");
    EXPECT_EQ("C:\\Work\\Proj\\KITS", qp::DefaultKitRoot(doc));
    doc.kit_root = "D:\\Kits";
    EXPECT_EQ("D:\\Kits", qp::DefaultKitRoot(doc));
    EXPECT_EQ("D:\\Kits\\setup.lst", qp::KitPath("D:\\Kits\\", "setup.lst"));

    qp::CItemGroup g("Program DLLs");
    qp::CObListFile* f = g.file_tree.AddFolder("bin")->AddFile("C:\\src\\a.dll");
    EXPECT_EQ("Program DLLs\\bin", qp::ArchiveDir(g, *f));
    EXPECT_EQ("Program DLLs", qp::ArchiveDir(g, *g.file_tree.AddFile("b.dll")));
}

TEST(KitPaths, RuntimeOfEachArchitecture) {
    struct {
        const char* text;
        bool known;
        const char* runtime;
    } cases[] = {{"x86", true, "B/REDIS/setup.ex_"},   {"i686", true, "B/REDIS/setup.ex_"},
                 {"x64", true, "B/REDIS/x64/setup.ex_"}, {"x86_64", true, "B/REDIS/x64/setup.ex_"},
                 {"X64", false, ""},                     {"arm64", false, ""},
                 {"", false, ""}};
    for (const auto& c : cases) {
        qp::RuntimeArch arch = qp::RuntimeArch::X86;
        EXPECT_EQ(c.known, qp::ParseRuntimeArch(c.text, arch)) << c.text;
        if (!c.known) continue;
        std::string want = c.runtime;
        for (auto& ch : want)
            if (ch == '/') ch = qp::kPathSeparator;
        EXPECT_EQ(want, qp::RuntimeSource("B", arch)) << c.text;
    }
}

}  // namespace
