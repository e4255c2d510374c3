// qpb.exe's editors under Wine and Xvfb: a string, a double-word and a binary registry value,
// a shortcut's window state, string-table cells (a duplicate key refused, a language hidden and
// the next one edited, a delete spanning author and product strings), a function; the saved
// project must dump exactly like the same edits made on the model, and a kit built from it
// must install the edited values and a shortcut with the chosen window state. Every editor's
// window and dialog is saved as a screenshot.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <cstdio>

#include <filesystem>
#include <fstream>
#include <string>

#include "builder/model/edits.h"
#include "builder/model/projectfile.h"
#include "support/gui_driver.h"
#include "remote.h"
#include "support/example.h"
#include "support/testutil.h"
#include "support/run_process.h"

namespace fs = std::filesystem;
using qpgui::Remote;

namespace {

constexpr UINT kSave = 57603, kWindowFunction = 32797;
constexpr int kGrid = 4155, kHex = 4104, kValueData = 4101, kBaseDec = 4103, kRun = 4117;
// The grid's messages (see GridCtrl.h).
constexpr UINT kGetCols = WM_APP + 0x202, kSetCursor = WM_APP + 0x206, kGetText = WM_APP + 0x20D;
constexpr UINT kExtendTo = WM_APP + 0x214, kEditCell = WM_APP + 0x215, kGetRow = WM_APP + 0x207;
constexpr UINT kCopy = 57634, kPaste = 57637;
constexpr UINT kGetRows = WM_APP + 0x201, kGetFixedCols = WM_APP + 0x205;
constexpr int kResources = 4150, kColumnFixed = 4154;

HWND WaitBox(DWORD pid, const std::string& caption) { return qpe2e::WaitTop(pid, "#32770", caption, 10000); }

HWND WaitChild(HWND client, const std::string& caption) {
    for (int i = 0; i < 50; ++i) {
        for (HWND c = GetWindow(client, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (qpe2e::Text(c) == caption) return c;
        Sleep(100);
    }
    return nullptr;
}

void WaitGone(HWND w) {
    for (int i = 0; i < 50 && IsWindow(w); ++i) Sleep(100);
    EXPECT_FALSE(IsWindow(w));
}

// Clicks a list row (it takes the focus and the selection); `twice` double-clicks it.
void ClickRow(Remote& r, HWND list, int row, bool twice = false) {
    const RECT rc = r.ListItemRect(list, row);
    const POINT p{rc.left + 20, (rc.top + rc.bottom) / 2};
    qpgui::Click(list, p);
    if (twice) {
        PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    }
    qpe2e::Settle(300);
}

// Types `text` into a grid cell through its in-place edit box.
void EditCell(HWND grid, int row, int col, const std::string& text) {
    SendMessageA(grid, kSetCursor, WPARAM(row), LPARAM(col));
    SendMessageA(grid, kEditCell, 0, 0);
    HWND edit = FindWindowExA(grid, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr) << "no edit box on " << row << "," << col;
    SendMessageA(edit, WM_SETTEXT, 0, LPARAM(text.c_str()));
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    qpe2e::Settle(300);
}

std::string Cell(Remote& r, HWND grid, int row, int col) { return r.TextReply(grid, kGetText, MAKEWPARAM(row, col)); }

std::string ClipboardText() {
    std::string out;
    if (!OpenClipboard(nullptr)) return "<no clipboard>";
    if (HGLOBAL g = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(g))) out = p;
        GlobalUnlock(g);
    }
    CloseClipboard();
    return out;
}

void SetClipboardText(const std::string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(g), text.c_str(), text.size() + 1);
    GlobalUnlock(g);
    SetClipboardData(CF_TEXT, g);
    CloseClipboard();
}

// Clicks the check box of a tree node (the state image left of the node's picture).
void ClickCheck(Remote& r, HWND tree, HTREEITEM node) {
    const RECT text = r.TreeItemRect(tree, node);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, LPARAM(node));
    qpgui::Click(tree, POINT{text.left - 26, (text.top + text.bottom) / 2});
    qpe2e::Settle(300);
}

// The names of the checked groups of a group sheet's page, joined by blanks.
constexpr int kGroupTree = 4105;
std::string GroupChecks(HWND sheet) {
    HWND tree = GetDlgItem(FindWindowExA(sheet, nullptr, "#32770", nullptr), kGroupTree);
    std::string out;
    const char* names[] = {"Program", "Templates", "Help", "Help German"};
    int i = 0;
    for (HTREEITEM n = HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); n && i < 4;
         n = HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(n))), ++i) {
        const UINT state = UINT(SendMessageA(tree, TVM_GETITEMSTATE, WPARAM(n), TVIS_STATEIMAGEMASK));
        if ((state >> 12) == 2) out += (out.empty() ? "" : " ") + std::string(names[i]);
    }
    return out;
}

qp::CRegistry* Child(qp::CRegistry& n, const std::string& name) {
    for (auto& c : n.children)
        if (c->name == name) return c.get();
    return nullptr;
}

std::string RegValue(HKEY root, const char* key, const char* name, DWORD* type) {
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return "<no key>";
    BYTE buf[512] = {};
    DWORD size = sizeof(buf);
    const LONG rc = RegQueryValueExA(k, name, nullptr, type, buf, &size);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS ? std::string(reinterpret_cast<char*>(buf), size) : "<no value>";
}

// The show command as stored in the link file's header (Wine's link object does not give the
// stored one back on loading).
int ShowCommandOf(const std::string& lnk) {
    std::ifstream in(lnk, std::ios::binary);
    unsigned char b[0x40] = {};
    if (!in.read(reinterpret_cast<char*>(b), sizeof(b))) return -1;
    return int(b[0x3C] | b[0x3D] << 8 | b[0x3E] << 16 | unsigned(b[0x3F]) << 24);
}

}  // namespace

TEST(QpbEditorsGui, EditorsEditTheProjectAndTheKitInstallsTheEdits) {
    const fs::path work = fs::path(QP_WORK_DIR).make_preferred();
    const std::string project = qptest::CopyExample(QP_EXAMPLE_DIR, work, "5E2E0B02");
    ASSERT_FALSE(project.empty());

    qp::NullReporter quiet;
    std::unique_ptr<qp::CDazDoc> expected = qp::OpenProject(project, quiet);
    ASSERT_TRUE(expected);
    qp::ProjectEdits model(*expected);

    qpgui::Qpb qpb(QP_QPB_EXE, project, "Quillpacker - notepadish.qpk");
    ASSERT_TRUE(qpb.Found());
    const DWORD pid = qpb.Pid();
    HWND frame = qpb.frame, client = qpb.client;
    Remote remote(frame);
    auto select_tab = [&](int index) { return qpb.SelectTab(remote, index); };
    // A list row's point that a click or a right click aims at.
    auto row_point = [&](HWND list, int row) {
        const RECT rc = remote.ListItemRect(list, row);
        return POINT{rc.left + 20, (rc.top + rc.bottom) / 2};
    };

    // --- registry values ----------------------------------------------------------------------
    HWND reg_tree = select_tab(3);
    HTREEITEM key_node = qpgui::FindNode(remote, reg_tree, "Notepadish");
    ASSERT_NE(key_node, nullptr);
    qp::CRegistry* key = Child(*Child(*Child(*Child(expected->registry_root, "RegEntry1"), "HKEY_CURRENT_USER"), "Software"), "Notepadish");
    ASSERT_NE(key, nullptr);

    // "Registry Properties" from the tree's menu (its last entry), looked at and cancelled.
    SendMessageA(reg_tree, TVM_ENSUREVISIBLE, 0, LPARAM(key_node));  // its parents opened, as the author does
    qpe2e::Sync(reg_tree);
    ASSERT_TRUE(qpgui::ContextMenu(reg_tree, qpgui::Middle(remote.TreeItemRect(reg_tree, key_node)), {VK_UP}, "editor-registry-tree-menu"));
    HWND sheet = WaitBox(pid, "Registry Properties");
    ASSERT_NE(sheet, nullptr);
    qpe2e::Settle(300);
    EXPECT_EQ(GroupChecks(sheet), "Program") << "the key's groups are checked";
    qpe2e::Screenshot("editor-registry-properties");
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    WaitGone(sheet);

    HWND reg_window = WaitChild(client, "Registry");
    ASSERT_NE(reg_window, nullptr);
    HWND reg_list = FindWindowExA(reg_window, nullptr, WC_LISTVIEWA, nullptr);
    ASSERT_EQ(SendMessageA(reg_list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(remote.ListText(reg_list, 2, 1), "REG_DWORD");
    qpe2e::Screenshot("editor-registry-window");

    // "Modify" from the list's menu (from the bottom: Properties, then Modify) on the row clicked.
    ClickRow(remote, reg_list, 0);
    ASSERT_TRUE(qpgui::ContextMenu(reg_list, row_point(reg_list, 0), {VK_UP, VK_UP}, "editor-registry-list-menu"));
    HWND dlg = WaitBox(pid, "Edit String");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(qpe2e::ItemText(dlg, kValueData), "<TARGETDIR>");
    SendMessageA(GetDlgItem(dlg, kValueData), WM_SETTEXT, 0, LPARAM("Edited by the GUI"));
    qpe2e::Screenshot("editor-edit-string");
    qpe2e::Press(dlg, IDOK);
    WaitGone(dlg);
    Child(*key, "InstallDir")->data = "Edited by the GUI";

    ClickRow(remote, reg_list, 2);
    ASSERT_TRUE(qpgui::ContextMenu(reg_list, row_point(reg_list, 2), {VK_UP, VK_UP}));
    dlg = WaitBox(pid, "Edit DWORD Value");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(qpe2e::ItemText(dlg, kValueData), "0000000B");
    SendMessageA(GetDlgItem(dlg, kBaseDec), BM_CLICK, 0, 0);
    qpe2e::Settle(200);
    EXPECT_EQ(qpe2e::ItemText(dlg, kValueData), "11");
    SendMessageA(GetDlgItem(dlg, kValueData), WM_SETTEXT, 0, LPARAM("300"));
    qpe2e::Screenshot("editor-edit-dword");
    qpe2e::Press(dlg, IDOK);
    WaitGone(dlg);
    Child(*key, "FontSize")->data = "12c";
    EXPECT_EQ(remote.ListText(reg_list, 2, 2), "12c");

    ClickRow(remote, reg_list, 1);
    ASSERT_TRUE(qpgui::ContextMenu(reg_list, row_point(reg_list, 1), {VK_UP, VK_UP}));
    dlg = WaitBox(pid, "Edit Binary Value");
    ASSERT_NE(dlg, nullptr);
    HWND hex = GetDlgItem(dlg, kHex);
    ASSERT_NE(hex, nullptr);
    PostMessageA(hex, WM_CHAR, 'a', 0);
    PostMessageA(hex, WM_CHAR, 'B', 0);
    PostMessageA(hex, WM_KEYDOWN, VK_RIGHT, 0);  // over the second byte
    PostMessageA(hex, WM_CHAR, 'c', 0);
    PostMessageA(hex, WM_CHAR, 'D', 0);
    PostMessageA(hex, WM_CHAR, 'x', 0);  // not a digit: nothing
    qpe2e::Settle(300);
    qpe2e::Screenshot("editor-edit-binary");
    qpe2e::Press(dlg, IDOK);
    WaitGone(dlg);
    Child(*key, "WindowPlacement")->data = "AB00CD000100FF7F";
    EXPECT_EQ(remote.ListText(reg_list, 1, 2), "AB00CD000100FF7F");

    // A new string value named in its row: a sibling's name is dropped, a free one taken.
    auto name_row = [&](const char* text) {
        HWND label = nullptr;
        qpe2e::WaitFor([&] { return (label = HWND(SendMessageA(reg_list, LVM_GETEDITCONTROL, 0, 0))) != nullptr; }, 10000);
        ASSERT_NE(label, nullptr) << "no label edit on the row";
        SendMessageA(label, WM_SETTEXT, 0, LPARAM(text));
        SendMessageA(label, WM_KEYDOWN, VK_RETURN, 0);
        qpe2e::Settle(300);
    };
    // New > " String" from the menu of the list's empty part.
    const RECT last_row = remote.ListItemRect(reg_list, 2);
    ASSERT_TRUE(qpgui::ContextMenu(reg_list, POINT{40, last_row.bottom + 30}, {VK_DOWN, VK_RIGHT, VK_DOWN}, "editor-registry-new-menu"));
    name_row("FontSize");
    ASSERT_EQ(SendMessageA(reg_list, LVM_GETITEMCOUNT, 0, 0), 4);
    qp::CRegistry* added = model.NewRegistry(*key, qp::CRegistry::kString);
    EXPECT_EQ(remote.ListText(reg_list, 3, 0), added->name);
    // "Rename" from the new row's menu (the third from the bottom).
    ASSERT_TRUE(qpgui::ContextMenu(reg_list, row_point(reg_list, 3), {VK_UP, VK_UP, VK_UP}));
    name_row("Greeting");
    EXPECT_EQ(remote.ListText(reg_list, 3, 0), "Greeting");
    EXPECT_EQ(model.RenameRegistry(*added, "Greeting"), qp::RenameResult::kRenamed);
    // The Delete key asks first; No keeps the value.
    for (const int answer : {IDNO, IDYES}) {
        PostMessageA(reg_list, WM_KEYDOWN, VK_DELETE, 0);
        HWND ask = WaitBox(pid, "Quillpacker");
        ASSERT_NE(ask, nullptr);
        EXPECT_EQ(qpe2e::BoxText(ask), "Delete?");
        qpe2e::Press(ask, answer);
        WaitGone(ask);
        qpe2e::Settle(200);
        EXPECT_EQ(SendMessageA(reg_list, LVM_GETITEMCOUNT, 0, 0), answer == IDNO ? 4 : 3);
    }
    model.DeleteRegistry(*added);

    // --- a shortcut's window state, the group sheet and the program-folder dialog ---------------
    HWND link_tree = select_tab(5);
    HTREEITEM folder_node = qpgui::FindNode(remote, link_tree, "Program Folder");
    ASSERT_NE(folder_node, nullptr);
    HTREEITEM shortcut_node = qpgui::FindNode(remote, link_tree, "Notepadish", folder_node);
    ASSERT_NE(shortcut_node, nullptr);
    SendMessageA(link_tree, TVM_SELECTITEM, TVGN_CARET, LPARAM(shortcut_node));
    HWND link_window = WaitChild(client, "Link- Notepadish");
    ASSERT_NE(link_window, nullptr);
    HWND link_list = FindWindowExA(link_window, nullptr, WC_LISTVIEWA, nullptr);
    ASSERT_EQ(SendMessageA(link_list, LVM_GETITEMCOUNT, 0, 0), 13);
    EXPECT_EQ(remote.ListText(link_list, 6, 0), "Run");
    EXPECT_EQ(remote.ListText(link_list, 6, 1), "Normal Window");
    qpe2e::Screenshot("editor-link-window");
    ClickRow(remote, link_list, 6, true);
    dlg = WaitBox(pid, "Shortcut Properties");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(dlg, kRun), CB_GETCURSEL, 0, 0), 2);  // "Normal Window"
    SendMessageA(GetDlgItem(dlg, kRun), CB_SETCURSEL, 0, 0);                // "Maximized Window"
    qpe2e::Screenshot("editor-shortcut");
    qpe2e::Press(dlg, IDOK);
    WaitGone(dlg);
    EXPECT_EQ(remote.ListText(link_list, 6, 1), "Maximized Window");
    qp::CObListShort* shortcut = nullptr;
    for (auto& s : expected->shortcut_root.children[0]->children[0]->children[1]->children)
        if (s->name == "Notepadish") shortcut = s.get();
    ASSERT_NE(shortcut, nullptr);
    shortcut->run_mode = 1;

    ClickRow(remote, link_list, 10, true);
    sheet = WaitBox(pid, "Group Properties");
    ASSERT_NE(sheet, nullptr);
    qpe2e::Settle(300);
    EXPECT_EQ(GroupChecks(sheet), "Program");
    {
        // "Help" checked as well.
        HWND tree = GetDlgItem(FindWindowExA(sheet, nullptr, "#32770", nullptr), kGroupTree);
        HTREEITEM help = qpgui::FindNode(remote, tree, "Help");
        ASSERT_NE(help, nullptr);
        const RECT text = remote.TreeItemRect(tree, help);
        qpgui::Click(tree, POINT{text.left - 8, (text.top + text.bottom) / 2});
        EXPECT_EQ(GroupChecks(sheet), "Program Help");
    }
    qpe2e::Screenshot("editor-group-properties");
    PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    WaitGone(sheet);
    shortcut->file_groups.push_back(expected->FindGroup("Help"));
    EXPECT_EQ(remote.ListText(link_list, 10, 1), "Program && Help");

    SendMessageA(link_tree, TVM_SELECTITEM, TVGN_CARET, LPARAM(folder_node));
    qpe2e::Settle(300);
    ASSERT_EQ(SendMessageA(link_list, LVM_GETITEMCOUNT, 0, 0), 2);
    ClickRow(remote, link_list, 0, true);
    dlg = WaitBox(pid, "Shortcut Properties");
    ASSERT_NE(dlg, nullptr);
    qpe2e::Screenshot("editor-program-folder");
    qpe2e::Press(dlg, IDCANCEL);
    WaitGone(dlg);

    // --- the string table ---------------------------------------------------------------------
    HWND string_tree = select_tab(4);
    HTREEITEM english = qpgui::FindNode(remote, string_tree, "English");
    HTREEITEM german = qpgui::FindNode(remote, string_tree, "German");
    ASSERT_TRUE(english && german);
    ClickCheck(remote, string_tree, english);
    ClickCheck(remote, string_tree, german);
    SendMessageA(string_tree, TVM_SELECTITEM, TVGN_CARET, LPARAM(english));
    HWND string_window = WaitChild(client, "String -English");
    ASSERT_NE(string_window, nullptr);
    HWND grid = GetDlgItem(string_window, kGrid);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(SendMessageA(grid, kGetCols, 0, 0), 4) << "both languages shown";
    auto& langs = expected->string_table.language_list;
    model.SetLanguageShown(*langs[0], true);
    model.SetLanguageShown(*langs[1], true);

    // "New" three times from the grid's menu (a right click leaves the current cell).
    const int rows_before = int(SendMessageA(grid, kGetRows, 0, 0));
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(qpgui::ContextMenu(grid, POINT{60, 30}, {VK_DOWN}, i == 0 ? "editor-string-menu" : ""));
        EXPECT_TRUE(qpe2e::WaitFor([&] { return int(SendMessageA(grid, kGetRows, 0, 0)) == rows_before + i + 1; }, 10000))
            << "New from the grid's menu added no row";
    }
    for (int i = 0; i < 3; ++i) {
        auto s = std::make_unique<qp::CStringItem>("NEW_STRING" + std::to_string(i + 1), qp::CStringItem::kAuthor);
        s->values.assign(langs.size(), std::string());
        expected->string_table.Add(std::move(s));
    }
    // The grid's rows: the author's and the product strings, in table order.
    std::vector<std::string> rows{""};
    for (const auto& s : expected->string_table.items)
        if (s->category <= 1) rows.push_back(s->key);
    auto row_of = [&](const std::string& k) { return int(std::find(rows.begin(), rows.end(), k) - rows.begin()); };
    ASSERT_EQ(Cell(remote, grid, row_of("NEW_STRING3"), 1), "NEW_STRING3");

    EditCell(grid, row_of("NEW_STRING3"), 1, "MY_KEY");
    EXPECT_EQ(Cell(remote, grid, row_of("NEW_STRING3"), 1), "MY_KEY");
    expected->FindString("NEW_STRING3")->key = "MY_KEY";
    EditCell(grid, row_of("NEW_STRING2"), 1, "my_key");  // a duplicate: refused
    EXPECT_EQ(Cell(remote, grid, row_of("NEW_STRING2"), 1), "NEW_STRING2");
    qpe2e::Screenshot("editor-string-grid");

    // English hidden: the column after "ID" is German's.
    ClickCheck(remote, string_tree, english);
    EXPECT_EQ(SendMessageA(grid, kGetCols, 0, 0), 3);
    model.SetLanguageShown(*langs[0], false);
    // German's column made 50 wider by dragging its right edge in the header row.
    {
        const int edge = 20 + 150 + 200 - 1;
        PostMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(edge, 5));
        PostMessageA(grid, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(edge + 50, 5));
        PostMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(edge + 50, 5));
        qpe2e::Settle(300);
        langs[1]->lang_value = 250;
    }
    EditCell(grid, row_of("PRODUCT_NAME"), 2, "Notizblock");
    expected->FindString("PRODUCT_NAME")->SetValue(1, "Notizblock");

    // Copy puts the current cell on the clipboard; Paste stores the clipboard in the current
    // cell like an edit and moves one row down.
    ASSERT_TRUE(qpb.Menu(kCopy));
    EXPECT_TRUE(qpe2e::WaitFor([&] { return ClipboardText() == "Notizblock"; }, 10000)) << ClipboardText();
    SetClipboardText("Notizblock 1.2");
    SendMessageA(grid, kSetCursor, WPARAM(row_of("TITLE_MAIN")), 2);
    ASSERT_TRUE(qpb.Menu(kPaste));
    EXPECT_TRUE(qpe2e::WaitFor([&] { return Cell(remote, grid, row_of("TITLE_MAIN"), 2) == "Notizblock 1.2"; }, 10000));
    EXPECT_EQ(SendMessageA(grid, kGetRow, 0, 0), row_of("TITLE_MAIN") + 1);
    expected->FindString("TITLE_MAIN")->SetValue(1, "Notizblock 1.2");

    // A selection from the last product string to NEW_STRING2: only the author's strings go.
    SendMessageA(grid, kSetCursor, WPARAM(row_of("NEW_STRING1") - 1), 2);
    SendMessageA(grid, kExtendTo, WPARAM(row_of("NEW_STRING2")), 2);
    qpe2e::Screenshot("editor-string-selection");
    ASSERT_TRUE(qpgui::ContextMenu(grid, POINT{60, 30}, {VK_DOWN, VK_DOWN}, "editor-string-delete-menu"));
    EXPECT_TRUE(qpe2e::WaitFor([&] { return int(SendMessageA(grid, kGetRows, 0, 0)) == rows_before + 1; }, 10000))
        << "Delete from the grid's menu left " << SendMessageA(grid, kGetRows, 0, 0) << " rows";
    auto& items = expected->string_table.items;
    items.erase(std::remove_if(items.begin(), items.end(),
                               [](const auto& s) { return s->key == "NEW_STRING1" || s->key == "NEW_STRING2"; }),
                items.end());
    EXPECT_EQ(Cell(remote, grid, int(rows.size()) - 3, 1), "MY_KEY");

    // "Resources" lists the wizard texts, whose keys cannot be edited; "Column Name Fixed"
    // fixes the "ID" column.
    SendMessageA(GetDlgItem(string_window, kResources), BM_CLICK, 0, 0);
    qpe2e::Settle(300);
    int wizard_row = -1;
    for (int r = 1; r < int(SendMessageA(grid, kGetRows, 0, 0)) && wizard_row < 0; ++r)
        if (Cell(remote, grid, r, 1) == "DLG_WELCOME_TITLE") wizard_row = r;
    ASSERT_GT(wizard_row, 0) << "no wizard text with Resources checked";
    SendMessageA(grid, kSetCursor, WPARAM(wizard_row), 1);
    SendMessageA(grid, kEditCell, 0, 0);
    EXPECT_EQ(FindWindowExA(grid, nullptr, "Edit", nullptr), nullptr) << "a wizard text's key opened for editing";
    SendMessageA(GetDlgItem(string_window, kColumnFixed), BM_CLICK, 0, 0);
    qpe2e::Settle(300);
    EXPECT_EQ(SendMessageA(grid, kGetFixedCols, 0, 0), 2);
    qpe2e::Screenshot("editor-string-resources");

    // --- a function ---------------------------------------------------------------------------
    ASSERT_TRUE(qpb.Menu(kWindowFunction));
    HWND function_window = WaitChild(client, "Function");
    ASSERT_NE(function_window, nullptr);
    HWND function_list = FindWindowExA(function_window, nullptr, WC_LISTVIEWA, nullptr);
    ASSERT_TRUE(qpgui::ContextMenu(function_list, POINT{40, 40}, {VK_DOWN}, "editor-function-menu"));  // "Add function"
    qpe2e::WaitFor([&] { return SendMessageA(function_list, LVM_GETITEMCOUNT, 0, 0) == 1; }, 10000);
    ASSERT_EQ(SendMessageA(function_list, LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(remote.ListText(function_list, 0, 0), "qwewe");
    ClickRow(remote, function_list, 0, true);
    dlg = WaitBox(pid, "Function Set");
    ASSERT_NE(dlg, nullptr);
    const char* fields[4] = {"Greet", "greet", "greet.dll", "Greet(1)"};
    for (int i = 0; i < 4; ++i) SendMessageA(GetDlgItem(dlg, 4140 + i), WM_SETTEXT, 0, LPARAM(fields[i]));
    qpe2e::Screenshot("editor-function-set");
    qpe2e::Press(dlg, IDOK);
    WaitGone(dlg);
    EXPECT_EQ(remote.ListText(function_list, 0, 2), "Greet(1)");
    qpe2e::Screenshot("editor-function-window");
    auto f = std::make_unique<qp::CItemFunction>();
    f->name = fields[0];
    f->internal_name = fields[1];
    f->dll_path = fields[2];
    f->function_call = fields[3];
    expected->function_list.push_back(std::move(f));

    // --- save: exactly these edits ----------------------------------------------------------
    ASSERT_TRUE(qpb.Menu(kSave));
    EXPECT_TRUE(qpe2e::WaitFor([&] { return qpe2e::Text(frame) == "Quillpacker - notepadish.qpk"; }, 20000)) << qpe2e::Text(frame);
    const std::string expected_path = (work / "expected.qpk").string();
    ASSERT_TRUE(qp::SaveProject(*expected, expected_path, quiet));
    EXPECT_EQ(qptest::DumpBody(QP_QPBC_EXE, project, work.string()), qptest::DumpBody(QP_QPBC_EXE, expected_path, work.string()));
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(qpb.process.Wait(10000), 0u);

    // --- the kit installs the edits -------------------------------------------------------------
    const std::string kits = (work / "kits").string();
    const auto built = qptest::RunProcess(QP_QPBC_EXE, {"build", project, "--name", "Edited", "--kit-root", kits,
                                                        "--runtime", QP_SETUP_EXE},
                                          work.string());
    ASSERT_EQ(built.status, 0) << built.out << built.err;
    const std::string kit = kits + "\\Edited";
    ASSERT_EQ(0u, qpe2e::Process("\"" + kit + "\\setup.exe\" -s", kit).Wait(120000));
    DWORD type = 0;
    EXPECT_EQ(RegValue(HKEY_CURRENT_USER, "Software\\Notepadish", "InstallDir", &type), std::string("Edited by the GUI", 18));
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(RegValue(HKEY_CURRENT_USER, "Software\\Notepadish", "FontSize", &type), std::string("\x2c\x01\0\0", 4));
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(RegValue(HKEY_CURRENT_USER, "Software\\Notepadish", "WindowPlacement", &type),
              std::string("\xAB\0\xCD\0\x01\0\xFF\x7F", 8));
    EXPECT_EQ(type, DWORD(REG_BINARY));
    char programs[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, programs, CSIDL_COMMON_PROGRAMS, FALSE));
    const std::string lnk = std::string(programs) + "\\Notepadish\\Notepadish.lnk";
    EXPECT_TRUE(fs::exists(lnk)) << lnk;
    EXPECT_EQ(ShowCommandOf(lnk), SW_SHOWMAXIMIZED);

    // Removed again, so that the prefix stays as it was.
    const std::string guid = expected->settings_block.product_guid();
    const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + guid;
    DWORD t = 0;
    std::string quiet_cmd = RegValue(HKEY_LOCAL_MACHINE, uninstall.c_str(), "QuietUninstallString", &t);
    quiet_cmd = quiet_cmd.c_str();
    EXPECT_EQ(0u, qpe2e::Process(quiet_cmd).Wait(60000)) << quiet_cmd;
}

// The string grid with 2,000 strings in 8 shown languages: paging through it, each page
// painted, stays quick (only the rows in sight are painted).
TEST(QpbEditorsGui, StringGridPagesThrough2000StringsIn8LanguagesQuickly) {
    const fs::path work = fs::path(QP_WORK_DIR).make_preferred().parent_path() / "qpb-editors-big";
    std::error_code ec;
    qptest::RemoveTree(work);
    fs::create_directories(work);
    const std::string project = (work / "big.qpk").string();
    {
        qp::CDazDoc doc;
        doc.NewProject();
        for (int lang = 1; lang < 8; ++lang) doc.AddLanguage(lang);
        for (auto& l : doc.string_table.language_list) l->shown = 1;
        for (int i = 0; i < 2000; ++i) {
            auto s = std::make_unique<qp::CStringItem>("AUTHOR_KEY_" + std::to_string(i), qp::CStringItem::kAuthor);
            s->values.assign(8, "Some text of string " + std::to_string(i));
            doc.string_table.Add(std::move(s));
        }
        qp::NullReporter quiet;
        ASSERT_TRUE(qp::SaveProject(doc, project, quiet));
    }
    qpgui::Qpb qpb(QP_QPB_EXE, project, "Quillpacker - big.qpk");
    HWND frame = qpb.frame;
    ASSERT_NE(frame, nullptr);
    Remote remote(frame);
    HWND client = qpb.client;
    HWND tree = qpb.SelectTab(remote, 4);
    HTREEITEM english = qpgui::FindNode(remote, tree, "English");
    ASSERT_NE(english, nullptr);
    const DWORD shown_at = GetTickCount();
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, LPARAM(english));
    HWND window = WaitChild(client, "String -English");
    ASSERT_NE(window, nullptr);
    HWND grid = GetDlgItem(window, kGrid);
    // The tree's boxes show the languages' shown flags.
    EXPECT_EQ(UINT(SendMessageA(tree, TVM_GETITEMSTATE, WPARAM(english), TVIS_STATEIMAGEMASK)) >> 12, 2u);
    ASSERT_EQ(SendMessageA(grid, kGetRows, 0, 0), 2000 + 1 + 16);  // with the product strings
    EXPECT_EQ(SendMessageA(grid, kGetCols, 0, 0), 10);
    const DWORD filled = GetTickCount() - shown_at;

    const DWORD start = GetTickCount();
    for (int i = 0; i < 100; ++i) {
        SendMessageA(grid, WM_KEYDOWN, i < 80 ? VK_NEXT : VK_PRIOR, 0);
        SendMessageA(grid, WM_PAINT, 0, 0);
    }
    const DWORD paged = GetTickCount() - start;
    std::printf("string grid, 2000 strings x 8 languages: shown in %lu ms; 100 pages painted in %lu ms\n",
                static_cast<unsigned long>(filled), static_cast<unsigned long>(paged));
    EXPECT_LT(paged, 10000u) << "paging through the grid is slow";
    EXPECT_GT(SendMessageA(grid, kGetRow, 0, 0), 1000);
    qpe2e::Screenshot("editor-string-grid-2000");
    PostMessageA(frame, WM_CLOSE, 0, 0);
    if (HWND ask = qpe2e::WaitTop(qpb.Pid(), "#32770", "Quillpacker", 2000)) qpe2e::Press(ask, IDNO);
    EXPECT_EQ(qpb.process.Wait(10000), 0u);
}
