// Version 2 over version 1 under Wine, unattended and through the wizard; an older kit refused;
// a file that was there before the product surviving its removal; a log that cannot be written.
// Each test names a product of its own (GUID, folders, registry key), and removes whatever of it
// is left whichever way the test ends, so that a failed run leaves the prefix clean.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <filesystem>
#include <map>

#include "common/kitpayload.h"
#include "support/gui_driver.h"
#include "e2e/kit_builder.h"
#include "setup/engine/driver.h"
#include "support/testutil.h"
#include "wizard/unmanaged_windows.h"

using namespace qpe2e;

static const int g_unmanaged = qptest::RunWithUnmanagedWindows();

namespace {

const char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string Folder(int csidl) {
    char buf[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, buf);
    return buf;
}

bool KeyExists(const std::string& key) { return RegText(key, "") != "<no key>"; }

std::string Read(const std::string& path) { return Exists(path) ? qptest::ReadText(path) : "<missing>"; }

using qptest::RemoveTree;

// The uninstall registrations whose display name starts with `prefix`.
int RegistrationsNamed(const std::string& prefix) {
    HKEY root;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallRoot, 0, KEY_READ, &root) != ERROR_SUCCESS) return 0;
    int n = 0;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(root, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (RegText(std::string(kUninstallRoot) + "\\" + name, "DisplayName").rfind(prefix, 0) == 0) ++n;
    }
    RegCloseKey(root);
    return n;
}

class UpgradeE2E : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string id = qptest::RunId();
        guid_ = "{5E2E0023-0C1D-4A1B-9f00-0000" + id + "}";
        product_ = std::string("Gizmo") + id;
        target_ = Folder(CSIDL_PROGRAM_FILES) + "\\E2E Upgrade\\" + product_;
        info_ = Folder(CSIDL_PROGRAM_FILES) + "\\QPBInformation\\" + guid_;
        key_ = std::string(kUninstallRoot) + "\\" + guid_;
        value_key_ = "SOFTWARE\\E2E Upgrade\\" + product_;
        links_ = Folder(CSIDL_COMMON_PROGRAMS) + "\\" + product_;
    }
    void TearDown() override {
        if (KeyExists(key_)) {
            const std::string quiet = RegText(key_, "QuietUninstallString");
            Process(quiet).Wait(60000);
            for (int i = 0; i < 100 && Exists(info_); ++i) Sleep(100);
        }
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, key_.c_str());
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, value_key_.c_str());
        RemoveTree(target_);
        RemoveTree(info_);
        RemoveTree(links_);
    }

    // The product at `version`: the sample's setup list under this test's names, and the
    // archive members it ships.
    qp::SetupList List(const std::string& version) const {
        qp::SetupList l = SampleList();
        l.settings.set_product_guid(guid_.c_str());
        for (auto& s : l.strings) {
            if (s.key == "PRODUCT_NAME" || s.key == "FOLDER_NAME") s.values = {product_};
            if (s.key == "COMPANY_NAME") s.values = {"E2E Upgrade"};
            if (s.key == "UNINST_DISPLAY_NAME") s.values = {product_ + " " + version};
        }
        l.strings.push_back({"DisplayVersion", "", {version}});
        l.registry.children[0].children[0].children[0].name = "SOFTWARE\\E2E Upgrade";
        l.registry.children[0].children[0].children[0].children[0].name = product_;
        if (version == "2.0") {
            // 2.0: docs\manual.txt is no more, news.txt is new, the value and the shortcut renamed.
            auto& files = l.groups[0].file_tree.children;
            files.pop_back();
            files.push_back(files[0]);
            files.back().name = "C:\\src\\news.txt";
            l.registry.children[0].children[0].children[0].children[0].children[0].name = "Home";
            auto& link = l.shortcuts.children[0].children[0].children[0];
            link.name = "Gizmo News";
            link.target = "<TARGETDIR>\\news.txt";
        }
        return l;
    }
    std::map<std::string, std::string> Members(const std::string& version) const {
        std::map<std::string, std::string> m = {{"Program Files/app.txt", "app " + version + "\r\n"},
                                                {"Help Files/help.txt", "help\r\n"}};
        if (version == "2.0") m["Program Files/news.txt"] = "news\r\n";
        else m["Program Files/docs/manual.txt"] = "manual " + version + "\r\n";
        return m;
    }
    // Version 1.0 from a kit whose help group never overwrites, installed unattended over a help
    // file of the user's already at its target; whether the install ended with 0.
    bool InstallOverTheUsersHelp() {
        qp::SetupList list = List("1.0");
        list.groups[1].overwrite_word = 0x002;
        const std::string kit = dir_.Str() + "\\kit";
        CreateDirectoryA(kit.c_str(), nullptr);
        WriteKitWith(kit, list, Members("1.0"));
        std::filesystem::create_directories(std::filesystem::path(target_ + "\\Help"));
        qptest::WriteText(target_ + "\\Help\\help.txt", "the user's help");
        return Silent(kit) == 0u;
    }
    std::string Kit(const std::string& version, const std::string& name) {
        const std::string kit = dir_.Str() + "\\" + name;
        CreateDirectoryA(kit.c_str(), nullptr);
        WriteKitWith(kit, List(version), Members(version));
        return kit;
    }
    // The kit of `version` as one program "<name>.exe" beside a kit folder "<name>" that keeps
    // only setup.lst (to compare with), as the builder's --single-file writes it.
    std::string OneFileKit(const std::string& version, const std::string& name) {
        const std::string kit = Kit(version, name);
        const std::string program = dir_.Str() + "\\" + name + ".exe";
        std::FILE* f = std::fopen(program.c_str(), "wb");
        EXPECT_TRUE(f);
        if (!f) return program;
        qp::KitProgramWriter w([f](const void* p, std::size_t n) { return std::fwrite(p, 1, n, f) == n; });
        w.Runtime(qptest::ReadBytes(kit + "\\setup.exe"));
        for (const char* file : {"setup.lst", "setup.cab"}) {
            const auto bytes = qptest::ReadBytes(kit + "\\" + file);
            w.BeginFile(file);
            w.Append(bytes.data(), bytes.size());
        }
        w.Finish();
        std::fclose(f);
        DeleteFileA((kit + "\\setup.exe").c_str());
        DeleteFileA((kit + "\\setup.cab").c_str());
        return program;
    }
    DWORD SilentProgram(const std::string& program) {
        return Process("\"" + program + "\" -s -log \"" + log_ + "\"", dir_.Str()).Wait(120000);
    }

    // The upgrade wizard of `p` from the language dialog to its end, with screenshots under
    // `shots`: no setup type nor component page, the destination fixed.
    void WalkUpgradeWizard(Process& p, const std::string& shots) {
        HWND lang = WaitTop(p.Id(), "#32770", "Select Language");
        ASSERT_TRUE(lang);
        Screenshot(shots + "-00-language");
        Press(lang, IDOK);
        HWND page = nullptr;
        for (int i = 0; i < 400 && !page; ++i, Sleep(50)) {
            HWND w = FindTop(p.Id(), "#32770", "Setup");
            if (w && GetDlgItem(w, 1044) && !GetDlgItem(w, 1017)) page = w;
        }
        ASSERT_TRUE(page) << "the welcome page";
        Settle();
        EXPECT_EQ(ItemText(page, 1034),
                  "Setup will replace " + product_ + " 1.0 with version 2.0. Your settings and component choice stay.");
        Screenshot(shots + "-01-welcome");
        Press(page, 1003);
        page = WaitPage(p.Id(), "Choose Destination Location");
        ASSERT_TRUE(page);
        EXPECT_EQ(ItemText(page, 1014), target_);
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(page, 1014), GWL_STYLE) & ES_READONLY);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1011))) << "Browse";
        Screenshot(shots + "-05-destination");
        Press(page, 1003);
        page = WaitPage(p.Id(), "Select Program Folder");
        ASSERT_TRUE(page) << "no setup type nor component page in an upgrade";
        EXPECT_EQ(ItemText(page, 1012), product_);
        Screenshot(shots + "-08-folder");
        Press(page, 1003);
        page = WaitPage(p.Id(), "Start Copying Files");
        ASSERT_TRUE(page);
        Screenshot(shots + "-09-confirm");
        Press(page, 1003);
        page = WaitPage(p.Id(), "Installation Report", 60000);
        ASSERT_TRUE(page);
        const std::string report = ItemText(page, 1026);
        EXPECT_NE(report.find("Delete  " + target_ + "\\docs\\manual.txt"), std::string::npos) << report;
        Screenshot(shots + "-11-report");
        Press(page, 1003);
        page = WaitPage(p.Id(), "Quillpacker Wizard Complete");
        ASSERT_TRUE(page);
        Screenshot(shots + "-13-complete");
        Press(page, 1003);
        EXPECT_EQ(p.Wait(30000), 0u);
    }

    DWORD Silent(const std::string& kit, const std::string& extra = "") {
        Process p("\"" + kit + "\\setup.exe\" -s -log \"" + log_ + "\"" + extra, kit);
        return p.Wait(120000);
    }
    std::string Log() const { return Read(log_); }

    // Version 2.0 as it must be after the upgrade, whichever way it ran.
    // `media` is what "MediaPath" names: the kit folder, or a one-file kit's program.
    void ExpectVersionTwo(const std::string& kit2, std::string media = "") {
        if (media.empty()) media = kit2;
        EXPECT_EQ(Read(target_ + "\\app.txt"), "app 2.0\r\n") << "the changed file replaced";
        EXPECT_FALSE(Exists(target_ + "\\docs\\manual.txt")) << "what 2.0 no longer ships is gone";
        EXPECT_FALSE(Exists(target_ + "\\docs"));
        EXPECT_EQ(Read(target_ + "\\news.txt"), "news\r\n") << "the new file added";
        EXPECT_EQ(Read(target_ + "\\Help\\help.txt"), "help\r\n");
        EXPECT_EQ(Read(target_ + "\\user.txt"), "the user's own") << "a file of the user's left alone";
        EXPECT_EQ(RegistrationsNamed(product_), 1) << "one registration";
        EXPECT_EQ(RegText(key_, "DisplayVersion"), "2.0");
        EXPECT_EQ(RegText(key_, "DisplayName"), product_ + " 2.0");
        EXPECT_EQ(RegText(key_, "MediaPath"), media);
        EXPECT_EQ(RegText(key_, "InstallLocation"), target_);
        EXPECT_NE(RegText(key_, "EstimatedSize"), "560");
        EXPECT_EQ(RegText(value_key_, "Path"), "<no value>") << "the value 2.0 no longer writes";
        EXPECT_EQ(RegText(value_key_, "Home"), target_);
        EXPECT_FALSE(Exists(links_ + "\\Gizmo Readme.lnk")) << "the shortcut 2.0 no longer makes";
        EXPECT_TRUE(Exists(links_ + "\\Gizmo News.lnk"));
        EXPECT_EQ(qptest::ReadBytes(info_ + "\\setup.lst"), qptest::ReadBytes(kit2 + "\\setup.lst"));
        EXPECT_NE(Read(info_ + "\\written.lst").find(target_ + "\\news.txt"), std::string::npos);
        EXPECT_EQ(Read(info_ + "\\written.lst").find("manual.txt"), std::string::npos);
    }

    void InstallVersionOne() {
        const std::string kit1 = Kit("1.0", "kit1");
        ASSERT_EQ(Silent(kit1), 0u) << Log();
        ASSERT_EQ(Read(target_ + "\\docs\\manual.txt"), "manual 1.0\r\n");
        ASSERT_TRUE(Exists(links_ + "\\Gizmo Readme.lnk"));
        ASSERT_EQ(RegText(key_, "DisplayVersion"), "1.0");
        ASSERT_EQ(RegText(key_, "InstallLocation"), target_);
        qptest::WriteText(target_ + "\\user.txt", "the user's own");
        RemoveTree(kit1);  // a download folder that is gone
        ASSERT_FALSE(Exists(kit1));
    }

    // After a quiet removal: nothing of either version, the user's file where it was.
    void RemoveAndExpectNothingLeft() {
        const std::string quiet = RegText(key_, "QuietUninstallString");
        ASSERT_EQ(Process(quiet + " -log \"" + log_ + "\"").Wait(60000), 0u) << Log();
        for (int i = 0; i < 100 && Exists(info_); ++i) Sleep(100);
        for (const char* f : {"\\app.txt", "\\news.txt", "\\docs\\manual.txt", "\\Help\\help.txt", "\\Help"})
            EXPECT_FALSE(Exists(target_ + f)) << f;
        EXPECT_FALSE(Exists(links_)) << "the program folder of the shortcuts";
        EXPECT_FALSE(KeyExists(key_));
        EXPECT_EQ(RegText(value_key_, "Home"), "<no value>");
        EXPECT_EQ(RegText(value_key_, "Path"), "<no value>");
        EXPECT_FALSE(Exists(info_));
        EXPECT_EQ(Read(target_ + "\\user.txt"), "the user's own");
    }

    qptest::TempDir dir_;
    std::string guid_, product_, target_, info_, key_, value_key_, links_;
    std::string log_ = dir_.Str() + "\\run.log";
};

}  // namespace

TEST_F(UpgradeE2E, UnattendedUpgradeThenAnOlderKitIsRefusedThenNothingIsLeft) {
    ASSERT_NO_FATAL_FAILURE(InstallVersionOne());
    const std::string kit2 = Kit("2.0", "kit2");
    ASSERT_EQ(Silent(kit2), 0u) << Log();
    ExpectVersionTwo(kit2);
    const auto record = Read(info_ + "\\written.lst");

    const std::string kit09 = Kit("0.9", "kit09");
    EXPECT_EQ(Silent(kit09), static_cast<DWORD>(qp::setup::kExitOtherVersion)) << Log();
    EXPECT_NE(Log().find("cannot replace it"), std::string::npos) << Log();
    ExpectVersionTwo(kit2);  // changed nothing
    EXPECT_EQ(Read(info_ + "\\written.lst"), record);

    RemoveAndExpectNothingLeft();
}

TEST_F(UpgradeE2E, UpgradeThroughTheWizard) {
    ASSERT_NO_FATAL_FAILURE(InstallVersionOne());
    const std::string kit2 = Kit("2.0", "kit2");
    Process p("\"" + kit2 + "\\setup.exe\"", kit2);
    ASSERT_NO_FATAL_FAILURE(WalkUpgradeWizard(p, "up"));
    ExpectVersionTwo(kit2);

    // The older kit in the wizard: it says so and ends.
    const std::string kit09 = Kit("0.9", "kit09");
    Process old("\"" + kit09 + "\\setup.exe\"", kit09);
    HWND box = nullptr;
    for (int i = 0; i < 400 && !box; ++i, Sleep(50)) {
        HWND w = FindTop(old.Id(), "#32770", "");
        if (w && GetDlgItem(w, IDOK) && !GetDlgItem(w, 1003)) box = w;
    }
    ASSERT_TRUE(box);
    EXPECT_EQ(BoxText(box).find(product_ + " 2.0 is already installed. This setup holds the older version 0.9"), 0u)
        << BoxText(box);
    Screenshot("up-older-refused");
    Press(box, IDOK);
    EXPECT_EQ(old.Wait(30000), static_cast<DWORD>(qp::setup::kExitOtherVersion));
    ExpectVersionTwo(kit2);

    RemoveAndExpectNothingLeft();
}

// A group that never overwrites, and a file of the user's already at its target: the install
// keeps it, and so does the removal.
TEST_F(UpgradeE2E, NeverOverwriteFileThatWasThereSurvivesRemoval) {
    ASSERT_TRUE(InstallOverTheUsersHelp()) << Log();
    EXPECT_NE(Log().find("Unnecessary overwrite " + target_ + "\\Help\\help.txt"), std::string::npos) << Log();

    const std::string quiet = RegText(key_, "QuietUninstallString");
    ASSERT_EQ(Process(quiet + " -log \"" + log_ + "\"").Wait(60000), 0u) << Log();
    EXPECT_EQ(Read(target_ + "\\Help\\help.txt"), "the user's help");
    EXPECT_NE(Log().find("Kept " + target_ + "\\Help\\help.txt"), std::string::npos) << Log();
    EXPECT_FALSE(Exists(target_ + "\\app.txt"));
    EXPECT_FALSE(KeyExists(key_));
}

// The log's path is taken by a folder: the run fails, undoes its files and registers nothing.
TEST_F(UpgradeE2E, InstallWhoseLogCannotBeWrittenFailsAndRegistersNothing) {
    const std::string kit = Kit("1.0", "kit");
    std::filesystem::create_directories(std::filesystem::path(info_ + "\\uninst.lst"));
    const DWORD rc = Silent(kit);
    EXPECT_EQ(rc, static_cast<DWORD>(qp::setup::kExitFailed)) << Log();
    EXPECT_NE(Log().find("Instalation LOG file error!"), std::string::npos) << Log();
    EXPECT_FALSE(KeyExists(key_));
    EXPECT_FALSE(Exists(target_ + "\\app.txt"));
    EXPECT_FALSE(Exists(links_ + "\\Gizmo Readme.lnk"));
    EXPECT_EQ(RegText(value_key_, "Path"), "<no key>");
    EXPECT_FALSE(Exists(info_ + "\\setup.exe"));
    EXPECT_FALSE(Exists(info_ + "\\written.lst"));
}

// A registered product whose log is gone: the quiet uninstaller removes what its setup list
// installs, by the record, instead of stopping at the log.
TEST_F(UpgradeE2E, ProductWhoseLogIsLostCanStillBeRemoved) {
    ASSERT_TRUE(InstallOverTheUsersHelp()) << Log();
    ASSERT_TRUE(DeleteFileA((info_ + "\\uninst.lst").c_str()));

    const std::string quiet = RegText(key_, "QuietUninstallString");
    ASSERT_EQ(Process(quiet + " -log \"" + log_ + "\"").Wait(60000), 0u) << Log();
    for (int i = 0; i < 100 && Exists(info_); ++i) Sleep(100);
    EXPECT_NE(Log().find("UnInstalation LOG file error!"), std::string::npos) << Log();
    EXPECT_FALSE(Exists(target_ + "\\app.txt"));
    EXPECT_FALSE(Exists(target_ + "\\docs"));
    EXPECT_FALSE(Exists(links_));
    EXPECT_FALSE(KeyExists(key_));
    EXPECT_FALSE(Exists(info_));
    EXPECT_EQ(Read(target_ + "\\Help\\help.txt"), "the user's help") << "the record still rules";
}

// A product installed before there were records: the upgrade goes by the earlier setup list,
// and from then on the product has a record.
TEST_F(UpgradeE2E, UpgradeOfAProductWithoutARecordGoesByTheEarlierList) {
    ASSERT_NO_FATAL_FAILURE(InstallVersionOne());
    ASSERT_TRUE(DeleteFileA((info_ + "\\written.lst").c_str()));
    const std::string kit2 = Kit("2.0", "kit2");
    ASSERT_EQ(Silent(kit2), 0u) << Log();
    ExpectVersionTwo(kit2);
    // help.txt came with 1.0 and was written again: the product's, as always.
    EXPECT_NE(Read(info_ + "\\written.lst").find(target_ + "\\Help\\help.txt"), std::string::npos);
    RemoveAndExpectNothingLeft();
}

// The same version run again from a kit of its own: the kit's archive, not the stored folder,
// which is gone.
TEST_F(UpgradeE2E, SameVersionFromAnotherKitRepairsFromThatKit) {
    ASSERT_NO_FATAL_FAILURE(InstallVersionOne());
    DeleteFileA((target_ + "\\app.txt").c_str());
    const std::string again = Kit("1.0", "again");
    ASSERT_EQ(Silent(again, " -r x"), 0u) << Log();
    EXPECT_EQ(Read(target_ + "\\app.txt"), "app 1.0\r\n");
    EXPECT_EQ(RegistrationsNamed(product_), 1);
    EXPECT_EQ(RegText(key_, "DisplayVersion"), "1.0");
}

namespace {

std::uint64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a)) return 0;
    return (std::uint64_t(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

// The program file of the process that owns a window.
std::string ProgramOf(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!h) return std::string();
    char path[MAX_PATH] = {};
    DWORD n = MAX_PATH;
    const bool ok = QueryFullProcessImageNameA(h, 0, path, &n) != 0;
    CloseHandle(h);
    return ok ? std::string(path, n) : std::string();
}

}  // namespace

// 1.0 and 2.0 each as one program: 2.0 replaces 1.0 in place, unattended and through the wizard,
// while the 1.0 program is long gone. The private copy and the information folder hold the
// runtime alone, never the payload.
TEST_F(UpgradeE2E, OneFileKitUpgradesOneFileKit) {
    const std::uint64_t runtime = FileSize(QP_SETUP_EXE);
    for (const bool wizard : {false, true}) {
        SCOPED_TRACE(wizard ? "through the wizard" : "unattended");
        const std::string kit1 = OneFileKit("1.0", wizard ? "w1" : "s1");
        ASSERT_EQ(SilentProgram(kit1), 0u) << Log();
        ASSERT_EQ(Read(target_ + "\\docs\\manual.txt"), "manual 1.0\r\n");
        ASSERT_EQ(RegText(key_, "MediaPath"), kit1);
        EXPECT_EQ(FileSize(info_ + "\\setup.exe"), runtime) << "the information folder holds the plain runtime";
        qptest::WriteText(target_ + "\\user.txt", "the user's own");
        ASSERT_TRUE(DeleteFileA(kit1.c_str()));  // the download is gone

        const std::string name2 = wizard ? "w2" : "s2";
        const std::string kit2 = OneFileKit("2.0", name2);
        ASSERT_GT(FileSize(kit2), runtime);
        if (!wizard) {
            ASSERT_EQ(SilentProgram(kit2), 0u) << Log();
        } else {
            Process p("\"" + kit2 + "\"", dir_.Str());
            // The program that shows the first window is the private copy, written whole by then.
            HWND lang = WaitTop(p.Id(), "#32770", "Select Language");
            ASSERT_TRUE(lang);
            const std::string copy = ProgramOf(lang);
            EXPECT_NE(copy.find("\\qp-run-"), std::string::npos) << copy;
            EXPECT_EQ(FileSize(copy), runtime) << "the private copy carries the payload";
            ASSERT_NO_FATAL_FAILURE(WalkUpgradeWizard(p, "up-onefile"));
        }
        ExpectVersionTwo(dir_.Str() + "\\" + name2, kit2);
        EXPECT_EQ(FileSize(info_ + "\\setup.exe"), runtime);
        RemoveAndExpectNothingLeft();
        DeleteFileA((target_ + "\\user.txt").c_str());
        RemoveTree(target_);
    }
}

