// Portable decisions of the setup engine: macros, operating-system masks, the overwrite
// decision, temporary names, target and member names, the group decision.
#include <gtest/gtest.h>

#include <set>

#include "setup/engine/context.h"
#include "setup/engine/filerules.h"
#include "setup/engine/leftovers.h"
#include "setup/engine/lists.h"
#include "setup/engine/macros.h"
#include "setup/engine/osmask.h"

using namespace qp;

namespace {

InstallContext Ctx() {
    InstallContext c;
    c.destination = "C:\\Program Files\\Co\\Prod";
    c.program_files = "C:\\Program Files";
    c.system_folder = "C:\\WINDOWS\\system32";
    c.windows_folder = "C:\\WINDOWS";
    c.product_guid = "{G}";
    return c;
}

}  // namespace

TEST(Macros, OnlyTheFirstMacroByPrecedenceIsExpandedOnce) {
    auto c = Ctx();
    EXPECT_EQ(ExpandMacros("<TARGETDIR>\\a.exe", c), "C:\\Program Files\\Co\\Prod\\a.exe");
    EXPECT_EQ(ExpandMacros("x<TARGETDIR>y<TARGETDIR>", c), "xC:\\Program Files\\Co\\Prody<TARGETDIR>");
    EXPECT_EQ(ExpandMacros("<WINDIR>\\<TARGETDIR>", c), "<WINDIR>\\C:\\Program Files\\Co\\Prod");
    EXPECT_EQ(ExpandMacros("<PROGRAM FILES>\\z", c), "C:\\Program Files\\z");
    EXPECT_EQ(ExpandMacros("<UNINSTALLDIR>\\uninst.lst", c), "C:\\Program Files\\QPBInformation\\{G}\\uninst.lst");
    EXPECT_EQ(ExpandMacros("<targetdir>\\a", c), "<targetdir>\\a");
    EXPECT_EQ(ExpandMacros("plain", c), "plain");
    EXPECT_EQ(ExpandMacros("", c), "");
}

TEST(Macros, WindirWinsysdirOnlyAtTheStart) {
    auto c = Ctx();
    EXPECT_EQ(ExpandMacros("<WINDIR>\\<WINSYSDIR>\\x.dll", c), "C:\\WINDOWS\\system32\\x.dll");
    EXPECT_EQ(ExpandMacros("a<WINDIR>\\<WINSYSDIR>\\x.dll", c), "a<WINDIR>\\C:\\WINDOWS\\system32\\x.dll");
    EXPECT_EQ(ExpandMacros("<WINDIR>\\x", c), "C:\\WINDOWS\\x");
}

TEST(OsMask, CodesAndMaskTest) {
    EXPECT_EQ(OsCodeFromVersion(OsPlatform::Win9x, 4, 0), osmask::kWin95);
    EXPECT_EQ(OsCodeFromVersion(OsPlatform::Win9x, 4, 10), osmask::kWin98);
    EXPECT_EQ(OsCodeFromVersion(OsPlatform::Win9x, 4, 90), osmask::kWinMe);
    EXPECT_EQ(OsCodeFromVersion(OsPlatform::Win9x, 4, 3), kOsOther);
    EXPECT_EQ(OsCodeFromVersion(OsPlatform::Nt, 3, 51), osmask::kWinNt);
    EXPECT_EQ(OsCodeFromVersion(OsPlatform::Nt, 4, 0), osmask::kWinNt);
    EXPECT_EQ(OsCodeFromVersion(OsPlatform::Nt, 5, 0), osmask::kWin2000);
    EXPECT_EQ(OsCodeFromVersion(OsPlatform::Nt, 5, 1), osmask::kWinXp);
    EXPECT_EQ(OsCodeFromVersion(OsPlatform::Nt, 5, 2), kOsOther);
    EXPECT_EQ(OsCodeFromVersion(OsPlatform::Nt, 10, 0), kOsOther);

    EXPECT_TRUE(SystemAllowed(1, osmask::kWin95));
    EXPECT_TRUE(SystemAllowed(osmask::kWinXp | osmask::kWin2000, osmask::kWinXp));
    EXPECT_FALSE(SystemAllowed(osmask::kWinXp | osmask::kWin2000, osmask::kWin98));
    EXPECT_FALSE(SystemAllowed(0, osmask::kWinXp));
    EXPECT_TRUE(SystemAllowed(0, kOsOther));  // NT 5.2 passes every mask
    EXPECT_TRUE(SystemAllowed(osmask::kWin95, 0));  // version unknown
}

TEST(Overwrite, MissingTargetAlwaysWritten) {
    OverwriteFacts f;
    f.target_exists = false;
    EXPECT_TRUE(OverwriteDecision(overwrite::kNever, f));
    f.target_exists = true;
    EXPECT_FALSE(OverwriteDecision(overwrite::kNever, f));
    EXPECT_TRUE(OverwriteDecision(overwrite::kAlways | overwrite::kNever, f));
    EXPECT_TRUE(OverwriteDecision(0, f));
}

TEST(Overwrite, VersionSubModes) {
    OverwriteFacts f;
    f.target_exists = true;
    f.packaged_version = f.target_version = 0x0001000200030004ull;
    EXPECT_FALSE(OverwriteDecision(overwrite::kByVersion | overwrite::kNewerVersion, f));
    EXPECT_TRUE(OverwriteDecision(overwrite::kByVersion | overwrite::kNewerOrSameVersion, f));
    EXPECT_FALSE(OverwriteDecision(overwrite::kByVersion | overwrite::kOlderVersion, f));
    // The most significant word decides first.
    f.target_version = 0x00000005FFFFFFFFull;
    f.packaged_version = 0x0000000600000000ull;
    EXPECT_TRUE(OverwriteDecision(overwrite::kByVersion | overwrite::kNewerVersion, f));
    EXPECT_FALSE(OverwriteDecision(overwrite::kByVersion | overwrite::kOlderVersion, f));
    // NEWERVERSION takes precedence over OLDERVERSION when both are set.
    EXPECT_TRUE(OverwriteDecision(overwrite::kByVersion | overwrite::kNewerVersion | overwrite::kOlderVersion, f));
    // A check bit without a sub-mode writes.
    EXPECT_TRUE(OverwriteDecision(overwrite::kByVersion, f));
}

TEST(Overwrite, DateSubModesAndUnreadableTarget) {
    OverwriteFacts f;
    f.target_exists = true;
    f.packaged_time = 100;
    f.target_time = 200;
    EXPECT_FALSE(OverwriteDecision(overwrite::kByDate | overwrite::kNewerDate, f));
    EXPECT_TRUE(OverwriteDecision(overwrite::kByDate | overwrite::kOlderDate, f));
    f.target_time = 100;
    EXPECT_TRUE(OverwriteDecision(overwrite::kByDate | overwrite::kNewerOrSameDate, f));
    EXPECT_FALSE(OverwriteDecision(overwrite::kByDate | overwrite::kNewerDate, f));
    // A target whose time cannot be read counts as the latest possible time.
    f.target_time = ~0ull;
    f.packaged_time = 0x7FFFFFFFFFFFFFFFull;
    EXPECT_FALSE(OverwriteDecision(overwrite::kByDate | overwrite::kNewerOrSameDate, f));
    // Date bits alone mean nothing without the date check.
    EXPECT_TRUE(OverwriteDecision(overwrite::kNewerDate, f));
}

TEST(Overwrite, VersionAndDateLetsVersionDecideFirst) {
    OverwriteFacts f;
    f.target_exists = true;
    f.packaged_version = 2;
    f.target_version = 1;
    f.packaged_time = 1;
    f.target_time = 2;
    EXPECT_TRUE(OverwriteDecision(overwrite::kByVersionAndDate | overwrite::kNewerVersion | overwrite::kNewerDate, f));
    EXPECT_FALSE(OverwriteDecision(overwrite::kByVersionAndDate | overwrite::kNewerDate, f));
    EXPECT_TRUE(OverwriteDecision(overwrite::kByVersionAndDate | overwrite::kOlderDate, f));
}

TEST(FileNames, TargetAndMember) {
    EXPECT_EQ(NodeFileName("D:\\src\\bin\\app.exe"), "app.exe");
    EXPECT_EQ(NodeFileName("app.exe"), "app.exe");
    EXPECT_EQ(TargetPath("C:\\P\\", "Group\\app.exe"), "C:\\P\\app.exe");
    EXPECT_EQ(TargetPath("C:\\P", "Group\\sub\\deep\\a.txt"), "C:\\P\\sub\\deep\\a.txt");
    EXPECT_EQ(MemberName("Group\\sub\\deep\\a.txt"), "Group/sub/deep/a.txt");
    EXPECT_EQ(RelativeFolder("Group\\a.txt"), "");
}

TEST(TemporaryName, LastLetterFirstAndStopsAtTheFolder) {
    std::set<std::string> taken = {"C:\\d\\x.dll", "C:\\d\\x.dla", "C:\\d\\x.dlb"};
    auto exists = [&](const std::string& s) { return taken.count(s) > 0; };
    EXPECT_EQ(TemporaryNameFor("C:\\d\\x.dll", exists), "C:\\d\\x.dlc");
    // Every letter at every position of the name taken: no name, since the search ends at "\".
    std::set<std::string> all;
    std::string base = "C:\\d\\ab";
    for (int pos : {5, 6})
        for (char c = 'a'; c <= 'y'; ++c) {
            std::string s = base;
            s[pos] = c;
            all.insert(s);
        }
    EXPECT_EQ(TemporaryNameFor(base, [&](const std::string& s) { return all.count(s) > 0; }), "");
    // A dot is skipped rather than replaced.
    std::set<std::string> t2;
    for (char c = 'a'; c <= 'y'; ++c) t2.insert("C:\\" + std::string(1, c) + ".");
    EXPECT_EQ(TemporaryNameFor("C:\\a.", [&](const std::string& s) { return t2.count(s) > 0; }), "");
}

TEST(ReportTexts, Spacing) {
    EXPECT_EQ(ReportPair("Delete ", "C:\\x"), "Delete  C:\\x");
    EXPECT_EQ(ReportPair("Unnecessary overwrite", "C:\\x"), "Unnecessary overwrite C:\\x");
    EXPECT_EQ(LockedFileText("C:\\x"), "File C:\\x is  locked!");
    EXPECT_EQ(RestartByText("C:\\x"), "Restart By C:\\x");
    EXPECT_EQ(RegisterFailedText("C:\\x"), "Registered C:\\x failed");
}

TEST(GroupDecision, FirstInstallAndEmptyLists) {
    std::vector<std::string> none, installed = {"Core"};
    EXPECT_EQ(DecideGroups({}, RunMode::FirstInstall, none, installed), GroupAction::Install);
    EXPECT_EQ(DecideGroups({"core"}, RunMode::FirstInstall, none, installed), GroupAction::Install);
    EXPECT_EQ(DecideGroups({"Extra"}, RunMode::FirstInstall, none, installed), GroupAction::LeaveAlone);
    EXPECT_EQ(DecideGroups({}, RunMode::Modify, installed, installed), GroupAction::LeaveAlone);
    EXPECT_EQ(DecideGroups({}, RunMode::Repair, installed, installed), GroupAction::Install);
    EXPECT_EQ(DecideGroups({}, RunMode::Remove, installed, {}), GroupAction::Remove);
}

TEST(GroupDecision, MaintenanceRuns) {
    std::vector<std::string> earlier = {"Core", "Docs"};
    // Modify that drops Docs and adds Extra.
    std::vector<std::string> after = {"Core", "Extra"};
    EXPECT_EQ(DecideGroups({"Core"}, RunMode::Modify, earlier, after), GroupAction::LeaveAlone);
    EXPECT_EQ(DecideGroups({"Docs"}, RunMode::Modify, earlier, after), GroupAction::Remove);
    EXPECT_EQ(DecideGroups({"Extra"}, RunMode::Modify, earlier, after), GroupAction::Install);
    // A node tied to a kept and a dropped group stays.
    EXPECT_EQ(DecideGroups({"Docs", "Core"}, RunMode::Modify, earlier, after), GroupAction::LeaveAlone);
    // Repair brings back whatever the log named.
    EXPECT_EQ(DecideGroups({"Docs"}, RunMode::Repair, earlier, earlier), GroupAction::Install);
    // Remove takes everything the log named.
    EXPECT_EQ(DecideGroups({"Core"}, RunMode::Remove, earlier, {}), GroupAction::Remove);
}

TEST(NameLists, CaseInsensitive) {
    std::vector<std::string> l;
    AddUnique(l, "Core");
    AddUnique(l, "CORE");
    EXPECT_EQ(l.size(), 1u);
    RemoveName(l, "core");
    EXPECT_TRUE(l.empty());
}

// The information folder a registration names is taken only in the shape the runtime writes.
TEST(InfoFolderOfLog, OnlyTheRuntimesOwnShape) {
    const std::string g = "{G}";
    struct Row {
        std::string log_file, folder;
    } rows[] = {
        {"C:\\Program Files\\QPBInformation\\{G}\\uninst.lst", "C:\\Program Files\\QPBInformation\\{G}"},
        {"d:\\apps\\qpbinformation\\{g}\\UNINST.LST", "d:\\apps\\qpbinformation\\{g}"},
        {"C:\\QPBInformation\\{G}\\uninst.lst", "C:\\QPBInformation\\{G}"},
        {"C:\\Program Files\\QPBInformation\\{H}\\uninst.lst", ""},   // another product's
        {"C:\\Program Files\\..\\QPBInformation\\{G}\\uninst.lst", ""},
        {"C:\\Program Files\\.\\QPBInformation\\{G}\\uninst.lst", ""},
        {"C:\\Program Files\\\\QPBInformation\\{G}\\uninst.lst", ""},
        {"\\\\server\\share\\QPBInformation\\{G}\\uninst.lst", ""},
        {"QPBInformation\\{G}\\uninst.lst", ""},
        {"C:\\Program Files\\QPBInformation\\{G}\\setup.exe", ""},
        {"C:\\A:B\\QPBInformation\\{G}\\uninst.lst", ""},
        {"", ""},
    };
    for (const Row& row : rows) EXPECT_EQ(InfoFolderOfLog(row.log_file, g), row.folder) << row.log_file;
    EXPECT_EQ(InfoFolderOfLog("C:\\QPBInformation\\\\uninst.lst", ""), "");
    EXPECT_EQ(InfoFolderOfLog("C:\\" + std::string(300, 'a') + "\\QPBInformation\\{G}\\uninst.lst", g), "");
}

TEST(Leftovers, ExtractionTempNames) {
    struct Row {
        const char* name;
        bool temp;
    } rows[] = {
        {"app.txt.qz0", true}, {"APP.TXT.QZ9", true}, {"app.txt.qz10", true}, {"app.txt.qz99", true},
        {"app.txt.qz", false}, {"app.txt.qz00", false}, {"app.txt.qz07", false}, {"app.txt.qz100", false},
        {"app.txt.qzx", false}, {"app.txt.qz-1", false}, {"app.txt", false}, {"xapp.txt.qz0", false},
        {"app.tx.qz0", false}, {"app.txt.tmp", false},
    };
    for (const Row& row : rows) EXPECT_EQ(IsExtractionTempOf(row.name, "app.txt"), row.temp) << row.name;
    EXPECT_FALSE(IsExtractionTempOf(".qz0", ""));
}

TEST(Leftovers, RecordedFoldersOnceEachWithTheirNames) {
    WrittenRecord r;
    r.Add("C:\\P\\a.txt", 1);
    r.Add("C:\\P\\sub\\b.txt", 1);
    r.Add("c:\\p\\c.txt", 1);
    r.Add("nofolder", 1);
    r.Add("C:\\P\\", 1);
    const auto folders = RecordedFolders(r);
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[0].folder, "C:\\P");
    EXPECT_EQ(folders[0].names, (std::vector<std::string>{"a.txt", "c.txt"}));
    EXPECT_EQ(folders[1].folder, "C:\\P\\sub");
    EXPECT_EQ(folders[1].names, (std::vector<std::string>{"b.txt"}));
}
