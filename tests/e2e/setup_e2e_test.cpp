// setup.exe from start to exit under Wine: a normal run driven through every page, the
// registered uninstaller, unattended runs, a modify run, and kits that are broken.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>

#include "support/gui_driver.h"
#include "e2e/kit_builder.h"
#include "setup/engine/driver.h"
#include "setup/engine/win/filerules_win.h"
#include "support/example.h"
#include "support/testutil.h"
#include "wizard/unmanaged_windows.h"

using namespace qpe2e;

static const int g_unmanaged = qptest::RunWithUnmanagedWindows();

namespace {

std::string UninstallKey() { return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + SampleGuid(); }

std::string ProgramFiles() {
    char buf[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, buf);
    return buf;
}
std::string Target() { return ProgramFiles() + "\\" + kCompany + "\\" + kProduct; }
std::string InfoFolder() { return ProgramFiles() + "\\QPBInformation\\" + SampleGuid(); }
std::string CommonPrograms() {
    char buf[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, buf);
    return buf;
}
std::string LinkPath() { return CommonPrograms() + "\\Gizmo\\Gizmo Readme.lnk"; }

// Where the example product says it went: its own value under HKEY_CURRENT_USER.
bool ExampleInstallDir(std::string& dir) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Notepadish", 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    char buf[MAX_PATH] = {};
    DWORD size = sizeof(buf) - 1;
    const LONG rc = RegQueryValueExA(k, "InstallDir", nullptr, nullptr, (BYTE*)buf, &size);
    RegCloseKey(k);
    dir = buf;
    return rc == ERROR_SUCCESS;
}

bool KeyExists(const std::string& key) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

// Closes the folder window the setup opens after a first installation, once it is there.
void CloseExplorerWindows() { CloseShownFolderWindows(); }

// Waits for every trace of the product to be gone (the uninstaller's copy goes last, removed
// by its short-lived helper).
bool NothingLeft(std::string& what) {
    for (int i = 0; i < 100; ++i) {
        what.clear();
        if (Exists(Target() + "\\app.txt")) what += " app.txt";
        if (Exists(Target() + "\\Help\\help.txt")) what += " help.txt";
        if (Exists(LinkPath())) what += " shortcut";
        if (KeyExists(UninstallKey())) what += " uninstall-key";
        if (Found(RegText("SOFTWARE\\E2E Vendor\\Gizmo", "Path")))
            what += " registry-value";
        if (Exists(InfoFolder())) what += " info-folder";
        if (what.empty()) return true;
        Sleep(100);
    }
    return false;
}

HWND AnswerLanguage(DWORD pid, const std::string& shot = "") {
    HWND lang = WaitTop(pid, "#32770", "Select Language");
    if (lang && !shot.empty()) Screenshot(shot);
    if (lang) Press(lang, IDOK);
    return lang;
}

class SetupE2E : public ::testing::Test {
protected:
    void SetUp() override {
        NewSampleGuid();
        kit_ = dir_.Str() + "\\kit";
        CreateDirectoryA(kit_.c_str(), nullptr);
    }
    // Whatever the test's outcome, the sample product goes: its quiet uninstaller when it is
    // still registered, then whatever of its folders, links and value is left.
    void TearDown() override {
        if (KeyExists(UninstallKey())) {
            const std::string quiet = RegText(UninstallKey(), "QuietUninstallString");
            if (quiet.rfind("<no", 0) != 0) Process(quiet).Wait(60000);
            WaitFor([] { return !Exists(InfoFolder()); }, 20000);
        }
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKey().c_str());
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\E2E Vendor\\Gizmo");
        for (const std::string& folder : {Target(), InfoFolder(), CommonPrograms() + "\\Gizmo"}) qptest::RemoveTree(folder);
    }
    std::string Setup() const { return "\"" + kit_ + "\\setup.exe\""; }
    qptest::TempDir dir_;
    std::string kit_;
};

}  // namespace

TEST_F(SetupE2E, NormalRunThroughEveryPageThenUninstall) {
    WriteKit(kit_, SampleList());
    CopyFileA(QP_ART_DIR "\\side.bmp", (kit_ + "\\setup.bmp").c_str(), FALSE);
    Process p(Setup(), kit_);
    ASSERT_TRUE(p.Started());
    ASSERT_TRUE(WaitTop(p.Id(), "#32770", "Select Language"));
    EXPECT_TRUE(FindTop(p.Id(), "CALDS", "Setup")) << "splash of setup.bmp";
    ASSERT_TRUE(AnswerLanguage(p.Id(), "00-language"));

    HWND page = WaitPage(p.Id(), "Welcome to the Quillpacker Wizard for Gizmo");
    ASSERT_TRUE(page);
    EXPECT_TRUE(FindTop(p.Id(), "Setup", "Gizmo Setup")) << "background window";
    EXPECT_FALSE(FindTop(p.Id(), "CALDS", "Setup")) << "the splash goes with the background";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1004))) << "Back on the first page";
    Screenshot("01-welcome");
    // Cancel asks first; No keeps the page.
    Press(page, 2);
    HWND confirm = WaitTop(p.Id(), "#32770", "Quillpack");
    ASSERT_TRUE(confirm);
    EXPECT_EQ(BoxText(confirm), "Abort Setup?");
    Screenshot("01-cancel-question");
    Press(confirm, IDNO);
    EXPECT_TRUE(WaitGone(confirm));
    // The About box from the background window's system menu.
    HWND background = FindTop(p.Id(), "Setup", "Gizmo Setup");
    ASSERT_TRUE(background);
    SendNotifyMessageA(background, WM_SYSCOMMAND, 104, 0);
    HWND about = WaitTop(p.Id(), "#32770", "About");
    if (!about) {
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            char cls[64] = {};
            GetClassNameA(w, cls, 64);
            if (pid == p.Id()) printf("window %s '%s' visible=%d\n", cls, Text(w).c_str(), IsWindowVisible(w));
        }
    }
    ASSERT_TRUE(about);
    Screenshot("01-about");
    Press(about, IDOK);
    EXPECT_TRUE(WaitGone(about));
    Press(page, 1003);

    page = WaitPage(p.Id(), "License Agreement");
    ASSERT_TRUE(page);
    // Closing the background window on an earlier page asks first.
    SendNotifyMessageA(FindTop(p.Id(), "Setup", "Gizmo Setup"), WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND close_box = WaitTop(p.Id(), "#32770", "Quillpack");
    ASSERT_TRUE(close_box);
    Press(close_box, IDNO);
    EXPECT_TRUE(WaitGone(close_box));
    EXPECT_TRUE(IsWindow(page));
    EXPECT_NE(ItemText(page, 1007).find("GIZMO LICENCE"), std::string::npos);
    EXPECT_EQ(ItemText(page, 1003), "Yes");
    Screenshot("02-license");
    Press(page, 1003);

    page = WaitPage(p.Id(), "Information");
    ASSERT_TRUE(page);
    EXPECT_NE(ItemText(page, 1031).find("Read me first."), std::string::npos);
    Screenshot("03-readme");
    Press(page, 1003);

    page = WaitPage(p.Id(), "Customer Information");
    ASSERT_TRUE(page);
    SetDlgItemTextA(page, 1006, "Tess Tester");
    Screenshot("04-userinfo");
    Press(page, 1003);

    page = WaitPage(p.Id(), "Choose Destination Location");
    ASSERT_TRUE(page);
    EXPECT_EQ(ItemText(page, 1014), Target());
    Screenshot("05-destination");
    Press(page, 1003);

    page = WaitPage(p.Id(), "Setup Type");
    ASSERT_TRUE(page);
    HWND types = GetDlgItem(page, 1020);
    EXPECT_EQ(SendMessageA(types, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(ItemText(page, 1021), "Everything.");
    SendMessageA(types, LB_SETCURSEL, 1, 0);
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(1020, LBN_SELCHANGE), (LPARAM)types);
    EXPECT_TRUE(WaitFor([&] { return ItemText(page, 1021) == "Choose what to install."; }, 10000)) << ItemText(page, 1021);
    Screenshot("06-setuptype");
    Press(page, 1003);

    page = WaitPage(p.Id(), "Select Components");
    ASSERT_TRUE(page);
    HWND tree = GetDlgItem(page, 1023);
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 2);
    const std::string before = ItemText(page, 1027);
    EXPECT_NE(before.find("Required: C: 3 k"), std::string::npos) << before;
    EXPECT_NE(ItemText(page, 1028).find(" K"), std::string::npos);
    // Clear "Help": focus it and press the blank.
    HTREEITEM first = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    HTREEITEM second = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)first);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)second);
    EXPECT_TRUE(WaitFor([&] { return ItemText(page, 1022) == "Help texts."; }, 10000)) << ItemText(page, 1022);
    SendMessageA(tree, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(WaitFor([&] { return ItemText(page, 1027).find("Required: C: 2 k") != std::string::npos; }, 10000))
        << ItemText(page, 1027);
    Screenshot("07-components");
    Press(page, 1003);

    page = WaitPage(p.Id(), "Select Program Folder");
    ASSERT_TRUE(page);
    EXPECT_EQ(ItemText(page, 1012), "Gizmo");
    Screenshot("08-folder");
    Press(page, 1003);

    page = WaitPage(p.Id(), "Start Copying Files");
    ASSERT_TRUE(page);
    EXPECT_EQ(ItemText(page, 1045),
              "Destination\r\n\t" + Target() + "\r\n\r\n Folder\r\n\tGizmo\r\n");
    Screenshot("09-confirm");
    Press(page, 1003);

    page = WaitPage(p.Id(), "Installation Report", 60000);
    ASSERT_TRUE(page);
    EXPECT_NE(ItemText(page, 1026).find("app.txt"), std::string::npos) << ItemText(page, 1026);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 2)));
    // Closing the background window is ignored once the work is done.
    HWND done_background = FindTop(p.Id(), "Setup", "Gizmo Setup");
    SendNotifyMessageA(done_background, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(Sync(done_background));  // handled: a question would be up by now
    EXPECT_FALSE(FindTop(p.Id(), "#32770", "Quillpack"));
    EXPECT_TRUE(IsWindow(page));
    Screenshot("11-report");
    Press(page, 1003);

    page = WaitPage(p.Id(), "Quillpacker Wizard Complete");
    ASSERT_TRUE(page);
    EXPECT_EQ(ItemText(page, 1003), "Finish");
    Screenshot("13-complete");
    Press(page, 1003);
    EXPECT_EQ(p.Wait(30000), 0u);
    CloseExplorerWindows();

    EXPECT_EQ(qptest::ReadText(Target() + "\\app.txt"), "Gizmo application\r\n");
    EXPECT_TRUE(Exists(Target() + "\\docs\\manual.txt"));
    EXPECT_FALSE(Exists(Target() + "\\Help\\help.txt")) << "Help was cleared";
    EXPECT_EQ(RegText("SOFTWARE\\E2E Vendor\\Gizmo", "Path"), Target());
    EXPECT_TRUE(Exists(LinkPath()));
    EXPECT_TRUE(Exists(InfoFolder() + "\\uninst.lst"));
    EXPECT_TRUE(Exists(InfoFolder() + "\\setup.exe"));
    const std::string uninstall = RegText(UninstallKey(), "UninstallString");
    EXPECT_NE(uninstall.find("-u"), std::string::npos) << uninstall;
    EXPECT_NE(RegText(UninstallKey(), "QuietUninstallString").find(" -s -u "), std::string::npos);

    // The registered uninstaller, driven through the remove pages.
    Process u(uninstall);
    ASSERT_TRUE(u.Started()) << uninstall;
    ASSERT_TRUE(AnswerLanguage(u.Id()));
    HWND box = WaitTop(u.Id(), "#32770", "Uninstall");
    ASSERT_TRUE(box);
    EXPECT_EQ(BoxText(box), "Remove Gizmo and all of its parts?");
    Press(box, IDYES);
    page = WaitPage(u.Id(), "Installation Report", 60000);
    ASSERT_TRUE(page);
    Screenshot("18-11-remove-report");
    Press(page, 1003);
    EXPECT_EQ(u.Wait(30000), 0u);
    std::string left;
    EXPECT_TRUE(NothingLeft(left)) << left;
}

namespace {

std::string RunLogText(const std::string& path) {
    return Exists(path) ? qptest::ReadText(path) : std::string("<no log>");
}

}  // namespace

TEST_F(SetupE2E, UnattendedInstallThenQuietUninstall) {
    WriteKit(kit_, SampleList());
    const std::string log = dir_.Str() + "\\run.log";
    Process p(Setup() + " -s -log \"" + log + "\"", kit_);
    ASSERT_EQ(p.Wait(60000), 0u) << RunLogText(log);
    EXPECT_TRUE(Exists(Target() + "\\app.txt"));
    EXPECT_TRUE(Exists(Target() + "\\Help\\help.txt")) << "the first setup type has Help";
    EXPECT_TRUE(Exists(LinkPath()));
    EXPECT_NE(RunLogText(log).find("app.txt"), std::string::npos);

    const std::string quiet = RegText(UninstallKey(), "QuietUninstallString");
    Process u(quiet + " -log \"" + log + "\"");
    ASSERT_TRUE(u.Started()) << quiet;
    EXPECT_EQ(u.Wait(60000), 0u) << RunLogText(log);
    std::string left;
    EXPECT_TRUE(NothingLeft(left)) << left;
}

TEST_F(SetupE2E, ModifyRunRemovesOneComponentAndKeepsTheOthers) {
    WriteKit(kit_, SampleList());
    ASSERT_EQ(Process(Setup() + " -s", kit_).Wait(60000), 0u);
    ASSERT_TRUE(Exists(Target() + "\\Help\\help.txt"));

    Process m(Setup() + " -a x", kit_);
    ASSERT_TRUE(WaitTop(m.Id(), "#32770", "Select Language"));
    EXPECT_FALSE(FindTop(m.Id(), "CALDS", "")) << "no setup.bmp, no splash";
    ASSERT_TRUE(AnswerLanguage(m.Id()));
    HWND page = WaitPage(m.Id(), "Maintenance");
    ASSERT_TRUE(page);
    EXPECT_FALSE(FindTop(m.Id(), "Setup", "Gizmo Setup")) << "no background in maintenance";
    EXPECT_EQ(IsDlgButtonChecked(page, 1028), BST_CHECKED);
    Screenshot("17-maintenance");
    Press(page, 1003);
    page = WaitPage(m.Id(), "Select Components");
    ASSERT_TRUE(page);
    HWND tree = GetDlgItem(page, 1023);
    HTREEITEM first = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    HTREEITEM second = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)first);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)second);
    SendMessageA(tree, WM_KEYDOWN, VK_SPACE, 0);
    Sync(page);
    Press(page, 1003);
    page = WaitPage(m.Id(), "Installation Report", 60000);
    ASSERT_TRUE(page);
    EXPECT_NE(ItemText(page, 1026).find("help.txt"), std::string::npos) << ItemText(page, 1026);
    Press(page, 1003);
    EXPECT_EQ(m.Wait(30000), 0u);
    EXPECT_FALSE(Exists(Target() + "\\Help\\help.txt"));
    EXPECT_TRUE(Exists(Target() + "\\app.txt"));
    EXPECT_TRUE(Exists(LinkPath()));
    EXPECT_TRUE(KeyExists(UninstallKey()));

    ASSERT_EQ(Process(Setup() + " -s -u x", kit_).Wait(60000), 0u);
    std::string left;
    EXPECT_TRUE(NothingLeft(left)) << left;
}

TEST_F(SetupE2E, LockedFileLeadsToTheRestartPageAndStatus3010) {
    qp::SetupList list = SampleList();
    list.settings.set_page_mask(0xFFFFFE00u);  // no page up to 9: the run starts installing
    list.groups[0].restart_if_locked = 1;
    WriteKit(kit_, list);
    CreateDirectoryA((ProgramFiles() + "\\" + kCompany).c_str(), nullptr);
    CreateDirectoryA(Target().c_str(), nullptr);
    qptest::WriteText(Target() + "\\app.txt", "old");
    HANDLE lock = CreateFileA((Target() + "\\app.txt").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    Process p(Setup(), kit_);
    ASSERT_TRUE(AnswerLanguage(p.Id()));
    HWND page = WaitPage(p.Id(), "Installation Report", 60000);
    ASSERT_TRUE(page);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1004)));
    Press(page, 1003);
    HWND restart = nullptr;
    for (int i = 0; i < 200 && !restart; ++i, Sleep(50)) {
        HWND w = FindTop(p.Id(), "#32770", "Setup");
        if (w && GetDlgItem(w, 1017)) restart = w;
    }
    ASSERT_TRUE(restart) << "page 12";
    EXPECT_EQ(IsDlgButtonChecked(restart, 1017), BST_CHECKED);
    Screenshot("12-restart");
    // Restart later: the machine running the tests must keep running.
    SendMessageA(GetDlgItem(restart, 1017), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(GetDlgItem(restart, 1018), BM_SETCHECK, BST_CHECKED, 0);
    Press(restart, 1003);
    EXPECT_EQ(p.Wait(30000), 3010u);
    CloseHandle(lock);
    CloseExplorerWindows();
    ASSERT_EQ(Process(Setup() + " -s -u x", kit_).Wait(60000), 0u);
}

TEST_F(SetupE2E, BrokenKitsStopWithTheirMessages) {
    const std::string log = dir_.Str() + "\\bad.log";
    // No setup list at all: the message, in a normal run.
    WriteKit(kit_, SampleList());
    DeleteFileA((kit_ + "\\setup.lst").c_str());
    {
        Process p(Setup(), kit_);
        HWND box = WaitTop(p.Id(), "#32770", "Fatal Error !");
        ASSERT_TRUE(box);
        EXPECT_EQ(BoxText(box), kit_ + "\\setup.lst Instalation file error!");
        Screenshot("bad-missing-list");
        Press(box, IDOK);
        EXPECT_EQ(p.Wait(20000), static_cast<DWORD>(qp::setup::kExitStartFailed));
    }
    // A foreign file.
    qptest::WriteText(kit_ + "\\setup.lst", "This is not a setup list at all, not even close.");
    {
        Process p(Setup(), kit_);
        HWND box = WaitTop(p.Id(), "#32770", "Fatal Error !");
        ASSERT_TRUE(box);
        EXPECT_EQ(BoxText(box), "Unknow file format");
        Press(box, IDOK);
        EXPECT_EQ(p.Wait(20000), static_cast<DWORD>(qp::setup::kExitStartFailed));
    }
    // A truncated one, unattended: status and log line, no window.
    std::vector<std::uint8_t> bytes = qp::WriteSetupList(SampleList());
    bytes.resize(bytes.size() / 2);
    qptest::WriteBytes(kit_ + "\\setup.lst", bytes);
    EXPECT_EQ(Process(Setup() + " -s -log \"" + log + "\"", kit_).Wait(20000),
              static_cast<DWORD>(qp::setup::kExitStartFailed));
    EXPECT_NE(RunLogText(log).find("Bad Instalation file"), std::string::npos) << RunLogText(log);

    // No archive: an unattended run does not search, cancels and leaves nothing.
    WriteKit(kit_, SampleList());
    DeleteFileA((kit_ + "\\setup.cab").c_str());
    EXPECT_EQ(Process(Setup() + " -s -log \"" + log + "\"", kit_).Wait(30000),
              static_cast<DWORD>(qp::setup::kExitCancelled));
    EXPECT_NE(RunLogText(log).find("Not Found"), std::string::npos) << RunLogText(log);
    std::string left;
    EXPECT_TRUE(NothingLeft(left)) << left;

    // No archive in a normal run: the message, then the folder prompt; cancelling it aborts.
    {
        qp::SetupList quick = SampleList();
        quick.settings.set_page_mask(0);
        qp::SaveSetupList(quick, kit_ + "\\setup.lst");
        Process p(Setup(), kit_);
        ASSERT_TRUE(AnswerLanguage(p.Id()));
        HWND box = WaitTop(p.Id(), "#32770", "Error");
        ASSERT_TRUE(box);
        EXPECT_EQ(BoxText(box), kit_ + "\\setup.cab Not Found ");
        Press(box, IDOK);
        HWND browser = nullptr;
        for (int i = 0; i < 200 && !browser; ++i, Sleep(50)) {
            HWND w = FindTop(p.Id(), "#32770", "");
            if (w && !GetDlgItem(w, 1003) && w != box && IsWindow(w)) browser = w;
        }
        ASSERT_TRUE(browser) << "kit path prompt";
        Screenshot("bad-kit-path-prompt");
        EXPECT_NE(BoxText(browser).find("Select kit path"), std::string::npos);
        Press(browser, IDCANCEL);
        EXPECT_EQ(p.Wait(30000), static_cast<DWORD>(qp::setup::kExitCancelled));
        EXPECT_TRUE(NothingLeft(left)) << left;
    }

    // A damaged member: the run completes but says that a file could not be copied.
    WriteKit(kit_, SampleList());
    std::vector<std::uint8_t> cab = qptest::ReadBytes(kit_ + "\\setup.cab");
    const std::string name = "Program Files/app.txt";
    auto at = std::search(cab.begin(), cab.end(), name.begin(), name.end());
    ASSERT_NE(at, cab.end());
    for (auto it = at + name.size(); it < at + name.size() + 8 && it < cab.end(); ++it) *it ^= 0x5A;
    qptest::WriteBytes(kit_ + "\\setup.cab", cab);
    EXPECT_EQ(Process(Setup() + " -s -log \"" + log + "\"", kit_).Wait(30000),
              static_cast<DWORD>(qp::setup::kExitFilesFailed));
    EXPECT_NE(RunLogText(log).find("CANT COPY"), std::string::npos) << RunLogText(log);
    EXPECT_FALSE(Exists(Target() + "\\app.txt"));
    ASSERT_EQ(Process(Setup() + " -s -u x", kit_).Wait(60000), 0u);
}

TEST_F(SetupE2E, LockedFileWithoutRestartFlagAbortsAndCleansUp) {
    qp::SetupList list = SampleList();
    list.settings.set_page_mask(0);  // straight to the install page
    list.groups[0].file_tree.children.push_back(list.groups[0].file_tree.children[0]);
    list.groups[0].file_tree.children.back().name = "C:\\src\\manual.txt";  // a second top file
    WriteKit(kit_, list);
    // The kit's archive needs the extra member.
    {
        std::string dir = ProgramFiles() + "\\" + kCompany;
        CreateDirectoryA(dir.c_str(), nullptr);
        CreateDirectoryA(Target().c_str(), nullptr);
    }
    qptest::WriteText(Target() + "\\manual.txt", "old");
    HANDLE lock = CreateFileA((Target() + "\\manual.txt").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    // Interactive: the question over the install page; Abort ends the run and undoes it.
    {
        Process p(Setup(), kit_);
        ASSERT_TRUE(AnswerLanguage(p.Id()));
        HWND box = nullptr;
        for (int i = 0; i < 400 && !box; ++i, Sleep(50)) {
            box = FindTop(p.Id(), "#32770", "");
            if (box && GetDlgItem(box, IDABORT) == nullptr) box = nullptr;
        }
        ASSERT_TRUE(box) << "Abort/Retry/Ignore";
        Screenshot("10-installing-locked");
        Press(box, IDABORT);
        EXPECT_EQ(p.Wait(30000), static_cast<DWORD>(qp::setup::kExitCancelled));
    }
    std::string left;
    EXPECT_TRUE(NothingLeft(left)) << left;

    // Unattended: the safe answer is the same.
    const std::string log = dir_.Str() + "\\locked.log";
    EXPECT_EQ(Process(Setup() + " -s -log \"" + log + "\"", kit_).Wait(30000),
              static_cast<DWORD>(qp::setup::kExitCancelled));
    EXPECT_TRUE(NothingLeft(left)) << left;
    CloseHandle(lock);
    EXPECT_EQ(qptest::ReadText(Target() + "\\manual.txt"), "old");
    DeleteFileA((Target() + "\\manual.txt").c_str());
}

namespace {

// The system's use count of a shared file; -1 when it has none.
long long SharedCount(const std::string& path) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, qp::kSharedDllsKey, 0, KEY_READ, &k) != ERROR_SUCCESS) return -1;
    DWORD value = 0, size = sizeof value, type = 0;
    LONG rc = RegQueryValueExA(k, path.c_str(), nullptr, &type, (BYTE*)&value, &size);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS && type == REG_DWORD ? (long long)value : -1;
}

}  // namespace

// Groups keep the default of new groups, shared: the product's own files go with their counts,
// a file the user had before stays as it was.
TEST_F(SetupE2E, SharedGroupsAreCountedAndRemovedWithTheProduct) {
    qp::SetupList list = SampleList();
    for (auto& g : list.groups) g.shared = 1;
    list.groups[1].overwrite_word = 0x002;  // Help: never replace a file that is there
    WriteKit(kit_, list);
    const std::string help = Target() + "\\Help\\help.txt";
    CreateDirectoryA((ProgramFiles() + "\\" + kCompany).c_str(), nullptr);
    CreateDirectoryA(Target().c_str(), nullptr);
    CreateDirectoryA((Target() + "\\Help").c_str(), nullptr);
    qptest::WriteText(help, "the user's own help");

    const std::string log = dir_.Str() + "\\shared.log";
    ASSERT_EQ(Process(Setup() + " -s -log \"" + log + "\"", kit_).Wait(60000), 0u) << RunLogText(log);
    EXPECT_EQ(SharedCount(Target() + "\\app.txt"), 1);
    EXPECT_EQ(SharedCount(Target() + "\\docs\\manual.txt"), 1);
    EXPECT_EQ(SharedCount(help), 2);

    // A repair installs again but counts nothing twice.
    ASSERT_EQ(Process(Setup() + " -s -r x -log \"" + log + "\"", kit_).Wait(60000), 0u) << RunLogText(log);
    EXPECT_EQ(SharedCount(Target() + "\\app.txt"), 1);

    const std::string quiet = RegText(UninstallKey(), "QuietUninstallString");
    ASSERT_EQ(Process(quiet + " -log \"" + log + "\"").Wait(60000), 0u) << RunLogText(log);
    EXPECT_FALSE(Exists(Target() + "\\app.txt"));
    EXPECT_FALSE(Exists(Target() + "\\docs"));
    EXPECT_EQ(SharedCount(Target() + "\\app.txt"), -1);
    EXPECT_EQ(SharedCount(Target() + "\\docs\\manual.txt"), -1);
    EXPECT_EQ(qptest::ReadText(help), "the user's own help");
    EXPECT_EQ(SharedCount(help), 1) << "kept for good";
    EXPECT_NE(RunLogText(log).find("Shared file " + help), std::string::npos) << RunLogText(log);

    // The user's file was never the product's.
    DeleteFileA(help.c_str());
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, qp::kSharedDllsKey, 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
        RegDeleteValueA(k, help.c_str());
        RegCloseKey(k);
    }
    std::string left;
    EXPECT_TRUE(NothingLeft(left)) << left;
    RemoveDirectoryA((Target() + "\\Help").c_str());
    RemoveDirectoryA(Target().c_str());
    RemoveDirectoryA((ProgramFiles() + "\\" + kCompany).c_str());
}

// A setup list without a product GUID would register the product in the uninstall list's own
// key: the run does not start.
TEST_F(SetupE2E, KitWithoutProductGuidIsRefusedAtStart) {
    qp::SetupList list = SampleList();
    list.settings.set_product_guid("");
    WriteKit(kit_, list);
    const std::string log = dir_.Str() + "\\noguid.log";
    EXPECT_EQ(Process(Setup() + " -s -log \"" + log + "\"", kit_).Wait(60000),
              static_cast<DWORD>(qp::setup::kExitStartFailed));
    EXPECT_NE(RunLogText(log).find("Fatal Error !: Bad Instalation file"), std::string::npos) << RunLogText(log);
    const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    EXPECT_EQ(RegText(uninstall, "UninstallString"), "<no value>");
    EXPECT_FALSE(Exists(Target() + "\\app.txt"));
    EXPECT_FALSE(Exists(ProgramFiles() + "\\QPBInformation\\setup.exe"));
}

#ifdef QP_QPBC_EXE
// The example product's kit, built by qpbc, installed through whatever pages it shows (each
// page's default, Next), checked, and removed with its quiet uninstaller.
TEST_F(SetupE2E, ExampleKitFromQpbc) {
    const std::string root = dir_.Str() + "\\kits";
    const std::string project = qptest::CopyExample(QP_EXAMPLE_DIR, dir_.Path() / "example", "5E2E0E01");
    ASSERT_FALSE(project.empty());
    {
        Process b("\"" QP_QPBC_EXE "\" build \"" + project + "\" --name Notepadish --kit-root \"" + root +
                  "\" --runtime \"" QP_SETUP_EXE "\"");
        ASSERT_TRUE(b.Started());
        ASSERT_EQ(b.Wait(120000), 0u);
    }
    const std::string kit = root + "\\Notepadish";
    ASSERT_TRUE(Exists(kit + "\\setup.exe"));
    const qp::SetupList list = qp::LoadSetupList(kit + "\\setup.lst");
    const std::string guid = list.settings.product_guid();
    const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + guid;

    Process p("\"" + kit + "\\setup.exe\"", kit);
    ASSERT_TRUE(AnswerLanguage(p.Id(), "ex-00-language"));
    int shown = 0;
    PressNextToTheEnd(p, [&](HWND) { Screenshot("ex-" + std::to_string(++shown)); }, 30000);
    ASSERT_EQ(p.Wait(30000), 0u);
    CloseExplorerWindows();
    EXPECT_GE(shown, 4) << "pages pressed through";
    ASSERT_TRUE(KeyExists(key));
    std::string target;
    ASSERT_TRUE(ExampleInstallDir(target));
    EXPECT_TRUE(Exists(target + "\\notepadish.txt")) << target;

    const std::string quiet = RegText(key, "QuietUninstallString");
    EXPECT_EQ(Process(quiet).Wait(60000), 0u) << quiet;
    for (int i = 0; i < 100 && Exists(ProgramFiles() + "\\QPBInformation\\" + guid); ++i) Sleep(100);
    EXPECT_FALSE(KeyExists(key));
    // Shared or not, the product's files go: nothing else counted them.
    EXPECT_FALSE(Exists(target + "\\notepadish.txt"));
    EXPECT_FALSE(Exists(ProgramFiles() + "\\QPBInformation\\" + guid));
}
#endif

// Wine's folder browser has no edit box, so the "Create dir?" question for a typed folder cannot
// be reached here; what can: the browser opens on the target directory, Cancel changes nothing.
TEST_F(SetupE2E, BrowseStartsAtTheTargetAndCancelKeepsIt) {
    qp::SetupList list = SampleList();
    list.settings.set_page_mask(0x10);  // the destination page only
    WriteKit(kit_, list);
    Process p(Setup(), kit_);
    ASSERT_TRUE(AnswerLanguage(p.Id()));
    HWND page = WaitPage(p.Id(), "Choose Destination Location");
    ASSERT_TRUE(page);
    Press(page, 1011);
    HWND browser = nullptr;
    for (int i = 0; i < 200 && !browser; ++i, Sleep(50)) {
        HWND w = FindTop(p.Id(), "#32770", "");
        if (w && w != page && !GetDlgItem(w, 1003)) browser = w;
    }
    ASSERT_TRUE(browser);
    Sync(browser);  // the browser has finished its set-up, which writes the status line
    const std::string texts = BoxText(browser);
    EXPECT_NE(texts.find("Choose Folder"), std::string::npos) << texts;
    EXPECT_NE(texts.find(Target()), std::string::npos) << "status line: " << texts;
    Screenshot("05-browse");
    Press(browser, IDCANCEL);
    EXPECT_TRUE(WaitGone(browser));
    EXPECT_EQ(ItemText(page, 1014), Target());
    Press(page, 2);
    HWND confirm = WaitTop(p.Id(), "#32770", "Quillpack");
    ASSERT_TRUE(confirm);
    Press(confirm, IDYES);
    EXPECT_EQ(p.Wait(20000), static_cast<DWORD>(qp::setup::kExitCancelled));
}

#ifdef QP_QPBC_EXE
// qpbc --arch picks the runtime of the builder's layout (REDIS\setup.ex_ for x86,
// REDIS\x64\setup.ex_ for x64). This build's runtime, in the layout slot of its own
// architecture, installs into the native Program Files and registers under the native
// uninstall key; the quiet uninstaller removes it all.
TEST_F(SetupE2E, ArchPicksTheRuntimeOfTheBuildersLayout) {
#ifdef _WIN64
    const char* arch = "x64";
    const std::string slot = "\\REDIS\\x64";
#else
    const char* arch = "x86";
    const std::string slot = "\\REDIS";
#endif
    const std::string builder = dir_.Str() + "\\builder";
    CreateDirectoryA(builder.c_str(), nullptr);
    CreateDirectoryA((builder + "\\REDIS").c_str(), nullptr);
    CreateDirectoryA((builder + slot).c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(QP_QPBC_EXE, (builder + "\\qpbc.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(QP_SETUP_EXE, (builder + slot + "\\setup.ex_").c_str(), FALSE));
    const std::string root = dir_.Str() + "\\kits";
    {
        // The other architecture's slot is empty: asking for it is a failed build.
        Process b("\"" + builder + "\\qpbc.exe\" build \"" QP_EXAMPLE_QPK "\" --name Other --kit-root \"" + root +
                  "\" --arch " + (std::string(arch) == "x64" ? "x86" : "x64"));
        ASSERT_TRUE(b.Started());
        EXPECT_EQ(b.Wait(120000), 1u);
    }
    {
        Process b("\"" + builder + "\\qpbc.exe\" build \"" QP_EXAMPLE_QPK "\" --name Notepadish --kit-root \"" +
                  root + "\" --arch " + arch);
        ASSERT_TRUE(b.Started());
        ASSERT_EQ(b.Wait(120000), 0u);
    }
    const std::string kit = root + "\\Notepadish";
    const qp::SetupList list = qp::LoadSetupList(kit + "\\setup.lst");
    const std::string guid = list.settings.product_guid();
    const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + guid;
    ASSERT_EQ(Process("\"" + kit + "\\setup.exe\" -s", kit).Wait(60000), 0u);

    // The native view: on a 32-bit system the flag changes nothing.
    HKEY k;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &k), 0);
    RegCloseKey(k);
    std::string target;
    ASSERT_TRUE(ExampleInstallDir(target));
    EXPECT_EQ(target.rfind(ProgramFiles() + "\\", 0), 0u) << target << " is not under " << ProgramFiles();
    EXPECT_TRUE(Exists(target + "\\notepadish.txt")) << target;
    EXPECT_TRUE(Exists(ProgramFiles() + "\\QPBInformation\\" + guid + "\\setup.exe"));

    const std::string quiet = RegText(key, "QuietUninstallString");
    EXPECT_EQ(Process(quiet).Wait(60000), 0u) << quiet;
    for (int i = 0; i < 100 && Exists(ProgramFiles() + "\\QPBInformation\\" + guid); ++i) Sleep(100);
    EXPECT_FALSE(KeyExists(key));
    EXPECT_FALSE(Exists(ProgramFiles() + "\\QPBInformation\\" + guid));
    EXPECT_FALSE(Exists(target + "\\notepadish.txt"));
}
#endif
