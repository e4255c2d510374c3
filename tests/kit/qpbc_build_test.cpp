// "qpbc build" and "qpbc dump" of a setup list as a real process: exit status, what it prints,
// the kit it leaves; and the example product's project builds completely.
#include <gtest/gtest.h>

#include <algorithm>

#include "builder/kit/kitbuild.h"
#include "common/setuplist.h"
#include "kit_fixture.h"
#include "support/run_process.h"

namespace {

using kittest::ExistingFiles;
using qptest::ProcessResult;

class QpbcBuild : public ::testing::Test {
protected:
    ProcessResult Run(const std::vector<std::string>& args) { return qptest::RunProcess(QPBC_EXE, args, dir.Str()); }
    std::string SaveSmallProject() { return kittest::SaveSmallProject(dir); }
    static std::string FirstLine(const std::string& s) { return s.substr(0, s.find_first_of("\r\n")); }
    qptest::TempDir dir;
};

TEST_F(QpbcBuild, BuildsTheKitAndPrintsItsDirectory) {
    const std::string project = SaveSmallProject();
    const std::string runtime = kittest::FakeRuntime(dir);
    ProcessResult r = Run({"build", project, "--name", "K1", "--runtime", runtime});
    ASSERT_EQ(0, r.status) << r.err;
    const std::string kit = qp::KitPath(dir / "KITS", "K1");
    EXPECT_EQ(kit, FirstLine(r.out));
    EXPECT_EQ((std::vector<std::string>{"setup.cab", "setup.exe", "setup.lst"}), ExistingFiles(kit));
    EXPECT_NE(std::string::npos, r.err.find("[3/3]")) << r.err;  // the progress, plain when not a terminal

    // A second build into the same kit replaces it; --kit-root moves it elsewhere.
    ProcessResult again = Run({"build", project, "--name=K1", "--runtime", runtime});
    ASSERT_EQ(0, again.status) << again.err;
    EXPECT_EQ(3u, kittest::ZipMembers(qp::KitPath(kit, "setup.cab")).size());
    ProcessResult moved = Run({"build", project, "--name", "K2", "--kit-root", dir / "a/b", "--runtime", runtime});
    ASSERT_EQ(0, moved.status) << moved.err;
    EXPECT_EQ(qp::KitPath(dir / "a/b", "K2"), FirstLine(moved.out));
}

TEST_F(QpbcBuild, MissingFilesFailWithTheListAndBuildNothing) {
    const std::string project = SaveSmallProject();
    std::filesystem::remove(dir / "src/bin/tool.dll");
    ProcessResult r = Run({"build", project, "--name", "K1", "--runtime", kittest::FakeRuntime(dir)});
    EXPECT_EQ(1, r.status);
    // The Windows console's text mode writes each line end as CR LF.
    std::string err = r.err;
    err.erase(std::remove(err.begin(), err.end(), '\r'), err.end());
    EXPECT_NE(std::string::npos, err.find("These files DOESN'T EXIST !!:\n" + (dir / "src/bin/tool.dll") + "\n")) << r.err;
    EXPECT_EQ("", r.out);
    EXPECT_FALSE(std::filesystem::exists(dir / "KITS"));
}

TEST_F(QpbcBuild, MissingRuntimeMakesAnIncompleteKitAndAFailure) {
    const std::string project = SaveSmallProject();
    ProcessResult r = Run({"build", project, "--name", "K1", "--runtime", dir / "none.ex_"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("Can't copy " + (dir / "none.ex_") + "  into kit directory!")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("INCOMPLETE")) << r.err;
}

TEST_F(QpbcBuild, CommandLineMistakesExitWithTwo) {
    EXPECT_EQ(2, Run({"build"}).status);
    EXPECT_EQ(2, Run({"build", "x.qpk"}).status);  // no kit name
    EXPECT_EQ(2, Run({"build", "x.qpk", "--name", "K", "--speed", "9"}).status);
    EXPECT_EQ(1, Run({"build", dir / "none.qpk", "--name", "K"}).status);
}

TEST_F(QpbcBuild, DumpShowsASetupListByItsMagic) {
    const std::string project = SaveSmallProject();
    ASSERT_EQ(0, Run({"build", project, "--name", "K1", "--runtime", kittest::FakeRuntime(dir)}).status);
    // Renamed, so that only the magic can tell what it is.
    const std::string renamed = dir / "list.bin";
    std::filesystem::copy_file(qp::KitPath(qp::KitPath(dir / "KITS", "K1"), "setup.lst"), renamed);
    ProcessResult r = Run({"dump", renamed});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("Setup list")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("Program")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("tool.dll")) << r.out;

    qptest::WriteText(dir / "bad.lst", std::string(qp::kSetupListMagic) + std::string("\x02\0\0\0", 4));
    ProcessResult bad = Run({"dump", dir / "bad.lst"});
    EXPECT_EQ(1, bad.status);
    EXPECT_NE(std::string::npos, bad.err.find("Version is newer than program")) << bad.err;
}

// The example product that the demo and the end-to-end test build.
TEST_F(QpbcBuild, ExampleProductBuildsCompletely) {
    const std::string project = qptest::SourceDir() + "/examples/notepadish/notepadish.qpk";
    ProcessResult r = Run({"build", project, "--name", "Notepadish", "--kit-root", dir / "kits", "--runtime",
                           kittest::FakeRuntime(dir)});
    ASSERT_EQ(0, r.status) << r.err;
    const std::string kit = qp::KitPath(dir / "kits", "Notepadish");
    EXPECT_EQ((std::vector<std::string>{"license.txt", "readme.txt", "setup.bmp", "setup.cab", "setup.exe", "setup.lst"}),
              ExistingFiles(kit));
    std::vector<std::string> members = kittest::ZipMembers(qp::KitPath(kit, "setup.cab"));
    EXPECT_NE(members.end(), std::find(members.begin(), members.end(), "Program/bin/wordlist.dat"));
    EXPECT_NE(members.end(), std::find(members.begin(), members.end(), "Templates/notes.txt"));
    EXPECT_NE(members.end(), std::find(members.begin(), members.end(), "Help German/de/anleitung.txt"));
    qp::SetupList list = qp::LoadSetupList(qp::KitPath(kit, "setup.lst"));
    EXPECT_EQ(4u, list.groups.size());
    EXPECT_EQ(2u, list.languages.size());
}

}  // namespace
