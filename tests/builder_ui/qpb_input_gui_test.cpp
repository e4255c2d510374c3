// qpb.exe under Wine and Xvfb, driven with real key presses, the menu bar and drops: the
// clipboard and undo keys reach a grid cell and a tree label being edited (and the text typed
// is what is stored); the space bar on a language's box changes the project as a click does;
// files and projects dropped on item windows; File > New cancelled keeps the open project; the
// build wizard refuses a kit name that is no folder and leaves no empty kit root behind, also
// when the build fails. Screenshots go to the shots folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "builder/model/projectfile.h"
#include "common/languages.h"
#include "support/gui_driver.h"
#include "remote.h"

namespace fs = std::filesystem;
using qpgui::Remote;

namespace {

constexpr UINT kNew = 57600, kWindowLink = 32796, kWindowRegistry = 32794;
constexpr UINT GRM_GETROW = WM_APP + 0x207, GRM_GETCOL = WM_APP + 0x208, GRM_GETCOLS = WM_APP + 0x202,
               GRM_GETTEXT = WM_APP + 0x20D;
constexpr int kKitNameField = 1210;

HWND WaitBox(DWORD pid, const std::string& caption, DWORD ms = 15000) { return qpe2e::WaitTop(pid, "#32770", caption, ms); }

HWND MdiChild(HWND client, const std::string& caption) {
    HWND found = nullptr;
    qpe2e::WaitFor([&] {
        for (HWND c = GetWindow(client, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (qpe2e::Text(c) == caption && IsWindowVisible(c)) found = c;
        return found != nullptr;
    }, 10000);
    return found;
}

// The example project copied into `work` (project file, side files, data).
std::string CopyExample(const fs::path& work) {
    std::error_code ec;
    fs::remove_all(work, ec);
    fs::create_directories(work);
    const fs::path from = fs::path(QP_EXAMPLE_DIR);
    for (const auto& e : fs::recursive_directory_iterator(from)) {
        const fs::path to = work / fs::relative(e.path(), from);
        if (e.path().filename() == "KITS") continue;
        if (e.is_directory()) fs::create_directories(to);
        else if (to.string().find("KITS") == std::string::npos) fs::copy_file(e.path(), to);
    }
    return (work / "notepadish.qpk").string();
}

// Clicks a node's label: selected, and the tree has the focus.
void ClickNode(Remote& r, HWND tree, HTREEITEM node) { qpgui::Click(tree, qpgui::Middle(r.TreeItemRect(tree, node))); }

std::string Cell(Remote& r, HWND grid, int row, int col) { return r.TextReply(grid, GRM_GETTEXT, MAKEWPARAM(row, col)); }

std::string EditText(HWND edit) { return qpe2e::Text(edit); }

HWND ChildOfClass(HWND parent, const char* cls) { return FindWindowExA(parent, nullptr, cls, nullptr); }

// Answers a message box of `pid` captioned `caption` with `button`; its text.
std::string Answer(DWORD pid, const std::string& caption, int button) {
    HWND box = WaitBox(pid, caption);
    if (!box) return "(no box)";
    const std::string text = qpe2e::BoxText(box);
    qpe2e::Press(box, button);
    qpe2e::WaitGone(box, 10000);
    return text;
}

bool IsChecked(HWND tree, HTREEITEM node) {
    return ((SendMessageA(tree, TVM_GETITEMSTATE, WPARAM(node), TVIS_STATEIMAGEMASK) & TVIS_STATEIMAGEMASK) >> 12) == 2;
}

}  // namespace

TEST(QpbInput, EditKeysSpaceBarDropsAndNewCancelled) {
    const fs::path work = fs::path(QP_WORK_DIR).make_preferred() / "input";
    const std::string project = CopyExample(work);
    const fs::path other_dir = fs::path(QP_WORK_DIR).make_preferred() / "input-other";
    const std::string other = CopyExample(other_dir);
    const std::string dropped_file = (work / "dropped.txt").string();
    std::ofstream(dropped_file) << "dropped";

    qpgui::Qpb b(QP_QPB_EXE, project);
    ASSERT_NE(b.frame, nullptr);
    const DWORD pid = b.process.Id();
    Remote remote(b.frame);

    // ---- a grid cell being edited takes its own keys ----------------------------------------------
    b.SelectTab(remote, 4);
    HTREEITEM english = qpgui::FindNode(remote, b.trees[4], std::string(qp::LanguageName(0)));
    ASSERT_NE(english, nullptr);
    ClickNode(remote, b.trees[4], english);
    HWND strings = MdiChild(b.client, "String -" + std::string(qp::LanguageName(0)));
    ASSERT_NE(strings, nullptr);
    HWND grid = ChildOfClass(strings, "QpGrid");
    ASSERT_NE(grid, nullptr);
    // The example shows no language column: the space bar on English's box gives it one, as a
    // click on the box does (and the box shows it).
    ASSERT_FALSE(IsChecked(b.trees[4], english));
    const int id_only = int(SendMessageA(grid, GRM_GETCOLS, 0, 0));
    ASSERT_TRUE(qpgui::PressKeys(b.trees[4], {VK_SPACE}));
    EXPECT_TRUE(qpe2e::WaitFor([&] { return int(SendMessageA(grid, GRM_GETCOLS, 0, 0)) == id_only + 1; }, 3000));
    EXPECT_TRUE(qpe2e::WaitFor([&] { return IsChecked(b.trees[4], english); }, 3000));
    qpe2e::Screenshot("input-language-space");
    // A click on the first row's first language cell (past the narrow fixed column and "ID").
    qpgui::Click(grid, POINT{20 + 150 + 40, 30});
    const int row = int(SendMessageA(grid, GRM_GETROW, 0, 0)), col = int(SendMessageA(grid, GRM_GETCOL, 0, 0));
    ASSERT_EQ(row, 1);
    ASSERT_EQ(col, 2);
    const std::string before = Cell(remote, grid, row, col), below = Cell(remote, grid, row + 1, col);
    ASSERT_TRUE(qpgui::PressKeys(grid, {VK_F2}));
    HWND cell = nullptr;
    ASSERT_TRUE(qpe2e::WaitFor([&] { return (cell = ChildOfClass(grid, "Edit")) != nullptr; }, 5000)) << "F2 opened no edit box";
    EXPECT_EQ(EditText(cell), before);
    ASSERT_TRUE(qpgui::TypeKeys(cell, "typed"));
    EXPECT_EQ(EditText(cell), "typed");
    qpgui::SetClipboardText("clip");
    // Copy and Cut take the text being typed, not the cell's stored one; undo brings it back.
    ASSERT_TRUE(qpgui::PressKeys(cell, {VK_CONTROL, 'A'}));
    ASSERT_TRUE(qpgui::PressKeys(cell, {VK_CONTROL, 'C'}));
    EXPECT_EQ(qpgui::ClipboardText(), "typed");
    ASSERT_TRUE(qpgui::PressKeys(cell, {VK_CONTROL, 'X'}));
    EXPECT_EQ(EditText(cell), "");
    ASSERT_TRUE(qpgui::PressKeys(cell, {VK_CONTROL, 'Z'}));
    EXPECT_EQ(EditText(cell), "typed");
    qpgui::SetClipboardText(" and pasted");
    ASSERT_TRUE(qpgui::PressKeys(cell, {VK_END}));
    ASSERT_TRUE(qpgui::PressKeys(cell, {VK_CONTROL, 'V'}));
    EXPECT_EQ(EditText(cell), "typed and pasted");
    qpe2e::Screenshot("input-grid-cell-edit");
    ASSERT_TRUE(qpgui::PressKeys(cell, {VK_RETURN}));
    EXPECT_TRUE(qpe2e::WaitGone(cell, 5000));
    // What was typed is the cell; the paste went nowhere else.
    EXPECT_EQ(Cell(remote, grid, row, col), "typed and pasted");
    EXPECT_EQ(Cell(remote, grid, row + 1, col), below);
    // Not editing, Ctrl+C is the string window's Copy of the current cell again.
    qpgui::SetClipboardText("");
    ASSERT_TRUE(qpgui::PressKeys(grid, {VK_CONTROL, 'C'}));
    EXPECT_EQ(qpgui::ClipboardText(), "typed and pasted");

    // ---- a tree label being edited takes them too ------------------------------------------------------
    b.SelectTab(remote, 0);
    HTREEITEM templates = qpgui::FindNode(remote, b.trees[0], "Templates");
    ASSERT_NE(templates, nullptr);
    ClickNode(remote, b.trees[0], templates);
    ASSERT_TRUE(qpgui::PressKeys(b.trees[0], {VK_CONTROL, 'R'}));  // Rename, the frame's key
    HWND label = nullptr;
    ASSERT_TRUE(qpe2e::WaitFor([&] { return (label = HWND(SendMessageA(b.trees[0], TVM_GETEDITCONTROL, 0, 0))) != nullptr; }, 5000));
    ASSERT_TRUE(qpgui::TypeKeys(label, "Letters"));
    ASSERT_TRUE(qpgui::PressKeys(label, {VK_CONTROL, 'A'}));
    ASSERT_TRUE(qpgui::PressKeys(label, {VK_CONTROL, 'C'}));
    EXPECT_EQ(qpgui::ClipboardText(), "Letters");
    qpgui::SetClipboardText("Forms");
    ASSERT_TRUE(qpgui::PressKeys(label, {VK_CONTROL, 'V'}));
    EXPECT_EQ(EditText(label), "Forms");
    qpe2e::Screenshot("input-tree-label-edit");
    ASSERT_TRUE(qpgui::PressKeys(label, {VK_RETURN}));
    EXPECT_TRUE(qpe2e::WaitGone(label, 5000));
    EXPECT_EQ(remote.TreeText(b.trees[0], templates), "Forms");

    // ---- the space bar on a language's box ---------------------------------------------------------
    b.SelectTab(remote, 4);
    HTREEITEM german = qpgui::FindNode(remote, b.trees[4], std::string(qp::LanguageName(1)));
    ASSERT_NE(german, nullptr);
    ClickNode(remote, b.trees[4], german);
    const int columns = int(SendMessageA(grid, GRM_GETCOLS, 0, 0));
    const bool shown = IsChecked(b.trees[4], german);
    ASSERT_TRUE(qpgui::PressKeys(b.trees[4], {VK_SPACE}));
    // The box, the string window's columns and (after the save below) the project all follow.
    EXPECT_TRUE(qpe2e::WaitFor([&] { return IsChecked(b.trees[4], german) != shown; }, 3000));
    EXPECT_EQ(int(SendMessageA(grid, GRM_GETCOLS, 0, 0)), columns + (shown ? -1 : 1));
    Sleep(300);  // the tree's own toggle has long been made: the box must still show the model
    EXPECT_NE(IsChecked(b.trees[4], german), shown);
    qpe2e::Screenshot("input-language-space-again");

    // ---- drops -----------------------------------------------------------------------------------------
    // Files on a window that holds none: told why, nothing added.
    ASSERT_TRUE(b.Menu(kWindowLink));
    HWND link = MdiChild(b.client, "Link- Desktop");
    if (!link) link = MdiChild(b.client, "Link");
    ASSERT_NE(link, nullptr);
    ASSERT_TRUE(qpgui::DropFiles(link, {dropped_file}));
    HWND why = WaitBox(pid, "Quillpacker");
    ASSERT_NE(why, nullptr) << "a drop of files on the link window says nothing";
    EXPECT_NE(qpe2e::BoxText(why).find("holds no files"), std::string::npos) << qpe2e::BoxText(why);
    qpe2e::Screenshot("input-drop-refused");
    qpe2e::Press(why, IDOK);
    qpe2e::WaitGone(why, 5000);
    // Files on a group's window join its root folder.
    b.SelectTab(remote, 0);
    HTREEITEM help = qpgui::FindNode(remote, b.trees[0], "Help");
    ASSERT_NE(help, nullptr);
    ClickNode(remote, b.trees[0], help);
    HWND group = MdiChild(b.client, "Group - Help");
    ASSERT_NE(group, nullptr);
    ASSERT_TRUE(qpgui::DropFiles(group, {dropped_file, work.string()}));
    qpe2e::Sync(b.frame);
    // On the files window: in drop order, the folder left out.
    const std::string second = (work / "second.txt").string();
    std::ofstream(second) << "second";
    HTREEITEM program = qpgui::FindNode(remote, b.trees[0], "Program");
    ASSERT_NE(program, nullptr);
    HTREEITEM program_files = qpgui::Child(b.trees[0], program);
    ASSERT_NE(program_files, nullptr);
    SendMessageA(b.trees[0], TVM_EXPAND, TVE_EXPAND, LPARAM(program));
    SendMessageA(b.trees[0], TVM_ENSUREVISIBLE, 0, LPARAM(program_files));
    ClickNode(remote, b.trees[0], program_files);
    HWND files = MdiChild(b.client, "Files");
    ASSERT_NE(files, nullptr);
    HWND files_list = GetWindow(files, GW_CHILD);
    const int rows_before = int(SendMessageA(files_list, LVM_GETITEMCOUNT, 0, 0));
    ASSERT_TRUE(qpgui::DropFiles(files, {second, work.string(), dropped_file}));
    ASSERT_TRUE(qpe2e::WaitFor([&] { return int(SendMessageA(files_list, LVM_GETITEMCOUNT, 0, 0)) == rows_before + 2; }, 5000));
    int first_folder = 0;  // files come first in the list, then the folders
    while (first_folder < rows_before + 2 && remote.ListText(files_list, first_folder, 2) != "Folder") ++first_folder;
    ASSERT_GE(first_folder, 2);
    EXPECT_EQ(remote.ListText(files_list, first_folder - 2, 0), "second.txt");
    EXPECT_EQ(remote.ListText(files_list, first_folder - 1, 0), "dropped.txt");
    qpe2e::Screenshot("input-files-dropped");

    // Saved with the real key: the project holds what the windows showed.
    ASSERT_TRUE(qpgui::PressKeys(b.trees[0], {VK_CONTROL, 'S'}));
    ASSERT_TRUE(qpe2e::WaitFor([&] { return qpe2e::Text(b.frame) == "Quillpacker - notepadish.qpk"; }, 10000))
        << qpe2e::Text(b.frame);
    {
        qp::NullReporter quiet;
        std::unique_ptr<qp::CDazDoc> saved = qp::OpenProject(project, quiet);
        ASSERT_TRUE(saved);
        EXPECT_NE(saved->group_list.Find("Forms"), nullptr);
        const qp::CItemGroup* g = saved->group_list.Find("Help");
        ASSERT_NE(g, nullptr);
        std::vector<std::string> names;
        for (const auto& c : g->file_tree.children)
            if (c->kind == qp::CObListFile::kFile) names.push_back(fs::path(c->name).filename().string());
        EXPECT_EQ(names.back(), "dropped.txt");  // the folder dropped with it is left out
        for (const auto& l : saved->string_table.language_list) {
            if (l->table_index == 1) {
                EXPECT_EQ(l->shown != 0, !shown);
            }
        }
        bool found = false;
        for (const auto& s : saved->string_table.items)
            for (const auto& v : s->values) found = found || v == "typed and pasted";
        EXPECT_TRUE(found) << "the edited cell is not in the project";
    }

    // ---- File > New, then Cancel: the project stays as it was ---------------------------------------
    ASSERT_TRUE(qpgui::PressKeys(b.trees[0], {VK_SPACE}));  // nothing: only the string tree has boxes
    b.SelectTab(remote, 4);
    ClickNode(remote, b.trees[4], german);
    ASSERT_TRUE(qpgui::PressKeys(b.trees[4], {VK_SPACE}));  // modified again
    ASSERT_TRUE(qpe2e::WaitFor([&] { return qpe2e::Text(b.frame) == "Quillpacker - notepadish.qpk*"; }, 5000));
    ASSERT_TRUE(b.Menu(kNew));
    HWND dlg = WaitBox(pid, "New Project");
    ASSERT_NE(dlg, nullptr);
    qpe2e::Screenshot("input-new-project");
    qpe2e::Press(dlg, IDCANCEL);
    ASSERT_TRUE(qpe2e::WaitGone(dlg, 5000));
    qpe2e::Sync(b.frame);
    EXPECT_EQ(qpe2e::Text(b.frame), "Quillpacker - notepadish.qpk*") << "New then Cancel changed the open project";
    EXPECT_EQ(qpe2e::FindTop(pid, "#32770", "Quillpacker"), nullptr) << "New then Cancel asked about the open project";
    EXPECT_NE(qpgui::FindNode(remote, b.trees[0], "Forms"), nullptr);
    // New with a name, then Cancel on the question about the open project's changes: that
    // project stays, and no new project file is written.
    ASSERT_TRUE(b.Menu(kNew));
    dlg = WaitBox(pid, "New Project");
    ASSERT_NE(dlg, nullptr);
    SendMessageA(GetDlgItem(dlg, 1201), WM_SETTEXT, 0, LPARAM("fresh"));
    qpe2e::Press(dlg, IDOK);
    EXPECT_NE(Answer(pid, "Quillpacker", IDCANCEL).find("Save changes"), std::string::npos);
    qpe2e::Sync(b.frame);
    EXPECT_EQ(qpe2e::Text(b.frame), "Quillpacker - notepadish.qpk*");
    EXPECT_FALSE(fs::exists(work / "fresh.qpk")) << "the new project was written though the open one was kept";

    // ---- a project dropped on an item window opens it, asking about the changes ----------------------------
    ASSERT_TRUE(b.Menu(kWindowRegistry));
    HWND registry = MdiChild(b.client, "Registry");
    ASSERT_NE(registry, nullptr);
    ASSERT_TRUE(qpgui::DropFiles(registry, {dropped_file, other}));
    EXPECT_NE(Answer(pid, "Quillpacker", IDCANCEL).find("Save changes"), std::string::npos);
    qpe2e::Sync(b.frame);
    EXPECT_EQ(qpe2e::Text(b.frame), "Quillpacker - notepadish.qpk*") << "Cancel did not keep the project";
    ASSERT_TRUE(qpgui::DropFiles(registry, {other}));
    Answer(pid, "Quillpacker", IDNO);
    EXPECT_TRUE(qpe2e::WaitFor([&] { return qpe2e::Text(b.frame) == "Quillpacker - notepadish.qpk"; }, 10000));
    EXPECT_NE(qpgui::FindNode(remote, b.trees[0], "Templates"), nullptr) << "the dropped project is not the one shown";
    qpe2e::Screenshot("input-project-dropped");
}

TEST(QpbInput, BuildWizardRefusesNamesAndLeavesNoEmptyKitRoot) {
    const fs::path work = fs::path(QP_WORK_DIR).make_preferred() / "kitname";
    const std::string project = CopyExample(work);
    const fs::path kits = work / "KITS";
    {
        qpgui::Qpb b(QP_QPB_EXE, project);
        ASSERT_NE(b.frame, nullptr);
        const DWORD pid = b.process.Id();
        HWND wizard = nullptr, page = nullptr;
        ASSERT_TRUE(b.OpenBuildWizard(wizard, page));
        EXPECT_TRUE(fs::is_directory(kits)) << "the page lists the kit root it made";
        struct Row {
            const char* name;
            const char* says;
        } rows[] = {{"", "Type a name"}, {"a:b", "':'"}, {"Kits\\One", "separator"}};
        for (const Row& r : rows) {
            SendMessageA(GetDlgItem(page, kKitNameField), WM_SETTEXT, 0, LPARAM(r.name));
            PostMessageA(wizard, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
            HWND box = nullptr;
            ASSERT_TRUE(qpe2e::WaitFor([&] {
                box = qpe2e::FindTop(pid, "#32770", "Build Media");
                return box && box != wizard;
            }, 10000)) << "Finish with \"" << r.name << "\" was not refused";
            EXPECT_NE(qpe2e::BoxText(box).find(r.says), std::string::npos) << qpe2e::BoxText(box);
            if (!*r.name) qpe2e::Screenshot("input-kit-name-refused");
            qpe2e::Press(box, IDOK);
            qpe2e::WaitGone(box, 5000);
            EXPECT_TRUE(IsWindow(wizard)) << "the wizard closed on \"" << r.name << "\"";
        }
        qpe2e::Press(wizard, IDCANCEL);
        ASSERT_TRUE(qpe2e::WaitGone(wizard, 10000));
        qpe2e::Sync(b.frame);
        EXPECT_FALSE(fs::exists(kits)) << "Cancel left the empty kit root";
    }

    // A build that fails (a builder without its runtime and compressor beside it) leaves no empty
    // kit root either.
    const fs::path bare = fs::path(QP_WORK_DIR).make_preferred() / "bare-builder";
    std::error_code ec;
    fs::remove_all(bare, ec);
    fs::create_directories(bare);
    fs::copy_file(fs::path(QP_QPB_EXE), bare / "qpb.exe");
    qpgui::Qpb b((bare / "qpb.exe").string(), project);
    ASSERT_NE(b.frame, nullptr);
    const DWORD pid = b.process.Id();
    HWND wizard = nullptr, page = nullptr;
    ASSERT_TRUE(b.OpenBuildWizard(wizard, page));
    SendMessageA(GetDlgItem(page, kKitNameField), WM_SETTEXT, 0, LPARAM("Broken"));
    PostMessageA(wizard, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    ASSERT_TRUE(qpe2e::WaitGone(wizard, 10000));
    // Every failure is told in a box; each is answered until the build is over.
    int boxes = 0;
    qpe2e::WaitFor([&] {
        // (The build's progress window, captioned "Build Media" too, has no OK.)
        HWND box = nullptr;
        for (const char* caption : {"Quillpacker", "Error", "Build Media"})
            if (!box && (box = qpe2e::FindTop(pid, "#32770", caption)) && !GetDlgItem(box, IDOK)) box = nullptr;
        if (box) {
            if (boxes++ == 0) qpe2e::Screenshot("input-failed-build");
            qpe2e::Press(box, IDOK, 2000);
            qpe2e::WaitGone(box, 5000);
            return false;
        }
        return boxes > 0 && qpe2e::Text(b.frame).find("Quillpacker") == 0 && IsWindowEnabled(b.frame) &&
               qpe2e::FindTop(pid, "#32770", "") == nullptr;
    }, 60000);
    EXPECT_GT(boxes, 0) << "the failed build said nothing";
    qpgui::CloseExplorerOn("Broken", 3000);
    EXPECT_FALSE(fs::exists(kits)) << "the failed build left the kit root behind";
}
