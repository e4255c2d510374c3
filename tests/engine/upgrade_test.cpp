// Versions, the upgrade decision and selection, the earlier version's stale files, and the
// record of written files against exact text.
#include <gtest/gtest.h>

#include "common/strutil.h"
#include "kit_fixture.h"
#include "setup/engine/runstate.h"
#include "setup/engine/upgrade.h"
#include "setup/engine/version.h"
#include "setup/engine/written.h"

using namespace qp;

using enginetest::FilesOf;
using enginetest::Component;
using enginetest::FileLeaf;
using enginetest::Folder;
using enginetest::Group;

namespace {

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

}  // namespace

TEST(Versions, CompareAsDottedNumbersThenText) {
    struct Case {
        const char* a;
        const char* b;
        int order;
    } cases[] = {
        {"1.10", "1.9", 1},         {"2.0", "10.0", -1},      {"1.0", "1", 0},
        {"1.0.0.0", "1", 0},        {"1.0.1", "1.0", 1},      {"01.002", "1.2", 0},
        {" 2.0 ", "2.0", 0},        {"2.0", "2.0 beta", -1},  {"2.0 Beta", "2.0 beta", 0},
        {"2.0a", "2.0b", -1},       {"", "0", 0},             {"", "0.1", -1},
        {"99999999999999999999.1", "99999999999999999999.0", 1},
        {"100000000000000000000", "99999999999999999999", 1},
        {"1.", "1", 1},  // the dot without a number is text
        {"v2", "1.0", -1},  // no leading number: 0, then text
        {"3.0", "2.99.99", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Sign(CompareVersions(c.a, c.b)), c.order) << c.a << " vs " << c.b;
        EXPECT_EQ(Sign(CompareVersions(c.b, c.a)), -c.order) << c.b << " vs " << c.a;
    }
}

TEST(Upgrade, KitRunByRegistrationAndVersions) {
    EXPECT_EQ(DecideKitRun(false, false, "2.0", ""), KitRun::FirstInstall);
    EXPECT_EQ(DecideKitRun(false, true, "2.0", "1.0"), KitRun::FirstInstall);
    EXPECT_EQ(DecideKitRun(true, false, "2.0", "1.0"), KitRun::Upgrade);
    EXPECT_EQ(DecideKitRun(true, false, "1.10", "1.9"), KitRun::Upgrade);
    EXPECT_EQ(DecideKitRun(true, false, "1.0", "1.0.0"), KitRun::Maintenance);
    EXPECT_EQ(DecideKitRun(true, false, "0.9", "1.0"), KitRun::Older);
    EXPECT_EQ(DecideKitRun(true, false, "1.0", ""), KitRun::Upgrade);  // registered without a version
    // The installed copy maintains what is there, whatever its list says.
    EXPECT_EQ(DecideKitRun(true, true, "0.9", "1.0"), KitRun::Maintenance);
    EXPECT_EQ(DecideKitRun(true, true, "3.0", "1.0"), KitRun::Maintenance);
}

TEST(Upgrade, ProductVersionIsDisplayVersionElseProductVersion) {
    SetupList list;
    list.strings = {enginetest::Text("PRODUCT_VERSION", "1.5")};
    EXPECT_EQ(ProductVersion(list), "1.5");
    list.strings.push_back(enginetest::Text("DisplayVersion", ""));
    EXPECT_EQ(ProductVersion(list), "1.5") << "an empty DisplayVersion does not count";
    list.strings.back().values = {"2.0"};
    EXPECT_EQ(ProductVersion(list), "2.0");
    list.strings.clear();
    EXPECT_EQ(ProductVersion(list), "");
}

TEST(Upgrade, SelectionKeepsTheEarlierChoiceAndTakesNewComponentsByTheFirstTypeWithComponents) {
    SetupList old_list;
    old_list.components.children = {Component("Main", {}), Component("Docs", {}), Component("Gone", {})};
    SetupList list;
    ComponentRecord main = Component("Main", {});
    main.children = {Component("Plugins", {})};  // new in this version, under a kept one
    list.components.children = {main, Component("docs", {}), Component("Extra", {}), Component("Other", {})};
    SetupTypeRecord empty, typical;
    empty.name = "Nothing";
    typical.name = "Typical";
    typical.component_names = {"Main", "Main\\Plugins", "Extra", "Docs"};
    list.setup_types = {empty, typical};

    // "Docs" was not chosen before: it stays unchosen though Typical has it; "Gone" is no more.
    EXPECT_EQ(UpgradeSelection(list, &old_list, {"Main", "Gone"}),
              (std::vector<std::string>{"Main", "Main\\Plugins", "Extra"}));
    EXPECT_EQ(UpgradeSelection(list, &old_list, {"MAIN", "Docs"}),
              (std::vector<std::string>{"Main", "Main\\Plugins", "docs", "Extra"}));
    // Without the earlier list nothing can be told new.
    EXPECT_EQ(UpgradeSelection(list, nullptr, {"Main"}), (std::vector<std::string>{"Main"}));
}

namespace {

struct StaleFixture {
    SetupList old_list, list;
    RunState run;
    StaleFixture() {
        GroupRecord prog = Group("Prog", {FileLeaf("C:\\s\\app.exe"), FileLeaf("C:\\s\\old.txt"),
                                          Folder("docs", {FileLeaf("C:\\s\\manual.txt")})});
        GroupRecord shared = Group("Shared", {FileLeaf("C:\\s\\common.dll")});
        shared.shared = 1;
        shared.destination = "<WINSYSDIR>";
        prog.destination = "<TARGETDIR>";
        old_list.groups = {prog, shared};
        GroupRecord prog2 = Group("Prog", {FileLeaf("C:\\s\\app.exe"), FileLeaf("C:\\s\\new.txt")});
        prog.destination = prog2.destination = "<TARGETDIR>";
        list.groups = {prog2};
        run.list = &list;
        run.earlier_list = &old_list;
        run.ctx.destination = "C:\\P\\Prod";
        run.ctx.system_folder = "C:\\W\\system32";
        run.earlier_groups = {"Prog", "Shared"};
        run.installed_groups = {"Prog"};
    }
};

std::vector<std::string> Paths(const std::vector<StaleFile>& files) {
    std::vector<std::string> out;
    for (const auto& f : files) out.push_back(f.path + (f.shared_without_record ? " (shared)" : ""));
    return out;
}

}  // namespace

TEST(Upgrade, StaleFilesAreWhatTheEarlierVersionWroteAndThisOneDoesNotShip) {
    StaleFixture f;
    EXPECT_EQ(GroupTargets(f.list, f.run.installed_groups, f.run),
              (std::vector<std::string>{"C:\\P\\Prod\\app.exe", "C:\\P\\Prod\\new.txt"}));
    // Without a record: every target of the earlier groups by the earlier list.
    EXPECT_EQ(Paths(StaleFiles(f.run)),
              (std::vector<std::string>{"C:\\P\\Prod\\old.txt", "C:\\P\\Prod\\docs\\manual.txt",
                                        "C:\\W\\system32\\common.dll (shared)"}));
    // With one: only what it names (the user's manual.txt was kept, never written).
    f.run.have_record = true;
    f.run.record.Add("C:\\P\\Prod\\APP.EXE", 3);
    f.run.record.Add("C:\\P\\Prod\\old.txt", 1);
    f.run.record.Add("C:\\W\\system32\\common.dll", 9);
    EXPECT_EQ(Paths(StaleFiles(f.run)),
              (std::vector<std::string>{"C:\\P\\Prod\\old.txt", "C:\\W\\system32\\common.dll"}));
    // Without the earlier list and without a record nothing is known.
    f.run.have_record = false;
    f.run.earlier_list = nullptr;
    EXPECT_TRUE(StaleFiles(f.run).empty());
}

TEST(WrittenRecord, ExactTextAndBackAgain) {
    WrittenRecord r;
    r.destination = "C:\\Program Files\\Co\\Prod";
    r.program_folder = "Prod";
    r.Add("C:\\Program Files\\Co\\Prod\\app.exe", 12);
    r.Add("C:\\Program Files\\Co\\Prod\\docs\\a b.txt", 0);
    r.Add("c:\\program files\\co\\prod\\APP.exe", 13);  // the same file again: one entry, newer size
    const std::string text =
        "QPBWritten 1\r\n"
        "destination\tC:\\Program Files\\Co\\Prod\r\n"
        "folder\tProd\r\n"
        "file\t13\tC:\\Program Files\\Co\\Prod\\app.exe\r\n"
        "file\t0\tC:\\Program Files\\Co\\Prod\\docs\\a b.txt\r\n";
    EXPECT_EQ(EncodeWrittenRecord(r), text);
    EXPECT_EQ(r.Kilobytes(), 13u);

    WrittenRecord back;
    ASSERT_TRUE(DecodeWrittenRecord(text, back));
    EXPECT_EQ(back.destination, r.destination);
    EXPECT_EQ(back.program_folder, "Prod");
    ASSERT_EQ(FilesOf(back).size(), 2u);
    EXPECT_EQ(FilesOf(back)[0].kilobytes, 13u);
    EXPECT_TRUE(back.Has("C:\\PROGRAM FILES\\co\\prod\\docs\\A B.TXT"));
    back.Remove("c:\\program files\\co\\prod\\app.exe");
    EXPECT_FALSE(back.Has("C:\\Program Files\\Co\\Prod\\app.exe"));

    // A text with a line break inside cannot split a line.
    WrittenRecord odd;
    odd.program_folder = "Two\r\nLines\t";
    EXPECT_EQ(EncodeWrittenRecord(odd), "QPBWritten 1\r\ndestination\t\r\nfolder\tTwoLines\r\n");
}

// Removals leave holes in the record; what stays keeps its order, its look-up and its size, and
// none of the holes is written or counted.
TEST(WrittenRecord, ManyRemovalsKeepOrderAndLookUps) {
    WrittenRecord r;
    auto name = [](int i) { return "C:\\Prod\\dir" + std::to_string(i % 7) + "\\File" + std::to_string(i) + ".txt"; };
    for (int i = 0; i < 1000; ++i) r.Add(name(i), static_cast<std::uint32_t>(i));
    // Every file but each tenth goes, in the order written and then some twice.
    for (int i = 0; i < 1000; ++i)
        if (i % 10) r.Remove(LowerAscii(name(i)));
    for (int i = 0; i < 1000; i += 3) r.Remove(name(i) + "x");  // not there: nothing changes
    r.Add(name(5), 77);    // written again: it comes last
    r.Add(name(20), 21);   // still there: only the size changes, the place stays
    const std::vector<WrittenFile> files = FilesOf(r);
    ASSERT_EQ(files.size(), 101u);
    for (int k = 0; k < 100; ++k) {
        EXPECT_EQ(files[k].path, name(k * 10));
        EXPECT_TRUE(r.Has(name(k * 10)));
        EXPECT_FALSE(r.Has(name(k * 10 + 1)));
    }
    EXPECT_EQ(files[2].kilobytes, 21u);
    EXPECT_EQ(files[100].path, name(5));
    std::uint64_t kb = 77 + 21 - 20;
    for (int k = 0; k < 100; ++k) kb += k * 10;
    EXPECT_EQ(r.Kilobytes(), kb);
    // What is encoded is what the record holds, and reads back the same.
    WrittenRecord back;
    ASSERT_TRUE(DecodeWrittenRecord(EncodeWrittenRecord(r), back));
    ASSERT_EQ(FilesOf(back).size(), files.size());
    EXPECT_EQ(FilesOf(back)[100].path, name(5));
}

TEST(WrittenRecord, RefusesForeignAndDamagedText) {
    const std::string head = "QPBWritten 1\r\n";
    const std::string cases[] = {
        "",
        "QPBWritten 2\r\n",
        "HeaderUninstalInfo Quillpack CopyRight 2001",
        head + "file\t12\tC:\\a",           // the last line without its end
        head + "file\tx\tC:\\a\r\n",        // a size that is not a number
        head + "file\t1234567890\tC:\\a\r\n",  // a size past what any file holds
        head + "file\t12\r\n",              // no path
        head + "file\t12\t\r\n",            // an empty path
        head + "size\t12\r\n",              // an unknown kind
        head + "destination C:\\a\r\n",     // no tab
        head + "file\t1\t" + std::string(kWrittenLineLimit, 'a') + "\r\n",
    };
    for (const auto& text : cases) {
        WrittenRecord r;
        r.Add("left over", 1);
        EXPECT_FALSE(DecodeWrittenRecord(text, r)) << text.substr(0, 60);
        EXPECT_TRUE(FilesOf(r).empty()) << "a refused record names nothing";
    }
    WrittenRecord r;
    EXPECT_TRUE(DecodeWrittenRecord(head, r)) << "a record of nothing written";
}
