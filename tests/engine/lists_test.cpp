// Component lists of each mode, registry data conversion and the uninstall registration rows.
#include <gtest/gtest.h>

#include "common/setuplist.h"
#include "setup/engine/lists.h"
#include "setup/engine/registry.h"
#include "setup/engine/runstate.h"
#include "setup/engine/uninstallreg.h"

using namespace qp;

namespace {

ComponentRecord C(const std::string& name, std::vector<ComponentRecord> children = {},
                  std::vector<std::string> required = {}) {
    ComponentRecord c;
    c.name = name;
    c.children = std::move(children);
    c.required_names = std::move(required);
    return c;
}

std::vector<std::string> Names(const std::vector<const ComponentRecord*>& list) {
    std::vector<std::string> out;
    for (auto* c : list) out.push_back(c->name);
    return out;
}

struct ListsTest : ::testing::Test {
    ListsTest() {
        // A (children A1, A2; A2 requires B), B (requires A2: a cycle), C.
        list.components.children = {C("A", {C("A1"), C("A2", {}, {"b"})}), C("B", {}, {"A\\A2"}), C("C")};
        run.list = &list;
    }
    SetupList list;
    RunState run;
};

}  // namespace

TEST_F(ListsTest, FirstInstallVisitsChildrenThenRequiredThenTheComponent) {
    run.selected = {"A", "a\\a2", "B"};
    BuildComponentLists(run);
    // A2 is reached first as A's child; its requirement B is decided before A2 itself, and the
    // cycle back from B to A2 is not followed.
    EXPECT_EQ(Names(run.install_list), (std::vector<std::string>{"B", "A2", "A"}));
    EXPECT_EQ(run.chosen_components, (std::vector<std::string>{"B", "A\\A2", "A"}));
    EXPECT_TRUE(run.remove_list.empty());
}

TEST_F(ListsTest, ModifyInstallsNewAndRemovesDropped) {
    run.mode = RunMode::Modify;
    run.earlier_components = {"A", "C"};
    run.selected = {"A", "A\\A1"};
    BuildComponentLists(run);
    EXPECT_EQ(Names(run.install_list), std::vector<std::string>{"A1"});
    EXPECT_EQ(Names(run.remove_list), std::vector<std::string>{"C"});
    EXPECT_EQ(run.chosen_components, (std::vector<std::string>{"A\\A1", "A"}));
}

TEST_F(ListsTest, RepairAndRemoveFollowTheLogNotTheSelection) {
    run.mode = RunMode::Repair;
    run.earlier_components = {"C", "a"};
    run.selected = {"B"};
    BuildComponentLists(run);
    EXPECT_EQ(Names(run.install_list), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(run.chosen_components, (std::vector<std::string>{"A", "C"}));
    run.mode = RunMode::Remove;
    BuildComponentLists(run);
    EXPECT_TRUE(run.install_list.empty());
    EXPECT_EQ(Names(run.remove_list), (std::vector<std::string>{"A", "C"}));
    EXPECT_TRUE(run.chosen_components.empty());
}

TEST_F(ListsTest, MarkEarlierComponentsSelectsExactlyThoseOfTheLog) {
    run.earlier_components = {"a\\a1", "C", "Gone"};
    MarkEarlierComponents(run);
    EXPECT_EQ(run.selected, (std::vector<std::string>{"A\\A1", "C"}));
}

TEST(RegistryData, BinaryAndDoubleWordConversion) {
    EXPECT_EQ(BinaryFromHex("0A0b1"), (std::vector<std::uint8_t>{0x0A, 0x0B}));
    EXPECT_EQ(BinaryFromHex(""), std::vector<std::uint8_t>{});
    EXPECT_EQ(BinaryFromHex("fF00"), (std::vector<std::uint8_t>{0xFF, 0x00}));
    EXPECT_EQ(DwordFromHex("230"), 560u);
    EXPECT_EQ(DwordFromHex("0"), 0u);
    EXPECT_EQ(DwordFromHex(""), 0u);
    EXPECT_EQ(DwordFromHex("dEaDbEeF"), 0xDEADBEEFu);
    EXPECT_EQ(DwordFromHex("12G4"), 0xFFFFFFFFu);
    EXPECT_EQ(DwordFromHex(" 1"), 0xFFFFFFFFu);
    EXPECT_EQ(DwordFromHex("123456789"), 0xFFFFFFFFu);  // past 32 bits
}

TEST(UninstallRegistration, TwentyWritesInOrderWithQuotedCommands) {
    SetupList list;
    StringRecord s;
    s.key = "InstallLocation";
    s.values = {"D:\\Where"};
    StringRecord version;
    version.key = "PRODUCT_VERSION";
    version.values = {"1.5"};
    list.strings = {s, version};
    RunState run;
    run.list = &list;
    run.ctx.program_files = "C:\\Program Files";
    run.ctx.product_guid = "{G}";
    run.ctx.kit_folder = "E:\\kit";
    run.ctx.media_folder = "E:\\media";
    run.ctx.destination = "C:\\Program Files\\Co\\Prod";
    run.user_name = "Ann";
    run.record.Add("C:\\Program Files\\Co\\Prod\\a.exe", 500);
    run.record.Add("C:\\Program Files\\Co\\Prod\\b.dll", 60);
    auto rows = UninstallWrites(run);
    std::vector<std::string> names;
    for (auto& r : rows) names.push_back(r.name);
    EXPECT_EQ(names, (std::vector<std::string>{"MediaPath", "LogFile", "UninstallString", "ModifyPath",
                                               "InstallLocation", "UninstallString", "DisplayName", "NoRepair",
                                               "EstimatedSize", "Publisher", "CONTACT", "HELPLINK", "HelpTelephone",
                                               "Readme", "URLUpdateInfo", "InstallLocation", "Comments",
                                               "DisplayVersion", "RegOwner", "RegCompany"}));
    EXPECT_EQ(rows[0].data, "E:\\media");
    EXPECT_EQ(rows[1].data, "C:\\Program Files\\QPBInformation\\{G}\\uninst.lst");
    EXPECT_EQ(rows[2].data,
              "\"C:\\Program Files\\QPBInformation\\{G}\\setup.exe\" -u "
              "\"C:\\Program Files\\QPBInformation\\{G}\\uninst.lst\"");
    EXPECT_EQ(rows[3].data.substr(0, 54), "\"C:\\Program Files\\QPBInformation\\{G}\\setup.exe\" -m \"C:");
    // The destination, not the kit's folder; the author's own text still wins (row 15).
    EXPECT_EQ(rows[4].data, "C:\\Program Files\\Co\\Prod");
    EXPECT_EQ(rows[7].kind, 6);
    EXPECT_EQ(rows[8].data, "230") << "560 KB written";
    EXPECT_EQ(rows[15].data, "D:\\Where");
    EXPECT_EQ(rows[17].data, "1.5") << "PRODUCT_VERSION without a DisplayVersion";
    EXPECT_EQ(rows[18].data, "Ann");

    // Without the author's text the destination stays.
    list.strings = {version};
    list.strings.push_back(s);
    list.strings.back().key = "DisplayVersion";
    list.strings.back().values = {"2.0"};
    rows = UninstallWrites(run);
    ASSERT_EQ(rows.size(), 19u);
    for (auto& r : rows)
        if (r.name == "InstallLocation") {
            EXPECT_EQ(r.data, "C:\\Program Files\\Co\\Prod");
        }
    EXPECT_EQ(rows[16].name, "DisplayVersion");
    EXPECT_EQ(rows[16].data, "2.0");
    EXPECT_EQ(UninstallKeyPath("{G}"), "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{G}");
}

namespace {

struct RecordedValue {
    std::uint32_t root;
    std::string key, name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
};

struct RecordingRegistry : RegistryEffects {
    std::vector<RecordedValue> values;
    bool SetValue(std::uint32_t root, const std::string& key, const std::string& name, std::uint32_t type,
                  const std::vector<std::uint8_t>& data) override {
        values.push_back({root, key, name, type, data});
        return true;
    }
    void DeleteValue(std::uint32_t, const std::string&, const std::string&) override {}
    void DeleteKeyTree(std::uint32_t, const std::string&) override {}
};

}  // namespace

TEST(UninstallRegistration, QuietRemovalIsWrittenWithTheOtherValuesAsItStands) {
    SetupList list;
    RunState run;
    run.list = &list;
    // A folder name that looks like a macro must reach the command unexpanded.
    run.ctx.program_files = "C:\\<WINDIR>";
    run.ctx.windows_folder = "C:\\Windows";
    run.ctx.product_guid = "{G}";
    RecordingRegistry reg;
    RegisterUninstall(run, reg);
    // Nineteen values (no "InstallLocation" text of the author's: the destination alone), then this.
    ASSERT_EQ(reg.values.size(), 20u);
    const RecordedValue& q = reg.values.back();
    EXPECT_EQ(q.root, kHkeyLocalMachine);
    EXPECT_EQ(q.key, UninstallKeyPath("{G}"));
    EXPECT_EQ(q.name, "QuietUninstallString");
    EXPECT_EQ(q.type, kRegSz);
    const std::string expected =
        "\"C:\\<WINDIR>\\QPBInformation\\{G}\\setup.exe\" -s -u \"C:\\<WINDIR>\\QPBInformation\\{G}\\uninst.lst\"";
    std::vector<std::uint8_t> bytes(expected.begin(), expected.end());
    bytes.push_back(0);
    EXPECT_EQ(q.data, bytes);
    for (const auto& v : reg.values) EXPECT_EQ(v.key, q.key);
}
