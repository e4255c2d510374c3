// qpbc opening a directory-style project as a real process: "build" makes a kit from the
// imported project and "dump" lists it, and neither writes anything beside the ".ipr".
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/run_process.h"
#include "support/testutil.h"

namespace {

namespace fs = std::filesystem;

class ImportCli : public ::testing::Test {
protected:
    void Write(const std::string& relative, const std::string& text) {
        fs::path p = dir.Path() / relative;
        fs::create_directories(p.parent_path());
        qptest::WriteText(p.string(), text);
    }
    void SetUp() override {
        Write("src/payload.txt", "the payload of the imported project");
        Write("src/setup.ex_", "stands in for the runtime");
        Write("proj/p.ipr", "[Project]\n");
        Write("proj/File Groups/Default.fdf", "[FILEGROUPS]\nGROUP0=Main\n[Main]\nTARGET=<TARGETDIR>\n");
        Write("proj/File Groups/MAIN.FGL", "[TOPDIR]\nSUBDIR0=data\n[data]\nFILE0=" + (dir / "src/payload.txt") + "\n");
        Write("proj/Component Definitions/Default.cdf",
              "[COMPONENTS]\nCOMPONENT0=Core\n[Core]\nVISIBLE=Yes\nINCLUDEINBUILD=Yes\nFILEGROUP0=Main\n"
              "[SETUPTYPE]\nSETUPTYPE0=Typical\n[SETUPTYPEITEM-Typical]\nITEM0=Core\n");
        Write("proj/String Tables/Default.shl", "[LANGUAGE]\nLANG0=0009\n[DATA]\nENTRY0=PRODUCT_NAME\n");
        Write("proj/String Tables/0009-English/Value.shl", "[DATA]\nPRODUCT_NAME=Imported Product\n");
    }
    qptest::ProcessResult Run(const std::vector<std::string>& args) {
        return qptest::RunProcess(QPBC_EXE, args, dir.Str());
    }
    qptest::TempDir dir;
};

TEST_F(ImportCli, BuildMakesAKitFromTheImportedProject) {
    qptest::ProcessResult r = Run({"build", dir / "proj/p.ipr", "--name", "Kit", "--kit-root", dir / "kits",
                                   "--runtime", dir / "src/setup.ex_"});
    ASSERT_EQ(0, r.status) << r.err;
    for (const char* name : {"setup.exe", "setup.lst", "setup.cab"})
        EXPECT_TRUE(fs::exists(dir.Path() / "kits" / "Kit" / name)) << name;
    std::string cab = qptest::ReadText(dir / "kits/Kit/setup.cab");
    EXPECT_NE(std::string::npos, cab.find("payload.txt"));
    // The setup list carries the imported strings and the group's file.
    qptest::ProcessResult list = Run({"dump", dir / "kits/Kit/setup.lst"});
    ASSERT_EQ(0, list.status) << list.err;
    EXPECT_NE(std::string::npos, list.out.find("Imported Product"));
    EXPECT_NE(std::string::npos, list.out.find("payload.txt"));
    EXPECT_EQ("[Project]\n", qptest::ReadText(dir / "proj/p.ipr"));
    EXPECT_FALSE(fs::exists(dir.Path() / "proj" / "p.qpk"));
}

TEST_F(ImportCli, DumpListsTheImportedProject) {
    qptest::ProcessResult r = Run({"dump", dir / "proj/p.ipr"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("group \"Main\""));
    EXPECT_NE(std::string::npos, r.out.find("component \"Core\""));
    EXPECT_NE(std::string::npos, r.out.find("Imported Product"));
}

}  // namespace
