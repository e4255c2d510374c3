// setup.exe's command line, mode decision and exit status.
#include <gtest/gtest.h>

#include "setup/engine/driver.h"

using namespace qp::setup;

TEST(Driver, SwitchesTakeTheirArgument) {
    auto cl = ParseCommandLine({"-U", "C:\\info\\uninst.lst"});
    EXPECT_TRUE(cl.mode_given);
    EXPECT_EQ(cl.mode, 2);
    cl = ParseCommandLine({"-s", "-r", "-s"});  // "-r" consumes the second "-s"
    EXPECT_EQ(cl.mode, 1);
    EXPECT_TRUE(cl.silent);
    cl = ParseCommandLine({"-log", "C:\\l.txt", "junk", "-a", "x"});
    EXPECT_EQ(cl.log_path, "C:\\l.txt");
    EXPECT_EQ(cl.mode, 0);
    cl = ParseCommandLine({"-m"});
    EXPECT_TRUE(cl.mode_given);
    EXPECT_EQ(cl.mode, -1);
    cl = ParseCommandLine({"-log"});
    EXPECT_EQ(cl.log_path, "");
}

TEST(Driver, QDeleteOnlyAsFirstArgument) {
    auto cl = ParseCommandLine({"QDELETE", "124", "C:\\x\\setup.exe"});
    EXPECT_TRUE(cl.qdelete);
    EXPECT_EQ(cl.qdelete_handle, "124");
    EXPECT_EQ(cl.qdelete_path, "C:\\x\\setup.exe");
    EXPECT_FALSE(ParseCommandLine({"-s", "QDELETE"}).qdelete);
}

TEST(Driver, SplitsQuotedCommandLines) {
    EXPECT_EQ(SplitCommandLine("\"C:\\Del1.tmp\" QDELETE  44 \"C:\\Program Files\\s.exe\""),
              (std::vector<std::string>{"C:\\Del1.tmp", "QDELETE", "44", "C:\\Program Files\\s.exe"}));
    EXPECT_TRUE(SplitCommandLine("   ").empty());
}

TEST(Driver, ModeNeedsTheUninstallKey) {
    auto cl = ParseCommandLine({"-u", "x"});
    EXPECT_EQ(DecideMode(false, cl), kFirstInstall);
    EXPECT_EQ(DecideMode(true, cl), 2);
    EXPECT_EQ(DecideMode(true, ParseCommandLine({})), -1);
}

TEST(Driver, ExitStatus) {
    EXPECT_EQ(ExitStatus(Outcome::Completed, false, false, false), 0);
    EXPECT_EQ(ExitStatus(Outcome::Completed, false, true, true), 0);
    EXPECT_EQ(ExitStatus(Outcome::Completed, false, true, false), 3010);
    EXPECT_EQ(ExitStatus(Outcome::Completed, true, true, false), kExitFilesFailed);
    EXPECT_EQ(ExitStatus(Outcome::Cancelled, false, false, false), kExitCancelled);
    EXPECT_EQ(ExitStatus(Outcome::StartFailed, false, false, false), kExitStartFailed);
    EXPECT_EQ(ExitStatus(Outcome::OtherVersion, false, false, false), 1638);
    EXPECT_EQ(ExitStatus(Outcome::AnotherRun, false, false, false), 1618);
    EXPECT_EQ(ExitStatus(Outcome::Failed, true, true, false), 1603);
    EXPECT_EQ(QuietUninstallCommand("C:\\P\\setup.exe", "C:\\P\\uninst.lst"),
              "\"C:\\P\\setup.exe\" -s -u \"C:\\P\\uninst.lst\"");
}
