// The wizard's pages as real windows: every control of every page's table is there with its id,
// style and place, the title is bold, texts come from the string table, Back is disabled on the
// first shown page.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "common/keytable.h"
#include "setup/wizard/page_tables.h"
#include "setup/wizard/win/wizard_ui.h"
#include "wizard/unmanaged_windows.h"

using namespace qp::wiz;

namespace {

const int g_unmanaged = qptest::RunWithUnmanagedWindows();

class PagesWin : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
        static bool registered = RegisterWizardClasses(GetModuleHandleA(nullptr));
        (void)registered;
        std::vector<StringEntry> table;
        for (int id = 1; id < qp::kKeyCount; ++id)
            if (*qp::KeyName(id) && std::string(qp::KeyName(id)) != "DLG_ADDREMOVE_TITLE")
                table.push_back({qp::KeyName(id), {qp::KeyDefault(id)}});
        table.push_back({"PRODUCT_NAME", {"Gizmo"}});
        table.push_back({"DLG_ADDREMOVE_TITLE", {"  Maintenance of %P "}});
        data_.texts.SetTable(table);
        data_.texts.ResolveProductName();
        data_.root.AddChild("Program")->description = "The program.";
        data_.root.AddChild("Help");
        LinkTree(data_.root);
        SetupType t;
        t.name = "Typical";
        t.component_step = true;
        t.components = {"Program"};
        data_.types = {t};
        state_.target_dir = "C:\\Program Files\\Gizmo";
        state_.program_folder = "Gizmo";
    }

    WizardSetup MakeSetup() {
        WizardSetup s;
        s.instance = GetModuleHandleA(nullptr);
        s.data = &data_;
        s.state = &state_;
        qp::DefaultSettings(s.settings);
        s.settings.set_page_mask(0x1FF);
        return s;
    }

    WizardData data_;
    WizardState state_;
};

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string Text(HWND w) {
    char buf[1024] = {};
    GetWindowTextA(w, buf, sizeof(buf));
    return buf;
}

}  // namespace

TEST_F(PagesWin, EveryPageHasItsTableControls) {
    state_.setup_type = 0;
    Wizard wizard(MakeSetup());
    state_.first_page = 1;
    ASSERT_TRUE(wizard.Run(SW_SHOW));
    for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 17}) {
        const DWORD t0 = GetTickCount();
        wizard.SwitchTo(n);
        HWND page = wizard.Page();
        ASSERT_TRUE(page) << "page " << n;
        EXPECT_EQ(state_.current_page, n);
        for (const ControlRecord& c : PageControls(n)) {
            if (c.id == -1) continue;
            HWND item = GetDlgItem(page, c.id);
            ASSERT_TRUE(item) << "page " << n << " control " << c.id;
            // Controls with a client edge turn a border into that edge and show scroll bars on
            // demand, so those bits are not theirs to keep.
            const DWORD wanted = (c.style | WS_CHILD) &
                                 ~(WS_VISIBLE | WS_DISABLED | WS_TABSTOP | WS_BORDER | WS_VSCROLL);
            EXPECT_EQ(GetWindowLongA(item, GWL_STYLE) & wanted, wanted)
                << "page " << n << " control " << c.id;
            RECT want{c.left, c.top, c.right, c.bottom};
            MapDialogRect(page, &want);
            RECT got;
            GetWindowRect(item, &got);
            MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&got), 2);
            EXPECT_EQ(got.left, want.left) << "page " << n << " control " << c.id;
            EXPECT_EQ(got.top, want.top) << "page " << n << " control " << c.id;
        }
        if (GetDlgItem(page, kIdTitle)) {
            LOGFONTA lf{};
            HFONT f = reinterpret_cast<HFONT>(SendDlgItemMessageA(page, kIdTitle, WM_GETFONT, 0, 0));
            ASSERT_TRUE(f);
            GetObjectA(f, sizeof(lf), &lf);
            EXPECT_EQ(lf.lfWeight, FW_BOLD) << n;
        }
        Pump();
        printf("page %d: %lu ms\n", n, GetTickCount() - t0);
    }
    // 13 is reached through 12 only.
    wizard.SwitchTo(13);
    EXPECT_TRUE(state_.end);
    ASSERT_TRUE(wizard.Run(SW_SHOW));
    wizard.SwitchTo(17);
    EXPECT_EQ(Text(GetDlgItem(wizard.Page(), kIdTitle)), "Maintenance of Gizmo");
    wizard.SwitchTo(12);
    EXPECT_EQ(state_.current_page, 13) << "no restart needed";
    state_.restart_needed = true;
    wizard.SwitchTo(12);
    EXPECT_EQ(state_.current_page, 12);
    EXPECT_EQ(IsDlgButtonChecked(wizard.Page(), 1017), BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wizard.Page(), kIdBack)));
    wizard.SwitchTo(14);
    EXPECT_TRUE(state_.end);
    EXPECT_FALSE(wizard.Page());
}

TEST_F(PagesWin, BackIsDisabledOnTheFirstShownPageOnly) {
    Wizard wizard(MakeSetup());
    state_.first_page = 4;
    ASSERT_TRUE(wizard.Run(SW_SHOW));
    EXPECT_EQ(Text(GetDlgItem(wizard.Page(), kIdTitle)), "Customer Information");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wizard.Page(), kIdBack)));
    wizard.SwitchTo(5);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(wizard.Page(), kIdBack)));
    EXPECT_EQ(Text(GetDlgItem(wizard.Page(), 1014)), "C:\\Program Files\\Gizmo");
}

TEST_F(PagesWin, ComponentTreeShowsVisibleComponentsWithFigures) {
    data_.root.children[1]->visible = false;
    state_.setup_type = 0;
    WizardSetup s = MakeSetup();
    s.hooks.required_kb = [] { return 1234; };
    Wizard wizard(s);
    state_.first_page = 7;
    ASSERT_TRUE(wizard.Run(SW_SHOW));
    HWND page = wizard.Page();
    HWND tree = GetDlgItem(page, 1023);
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(Text(GetDlgItem(page, 1027)), " C: 1234 k");  // "SPACEREQ" has no default text
    EXPECT_EQ(Text(GetDlgItem(page, 1028)).rfind("Available: C: ", 0), 0u);
    // The setup type chose Program; the hidden Help kept its state.
    EXPECT_EQ(data_.root.children[0]->selected, 1);
    EXPECT_EQ(data_.root.children[1]->selected, 1);
}

TEST_F(PagesWin, LicenceViewerIsReadOnly) {
    char temp[MAX_PATH], file[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    GetTempFileNameA(temp, "lic", 0, file);
    if (FILE* f = fopen(file, "wb")) {
        fputs("Licence line one\r\nLine two\r\n", f);
        fclose(f);
    }
    WizardSetup s = MakeSetup();
    s.license_path = file;
    Wizard wizard(s);
    state_.first_page = 2;
    ASSERT_TRUE(wizard.Run(SW_SHOW));
    Pump();
    HWND edit = GetDlgItem(wizard.Page(), 1007);
    const std::string loaded = Text(edit);
    EXPECT_NE(loaded.find("Licence line one"), std::string::npos);
    EXPECT_TRUE(GetWindowLongA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(Text(GetDlgItem(wizard.Page(), kIdNext)), "Yes");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CHAR, 'x', 0);
    SendMessageA(edit, WM_KEYDOWN, VK_DELETE, 0);
    SendMessageA(edit, WM_CUT, 0, 0);
    SendMessageA(edit, WM_CLEAR, 0, 0);
    SendMessageA(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), loaded);
    // Copying still works.
    SendMessageA(edit, WM_COPY, 0, 0);
    // The clipboard may be open elsewhere for a moment (another program of the session).
    bool opened = false;
    for (int attempt = 0; attempt < 100 && !(opened = OpenClipboard(nullptr) != FALSE); ++attempt) Sleep(50);
    ASSERT_TRUE(opened) << "the clipboard stayed busy, error " << GetLastError();
    HANDLE h = GetClipboardData(CF_TEXT);
    const char* text = h ? static_cast<const char*>(GlobalLock(h)) : nullptr;
    EXPECT_TRUE(text && std::string(text).find("Licence line one") != std::string::npos) << (text ? text : "(no text)");
    if (h) GlobalUnlock(h);
    CloseClipboard();
    DeleteFileA(file);
}
