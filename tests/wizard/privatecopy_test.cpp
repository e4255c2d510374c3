// The private copy's command line: what the starter writes is what the copy reads back, the
// user's own arguments untouched behind it; and which pages Cancel may abort from.
#include <gtest/gtest.h>

#include "setup/engine/driver.h"
#include "setup/engine/privatecopy.h"
#include "setup/wizard/page_sequence.h"

using namespace qp::setup;

TEST(PrivateCopy, TheCopyReadsBackWhatTheStarterWrote) {
    struct Case {
        std::string started, kit, user;
        std::vector<std::string> rest;
    } cases[] = {
        {"C:\\Users\\me\\Downloads\\setup.exe", "C:\\Users\\me\\Downloads", "", {}},
        {"D:\\setup.exe", "D:", "-s -log \"C:\\my logs\\run.txt\"", {"-s", "-log", "C:\\my logs\\run.txt"}},
        // The uninstaller as the registration starts it.
        {"C:\\Program Files\\QPBInformation\\{G}\\setup.exe", "C:\\Program Files\\QPBInformation\\{G}",
         "-u \"C:\\Program Files\\QPBInformation\\{G}\\uninst.lst\"",
         {"-u", "C:\\Program Files\\QPBInformation\\{G}\\uninst.lst"}},
    };
    for (const Case& c : cases) {
        const std::string line = PrivateCopyCommandLine("C:\\T\\qp-run-1\\setup.exe", 1234, c.started, c.kit, c.user);
        std::vector<std::string> args = SplitCommandLine(line);
        ASSERT_FALSE(args.empty());
        EXPECT_EQ(args[0], "C:\\T\\qp-run-1\\setup.exe");
        EXPECT_EQ(ArgumentsAfterProgram(line).substr(0, 5), "QRUN ");
        args.erase(args.begin());
        const PrivateCopyArgs p = ParsePrivateCopy(args);
        ASSERT_TRUE(p.present) << line;
        EXPECT_EQ(p.handle, "1234");
        EXPECT_EQ(p.started_path, c.started);
        EXPECT_EQ(p.kit_folder, c.kit);
        EXPECT_EQ(p.rest, c.rest) << line;
        // The switches behind the internal arguments still mean what they meant.
        EXPECT_EQ(ParseCommandLine(p.rest).silent, c.user.find("-s") != std::string::npos);
    }
}

TEST(PrivateCopy, OnlyTheFullFormIsTheInternalOne) {
    const std::vector<std::vector<std::string>> plain = {
        {},
        {"-s"},
        {"QRUN"},
        {"QRUN", "12", "C:\\a\\setup.exe"},        // no kit folder
        {"QRUN", "x12", "C:\\a\\setup.exe", "C:\\a"},  // no handle number
        {"QRUN", "12", "", "C:\\a"},
        {"-s", "QRUN", "12", "C:\\a\\setup.exe", "C:\\a"},  // not first
        {"QDELETE", "12", "C:\\a\\setup.exe"},
    };
    for (const auto& args : plain) {
        const PrivateCopyArgs p = ParsePrivateCopy(args);
        EXPECT_FALSE(p.present);
        EXPECT_EQ(p.rest, args) << "the user's arguments are left as they are";
    }
    EXPECT_TRUE(ParsePrivateCopy({"qrun", "0", "C:\\a\\setup.exe", "C:\\a"}).present);
}

TEST(PrivateCopy, ArgumentsAfterTheProgramNameAsTheyStand) {
    EXPECT_EQ(ArgumentsAfterProgram("\"C:\\a b\\setup.exe\"  -s  -log \"x y\""), "-s  -log \"x y\"");
    EXPECT_EQ(ArgumentsAfterProgram("setup.exe -u C:\\l.lst"), "-u C:\\l.lst");
    EXPECT_EQ(ArgumentsAfterProgram("\"C:\\setup.exe\""), "");
    EXPECT_EQ(ArgumentsAfterProgram("setup"), "");
    EXPECT_EQ(ArgumentsAfterProgram("\"unclosed -s"), "");
    EXPECT_EQ(FolderOf("C:\\kit\\setup.exe"), "C:\\kit");
    EXPECT_EQ(FolderOf("setup.exe"), "");
}

TEST(PageSequence, NoPageAfterTheInstallPhaseAsksToAbort) {
    using namespace qp::wiz;
    for (int page : {kPageReport, kPageFinishRestart, kPageComplete}) EXPECT_FALSE(CancelAsksToAbort(page)) << page;
    for (int page : {kPageWelcome, kPageLicense, kPageDestination, kPageComponents, kPageConfirm, kPageInstalling,
                     kPageAddRemove})
        EXPECT_TRUE(CancelAsksToAbort(page)) << page;
}
