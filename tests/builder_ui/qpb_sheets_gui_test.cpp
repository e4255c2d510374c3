// qpb.exe's sheets and wizards under Wine and Xvfb, driven through their controls: one value
// changed on every page of "Component Properties", "GroupProperties" and "Project Files"
// ("Advanced" through shadepick.dll), saved, and the dump compared with the same changes made
// on the model; a kit built through "Build Media" into an existing kit's name chosen by double
// click, installed and removed; then New with "Wizard" makes a project that qpbc builds.
// Every page of every sheet and wizard is saved as a screenshot.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "builder/model/language.h"
#include "builder/model/projectfile.h"
#include "builder/ui/logic/pages.h"
#include "builder/ui/logic/project_pages.h"
#include "support/gui_driver.h"
#include "remote.h"
#include "support/example.h"
#include "support/testutil.h"
#include "support/run_process.h"

namespace fs = std::filesystem;
using qpgui::CloseExplorerOn;
using qpgui::Remote;

namespace {

constexpr UINT kNew = 57600, kSave = 57603, kBuild = 32800, kSettings = 32802;

HWND WaitBox(DWORD pid, const std::string& caption, DWORD ms = 10000) { return qpe2e::WaitTop(pid, "#32770", caption, ms); }

HWND CurrentPage(HWND sheet) { return HWND(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }

HWND ShowPage(HWND sheet, int index) {
    SendMessageA(sheet, PSM_SETCURSEL, WPARAM(index), 0);
    HWND page = nullptr;
    qpe2e::WaitFor([&] { return (page = CurrentPage(sheet)) != nullptr && IsWindowVisible(page); }, 10000);
    return page;
}

// Sets an edit's text, then types one more character, so that the control reports a change as
// typing does.
void Type(HWND edit, const std::string& text, char last) {
    SendMessageA(edit, WM_SETTEXT, 0, LPARAM(text.c_str()));
    SendMessageA(edit, EM_SETSEL, WPARAM(text.size()), LPARAM(text.size()));
    SendMessageA(edit, WM_CHAR, WPARAM(last), 0);
}

HWND ComboEdit(HWND combo) { return FindWindowExA(combo, nullptr, "Edit", nullptr); }

void DoubleClick(HWND wnd, POINT at) {
    const LPARAM p = MAKELPARAM(at.x, at.y);
    PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, p);
    PostMessageA(wnd, WM_LBUTTONUP, 0, p);
    PostMessageA(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, p);
    PostMessageA(wnd, WM_LBUTTONUP, 0, p);
}

using qpgui::Middle;

void WaitGone(HWND w, DWORD ms = 10000) { qpe2e::WaitGone(w, ms); }

// Chooses `path` in the open-file dialog that the press of `button` on `page` brings up.
void ChooseInOpenDialog(DWORD pid, HWND page, int button, const std::string& path) {
    PostMessageA(GetDlgItem(page, button), BM_CLICK, 0, 0);
    HWND dlg = WaitBox(pid, "Open");
    ASSERT_NE(dlg, nullptr);
    HWND name = qpgui::FileNameBox(dlg);
    ASSERT_NE(name, nullptr);
    SendMessageA(name, WM_SETTEXT, 0, LPARAM(path.c_str()));
    qpe2e::Press(dlg, IDOK);
    WaitGone(dlg);
    EXPECT_FALSE(IsWindow(dlg));
}

// Clicks the check box of a list-view row and waits until the row's check has turned.
void ClickRowCheck(Remote& r, HWND list, int row) {
    auto check = [&] { return SendMessageA(list, LVM_GETITEMSTATE, WPARAM(row), LVIS_STATEIMAGEMASK); };
    const LRESULT before = check();
    const RECT rc = r.ListItemRect(list, row);
    qpgui::Click(list, POINT{rc.left + 8, (rc.top + rc.bottom) / 2});
    EXPECT_TRUE(qpe2e::WaitFor([&] { return check() != before; }, 10000)) << "the check of row " << row << " did not turn";
}

void WriteFile(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

// A 2 by 2 24-bit bitmap file.
std::string TinyBitmap() {
    std::string b = "BM";
    auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(char((v >> (8 * i)) & 0xFF)); };
    auto u16 = [&](std::uint16_t v) { b.push_back(char(v & 0xFF)); b.push_back(char(v >> 8)); };
    u32(54 + 16); u32(0); u32(54);
    u32(40); u32(2); u32(2); u16(1); u16(24); u32(0); u32(16); u32(2835); u32(2835); u32(0); u32(0);
    const char px[16] = {0, 0, '\xFF', '\xFF', 0, 0, 0, 0, 0, '\xFF', 0, 0, '\xFF', 0, 0, 0};
    b.append(px, 16);
    return b;
}

// A value of the uninstall registration: the native view (an x64 runtime), else the 32-bit
// view (the x86 runtime on 64-bit Windows).
std::string RegText(const std::string& key, const char* value) {
    for (REGSAM view : {REGSAM(KEY_WOW64_64KEY), REGSAM(KEY_WOW64_32KEY)}) {
        HKEY k = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &k) != ERROR_SUCCESS) continue;
        char buf[1024] = {};
        DWORD size = sizeof(buf) - 1, type = 0;
        const LONG r = RegQueryValueExA(k, value, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
        RegCloseKey(k);
        if (r == ERROR_SUCCESS) return buf;
    }
    return "<no key>";
}

std::string DumpBody(const std::string& project, const std::string& folder) {
    return qptest::DumpBody(QP_QPBC_EXE, project, folder);
}

// The node of the list-view row `row` of a property list window, double-clicked.
void OpenRow(Remote& r, HWND list, int row) {
    DoubleClick(list, Middle(r.ListItemRect(list, row)));
}

}  // namespace

TEST(QpbSheetsGui, EveryPageWritesItsChangeAndTheWizardsBuildKits) {
    const fs::path work = fs::path(QP_WORK_DIR).make_preferred();
    const std::string project = qptest::CopyExample(QP_EXAMPLE_DIR, work, "5E2E0B03");
    ASSERT_FALSE(project.empty());
    const std::string bmp = (work / "side.bmp").string(), readme = (work / "read.txt").string(),
                      licence = (work / "lic.txt").string();
    WriteFile(bmp, TinyBitmap());
    WriteFile(readme, "Read me first.\r\nSecond line.\r\n");
    WriteFile(licence, "Licence text.\r\n");

    const std::string qpb_dir = fs::path(QP_QPB_EXE).parent_path().string();
    qp::LanguageFile texts(qpb_dir + "\\language.ini");
    qp::NullReporter quiet;
    std::unique_ptr<qp::CDazDoc> expected = qp::OpenProject(project, quiet, &texts);
    ASSERT_TRUE(expected);
    expected->wizard_texts = &texts;
    qp::CItemComponent& comp = *expected->root_component.children[0];
    qp::CItemGroup& group = *expected->group_list.items[0];

    qpgui::Qpb qpb(QP_QPB_EXE, project, "Quillpacker - notepadish.qpk");
    const DWORD pid = qpb.Pid();
    HWND frame = qpb.frame;
    ASSERT_NE(frame, nullptr);
    Remote remote(frame);
    HWND bar = qpb.bar, mdi = qpb.client;
    ASSERT_TRUE(bar && mdi);
    const HWND* trees = qpb.trees;

    // ---- Component Properties: opened by a double click on "Description" ----------------------
    SendMessageA(GetDlgItem(bar, 100), TCM_SETCURSEL, 1, 0);
    SendMessageA(trees[1], TVM_SELECTITEM, TVGN_CARET, LPARAM(qpgui::FindNode(remote, trees[1], comp.name)));
    HWND comp_window = nullptr;
    for (int i = 0; i < 50 && !comp_window; ++i, Sleep(100))
        for (HWND c = GetWindow(mdi, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (qpe2e::Text(c) == "Component - " + comp.name) comp_window = c;
    ASSERT_NE(comp_window, nullptr);
    HWND comp_list = GetWindow(comp_window, GW_CHILD);
    EXPECT_EQ(remote.ListText(comp_list, 4, 0), "File need");
    EXPECT_EQ(remote.ListText(comp_list, 4, 1), qp::FileNeedText(comp.file_need));
    OpenRow(remote, comp_list, 0);
    HWND sheet = WaitBox(pid, "Component Properties");
    ASSERT_NE(sheet, nullptr);
    qpe2e::Sync(sheet);
    {
        const char* names[3] = {"Desc", "Stat", "Disp"};
        std::string* fields[3] = {&comp.description, &comp.status_text, &comp.display_text};
        for (int i = 0; i < 3; ++i) {
            HWND page = ShowPage(sheet, i);
            Type(ComboEdit(GetDlgItem(page, 1000)), names[i], 'Z');
            *fields[i] = std::string(names[i]) + "Z";
            qpe2e::Screenshot("component-page-" + std::to_string(i));
        }
        HWND page = ShowPage(sheet, 3);
        SendMessageA(GetDlgItem(page, 1001), BM_CLICK, 0, 0);
        comp.visible = comp.visible ? 0 : 1;
        qpe2e::Screenshot("component-page-3");
        page = ShowPage(sheet, 4);
        const int need = qp::NormalFileNeed(comp.file_need) == 0 ? 1 : 0;
        SendMessageA(GetDlgItem(page, 1002 + need), BM_CLICK, 0, 0);
        comp.file_need = need;
        qpe2e::Screenshot("component-page-4");
        page = ShowPage(sheet, 5);
        HWND gtree = GetDlgItem(page, 4105);  // the one file-group page's tree
        HTREEITEM first = qpgui::Root(gtree);
        ASSERT_NE(first, nullptr);
        const RECT gr = remote.TreeItemRect(gtree, first);
        qpgui::Click(gtree, POINT{gr.left - 8, (gr.top + gr.bottom) / 2});
        qpe2e::Settle(200);
        {
            qp::GroupChoice fg(*expected, comp.file_groups);
            fg.Rows()[0].checked = !fg.Rows()[0].checked;
            fg.Apply(comp.file_groups);
        }
        qpe2e::Screenshot("component-page-5");
        page = ShowPage(sheet, 6);
        HWND rtree = GetDlgItem(page, 1010);
        qp::RequiredPage rp(*expected, comp);
        std::size_t free_node = rp.Nodes().size();
        for (std::size_t i = 0; i < rp.Nodes().size() && free_node == rp.Nodes().size(); ++i)
            if (rp.Nodes()[i].state == qp::RequiredPage::kFree) free_node = i;
        ASSERT_LT(free_node, rp.Nodes().size()) << "no component is free to require";
        HTREEITEM rn = qpgui::FindNode(remote, rtree, rp.Nodes()[free_node].component->name);
        ASSERT_NE(rn, nullptr);
        EXPECT_EQ(remote.TreeImage(rtree, rn), int(qp::RequiredPage::kFree));
        const RECT rr = remote.TreeItemRect(rtree, rn);
        qpgui::Click(rtree, POINT{rr.left - 10, (rr.top + rr.bottom) / 2});
        EXPECT_TRUE(qpe2e::WaitFor([&] { return remote.TreeImage(rtree, rn) == int(qp::RequiredPage::kRequired); }, 10000))
            << "image " << remote.TreeImage(rtree, rn);
        rp.Toggle(free_node);
        rp.Apply(comp);
        qpe2e::Screenshot("component-page-6");
        page = ShowPage(sheet, 7);
        Type(GetDlgItem(page, 1020), "Note", 'Z');
        comp.comment = "NoteZ";
        qpe2e::Screenshot("component-page-7");
    }
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    WaitGone(sheet);
    ASSERT_FALSE(IsWindow(sheet));
    EXPECT_EQ(remote.ListText(comp_list, 0, 1), "DescZ");
    // Right clicks flip "Visible" and step "File need" in place; "Comment" does nothing (its
    // click goes first, so that the others' effects show it has been handled).
    for (int row : {7, 3, 4}) {
        qpgui::Click(comp_list, Middle(remote.ListItemRect(comp_list, row)), true);
        qp::ComponentRowRightClick(comp, row);
        const std::string want = row == 3 ? (comp.visible ? "Yes" : "No") : row == 4 ? qp::FileNeedText(comp.file_need) : "NoteZ";
        EXPECT_TRUE(qpe2e::WaitFor([&] { return remote.ListText(comp_list, row, 1) == want; }, 10000))
            << "row " << row << ": " << remote.ListText(comp_list, row, 1);
    }
    EXPECT_EQ(remote.ListText(comp_list, 3, 1), comp.visible ? "Yes" : "No");
    EXPECT_EQ(remote.ListText(comp_list, 4, 1), qp::FileNeedText(comp.file_need));
    EXPECT_EQ(remote.ListText(comp_list, 7, 1), "NoteZ");

    // ---- GroupProperties: opened by a double click on "Shared" --------------------------------------
    SendMessageA(GetDlgItem(bar, 100), TCM_SETCURSEL, 0, 0);
    SendMessageA(trees[0], TVM_SELECTITEM, TVGN_CARET, LPARAM(qpgui::FindNode(remote, trees[0], group.name)));
    HWND group_window = nullptr;
    for (int i = 0; i < 50 && !group_window; ++i, Sleep(100))
        for (HWND c = GetWindow(mdi, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (qpe2e::Text(c) == "Group - " + group.name) group_window = c;
    ASSERT_NE(group_window, nullptr);
    HWND group_list = GetWindow(group_window, GW_CHILD);
    EXPECT_EQ(remote.ListText(group_list, 5, 1), group.destination);
    qpe2e::Screenshot("item-group-rows");
    OpenRow(remote, group_list, 0);
    sheet = WaitBox(pid, "GroupProperties");
    ASSERT_NE(sheet, nullptr);
    qpe2e::Sync(sheet);
    {
        std::int32_t* flags[3] = {&group.shared, &group.self_register, &group.restart_if_locked};
        for (int i = 0; i < 3; ++i) {
            HWND page = ShowPage(sheet, i);
            SendMessageA(GetDlgItem(page, *flags[i] ? 1003 : 1002), BM_CLICK, 0, 0);
            *flags[i] = *flags[i] ? 0 : 1;
            qpe2e::Screenshot("group-page-" + std::to_string(i));
        }
        HWND page = ShowPage(sheet, 3);
        SendMessageA(GetDlgItem(page, 1032), BM_CLICK, 0, 0);  // WIN98
        qp::OsPageState os = qp::OsPageState::Read(group.operating_system_mask);
        os.boxes[2] = !os.boxes[2];
        group.operating_system_mask = os.Mask();
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(page, 1032)) != FALSE, os.SystemBoxesEnabled());
        qpe2e::Screenshot("group-page-3");
        page = ShowPage(sheet, 4);
        HWND modes = GetDlgItem(page, 1040);
        SendMessageA(modes, CB_SETCURSEL, 1, 0);  // NEVER
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(1040, CBN_SELCHANGE), LPARAM(modes));
        qp::OverwritePageState ow = qp::OverwritePageState::Read(group.overwrite_word);
        ow.mode = 1;
        group.overwrite_word = ow.Word();
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1041)));
        qpe2e::Screenshot("group-page-4");
        page = ShowPage(sheet, 5);
        HWND ftree = GetDlgItem(page, 1010);
        HTREEITEM windir = qpgui::FindNode(remote, ftree, "Windows Operating system");
        ASSERT_NE(windir, nullptr);
        SendMessageA(ftree, TVM_SELECTITEM, TVGN_CARET, LPARAM(windir));
        EXPECT_EQ(qpe2e::ItemText(page, 1021), "<WINDIR>");
        group.destination = "<WINDIR>";
        qpe2e::Screenshot("group-page-5");
        page = ShowPage(sheet, 6);
        ClickRowCheck(remote, GetDlgItem(page, 1050), 0);  // "Independent"
        std::vector<int> used;
        for (const auto& l : expected->string_table.language_list) used.push_back(l->table_index);
        qp::LanguageMaskPage lm(group.language_mask, &used);
        lm.Toggle(0);
        group.language_mask = lm.Mask();
        qpe2e::Screenshot("group-page-6");
        page = ShowPage(sheet, 7);
        Type(GetDlgItem(page, 1020), "Grp", 'Z');
        group.comment = "GrpZ";
        qpe2e::Screenshot("group-page-7");
    }
    // A save while the sheet is open writes what the sheet shows (the id straight: the menu's
    // Save is chosen below).
    PostMessageA(frame, WM_COMMAND, kSave, 0);
    EXPECT_TRUE(qpe2e::WaitFor([&] { return DumpBody(project, work.string()).find("GrpZ") != std::string::npos; }, 30000));
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    WaitGone(sheet);
    ASSERT_FALSE(IsWindow(sheet));

    // ---- Setup Type: Properties on a setup type of the tree -------------------------------------------
    {
        qp::CItemSetup& setup = *expected->setup_type_list.items[0];
        qpb.SelectTab(remote, 2);
        HTREEITEM node = qpgui::FindNode(remote, trees[2], setup.name);
        ASSERT_NE(node, nullptr);
        // "Properties", the last entry of the tree's menu.
        ASSERT_TRUE(qpgui::ContextMenu(trees[2], Middle(remote.TreeItemRect(trees[2], node)), {VK_UP}, "setup-type-menu"));
        HWND dlg = WaitBox(pid, "Setup Type");
        ASSERT_NE(dlg, nullptr);
        qpe2e::Sync(dlg);
        SendMessageA(ComboEdit(GetDlgItem(dlg, 1000)), WM_SETTEXT, 0, LPARAM("TYPE_DESC"));
        SendMessageA(GetDlgItem(dlg, 1020), WM_SETTEXT, 0, LPARAM("typed comment"));
        SendMessageA(GetDlgItem(dlg, 1001), BM_CLICK, 0, 0);
        qpe2e::Screenshot("setup-type");
        qpe2e::Press(dlg, IDOK);
        WaitGone(dlg);
        qp::SetupTypeFields f = qp::SetupTypeFields::Read(setup);
        f.description = "TYPE_DESC";
        f.comment = "typed comment";
        f.require_component_step = !f.require_component_step;
        f.Apply(setup);
    }

    // ---- Project Files ------------------------------------------------------------------------------
    ASSERT_TRUE(qpb.Menu(kSettings));
    sheet = WaitBox(pid, "Project Files");
    ASSERT_NE(sheet, nullptr);
    qpe2e::Sync(sheet);
    {
        const std::string* files[3] = {&bmp, &readme, &licence};
        for (int i = 0; i < 3; ++i) {
            HWND page = ShowPage(sheet, i);
            ChooseInOpenDialog(pid, page, 1101, *files[i]);
            expected->side_file_paths[std::size_t(i)] = *files[i];
            EXPECT_EQ(qpe2e::ItemText(page, 1100), *files[i]);
            qpe2e::Screenshot("settings-page-" + std::to_string(i));
        }
        HWND page = ShowPage(sheet, 3);
        SendMessageA(GetDlgItem(page, 1123), BM_CLICK, 0, 0);  // "User"
        qp::StepsPageState steps = qp::StepsPageState::Read(expected->settings_block);
        steps.steps[3] = !steps.steps[3];
        steps.guid = qpe2e::ItemText(page, 1110);
        steps.Apply(*expected);
        qpe2e::Screenshot("settings-page-3");
        page = ShowPage(sheet, 4);
        const bool had = expected->IsLanguagePresent(1);
        ClickRowCheck(remote, GetDlgItem(page, 1140), 1);
        qp::ProjectLanguagesState langs = qp::ProjectLanguagesState::Read(*expected);
        langs.checked[1] = !had;
        langs.Apply(*expected);
        qpe2e::Screenshot("settings-page-4");
        page = ShowPage(sheet, 5);
        SendMessageA(GetDlgItem(page, 1031), BM_CLICK, 0, 0);  // WIN95
        qp::OsPageState os = qp::OsPageState::Read(std::int32_t(expected->settings_block.os_mask()));
        os.boxes[1] = !os.boxes[1];
        expected->settings_block.set_os_mask(std::uint32_t(os.Mask()));
        qpe2e::Screenshot("settings-page-5");
        page = ShowPage(sheet, 6);
        qpe2e::Screenshot("settings-page-6");
        // "Advanced": the gradient chooser of shadepick.dll; red of the first colour to 255.
        PostMessageA(GetDlgItem(page, 1180), BM_CLICK, 0, 0);
        HWND chooser = WaitBox(pid, "GradientColor");
        ASSERT_NE(chooser, nullptr);
        std::vector<HWND> panels;
        for (HWND c = GetWindow(chooser, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            char cls[32] = {};
            GetClassNameA(c, cls, sizeof(cls));
            if (std::string(cls) == "#32770") panels.push_back(c);
        }
        ASSERT_EQ(panels.size(), 2u);
        SendMessageA(GetDlgItem(panels[0], 1002), WM_SETTEXT, 0, LPARAM("255"));
        qpe2e::Screenshot("settings-advanced");
        qpe2e::Press(chooser, IDOK);
        WaitGone(chooser);
        const std::uint32_t c1 = expected->settings_block.U32(qp::SettingsBlock::kWindowColour1);
        expected->settings_block.SetU32(qp::SettingsBlock::kWindowColour1, (c1 & 0xFFFF00u) | 0xFFu);
        qpe2e::Screenshot("settings-page-6-after");
    }
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    WaitGone(sheet);
    ASSERT_FALSE(IsWindow(sheet));
    // The frame's gradient starts from the new first colour.
    {
        HDC dc = GetDC(mdi);
        const COLORREF top = GetPixel(dc, 5, 2);
        ReleaseDC(mdi, dc);
        EXPECT_GE(GetRValue(top), 0xF0) << std::hex << top;
    }
    qpe2e::Screenshot("main-after-settings");

    // ---- save: the dump holds exactly the changes ------------------------------------------------------
    ASSERT_TRUE(qpb.Menu(kSave));
    EXPECT_TRUE(qpe2e::WaitFor([&] { return qpe2e::Text(frame).back() != '*'; }, 20000)) << qpe2e::Text(frame);
    const std::string expected_path = (work / "expected.qpk").string();
    ASSERT_TRUE(qp::SaveProject(*expected, expected_path, quiet));
    EXPECT_EQ(DumpBody(project, work.string()), DumpBody(expected_path, work.string()));

    // ---- Build Media into an existing kit, chosen by double click -------------------------------------
    const fs::path kits = work / "KITS";
    {
        const auto made = qptest::RunProcess(QP_QPBC_EXE, {"build", project, "--name", "Existing", "--runtime", qpb_dir + "\\REDIS\\setup.ex_"}, work.string());
        ASSERT_EQ(made.status, 0) << made.err;
    }
    fs::create_directories(kits / "Other");
    const auto before = fs::last_write_time(kits / "Existing" / "setup.lst");
    Sleep(1100);  // the rebuilt setup.lst gets a later time than this one (file times in seconds)
    HWND wizard = nullptr, build_page = nullptr;
    ASSERT_TRUE(qpb.OpenBuildWizard(wizard, build_page));
    HWND exist = GetDlgItem(build_page, 1213);
    ASSERT_EQ(SendMessageA(exist, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(qpe2e::ItemText(build_page, 1211), kits.string());
    const LRESULT at = SendMessageA(exist, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("Existing"));
    ASSERT_NE(at, LB_ERR);
    qpe2e::Screenshot("build-wizard");
    // The row's place from its height (no pointer crosses the processes).
    const int row_height = int(SendMessageA(exist, LB_GETITEMHEIGHT, 0, 0));
    DoubleClick(exist, POINT{10, int(at) * row_height + row_height / 2});
    WaitGone(wizard, 20000);
    ASSERT_FALSE(IsWindow(wizard));
    // The build ends by opening the kit folder in the file explorer.
    EXPECT_TRUE(CloseExplorerOn("Existing", 120000)) << "no file explorer on the kit";
    EXPECT_NE(fs::last_write_time(kits / "Existing" / "setup.lst"), before);
    for (const char* f : {"setup.exe", "setup.lst", "setup.cab", "setup.bmp", "readme.txt", "license.txt"})
        EXPECT_TRUE(fs::exists(kits / "Existing" / f)) << f;
    qpe2e::Screenshot("main-after-build");

    // The kit installs, and its registered quiet uninstaller removes it again.
    {
        const std::string kit = (kits / "Existing").string();
        const std::string guid = expected->settings_block.product_guid();
        const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + guid;
        EXPECT_EQ(0u, qpe2e::Process("\"" + kit + "\\setup.exe\" -s", kit).Wait(120000));
        const std::string uninstall = RegText(key, "QuietUninstallString");
        ASSERT_NE(uninstall, "<no key>");
        EXPECT_EQ(0u, qpe2e::Process(uninstall).Wait(60000)) << uninstall;
        for (int i = 0; i < 100 && RegText(key, "QuietUninstallString") != "<no key>"; ++i) Sleep(100);
    }

    // ---- New Project with "Wizard" ---------------------------------------------------------------------
    ASSERT_TRUE(qpb.Menu(kNew));
    HWND ask = qpe2e::WaitTop(pid, "#32770", "Quillpacker", 3000);
    if (ask) qpe2e::Press(ask, IDNO);  // the build made a product GUID
    HWND np = WaitBox(pid, "New Project");
    ASSERT_NE(np, nullptr);
    const fs::path fresh_dir = work / "fresh" / "deeper";
    HWND types = GetDlgItem(np, 1200);
    ASSERT_EQ(SendMessageA(types, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(remote.ListText(types, 1, 0), "Wizard");
    qpgui::Click(types, Middle(remote.ListItemRect(types, 1)));
    SendMessageA(GetDlgItem(np, 1201), WM_SETTEXT, 0, LPARAM("fresh"));
    SendMessageA(GetDlgItem(np, 1202), WM_SETTEXT, 0, LPARAM((fresh_dir.string() + "\\\\").c_str()));
    qpe2e::Screenshot("new-project");
    qpe2e::Press(np, IDOK);
    HWND proj = WaitBox(pid, "Proj vizar");
    ASSERT_NE(proj, nullptr);
    qpe2e::Sync(proj);
    HWND general = CurrentPage(proj);
    SendMessageA(GetDlgItem(general, 1151), WM_SETTEXT, 0, LPARAM("Fresh"));
    EXPECT_EQ(qpe2e::ItemText(general, 1154), "Fresh Setup");  // Caption bar
    qpe2e::Screenshot("wizard-page-0");
    for (int i = 1; i < 4; ++i) {
        SendMessageA(proj, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        qpe2e::Sync(proj);
        qpe2e::Screenshot("wizard-page-" + std::to_string(i));
    }
    PostMessageA(proj, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    WaitGone(proj);
    ASSERT_FALSE(IsWindow(proj));
    HWND fresh_frame = qpe2e::WaitTop(pid, "QpbMainFrame", "Quillpacker - fresh.qpk");
    EXPECT_NE(fresh_frame, nullptr);
    const std::string fresh = (fresh_dir / "fresh.qpk").string();
    ASSERT_TRUE(fs::exists(fresh));
    EXPECT_NE(DumpBody(fresh, work.string()).find("Fresh Setup"), std::string::npos);
    const auto built = qptest::RunProcess(QP_QPBC_EXE, {"build", fresh, "--name", "FreshKit", "--runtime", qpb_dir + "\\REDIS\\setup.ex_"}, work.string());
    EXPECT_EQ(built.status, 0) << built.err;
    EXPECT_TRUE(fs::exists(fresh_dir / "KITS" / "FreshKit" / "setup.lst"));
    qpe2e::Screenshot("main-fresh");

    // Built from the menu, the new project's setup types without components are named in a
    // warning, and the kit is made all the same.
    HWND fresh_build = nullptr, fresh_page = nullptr;
    ASSERT_TRUE(qpb.OpenBuildWizard(fresh_build, fresh_page));
    SendMessageA(GetDlgItem(fresh_page, 1210), WM_SETTEXT, 0, LPARAM("FreshGui"));
    PostMessageA(fresh_build, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    WaitGone(fresh_build);
    HWND warning = nullptr;
    for (int i = 0; i < 600 && !warning; ++i, Sleep(100)) {
        HWND w = qpe2e::FindTop(pid, "#32770", "Build Media");
        if (w && qpe2e::BoxText(w).find("Compact") != std::string::npos) warning = w;
    }
    ASSERT_NE(warning, nullptr) << "no warning about the empty setup types";
    EXPECT_NE(qpe2e::BoxText(warning).find("Setup type \"Custom\" has no components"), std::string::npos)
        << qpe2e::BoxText(warning);
    EXPECT_TRUE(fs::exists(fresh_dir / "KITS" / "FreshGui" / "setup.cab"));
    qpe2e::Screenshot("build-warning");
    qpe2e::Press(warning, IDOK);
    CloseExplorerOn("FreshGui");

    PostMessageA(frame, WM_CLOSE, 0, 0);
    if (HWND q = qpe2e::WaitTop(pid, "#32770", "Quillpacker", 3000)) qpe2e::Press(q, IDNO);
    EXPECT_EQ(qpb.process.Wait(10000), 0u);
}

// Cancel in the build's progress window stops the archive: no kit appears under the kit's name,
// and the builder goes on.
TEST(QpbSheetsGui, CancelDuringTheBuildLeavesNoKit) {
    const fs::path work = fs::path(QP_WORK_DIR).make_preferred().concat("-cancel");
    std::error_code ec;
    qptest::RemoveTree(work);
    fs::create_directories(work / "many");
    qp::CDazDoc doc;
    doc.NewProject();
    qp::CItemGroup* g = doc.group_list.Add("Many");
    for (int i = 0; i < 1500; ++i) {
        const fs::path f = work / "many" / ("f" + std::to_string(i) + ".txt");
        WriteFile(f, std::string(512, char('a' + i % 26)));
        g->file_tree.AddFile(f.string());
    }
    const std::string project = (work / "many.qpk").string();
    qp::NullReporter quiet;
    ASSERT_TRUE(qp::SaveProject(doc, project, quiet));

    qpgui::Qpb qpb(QP_QPB_EXE, project, "Quillpacker - many.qpk");
    const DWORD pid = qpb.Pid();
    HWND frame = qpb.frame;
    ASSERT_NE(frame, nullptr);
    PostMessageA(frame, WM_COMMAND, kBuild, 0);  // the id straight: the other test chooses Build from the menu
    HWND wizard = WaitBox(pid, "Build Media");
    ASSERT_NE(wizard, nullptr);
    qpe2e::Sync(wizard);
    SendMessageA(GetDlgItem(CurrentPage(wizard), 1210), WM_SETTEXT, 0, LPARAM("Big"));
    PostMessageA(wizard, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    WaitGone(wizard);
    // The progress window: the same caption, with a progress bar.
    HWND progress = nullptr;
    for (int i = 0; i < 100 && !progress; ++i, Sleep(50)) {
        HWND w = qpe2e::FindTop(pid, "#32770", "Build Media");
        if (w && FindWindowExA(w, nullptr, PROGRESS_CLASSA, nullptr)) progress = w;
    }
    ASSERT_NE(progress, nullptr) << "no progress window";
    EXPECT_FALSE(IsWindowEnabled(frame));
    qpe2e::Screenshot("build-progress");
    qpe2e::Press(progress, IDCANCEL);
    WaitGone(progress, 60000);
    EXPECT_FALSE(IsWindow(progress));
    EXPECT_TRUE(IsWindowEnabled(frame));
    EXPECT_FALSE(fs::exists(work / "KITS" / "Big" / "setup.lst"));
    EXPECT_FALSE(fs::exists(work / "KITS" / "Big" / "setup.cab"));
    CloseExplorerOn("Big");
    qpe2e::Screenshot("build-cancelled");
    PostMessageA(frame, WM_CLOSE, 0, 0);
    if (HWND q = qpe2e::WaitTop(pid, "#32770", "Quillpacker", 3000)) qpe2e::Press(q, IDNO);
    EXPECT_EQ(qpb.process.Wait(10000), 0u);
    qptest::RemoveTree(work);
}
