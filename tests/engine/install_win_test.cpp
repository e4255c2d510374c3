// The install phase under Wine with the real file system, registry and shell link object:
// a first installation, modify, repair and remove runs of a tiny kit.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <filesystem>

#include "common/kitpayload.h"
#include "common/peimage.h"
#include "engine/kit_fixture.h"
#include "setup/engine/installphase.h"
#include "setup/engine/log.h"
#include "setup/engine/uninstallreg.h"
#include "setup/engine/win/context_win.h"
#include "setup/engine/win/filerules_win.h"
#include "setup/engine/win/registry_win.h"
#include "setup/engine/win/shortcuts_win.h"
#include "support/testutil.h"

using namespace qp;

using namespace enginetest;

namespace {

std::string NewGuid() {
    GUID g;
    CoCreateGuid(&g);
    char buf[64];
    snprintf(buf, sizeof buf, "{%08lX-%04X-%04X-QPTEST-%02X%02X%02X%02X}", g.Data1, g.Data2, g.Data3, g.Data4[4],
             g.Data4[5], g.Data4[6], g.Data4[7]);
    return buf;
}

bool Exists(const std::string& p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadString(HKEY root, const std::string& key, const std::string& name, DWORD* type_out = nullptr,
                       bool* found = nullptr) {
    HKEY h;
    if (found) *found = false;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return "";
    char buf[2048] = {};
    DWORD size = sizeof buf - 1, type = 0;
    LONG rc = RegQueryValueExA(h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS) return "";
    if (found) *found = true;
    if (type_out) *type_out = type;
    return std::string(buf, type == REG_SZ && size > 0 ? size - 1 : size);
}

// The show command as stored in the link file's header.
std::uint32_t LinkFileShowCommand(const std::string& path) {
    auto b = qptest::ReadBytes(path);
    if (b.size() < 0x40) return 0xFFFFFFFF;
    return b[0x3C] | b[0x3D] << 8 | b[0x3E] << 16 | static_cast<std::uint32_t>(b[0x3F]) << 24;
}

// The system's use count of a shared file; -1 when it has none.
long long SharedCount(const std::string& path) {
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, KEY_READ, &h) != ERROR_SUCCESS) return -1;
    DWORD value = 0, size = sizeof value, type = 0;
    LONG rc = RegQueryValueExA(h, path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(h);
    return rc == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long long>(value) : -1;
}

// Removes every use count of a file below `folder`.
void DropSharedCounts(const std::string& folder) {
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, KEY_READ | KEY_SET_VALUE, &h) != ERROR_SUCCESS) return;
    std::vector<std::string> names;
    char name[1024];
    for (DWORD i = 0;; ++i) {
        DWORD len = sizeof name;
        if (RegEnumValueA(h, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (EqualNoCase(std::string(name).substr(0, folder.size()), folder)) names.push_back(name);
    }
    for (const auto& n : names) RegDeleteValueA(h, n.c_str());
    RegCloseKey(h);
}

bool KeyExists(HKEY root, const std::string& key) {
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

RegistryNode Reg(int kind, const std::string& name, const std::string& data = "",
                 std::vector<RegistryNode> children = {}, std::vector<std::string> groups = {}) {
    RegistryNode n;
    n.kind = kind;
    n.name = name;
    n.data = data;
    n.children = std::move(children);
    n.group_names = std::move(groups);
    return n;
}

ShortcutNode Link(const std::string& name, const std::string& display, std::vector<std::string> groups) {
    ShortcutNode s;
    s.kind = ShortcutNode::kShortcut;
    s.name = name;
    s.display_text = display;
    s.common = 0;
    s.group_names = std::move(groups);
    return s;
}

ShortcutNode ShellNode(int kind, const std::string& name, std::vector<ShortcutNode> children) {
    ShortcutNode s;
    s.kind = kind;
    s.name = name;
    s.common = 0;
    s.children = std::move(children);
    return s;
}

// The system's effects for one run, put together as setup.exe does.
struct SystemEffects {
    explicit SystemEffects(const RunState& run) : files(true, run.ctx.windows_folder) {}
    WinFileEffects files;
    WinRegistry reg;
    WinShortcuts links;
    Platform platform{files, reg, links};
};

class InstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        guid_ = NewGuid();
        test_key_ = "Software\\QuillpackerTest\\" + guid_;
        kit_ = tmp_ / "kit";
        CreateDirectoryA(kit_.c_str(), nullptr);
        WriteStoredZip(kit_ + "\\setup.cab", {{"Program Files/app.exe", "APP"},
                                              {"Program Files/data/a.txt", "AAA"},
                                              {"Help Files/help.txt", "HELP"},
                                              {"Shared Files/shared.txt", "SHARED"}});
        BuildList();
        SaveSetupList(list_, kit_ + "\\setup.lst");
    }

    void TearDown() override {
        DropSharedCounts(tmp_.Str());
        WinRegistry reg;
        reg.DeleteKeyTree(kHkeyCurrentUser, test_key_);
        reg.DeleteKeyTree(kHkeyLocalMachine, UninstallKeyPath(guid_));
    }

    void BuildList() {
        list_.settings.set_product_guid(guid_);
        auto g1 = Group("Program Files", {FileLeaf("D:\\src\\app.exe"), Folder("data", {FileLeaf("D:\\src\\data\\a.txt")})});
        auto g2 = Group("Help Files", {FileLeaf("D:\\src\\help.txt")});
        g2.destination = "<TARGETDIR>\\help";
        auto g3 = Group("Shared Files", {FileLeaf("shared.txt")});
        g3.destination = "<TARGETDIR>\\shared";
        g3.shared = 1;
        list_.groups = {g1, g2, g3};
        list_.components.name = "Components";
        list_.components.children = {Component("Main", {"Program Files", "Shared Files"}),
                                     Component("Help", {"Help Files"}), Component("Extra", {"Help Files"})};
        const std::string key = "Software\\QuillpackerTest\\" + guid_;
        auto path_nodes = [&](std::vector<RegistryNode> values) {
            return Reg(2, "HKEY_CURRENT_USER", "",
                       {Reg(3, "Software", "", {Reg(3, "QuillpackerTest", "", {Reg(3, guid_, "", std::move(values))})})});
        };
        list_.registry.kind = 0;
        list_.registry.children = {
            Reg(1, "RegEntry1", "",
                {path_nodes({Reg(4, "Path", "<TARGETDIR>\\app.exe"), Reg(5, "Bin", "0A0b1"), Reg(6, "Bad", "12G4"),
                             Reg(6, "Size", "230"), Reg(6, "Empty", "")})}),
            Reg(1, "RegEntry2", "", {path_nodes({Reg(4, "HelpPath", "<TARGETDIR>\\help\\help.txt")})},
                {"Help Files"}),
        };
        auto app = Link("APP_LINK", "", {"Program Files"});
        app.target = "<TARGETDIR>\\app.exe";
        app.arguments = "-x <TARGETDIR>";
        app.working_folder = "<TARGETDIR>";
        app.run_mode = 1;
        app.icon_index = 2;
        app.comment = "Runs it";
        auto help = Link("HelpKey", "Help Me", {"Help Files"});
        help.target = "<TARGETDIR>\\help\\help.txt";
        help.run_mode = 2;
        help.icon_file = "<WINDIR>\\notepad.exe";
        auto web = Link("Web Site", "", {});
        web.internet_shortcut = 1;
        web.target = "http://example.invalid/";
        web.icon_index = 1;
        web.icon_file = "<TARGETDIR>\\app.exe";
        ShortcutNode folder = ShellNode(ShortcutNode::kFolder, "Program Folder", {app, help});
        folder.display_text = "<SHELL_OBJECT_FOLDER>";
        list_.shortcuts = ShellNode(ShortcutNode::kDesktop, "Desktop",
                                    {ShellNode(ShortcutNode::kStartMenu, "Start Menu",
                                               {ShellNode(ShortcutNode::kPrograms, "Programs", {folder})}),
                                     web});
        list_.strings = {Text("PRODUCT_NAME", "Prod"), Text("APP_LINK", "My App"),
                         Text("UNINST_DISPLAY_NAME", "%P uninstall"), Text("Publisher", "Veltor Test"),
                         Text("DisplayVersion", "1.0")};
        list_.languages = {LanguageRecord{}};
    }

    RunState NewRun(RunMode mode, std::vector<std::string> selected) {
        RunState run;
        run.list = &list_;
        run.ctx = DetectInstallContext();
        run.ctx.kit_folder = kit_;
        run.ctx.media_folder = kit_;
        run.ctx.program_files = tmp_ / "PF";
        run.ctx.destination = tmp_ / "PF\\Co\\Prod\\";  // the phase drops the trailing backslash
        run.ctx.program_folder = "Prod Folder";
        run.ctx.product_guid = guid_;
        const char* names[4] = {"Desktop", "Start", "Start\\Programs", "Start\\Programs\\Startup"};
        for (int i = 0; i < 4; ++i) {
            run.ctx.user_shell[i] = tmp_ / (std::string("user\\") + names[i]);
            run.ctx.common_shell[i] = tmp_ / (std::string("all\\") + names[i]);
        }
        run.ctx.nt_family = true;
        run.mode = mode;
        run.product_name = "Prod";
        run.user_name = "Ann";
        run.user_company = "Ann Co";
        run.selected = std::move(selected);
        if (IsMaintenance(mode)) {
            InstallLog log;
            EXPECT_TRUE(ReadLog(run, log));
            run.earlier_components = log.components;
            run.earlier_groups = log.groups;
            run.installed_groups = log.groups;
            run.ctx.destination = log.destination;
            run.ctx.program_folder = log.program_folder;
        }
        return run;
    }

    // Reads the installation log the run left; the reader's message when it cannot.
    static ::testing::AssertionResult ReadLog(const RunState& run, InstallLog& log) {
        LogMessage msg;
        if (ReadLogFile(run.ctx.InfoLog(), log, msg) == 1) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << msg.text;
    }

    bool Run(RunState& run) {
        SystemEffects fx(run);
        if (run.mode == RunMode::Remove) return RemoveProduct(run, fx.platform, questions_, events_);
        return RunInstallPhase(run, fx.platform, questions_, events_);
    }

    std::string Dest(const std::string& rel) const { return tmp_ / ("PF\\Co\\Prod\\" + rel); }
    std::string ProgramsLink(const std::string& name) const {
        return tmp_ / ("user\\Start\\Programs\\Prod Folder\\" + name);
    }

    qptest::TempDir tmp_;
    std::string guid_, kit_, test_key_;
    SetupList list_;
    ScriptedQuestions questions_;
    RecordingEvents events_;
};

TEST_F(InstallTest, FirstInstallationWritesFilesRegistryShortcutsAndRegistration) {
    RunState run = NewRun(RunMode::FirstInstall, {"Main", "Help"});
    ASSERT_TRUE(Run(run)) << questions_.messages.size();
    EXPECT_TRUE(questions_.messages.empty()) << questions_.messages[0];

    EXPECT_EQ(qptest::ReadText(Dest("app.exe")), "APP");
    EXPECT_EQ(qptest::ReadText(Dest("data\\a.txt")), "AAA");
    EXPECT_EQ(qptest::ReadText(Dest("help\\help.txt")), "HELP");
    EXPECT_EQ(qptest::ReadText(Dest("shared\\shared.txt")), "SHARED");
    EXPECT_EQ(events_.range, 4);
    EXPECT_EQ(events_.statuses, (std::vector<std::string>{"Installing Main", "Installing Help"}));
    EXPECT_EQ(run.written_files.size(), 4u);

    // Registry values of each kind.
    DWORD type = 0;
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, test_key_, "Path", &type), Dest("app.exe"));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, test_key_, "Bin", &type), std::string("\x0A\x0B", 2));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, test_key_, "Bad", &type), std::string("\xFF\xFF\xFF\xFF", 4));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, test_key_, "Size"), std::string("\x30\x02\0\0", 4));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, test_key_, "Empty"), std::string("\0\0\0\0", 4));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, test_key_, "HelpPath"), Dest("help\\help.txt"));

    // The link reads back through the shell link object as written.
    LinkSpec link;
    ASSERT_TRUE(ReadLink(ProgramsLink("My App.lnk"), link));
    EXPECT_EQ(link.target, Dest("app.exe"));
    EXPECT_EQ(link.arguments, "-x " + Dest("").substr(0, Dest("").size() - 1));
    EXPECT_EQ(link.working_folder, Dest("").substr(0, Dest("").size() - 1));  // "<TARGETDIR>" expanded
    EXPECT_EQ(link.description, "Runs it");
    // Wine's link object does not give back the stored show command on loading, so it is read
    // from the link file's header.
    EXPECT_EQ(LinkFileShowCommand(ProgramsLink("My App.lnk")), static_cast<std::uint32_t>(SW_SHOWMAXIMIZED));
    EXPECT_EQ(link.icon_path, Dest("app.exe"));
    EXPECT_EQ(link.icon_index, 2);
    LinkSpec help;
    ASSERT_TRUE(ReadLink(ProgramsLink("Help Me.lnk"), help));  // display name is no key: used as is
    EXPECT_EQ(LinkFileShowCommand(ProgramsLink("Help Me.lnk")), static_cast<std::uint32_t>(SW_SHOWMINNOACTIVE));
    EXPECT_EQ(help.icon_path, run.ctx.windows_folder + "\\notepad.exe");

    // The Internet shortcut, fields as they stand.
    const std::string url = tmp_ / "user\\Desktop\\Web Site.url";
    char buf[512];
    GetPrivateProfileStringA("InternetShortcut", "URL", "", buf, sizeof buf, url.c_str());
    EXPECT_STREQ(buf, "http://example.invalid/");
    GetPrivateProfileStringA("InternetShortcut", "IconIndex", "", buf, sizeof buf, url.c_str());
    EXPECT_STREQ(buf, "1");
    GetPrivateProfileStringA("InternetShortcut", "IconFile", "", buf, sizeof buf, url.c_str());
    EXPECT_STREQ(buf, "<TARGETDIR>\\app.exe");

    // The information folder and the uninstall key.
    EXPECT_TRUE(Exists(run.ctx.InfoSetupExe()));
    EXPECT_EQ(qptest::ReadBytes(run.ctx.InfoSetupList()), qptest::ReadBytes(kit_ + "\\setup.lst"));
    InstallLog log;
    ASSERT_TRUE(ReadLog(run, log));
    EXPECT_EQ(log.components, (std::vector<std::string>{"Main", "Help"}));
    EXPECT_EQ(log.groups, (std::vector<std::string>{"Program Files", "Shared Files", "Help Files"}));
    EXPECT_EQ(log.destination, Dest("").substr(0, Dest("").size() - 1));
    EXPECT_EQ(log.program_folder, "Prod Folder");

    const std::string ukey = UninstallKeyPath(guid_);
    std::string media;
    EXPECT_TRUE(UninstallKeyExists(guid_, &media));
    EXPECT_EQ(media, kit_);
    const std::string quoted = "\"" + run.ctx.InfoSetupExe() + "\" -u \"" + run.ctx.InfoLog() + "\"";
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, ukey, "UninstallString"), quoted);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, ukey, "ModifyPath"),
              "\"" + run.ctx.InfoSetupExe() + "\" -m \"" + run.ctx.InfoLog() + "\"");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, ukey, "LogFile"), run.ctx.InfoLog());
    bool found = false;
    // The destination: the project has no "InstallLocation" text of its own to put there.
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, ukey, "InstallLocation", nullptr, &found), run.ctx.destination);
    EXPECT_TRUE(found);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, ukey, "DisplayName"), "Prod uninstall");
    // The kilobytes of what was written, by the sizes the setup list gives.
    const std::uint32_t kb = static_cast<std::uint32_t>(run.record.Kilobytes());
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, ukey, "EstimatedSize"), std::string(reinterpret_cast<const char*>(&kb), 4));
    EXPECT_FALSE(FilesOf(run.record).empty());
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, ukey, "NoRepair"), std::string("\0\0\0\0", 4));
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, ukey, "Publisher"), "Veltor Test");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, ukey, "CONTACT", nullptr, &found), "");
    EXPECT_TRUE(found);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, ukey, "RegOwner"), "Ann");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, ukey, "RegCompany"), "Ann Co");
}

TEST_F(InstallTest, ModifyRepairAndRemoveFollowTheGroupsAndLeaveNothingBehind) {
    const std::string shared = Dest("shared\\shared.txt");
    {
        RunState first = NewRun(RunMode::FirstInstall, {"Main", "Help"});
        ASSERT_TRUE(Run(first));
        EXPECT_EQ(SharedCount(shared), 1);
    }
    // Modify: Help dropped, Extra (sharing Help's group) added. The group stays: Extra needs it.
    {
        RunState run = NewRun(RunMode::Modify, {"Main", "Extra"});
        ASSERT_TRUE(Run(run));
        EXPECT_TRUE(Exists(Dest("help\\help.txt")));
        InstallLog log;
        ASSERT_TRUE(ReadLog(run, log));
        EXPECT_EQ(log.components, (std::vector<std::string>{"Main", "Extra"}));
        EXPECT_EQ(log.groups, (std::vector<std::string>{"Program Files", "Shared Files", "Help Files"}));
    }
    // Modify: Extra dropped too. Its group's files, value and shortcut go; the key stays.
    {
        RunState run = NewRun(RunMode::Modify, {"Main"});
        ASSERT_TRUE(Run(run));
        EXPECT_FALSE(Exists(Dest("help\\help.txt")));
        EXPECT_FALSE(Exists(Dest("help")));
        EXPECT_TRUE(Exists(Dest("app.exe")));
        bool found = true;
        ReadString(HKEY_CURRENT_USER, test_key_, "HelpPath", nullptr, &found);
        EXPECT_FALSE(found);
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, test_key_));
        EXPECT_FALSE(Exists(ProgramsLink("Help Me.lnk")));
        EXPECT_TRUE(Exists(ProgramsLink("My App.lnk")));
        InstallLog log;
        ASSERT_TRUE(ReadLog(run, log));
        EXPECT_EQ(log.groups, (std::vector<std::string>{"Program Files", "Shared Files"}));
    }
    // Repair ignores the selection: the earlier components come back whole.
    DeleteFileA(Dest("app.exe").c_str());
    {
        RunState run = NewRun(RunMode::Repair, {"Help"});
        ASSERT_TRUE(Run(run));
        EXPECT_EQ(qptest::ReadText(Dest("app.exe")), "APP");
        InstallLog log;
        ASSERT_TRUE(ReadLog(run, log));
        EXPECT_FALSE(Exists(Dest("help\\help.txt")));
        // What was repaired is what the log names, whatever the selection showed.
        EXPECT_EQ(log.components, std::vector<std::string>{"Main"});
        EXPECT_EQ(log.groups, (std::vector<std::string>{"Program Files", "Shared Files"}));
        EXPECT_EQ(SharedCount(shared), 1) << "neither the modify runs nor the repair count again";
    }
    // Remove: nothing of the product stays but the running copy; the shared file had no other
    // user, so it goes with its count.
    {
        RunState run = NewRun(RunMode::Remove, {"Main"});
        ASSERT_TRUE(Run(run));
        EXPECT_FALSE(Exists(Dest("app.exe")));
        EXPECT_FALSE(Exists(Dest("data")));
        EXPECT_FALSE(Exists(Dest("shared")));
        EXPECT_EQ(SharedCount(shared), -1);
        EXPECT_FALSE(Exists(ProgramsLink("My App.lnk")));
        EXPECT_FALSE(Exists(tmp_ / "user\\Start\\Programs\\Prod Folder"));
        EXPECT_FALSE(Exists(tmp_ / "user\\Desktop\\Web Site.url"));
        bool found = true;
        for (const char* v : {"Path", "Bin", "Bad", "Size", "Empty"}) {
            ReadString(HKEY_CURRENT_USER, test_key_, v, nullptr, &found);
            EXPECT_FALSE(found) << v;
        }
        EXPECT_FALSE(UninstallKeyExists(guid_, nullptr));
        EXPECT_FALSE(Exists(run.ctx.InfoLog()));
        EXPECT_FALSE(Exists(run.ctx.InfoSetupList()));
        EXPECT_TRUE(Exists(run.ctx.InfoSetupExe()));
        EXPECT_NE(std::find(run.report.begin(), run.report.end(), "Delete  " + shared), run.report.end());
        EXPECT_EQ(events_.statuses.back(), "UnInstalling Main");
    }
}

// Cancel confirmed while the first file's messages are pumped.
struct CancellingEvents : RecordingEvents {
    RunState* run = nullptr;
    void Pump() override { run->abort = true; }
};

TEST_F(InstallTest, CancelBetweenFilesWritesNoLogNorKeyAndTheRunsFilesCanGo) {
    RunState run = NewRun(RunMode::FirstInstall, {"Main", "Help"});
    CancellingEvents cancel;
    cancel.run = &run;
    SystemEffects fx(run);
    EXPECT_FALSE(RunInstallPhase(run, fx.platform, questions_, cancel));
    EXPECT_EQ(run.written_files, std::vector<std::string>{Dest("app.exe")});
    EXPECT_FALSE(Exists(Dest("data\\a.txt")));
    EXPECT_FALSE(Exists(run.ctx.InfoLog()));
    EXPECT_FALSE(UninstallKeyExists(guid_, nullptr));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, test_key_));
    DeleteWrittenFiles(run, fx.files);
    EXPECT_FALSE(Exists(Dest("app.exe")));
}

TEST_F(InstallTest, MissingArchiveAsksForTheKitFolderAndCancelAborts) {
    const std::string moved = tmp_ / "moved";
    CreateDirectoryA(moved.c_str(), nullptr);
    ASSERT_TRUE(MoveFileA((kit_ + "\\setup.cab").c_str(), (moved + "\\setup.cab").c_str()));
    {
        RunState run = NewRun(RunMode::FirstInstall, {"Main"});
        EXPECT_FALSE(Run(run));
        EXPECT_TRUE(run.abort);
        ASSERT_FALSE(questions_.messages.empty());
        EXPECT_EQ(questions_.messages[0], "Error|" + kit_ + "\\setup.cab Not Found ");
        EXPECT_FALSE(UninstallKeyExists(guid_, nullptr));
    }
    questions_.folders = {tmp_ / "nowhere", moved};
    RunState run = NewRun(RunMode::FirstInstall, {"Main"});
    EXPECT_TRUE(Run(run));
    EXPECT_EQ(run.ctx.media_folder, moved);
    EXPECT_TRUE(Exists(Dest("app.exe")));
}

// Asked for the kit, the user may pick a one-file kit of the product (not another product's), or
// a file of a kit folder for its folder.
TEST_F(InstallTest, MissingArchiveTakesAOneFileKitOrAFileOfTheKitFolder) {
    const std::string moved = tmp_ / "moved";
    CreateDirectoryA(moved.c_str(), nullptr);
    ASSERT_TRUE(MoveFileA((kit_ + "\\setup.cab").c_str(), (moved + "\\setup.cab").c_str()));
    const std::vector<std::uint8_t> cab = qptest::ReadBytes(moved + "\\setup.cab");
    auto write_kit = [&](const std::string& path, const SetupList& list) {
        std::vector<std::uint8_t> out;
        KitProgramWriter w([&](const void* p, std::size_t n) {
            out.insert(out.end(), static_cast<const std::uint8_t*>(p), static_cast<const std::uint8_t*>(p) + n);
            return true;
        });
        w.Runtime(peimage::MakeImage().bytes);
        const std::vector<std::uint8_t> lst = WriteSetupList(list);
        w.BeginFile("setup.lst");
        w.Append(lst.data(), lst.size());
        w.BeginFile("setup.cab");
        w.Append(cab.data(), cab.size());
        w.Finish();
        qptest::WriteBytes(path, out);
    };
    SetupList other = list_;
    other.settings.set_product_guid("{00000000-0000-0000-0000-0000000000E2}");
    const std::string ours = tmp_ / "one\\KIT.exe", theirs = tmp_ / "other\\KIT.exe";
    CreateDirectoryA((tmp_ / "one").c_str(), nullptr);
    CreateDirectoryA((tmp_ / "other").c_str(), nullptr);
    write_kit(ours, list_);
    write_kit(theirs, other);
    struct Row {
        const char* what;
        std::vector<std::string> picks;
        std::string media_program, media_folder;
    } rows[] = {
        {"the product's one-file kit after another product's", {theirs, ours}, ours, tmp_ / "one"},
        {"the archive in a kit folder", {moved + "\\setup.cab"}, "", moved},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        questions_.folders = row.picks;
        RunState run = NewRun(RunMode::FirstInstall, {"Main"});
        EXPECT_TRUE(Run(run));
        EXPECT_EQ(run.ctx.media_program, row.media_program);
        EXPECT_EQ(run.ctx.media_folder, row.media_folder);
        EXPECT_EQ(qptest::ReadText(Dest("app.exe")), "APP");
        EXPECT_TRUE(questions_.folders.empty()) << "asked again after a usable pick";
        RunState removal = NewRun(RunMode::Remove, {});
        EXPECT_TRUE(Run(removal));
    }
}

// A shared file that was there before: another user holds it, so removal lowers the count
// and leaves the file as it is.
TEST_F(InstallTest, SharedFileAlreadyThereStaysWithItsCountAfterRemoval) {
    const std::string shared = Dest("shared\\shared.txt");
    list_.groups[2].overwrite_word = overwrite::kNever;
    struct Row {
        long long count_before, installed, removed;
    };
    // Without a count the unknown holder's use is never given back: two, then one for good.
    for (const Row& row : {Row{-1, 2, 1}, Row{3, 4, 3}}) {
        SCOPED_TRACE(row.count_before);
        std::filesystem::create_directories(Dest("shared"));
        qptest::WriteText(shared, "MINE");
        WinFileEffects files(true, "");
        files.SetSharedCount(shared, row.count_before);
        {
            RunState run = NewRun(RunMode::FirstInstall, {"Main"});
            ASSERT_TRUE(Run(run));
            EXPECT_EQ(SharedCount(shared), row.installed);
        }
        RunState run = NewRun(RunMode::Remove, {});
        ASSERT_TRUE(Run(run));
        EXPECT_EQ(qptest::ReadText(shared), "MINE");
        EXPECT_EQ(SharedCount(shared), row.removed);
        EXPECT_NE(std::find(run.report.begin(), run.report.end(), "Shared file " + shared), run.report.end());
        EXPECT_FALSE(Exists(Dest("app.exe")));
    }
}

// Cancel confirmed once a shared file has been counted: the exit puts the count back.
struct CancelAfterCounting : RecordingEvents {
    RunState* run = nullptr;
    void Pump() override {
        if (!run->counted.empty()) run->abort = true;
    }
};

TEST_F(InstallTest, CancelledRunGivesBackTheCountsItRaised) {
    RunState run = NewRun(RunMode::FirstInstall, {"Main"});
    CancelAfterCounting cancel;
    cancel.run = &run;
    SystemEffects fx(run);
    EXPECT_FALSE(RunInstallPhase(run, fx.platform, questions_, cancel));
    EXPECT_EQ(SharedCount(Dest("shared\\shared.txt")), 1);
    DeleteWrittenFiles(run, fx.files);
    EXPECT_FALSE(Exists(Dest("shared\\shared.txt")));
    EXPECT_EQ(SharedCount(Dest("shared\\shared.txt")), -1);
}

TEST_F(InstallTest, ShortcutUnderAShellFolderTheSystemLacksIsSkippedWithAnErrorLine) {
    RunState run = NewRun(RunMode::FirstInstall, {"Main", "Help"});
    run.ctx.user_shell[kShellPrograms].clear();
    ASSERT_TRUE(Run(run));
    const bool at_root = Exists("\\Prod Folder");
    if (at_root) {
        DeleteFileA("\\Prod Folder\\My App.lnk");
        DeleteFileA("\\Prod Folder\\Help Me.lnk");
        RemoveDirectoryA("\\Prod Folder");
    }
    EXPECT_FALSE(at_root);
    for (const char* caption : {"My App", "Help Me"})
        EXPECT_NE(std::find(run.report.begin(), run.report.end(),
                            std::string("CANT Create shortcut ") + caption + ": this system has no such folder"),
                  run.report.end())
            << caption;
    EXPECT_TRUE(Exists(tmp_ / "user\\Desktop\\Web Site.url")) << "the folders the system has are used";
    EXPECT_TRUE(UninstallKeyExists(guid_, nullptr));
}

// Components name their groups as the author typed them.
TEST_F(InstallTest, GroupNamesIgnoreCaseAlsoWhenAModifyRunKeepsAGroup) {
    list_.components.children[2].group_names = {"help files"};
    {
        RunState run = NewRun(RunMode::FirstInstall, {"Main", "Extra"});
        ASSERT_TRUE(Run(run));
        EXPECT_EQ(events_.range, 4);
        EXPECT_TRUE(Exists(Dest("help\\help.txt")));
    }
    {
        RunState run = NewRun(RunMode::Modify, {"Main", "Help", "Extra"});
        ASSERT_TRUE(Run(run));
    }
    // Help dropped; Extra still needs the group under its other spelling.
    RunState run = NewRun(RunMode::Modify, {"Main", "Extra"});
    ASSERT_TRUE(Run(run));
    EXPECT_TRUE(Exists(Dest("help\\help.txt")));
    InstallLog log;
    ASSERT_TRUE(ReadLog(run, log));
    EXPECT_EQ(log.groups, (std::vector<std::string>{"Program Files", "Shared Files", "Help Files"}));
}

// The disk may be taken out once the files are in: nothing holds the archive any more.
TEST_F(InstallTest, ArchiveIsLetGoWhenThePhaseEnds) {
    RunState run = NewRun(RunMode::FirstInstall, {"Main"});
    ASSERT_TRUE(Run(run));
    HANDLE h = CreateFileA((kit_ + "\\setup.cab").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

}  // namespace
