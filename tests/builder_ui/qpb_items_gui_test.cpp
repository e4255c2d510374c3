// qpb.exe's item windows under Wine and Xvfb, worked the way an author works them: real mouse
// clicks and key presses through the system's input queue, context menus opened with the right
// button and walked with the arrow keys. Setup-type membership through the check boxes and the
// space bar (a refused toggle changes nothing), the registry window's type pictures, " Key" and
// "AddEntry" from its own menu, "Modify" from the registry tree's menu and a value's double
// click, a shortcut made with Insert File named after the file it points at, captions that
// follow renames, the one file-group page worked with the space bar, and the settings sheet's
// Cancel putting back a gradient chosen in "Advanced". The saved project must dump exactly like
// the same edits made on the model.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "builder/model/edits.h"
#include "builder/model/projectfile.h"
#include "support/example.h"
#include "support/gui_driver.h"
#include "remote.h"
#include "support/run_process.h"

namespace fs = std::filesystem;
using qpgui::Middle;
using qpgui::PressKeys;
using qpgui::Remote;

namespace {

std::string ClassOf(HWND w) {
    char name[64] = {};
    if (w) GetClassNameA(w, name, sizeof name);
    return name;
}


constexpr UINT kSave = 57603, kSettings = 32802;
constexpr int kGroupTree = 4105, kTarget = 4113, kAdvanced = 1180;

HWND WaitBox(DWORD pid, const std::string& caption) { return qpe2e::WaitTop(pid, "#32770", caption, 10000); }

HWND WaitChild(HWND client, const std::string& caption) {
    HWND found = nullptr;
    qpe2e::WaitFor([&] {
        for (HWND c = GetWindow(client, GW_CHILD); c && !found; c = GetWindow(c, GW_HWNDNEXT))
            if (qpe2e::Text(c) == caption) found = c;
        return found != nullptr;
    }, 10000);
    return found;
}

int CheckState(HWND tree, HTREEITEM node) {
    return int(UINT(SendMessageA(tree, TVM_GETITEMSTATE, WPARAM(node), TVIS_STATEIMAGEMASK)) >> 12);
}

std::string DumpBody(const std::string& project, const std::string& folder) {
    return qptest::DumpBody(QP_QPBC_EXE, project, folder);
}

// What the screen shows at a client point of `w`.
COLORREF ClientPixel(HWND w, int x, int y) {
    POINT p{x, y};
    ClientToScreen(w, &p);
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, p.x, p.y);
    ReleaseDC(nullptr, dc);
    return c;
}

template <class T>
T* Named(std::vector<std::unique_ptr<T>>& list, const std::string& name) {
    for (auto& i : list)
        if (i->name == name) return i.get();
    return nullptr;
}

}  // namespace

TEST(QpbItemsGui, ItemWindowsWorkedWithMouseAndKeys) {
    const fs::path work = fs::path(QP_WORK_DIR).make_preferred();
    const std::string project = qptest::CopyExample(QP_EXAMPLE_DIR, work, "items-gui");
    ASSERT_FALSE(project.empty());
    qpgui::Qpb qpb(QP_QPB_EXE, project, "Quillpacker - notepadish.qpk");
    ASSERT_TRUE(qpb.Found());
    qp::NullReporter quiet;
    std::unique_ptr<qp::CDazDoc> expected = qp::OpenProject(project, quiet);
    ASSERT_TRUE(expected);
    qp::ProjectEdits model(*expected);
    Remote remote(qpb.frame);
    const DWORD pid = qpb.Pid();
    HWND frame = qpb.frame, client = qpb.client;
    auto select_tab = [&](int index) { return qpb.SelectTab(remote, index); };
    // A tree node clicked on its text: selected, and the tree has the focus.
    auto click_node = [&](HWND tree, HTREEITEM node) {
        SendMessageA(tree, TVM_ENSUREVISIBLE, 0, LPARAM(node));  // its parents opened, as the author does
        qpe2e::Sync(tree);
        const RECT r = remote.TreeItemRect(tree, node);
        qpgui::Click(tree, POINT{r.left + 4, (r.top + r.bottom) / 2});
    };

    // --- setup-type membership: boxes, the space bar, a click on a box ------------------------
    HWND setup_types = select_tab(2);
    click_node(setup_types, qpgui::FindNode(remote, setup_types, "Compact"));
    HWND setup_window = WaitChild(client, "Compact");
    ASSERT_NE(setup_window, nullptr);
    HWND setup_tree = GetWindow(setup_window, GW_CHILD);
    qp::CItemSetup& compact = *expected->setup_type_list.items[0];
    qp::CItemComponent* program = Named(expected->root_component.children, "Program Files");
    qp::CItemComponent* help = Named(expected->root_component.children, "Help Files");
    qp::CItemComponent* templates = Named(expected->root_component.children, "Templates");
    ASSERT_TRUE(program && help && templates);
    auto node_of = [&](const char* name) { return qpgui::FindNode(remote, setup_tree, name); };
    struct Box {
        const char* name;
        int state;  // 2 checked, 1 cleared
    };
    auto expect_boxes = [&](std::initializer_list<Box> boxes, const char* when) {
        for (const Box& b : boxes) {
            HTREEITEM n = nullptr;
            EXPECT_TRUE(qpe2e::WaitFor([&] { return (n = node_of(b.name)) && CheckState(setup_tree, n) == b.state; }, 5000))
                << when << ": " << b.name << " box " << (n ? CheckState(setup_tree, n) : -1);
        }
    };
    expect_boxes({{"Program Files", 2}, {"Help Files", 1}, {"Templates", 1}}, "as opened");
    // The space bar on Templates takes it in (with Program Files, which it requires: there already).
    click_node(setup_tree, node_of("Templates"));
    ASSERT_TRUE(PressKeys(setup_tree, {VK_SPACE}));
    model.ToggleMembership(compact, *templates);
    expect_boxes({{"Templates", 2}}, "space on Templates");
    // Program Files cannot go while Templates, a member, requires it; the selection stayed, so the
    // space bar goes on from where the author is.
    ASSERT_TRUE(PressKeys(setup_tree, {VK_UP}));
    ASSERT_TRUE(PressKeys(setup_tree, {VK_UP}));
    ASSERT_TRUE(PressKeys(setup_tree, {VK_SPACE}));
    EXPECT_EQ(model.ToggleMembership(compact, *program), qp::ProjectEdits::Membership::kRefused);
    expect_boxes({{"Program Files", 2}}, "space on Program Files");
    // A click on Help Files' box takes it in.
    {
        const RECT r = remote.TreeItemRect(setup_tree, node_of("Help Files"));
        qpgui::Click(setup_tree, POINT{r.left - 26, (r.top + r.bottom) / 2});
        model.ToggleMembership(compact, *help);
        expect_boxes({{"Help Files", 2}, {"Program Files", 2}, {"Templates", 2}}, "click on Help Files' box");
    }
    qpe2e::Screenshot("items-setup-boxes");

    // --- a rename shows in the component window's caption ---------------------------------------
    HWND components = select_tab(1);
    click_node(components, qpgui::FindNode(remote, components, "Templates"));
    ASSERT_NE(WaitChild(client, "Component - Templates"), nullptr);
    ASSERT_TRUE(PressKeys(components, {VK_CONTROL, 'R'}));
    HWND label = nullptr;
    ASSERT_TRUE(qpe2e::WaitFor([&] { return (label = HWND(SendMessageA(components, TVM_GETEDITCONTROL, 0, 0))) != nullptr &&
                                             qpgui::FocusOf(label) == label; }, 5000))
        << "Ctrl+R started no label edit";
    ASSERT_TRUE(qpgui::TypeKeys(label, "Letters"));  // over the selected old name
    ASSERT_TRUE(PressKeys(label, {VK_RETURN}));
    EXPECT_NE(WaitChild(client, "Component - Letters"), nullptr) << "the caption kept the old name";
    model.RenameComponent(*templates, "Letters");

    // --- the registry window ----------------------------------------------------------------------
    HWND reg_tree = select_tab(3);
    HTREEITEM key_node = qpgui::FindNode(remote, reg_tree, "Notepadish");
    ASSERT_NE(key_node, nullptr);
    click_node(reg_tree, key_node);
    HWND reg_window = WaitChild(client, "Registry");
    ASSERT_NE(reg_window, nullptr);
    HWND reg_list = FindWindowExA(reg_window, nullptr, WC_LISTVIEWA, nullptr);
    qpe2e::WaitFor([&] { return SendMessageA(reg_list, LVM_GETITEMCOUNT, 0, 0) == 3; }, 5000);
    if (SendMessageA(reg_list, LVM_GETITEMCOUNT, 0, 0) != 3) qpe2e::Screenshot("items-registry-failed");
    ASSERT_EQ(SendMessageA(reg_list, LVM_GETITEMCOUNT, 0, 0), 3);
    // Each row has the picture of its type.
    const struct {
        const char* type;
        int image;
    } rows[] = {{"REG_SZ", 1}, {"REG_BINARY", 2}, {"REG_DWORD", 3}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(remote.ListText(reg_list, i, 1), rows[i].type);
        EXPECT_EQ(remote.ListImage(reg_list, i), rows[i].image) << rows[i].type;
    }
    qp::CRegistry* key = expected->registry_root.children[0]->children[1]->children[0]->children[0].get();
    ASSERT_EQ(key->name, "Notepadish");

    // " Key" from the window's own menu (New, then the first entry of its sub-menu).
    const RECT last_row = remote.ListItemRect(reg_list, 2);
    const POINT below_rows{40, last_row.bottom + 30};
    ASSERT_TRUE(qpgui::ContextMenu(reg_list, below_rows, {VK_DOWN, VK_RIGHT}, "items-registry-menu"));
    qp::CRegistry* new_key = model.NewRegistry(*key, qp::CRegistry::kKey);
    EXPECT_TRUE(qpe2e::WaitFor([&] { return qpgui::FindNode(remote, reg_tree, new_key->name, key_node) != nullptr; }, 5000))
        << "\" Key\" made no key below Notepadish";
    // "AddEntry": a registry set below the root, whatever the window shows.
    ASSERT_TRUE(qpgui::ContextMenu(reg_list, below_rows, {VK_DOWN, VK_DOWN}));
    qp::CRegistry* set = model.NewRegistry(expected->registry_root, qp::CRegistry::kSet);
    EXPECT_TRUE(qpe2e::WaitFor([&] {
        for (HTREEITEM n = qpgui::Child(reg_tree, qpgui::Root(reg_tree)); n; n = qpgui::Next(reg_tree, n))
            if (remote.TreeText(reg_tree, n) == set->name) return qpgui::Child(reg_tree, n) != nullptr;  // with its hives
        return false;
    }, 5000)) << "\"AddEntry\" made no registry set";
    EXPECT_EQ(SendMessageA(reg_list, LVM_GETITEMCOUNT, 0, 0), 3) << "the window left the key it shows";

    // "Modify" from the registry tree's menu (from the bottom: Properties, then Modify): the first
    // value's editor, as no row is selected.
    key_node = qpgui::FindNode(remote, reg_tree, "Notepadish");
    ASSERT_TRUE(qpgui::ContextMenu(reg_tree, Middle(remote.TreeItemRect(reg_tree, key_node)), {VK_UP, VK_UP}, "items-registry-tree-menu"));
    HWND dlg = WaitBox(pid, "Edit String");
    ASSERT_NE(dlg, nullptr) << "\"Modify\" in the registry tree's menu opened nothing";
    EXPECT_EQ(qpe2e::ItemText(dlg, 4101), "<TARGETDIR>");
    qpe2e::Press(dlg, IDCANCEL);
    qpe2e::WaitGone(dlg);
    // A double click on a value opens its editor.
    qpgui::DoubleClick(reg_list, Middle(remote.ListItemRect(reg_list, 2)));
    dlg = WaitBox(pid, "Edit DWORD Value");
    ASSERT_NE(dlg, nullptr) << "a double click on FontSize opened nothing";
    EXPECT_EQ(qpe2e::ItemText(dlg, 4101), "0000000B");
    qpe2e::Screenshot("items-registry-dblclick");
    qpe2e::Press(dlg, IDCANCEL);
    qpe2e::WaitGone(dlg);
    qpe2e::Screenshot("items-registry-window");

    // --- a shortcut made with Insert File ------------------------------------------------------
    HWND link_tree = select_tab(5);
    HTREEITEM folder_node = qpgui::FindNode(remote, link_tree, "Program Folder");
    ASSERT_NE(folder_node, nullptr);
    ASSERT_TRUE(qpgui::ContextMenu(link_tree, Middle(remote.TreeItemRect(link_tree, folder_node)), {VK_DOWN, VK_DOWN}, "items-link-menu"));
    qp::CObListShort* folder = expected->shortcut_root.children[0]->children[0]->children[1].get();
    ASSERT_EQ(folder->name, "Program Folder");
    qp::CObListShort* shortcut = model.NewShortcut(*folder, qp::CObListShort::kShortcut);
    EXPECT_EQ(shortcut->name, "New shortcut#1");
    HWND made_label = nullptr;
    ASSERT_TRUE(qpe2e::WaitFor([&] { return (made_label = HWND(SendMessageA(link_tree, TVM_GETEDITCONTROL, 0, 0))) != nullptr; }, 5000));
    ASSERT_TRUE(PressKeys(made_label, {VK_ESCAPE}));  // the name it was made with
    ASSERT_TRUE(qpe2e::WaitFor([&] { return !IsWindow(made_label) && !SendMessageA(link_tree, TVM_GETEDITCONTROL, 0, 0); }, 5000))
        << "the label edit outlived Escape";
    HTREEITEM made = qpgui::FindNode(remote, link_tree, "New shortcut#1", folder_node);
    ASSERT_NE(made, nullptr) << "Insert File made no \"New shortcut#1\"";
    click_node(link_tree, made);
    HWND link_window = WaitChild(client, "Link- New shortcut#1");
    ASSERT_NE(link_window, nullptr);
    HWND link_list = FindWindowExA(link_window, nullptr, WC_LISTVIEWA, nullptr);
    // Its target set in the shortcut dialog: it takes the file's name, and so does its text.
    qpgui::DoubleClick(link_list, Middle(remote.ListItemRect(link_list, 2)));
    dlg = WaitBox(pid, "Shortcut Properties");
    ASSERT_NE(dlg, nullptr);
    SendMessageA(GetDlgItem(dlg, kTarget), WM_SETTEXT, 0, LPARAM("<TARGETDIR>\\notes.txt"));
    qpe2e::Press(dlg, IDOK);
    qpe2e::WaitGone(dlg);
    shortcut->target = "<TARGETDIR>\\notes.txt";
    model.RenameShortcut(*shortcut, "notes");
    shortcut->display_text = "notes";
    EXPECT_NE(WaitChild(client, "Link- notes"), nullptr) << "the shortcut kept its made name, or the caption the old one";
    EXPECT_NE(qpgui::FindNode(remote, link_tree, "notes", folder_node), nullptr);
    EXPECT_EQ(remote.ListText(link_list, 0, 1), "notes");
    // Renamed by the author: the caption follows.
    made = qpgui::FindNode(remote, link_tree, "notes", folder_node);
    ASSERT_NE(made, nullptr);
    // A click on its icon gives the tree the focus; one on the label of the selected node would
    // start a label edit of its own a moment later, racing the one Ctrl+R starts.
    const RECT made_rect = remote.TreeItemRect(link_tree, made);
    qpgui::Click(link_tree, POINT{made_rect.left - 8, (made_rect.top + made_rect.bottom) / 2});
    ASSERT_EQ(TreeView_GetSelection(link_tree), made);
    ASSERT_TRUE(PressKeys(link_tree, {VK_CONTROL, 'R'}));
    ASSERT_TRUE(qpe2e::WaitFor([&] { return (label = HWND(SendMessageA(link_tree, TVM_GETEDITCONTROL, 0, 0))) != nullptr; }, 5000))
        << "Ctrl+R started no label edit (focus on a " << ClassOf(qpgui::FocusOf(link_tree)) << ")";
    // Under Wine the edit now and then shows without the caret, the focus left on the tree: the
    // author clicks into it, as one would.
    if (!qpe2e::WaitFor([&] { return qpgui::FocusOf(label) == label; }, 2000)) qpgui::Click(label, POINT{4, 4});
    // The whole text chosen before typing, as the author does when the edit does not open with
    // its text chosen (seen under Wine: the edit then also held the shortcut's first name).
    ASSERT_TRUE(PressKeys(label, {VK_HOME}));
    ASSERT_TRUE(PressKeys(label, {VK_SHIFT, VK_END}));
    ASSERT_TRUE(qpgui::TypeKeys(label, "Read me"));
    ASSERT_TRUE(PressKeys(label, {VK_RETURN}));
    EXPECT_NE(WaitChild(client, "Link- Read me"), nullptr) << "the caption kept the old name";
    model.RenameShortcut(*shortcut, "Read me");

    // --- the file-group page, worked with the space bar -----------------------------------------
    qpgui::DoubleClick(link_list, Middle(remote.ListItemRect(link_list, 10)));
    HWND sheet = WaitBox(pid, "Group Properties");
    ASSERT_NE(sheet, nullptr);
    HWND page = FindWindowExA(sheet, nullptr, "#32770", nullptr);
    HWND groups = GetDlgItem(page, kGroupTree);
    ASSERT_NE(groups, nullptr);
    HTREEITEM program_group = qpgui::FindNode(remote, groups, "Program");
    ASSERT_NE(program_group, nullptr);
    EXPECT_EQ(CheckState(groups, program_group), 1) << "a new shortcut has no group";
    click_node(groups, program_group);
    ASSERT_TRUE(PressKeys(groups, {VK_SPACE}));
    EXPECT_TRUE(qpe2e::WaitFor([&] { return CheckState(groups, program_group) == 2; }, 5000));
    qpe2e::Screenshot("items-group-properties");
    qpe2e::Press(sheet, IDOK);
    qpe2e::WaitGone(sheet);
    shortcut->file_groups.push_back(expected->FindGroup("Program"));
    EXPECT_TRUE(qpe2e::WaitFor([&] { return remote.ListText(link_list, 10, 1) == "Program"; }, 5000))
        << remote.ListText(link_list, 10, 1);
    qpe2e::Screenshot("items-link-window");

    // --- "Advanced" in the settings sheet, then Cancel: the gradient goes back ----------------------
    // The client area's bottom right corner, where no item window reaches: the end colour.
    RECT area;
    GetClientRect(client, &area);
    const int px = area.right - 3, py = area.bottom - 2;
    const COLORREF bottom_before = ClientPixel(client, px, py);
    ASSERT_NE(bottom_before, CLR_INVALID);
    ASSERT_TRUE(qpb.Menu(kSettings));
    sheet = WaitBox(pid, "Project Files");
    ASSERT_NE(sheet, nullptr);
    SendMessageA(sheet, PSM_SETCURSEL, 6, 0);
    qpe2e::WaitFor([&] { return (page = HWND(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0))) && IsWindowVisible(page); }, 5000);
    qpgui::Click(GetDlgItem(page, kAdvanced), POINT{10, 8});
    HWND chooser = WaitBox(pid, "GradientColor");
    ASSERT_NE(chooser, nullptr);
    // The end colour's panel (the lower one): red to 255.
    HWND end_panel = nullptr;
    for (HWND c = FindWindowExA(chooser, nullptr, "#32770", nullptr); c; c = FindWindowExA(chooser, c, "#32770", nullptr)) {
        RECT a{}, b{};
        GetWindowRect(c, &a);
        if (end_panel) GetWindowRect(end_panel, &b);
        if (!end_panel || a.top > b.top) end_panel = c;
    }
    ASSERT_NE(end_panel, nullptr);
    SendMessageA(GetDlgItem(end_panel, 1002), WM_SETTEXT, 0, LPARAM("255"));
    qpe2e::Screenshot("items-advanced");
    qpe2e::Press(chooser, IDOK);
    qpe2e::WaitGone(chooser);
    EXPECT_TRUE(qpe2e::WaitFor([&] { return GetRValue(ClientPixel(client, px, py)) >= 0xF0; }, 5000))
        << "the frame does not show the chosen colour";
    qpe2e::Press(sheet, IDCANCEL);
    qpe2e::WaitGone(sheet);
    EXPECT_TRUE(qpe2e::WaitFor([&] { return ClientPixel(client, px, py) == bottom_before; }, 5000))
        << std::hex << "the frame keeps " << ClientPixel(client, px, py) << " after Cancel, was " << bottom_before;
    qpe2e::Screenshot("items-after-cancel");

    // --- saved: exactly these edits (the colours as they were) -----------------------------------
    ASSERT_TRUE(qpb.Menu(kSave));
    EXPECT_TRUE(qpe2e::WaitFor([&] { return qpe2e::Text(frame) == "Quillpacker - notepadish.qpk"; }, 20000)) << qpe2e::Text(frame);
    const std::string expected_path = (work / "expected.qpk").string();
    ASSERT_TRUE(qp::SaveProject(*expected, expected_path, quiet));
    EXPECT_EQ(DumpBody(project, work.string()), DumpBody(expected_path, work.string()));
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(qpb.process.Wait(10000), 0u);
}
