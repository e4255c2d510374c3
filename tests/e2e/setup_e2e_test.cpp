// setup.exe from start to exit under Wine: a normal run driven through every page, the
// registered uninstaller, unattended runs, a modify run, and kits that are broken.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include "e2e/gui_driver.h"
#include "e2e/kit_builder.h"
#include "setup/engine/driver.h"
#include "support/testutil.h"

using namespace qpe2e;

namespace {

const std::string kUninstallKey =
    std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kGuid;

std::string ProgramFiles() {
    char buf[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, buf);
    return buf;
}
std::string Target() { return ProgramFiles() + "\\" + kCompany + "\\" + kProduct; }
std::string InfoFolder() { return ProgramFiles() + "\\QPBInformation\\" + kGuid; }
std::string CommonPrograms() {
    char buf[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, buf);
    return buf;
}
std::string LinkPath() { return CommonPrograms() + "\\Gizmo\\Gizmo Readme.lnk"; }

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string RegText(const std::string& key, const std::string& name) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return "<no key>";
    char buf[1024] = {};
    DWORD size = sizeof(buf) - 1, type = 0;
    LONG rc = RegQueryValueExA(k, name.c_str(), nullptr, &type, (BYTE*)buf, &size);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS ? std::string(buf) : "<no value>";
}

bool KeyExists(const std::string& key) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

BOOL CALLBACK CloseFolderWindow(HWND w, LPARAM) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof(cls));
    if (strcmp(cls, "ExplorerWClass") == 0 || strcmp(cls, "CabinetWClass") == 0)
        PostMessageA(w, WM_CLOSE, 0, 0);
    return TRUE;
}

// Closes the folder window the setup opens after a first installation.
void CloseExplorerWindows() {
    Settle(1500);
    EnumWindows(CloseFolderWindow, 0);
}

// Waits for every trace of the product to be gone (the uninstaller's copy goes last, removed
// by its short-lived helper).
bool NothingLeft(std::string& what) {
    for (int i = 0; i < 100; ++i) {
        what.clear();
        if (Exists(Target() + "\\app.txt")) what += " app.txt";
        if (Exists(Target() + "\\Help\\help.txt")) what += " help.txt";
        if (Exists(LinkPath())) what += " shortcut";
        if (KeyExists(kUninstallKey)) what += " uninstall-key";
        if (RegText("SOFTWARE\\E2E Vendor\\Gizmo", "Path") != "<no key>" &&
            RegText("SOFTWARE\\E2E Vendor\\Gizmo", "Path") != "<no value>")
            what += " registry-value";
        if (Exists(InfoFolder())) what += " info-folder";
        if (what.empty()) return true;
        Sleep(100);
    }
    return false;
}

std::vector<std::string> Split(const std::string& line) { return qp::setup::SplitCommandLine(line); }

HWND AnswerLanguage(DWORD pid, const std::string& shot = "") {
    HWND lang = WaitTop(pid, "#32770", "Select Language");
    if (lang && !shot.empty()) Screenshot(shot);
    if (lang) Press(lang, IDOK);
    return lang;
}

class SetupE2E : public ::testing::Test {
protected:
    void SetUp() override {
        kit_ = dir_.Str() + "\\kit";
        CreateDirectoryA(kit_.c_str(), nullptr);
    }
    std::string Setup() const { return "\"" + kit_ + "\\setup.exe\""; }
    qptest::TempDir dir_;
    std::string kit_;
};

}  // namespace

TEST_F(SetupE2E, NormalRunThroughEveryPageThenUninstall) {
    WriteKit(kit_, SampleList());
    Process p(Setup(), kit_);
    ASSERT_TRUE(p.Started());
    ASSERT_TRUE(AnswerLanguage(p.Id(), "00-language"));

    HWND page = WaitPage(p.Id(), "Welcome to the Quillpacker Wizard for Gizmo");
    ASSERT_TRUE(page);
    EXPECT_TRUE(FindTop(p.Id(), "Setup", "Gizmo Setup")) << "background window";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1004))) << "Back on the first page";
    Screenshot("01-welcome");
    Press(page, 1003);

    page = WaitPage(p.Id(), "License Agreement");
    ASSERT_TRUE(page);
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
    Settle();
    EXPECT_EQ(ItemText(page, 1021), "Choose what to install.");
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
    Settle();
    EXPECT_EQ(ItemText(page, 1022), "Help texts.");
    SendMessageA(tree, WM_KEYDOWN, VK_SPACE, 0);
    Settle();
    EXPECT_NE(ItemText(page, 1027).find("Required: C: 2 k"), std::string::npos)
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
    const std::string uninstall = RegText(kUninstallKey, "UninstallString");
    EXPECT_NE(uninstall.find("-u"), std::string::npos) << uninstall;
    EXPECT_NE(RegText(kUninstallKey, "QuietUninstallString").find(" -s -u "), std::string::npos);

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
