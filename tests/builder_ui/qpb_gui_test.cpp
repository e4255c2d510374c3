// qpb.exe under Wine and Xvfb, driven through its own windows: the example project is opened,
// every tree is read back against the project, a group and a folder are made and renamed (a
// duplicate name refused), files added through the files window, a component toggled in the
// setup window and another deleted; the saved project must dump exactly like the same edits
// made on the model. Build from the menu then makes a complete kit. Screenshots of the main
// window with each tab and of each item window go to the shots folder. The same imported
// ".ipr", and the same ".qpk" without a product GUID, built by qpb and by qpbc give kits of one
// product.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "builder/model/edits.h"
#include "builder/model/projectfile.h"
#include "common/kitpayload.h"
#include "common/languages.h"
#include "support/gui_driver.h"
#include "remote.h"
#include "support/example.h"
#include "support/testutil.h"
#include "support/run_process.h"

namespace fs = std::filesystem;
using qpgui::CloseExplorerOn;
using qpgui::Remote;

namespace {

constexpr UINT kInsertFolder = 32771, kInsertFile = 32772, kInsertGroup = 32773, kSave = 57603;
constexpr UINT kWindowFirst = 32790;
const char* const kTabNames[6] = {"group", "component", "setuptype", "registry", "string", "link"};

std::string Indent(int depth) { return std::string(std::size_t(depth) * 2, ' '); }

template <class Node, class Text>
void Lines(const Node& n, int depth, std::vector<std::string>& out, Text&& text, bool (*shown)(const Node&)) {
    out.push_back(Indent(depth) + text(n));
    for (const auto& c : n.children)
        if (shown(*c)) Lines(*c, depth + 1, out, text, shown);
}

// What each tree must show for `doc`, in tab order.
std::vector<std::vector<std::string>> ExpectedTrees(const qp::CDazDoc& doc) {
    std::vector<std::vector<std::string>> t(6);
    t[0].push_back("Group files");
    for (const auto& g : doc.group_list.items) {
        t[0].push_back(Indent(1) + g->name);
        Lines<qp::CObListFile>(g->file_tree, 2, t[0], [](const qp::CObListFile& f) { return f.kind == 0 ? std::string("Files") : f.name; },
                               [](const qp::CObListFile& f) { return f.kind == qp::CObListFile::kFolder; });
    }
    Lines<qp::CItemComponent>(doc.root_component, 0, t[1], [](const qp::CItemComponent& c) { return c.name; },
                              [](const qp::CItemComponent&) { return true; });
    t[2].push_back("Setup Type");
    for (const auto& s : doc.setup_type_list.items) t[2].push_back(Indent(1) + s->name);
    Lines<qp::CRegistry>(doc.registry_root, 0, t[3],
                         [](const qp::CRegistry& r) { return r.kind == 0 ? std::string("Registry Entries") : r.name; },
                         [](const qp::CRegistry& r) { return r.kind <= qp::CRegistry::kKey; });
    t[4].push_back("String");
    for (const auto& l : doc.string_table.language_list) t[4].push_back(Indent(1) + qp::LanguageName(l->table_index));
    Lines<qp::CObListShort>(doc.shortcut_root, 0, t[5], [](const qp::CObListShort& s) { return s.name; },
                            [](const qp::CObListShort&) { return true; });
    return t;
}

struct Mdi {
    HWND client = nullptr;
    // The MDI child whose caption is `caption`.
    HWND Child(const std::string& caption) const {
        for (HWND c = GetWindow(client, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (qpe2e::Text(c) == caption) return c;
        return nullptr;
    }
    HWND Active() const { return HWND(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)); }
};

HWND WaitChild(const Mdi& mdi, const std::string& caption, DWORD ms = 5000) {
    for (DWORD waited = 0; waited < ms; waited += 100) {
        if (HWND h = mdi.Child(caption)) return h;
        Sleep(100);
    }
    return nullptr;
}

HWND WaitBox(DWORD pid, const std::string& caption, DWORD ms = 10000) { return qpe2e::WaitTop(pid, "#32770", caption, ms); }

// Edits the label of the tree's selected node (the edit box the tree has open, waited for) and
// ends it.
void TypeLabel(HWND edit_owner, UINT get_edit, UINT end_now, const std::string& text) {
    HWND edit = nullptr;
    qpe2e::WaitFor([&] { return (edit = HWND(SendMessageA(edit_owner, get_edit, 0, 0))) != nullptr; }, 10000);
    ASSERT_NE(edit, nullptr) << "no label edit box opened";
    SendMessageA(edit, WM_SETTEXT, 0, LPARAM(text.c_str()));
    if (end_now) {
        SendMessageA(edit_owner, end_now, FALSE, 0);
    } else {
        SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
        SendMessageA(edit, WM_CHAR, VK_RETURN, 0);
    }
    EXPECT_TRUE(qpe2e::WaitGone(edit, 10000)) << "the label edit box stays open";
}

void ChooseFile(const qpgui::Qpb& qpb, const std::string& path) {
    ASSERT_TRUE(qpb.Menu(kInsertFile));
    HWND dlg = WaitBox(qpb.Pid(), "Insert File");
    ASSERT_NE(dlg, nullptr);
    HWND name = qpgui::FileNameBox(dlg);
    ASSERT_NE(name, nullptr);
    SendMessageA(name, WM_SETTEXT, 0, LPARAM(path.c_str()));
    qpe2e::Screenshot("insert-file");
    qpe2e::Press(dlg, IDOK);
    EXPECT_TRUE(qpe2e::WaitGone(dlg, 10000));
}

void WriteBytes(const fs::path& p, std::size_t n) {
    std::ofstream out(p, std::ios::binary);
    out << std::string(n, 'q');
}

}  // namespace

TEST(QpbGui, EditsThroughTheWindowsSaveExactlyAndBuildAKit) {
    const fs::path work = fs::path(QP_WORK_DIR).make_preferred();
    const std::string project = qptest::CopyExample(QP_EXAMPLE_DIR, work, "5E2E0B01");
    ASSERT_FALSE(project.empty());
    const std::string extra1 = (work / "extra1.txt").string(), extra2 = (work / "extra2.dat").string();
    WriteBytes(extra1, 1023);
    WriteBytes(extra2, 2048);

    qp::NullReporter quiet;
    std::unique_ptr<qp::CDazDoc> expected = qp::OpenProject(project, quiet);
    ASSERT_TRUE(expected);
    qp::ProjectEdits model(*expected);

    // The start-up picture is looked at below: not waited away.
    qpgui::Qpb qpb(QP_QPB_EXE, project, "Quillpacker - notepadish.qpk", false);
    HWND frame = qpb.frame;
    ASSERT_NE(frame, nullptr);

    // Started, it has made ".qpk" files open in it from the file explorer.
    auto class_text = [](const char* key) {
        char text[1024] = "";
        DWORD size = sizeof(text);
        RegGetValueA(HKEY_CURRENT_USER, (std::string("Software\\Classes\\") + key).c_str(), nullptr, RRF_RT_REG_SZ,
                     nullptr, text, &size);
        return std::string(text);
    };
    EXPECT_EQ("Quillpacker.Project", class_text(".qpk"));
    std::string exe = QP_QPB_EXE;
    std::replace(exe.begin(), exe.end(), '/', '\\');
    EXPECT_EQ("\"" + exe + "\" \"%1\"", class_text("Quillpacker.Project\\shell\\open\\command"));

    // The start-up picture: in front of the frame at its picture's size, gone by itself.
    HWND splash = qpe2e::FindTop(qpb.Pid(), "#32770", "");
    ASSERT_NE(splash, nullptr) << "no start-up picture";
    EXPECT_EQ(GetWindow(splash, GW_OWNER), frame);
    RECT picture{};
    GetClientRect(splash, &picture);
    EXPECT_EQ(picture.right, 360);
    EXPECT_EQ(picture.bottom, 200);
    RECT place{};
    GetWindowRect(splash, &place);
    EXPECT_EQ(WindowFromPoint(POINT{(place.left + place.right) / 2, (place.top + place.bottom) / 2}), splash)
        << "the start-up picture is behind another window";
    qpe2e::Screenshot("splash");
    EXPECT_TRUE(qpe2e::WaitGone(splash, 10000)) << "the start-up picture stays";
    Remote remote(frame);
    Mdi mdi{qpb.client};
    ASSERT_TRUE(mdi.client && qpb.bar);
    const HWND* trees = qpb.trees;

    // Every tree against the project, with a screenshot of each tab.
    const auto want = ExpectedTrees(*expected);
    for (int i = 0; i < 6; ++i) {
        qpb.SelectTab(remote, i);
        EXPECT_TRUE(IsWindowVisible(trees[i])) << kTabNames[i];
        EXPECT_EQ(qpgui::TreeLines(remote, trees[i]), want[std::size_t(i)]) << kTabNames[i];
        qpe2e::Screenshot(std::string("main-tab-") + kTabNames[i]);
    }

    // A group's rows in the group window.
    qpb.SelectTab(remote, 0);
    const qp::CItemGroup& first = *expected->group_list.items[0];
    HTREEITEM group_node = qpgui::FindNode(remote, trees[0], first.name);
    ASSERT_NE(group_node, nullptr);
    SendMessageA(trees[0], TVM_SELECTITEM, TVGN_CARET, LPARAM(group_node));
    HWND group_window = WaitChild(mdi, "Group - " + first.name);
    ASSERT_NE(group_window, nullptr);
    EXPECT_EQ(mdi.Active(), group_window);
    HWND group_list = GetWindow(group_window, GW_CHILD);
    EXPECT_EQ(remote.ListText(group_list, 0, 0), "Shared");
    EXPECT_EQ(remote.ListText(group_list, 0, 1), first.shared ? "Yes" : "No");
    EXPECT_EQ(remote.ListText(group_list, 5, 1), first.destination);
    EXPECT_EQ(remote.ListText(group_list, 4, 1), qp::OverwriteText(first.overwrite_word));
    qpe2e::Screenshot("item-group");

    // A new group: a duplicate name is refused, then a free one taken.
    ASSERT_TRUE(qpb.Menu(kInsertGroup));
    TypeLabel(trees[0], TVM_GETEDITCONTROL, TVM_ENDEDITLABELNOW, "PROGRAM");
    HTREEITEM made = HTREEITEM(SendMessageA(trees[0], TVM_GETNEXTITEM, TVGN_CARET, 0));
    EXPECT_EQ(remote.TreeText(trees[0], made), "New group#1");
    SendMessageA(trees[0], TVM_EDITLABELA, 0, LPARAM(made));
    TypeLabel(trees[0], TVM_GETEDITCONTROL, TVM_ENDEDITLABELNOW, "Extras");
    EXPECT_EQ(remote.TreeText(trees[0], made), "Extras");
    qp::CItemGroup* extras = model.NewGroup();
    EXPECT_EQ(model.RenameGroup(*extras, "PROGRAM"), qp::RenameResult::kDuplicate);
    model.RenameGroup(*extras, "Extras");

    // A folder and two files through the files window.
    HTREEITEM files_node = qpgui::Child(trees[0], made);
    ASSERT_NE(files_node, nullptr);
    SendMessageA(trees[0], TVM_SELECTITEM, TVGN_CARET, LPARAM(files_node));
    HWND files_window = WaitChild(mdi, "Files");
    ASSERT_NE(files_window, nullptr);
    EXPECT_EQ(mdi.Active(), files_window);
    HWND files_list = GetWindow(files_window, GW_CHILD);
    ASSERT_TRUE(qpb.Menu(kInsertFolder));
    TypeLabel(files_list, LVM_GETEDITCONTROL, 0, "Docs");
    qp::CObListFile* docs = model.NewFolder(extras->file_tree);
    model.RenameFolder(*docs, "Docs");
    EXPECT_EQ(qpgui::FindNode(remote, trees[0], "Docs", made) != nullptr ||
                  qpgui::FindNode(remote, trees[0], "Docs", files_node) != nullptr,
              true);
    ChooseFile(qpb, extra1);
    ChooseFile(qpb, extra2);
    qpe2e::WaitFor([&] { return SendMessageA(files_list, LVM_GETITEMCOUNT, 0, 0) == 3; }, 10000);
    ASSERT_EQ(SendMessageA(files_list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(remote.ListText(files_list, 0, 0), "extra1.txt");
    EXPECT_EQ(remote.ListText(files_list, 0, 1), " 0 K");
    EXPECT_EQ(remote.ListText(files_list, 1, 1), " 2 K");
    EXPECT_EQ(remote.ListText(files_list, 2, 0), "Docs");
    EXPECT_EQ(remote.ListText(files_list, 2, 2), "Folder");
    model.AddFiles(extras->file_tree, {remote.ListText(files_list, 0, 3), remote.ListText(files_list, 1, 3)});
    qpe2e::Screenshot("item-files");

    // Toggle a component in the setup window: a top-level component that is not yet a member.
    qpb.SelectTab(remote, 2);
    qp::CItemSetup& setup = *expected->setup_type_list.items[0];
    qp::CItemComponent* toggled = nullptr;
    for (auto& c : expected->root_component.children)
        if (!qp::ProjectEdits::IsMember(setup, c.get()) && !toggled) toggled = c.get();
    ASSERT_NE(toggled, nullptr) << "the example's first setup type holds every component";
    SendMessageA(trees[2], TVM_SELECTITEM, TVGN_CARET, LPARAM(qpgui::FindNode(remote, trees[2], setup.name)));
    HWND setup_window = WaitChild(mdi, setup.name);
    ASSERT_NE(setup_window, nullptr);
    HWND setup_tree = GetWindow(setup_window, GW_CHILD);
    HTREEITEM comp_node = qpgui::FindNode(remote, setup_tree, toggled->name);
    ASSERT_NE(comp_node, nullptr);
    const RECT text = remote.TreeItemRect(setup_tree, comp_node);
    EXPECT_EQ(remote.TreeImage(setup_tree, comp_node), 12);  // not a member
    qpgui::Click(setup_tree, POINT{text.left - 10, (text.top + text.bottom) / 2});
    // The tree is rebuilt with the component marked as a member.
    HTREEITEM marked = nullptr;
    for (int i = 0; i < 30; ++i) {
        marked = qpgui::FindNode(remote, setup_tree, toggled->name);
        if (marked && remote.TreeImage(setup_tree, marked) == 13) break;
        Sleep(100);
    }
    EXPECT_EQ(remote.TreeImage(setup_tree, marked), 13);
    EXPECT_EQ(model.ToggleMembership(setup, *toggled), qp::ProjectEdits::Membership::kAdded);
    qpe2e::Screenshot("item-setup");

    // Delete a component, answering the question.
    qpb.SelectTab(remote, 1);
    qp::CItemComponent* gone = expected->root_component.children.back().get();
    HTREEITEM gone_node = qpgui::FindNode(remote, trees[1], gone->name);
    ASSERT_NE(gone_node, nullptr);
    SendMessageA(trees[1], TVM_SELECTITEM, TVGN_CARET, LPARAM(gone_node));
    qpe2e::Screenshot("item-component");
    PostMessageA(trees[1], WM_KEYDOWN, VK_DELETE, 0);
    HWND box = WaitBox(qpb.Pid(), "Quillpacker");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(qpe2e::BoxText(box), "Delete Component?");
    qpe2e::Press(box, IDYES);
    EXPECT_TRUE(qpe2e::WaitFor([&] { return qpgui::FindNode(remote, trees[1], gone->name) == nullptr; }, 10000))
        << gone->name << " is still in the tree";
    model.DeleteComponent(*gone);

    // The other item windows, for the eye.
    qpb.SelectTab(remote, 3);
    SendMessageA(trees[3], TVM_SELECTITEM, TVGN_CARET, LPARAM(qpgui::Child(trees[3], qpgui::Root(trees[3]))));
    qpe2e::Screenshot("item-registry");
    qpb.SelectTab(remote, 4);
    SendMessageA(trees[4], TVM_SELECTITEM, TVGN_CARET, LPARAM(qpgui::Child(trees[4], qpgui::Root(trees[4]))));
    qpe2e::Screenshot("item-string");
    qpb.SelectTab(remote, 5);
    HTREEITEM uninstall = qpgui::FindNode(remote, trees[5], "Uninstall");
    if (uninstall) SendMessageA(trees[5], TVM_SELECTITEM, TVGN_CARET, LPARAM(uninstall));
    qpe2e::Screenshot("item-link");

    // The function window, reached through its Window entry only.
    ASSERT_TRUE(qpb.Menu(kWindowFirst + 7));
    HWND function_window = WaitChild(mdi, "Function");
    ASSERT_NE(function_window, nullptr);
    EXPECT_EQ(mdi.Active(), function_window);
    RECT inside{}, outer{};
    GetClientRect(mdi.client, &inside);
    GetWindowRect(function_window, &outer);
    MapWindowPoints(nullptr, mdi.client, reinterpret_cast<POINT*>(&outer), 2);
    EXPECT_TRUE(outer.left >= 0 && outer.top >= 0 && outer.right <= inside.right && outer.bottom <= inside.bottom)
        << "the function window starts partly out of sight";
    HWND function_list = FindWindowExA(function_window, nullptr, WC_LISTVIEWA, nullptr);
    ASSERT_NE(function_list, nullptr);
    EXPECT_EQ(std::size_t(SendMessageA(function_list, LVM_GETITEMCOUNT, 0, 0)), expected->function_list.size());
    qpe2e::Screenshot("item-function");

    // Save; the dump of the saved file equals the dump of the model with the same edits.
    EXPECT_EQ(qpe2e::Text(frame), "Quillpacker - notepadish.qpk*");
    ASSERT_TRUE(qpb.Menu(kSave));
    EXPECT_TRUE(qpe2e::WaitFor([&] { return qpe2e::Text(frame) == "Quillpacker - notepadish.qpk"; }, 20000))
        << qpe2e::Text(frame);
    const std::string expected_path = (work / "expected.qpk").string();
    ASSERT_TRUE(qp::SaveProject(*expected, expected_path, quiet));
    const std::string saved = qptest::DumpBody(QP_QPBC_EXE, project, work.string());
    EXPECT_EQ(saved, qptest::DumpBody(QP_QPBC_EXE, expected_path, work.string()));
    EXPECT_NE(saved.find("group \"Extras\""), std::string::npos);

    // Build from the menu: the kit name in the build wizard, then a complete kit under the
    // project's KITS folder.
    HWND kit = nullptr, build_page = nullptr;
    ASSERT_TRUE(qpb.OpenBuildWizard(kit, build_page));
    const fs::path kits = work / "KITS";
    SendMessageA(GetDlgItem(build_page, 1210), WM_SETTEXT, 0, LPARAM("GuiKit"));
    qpe2e::Screenshot("build-prompt");
    PostMessageA(kit, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    const fs::path kit_dir = kits / "GuiKit";
    // The build ends by opening the kit folder in the file explorer.
    EXPECT_TRUE(CloseExplorerOn("GuiKit", 120000)) << "no file explorer on the kit";
    for (const char* f : {"setup.exe", "setup.lst", "setup.cab"}) EXPECT_TRUE(fs::exists(kit_dir / f)) << f;
    const auto listed = qptest::RunProcess(QP_QPBC_EXE, {"dump", (kit_dir / "setup.lst").string()}, work.string());
    EXPECT_EQ(listed.status, 0);
    EXPECT_NE(listed.out.find("Extras"), std::string::npos);
    qpe2e::Screenshot("main-after-build");

    // Again as one program: the wizard's "One program" box makes KITS\GuiOne.exe holding the kit.
    ASSERT_TRUE(qpb.OpenBuildWizard(kit, build_page));
    SendMessageA(GetDlgItem(build_page, 1210), WM_SETTEXT, 0, LPARAM("GuiOne"));
    ASSERT_NE(GetDlgItem(build_page, 1215), nullptr) << "the one-program box";
    SendMessageA(GetDlgItem(build_page, 1215), BM_SETCHECK, BST_CHECKED, 0);
    qpe2e::Screenshot("build-prompt-one-program");
    PostMessageA(kit, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    const fs::path one = kits / "GuiOne.exe";
    for (int i = 0; i < 300 && !fs::exists(one); ++i) Sleep(100);
    qpe2e::Settle(1500);
    EXPECT_FALSE(fs::exists(kits / "GuiOne")) << "no kit folder";
    {
        auto src = qp::OpenByteSource(one.string());
        qp::KitPayload payload;
        std::string why;
        ASSERT_EQ(qp::FindKitPayload(*src, payload, &why), qp::KitPayloadFound::kFound) << why;
        EXPECT_NE(payload.Find("setup.cab"), nullptr);
    }
    CloseExplorerOn("KITS");

    // Quitting with an unsaved change asks first; Cancel keeps the window and the change.
    qpb.SelectTab(remote, 0);
    SendMessageA(frame, WM_COMMAND, kInsertGroup, 0);  // the id straight: the menu's item was chosen above
    SendMessageA(trees[0], TVM_ENDEDITLABELNOW, TRUE, 0);
    EXPECT_EQ(qpe2e::Text(frame), "Quillpacker - notepadish.qpk*");
    PostMessageA(frame, WM_CLOSE, 0, 0);
    HWND ask = WaitBox(qpb.Pid(), "Quillpacker");
    ASSERT_NE(ask, nullptr);
    EXPECT_EQ(qpe2e::BoxText(ask), "Save changes to notepadish.qpk?");
    qpe2e::Press(ask, IDCANCEL);
    EXPECT_TRUE(qpe2e::WaitGone(ask, 10000));
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_EQ(qpe2e::Text(frame), "Quillpacker - notepadish.qpk*");
    PostMessageA(frame, WM_CLOSE, 0, 0);
    ask = WaitBox(qpb.Pid(), "Quillpacker");
    ASSERT_NE(ask, nullptr);
    qpe2e::Press(ask, IDNO);
    EXPECT_EQ(qpb.process.Wait(10000), 0u);
}

namespace {

void WriteText(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

// A directory-style project below `root` with one group of one file.
fs::path WriteIprTree(const fs::path& root) {
    fs::create_directories(root / "data");
    WriteBytes(root / "data" / "app.exe", 100);
    WriteText(root / "quill.ipr", "[Project]\r\nName=Quill\r\n");
    WriteText(root / "FILE GROUPS" / "default.fdf", "[FILEGROUPS]\r\nGROUP0=Program\r\n[Program]\r\nTARGET=<TARGETDIR>\r\n");
    WriteText(root / "FILE GROUPS" / "Program.fgl", "[TOPDIR]\r\nFILE0=" + (root / "data" / "app.exe").string() + "\r\n");
    WriteText(root / "STRING TABLES" / "default.shl", "[LANGUAGE]\r\nLANG0=0009\r\n[DATA]\r\nENTRY0=PRODUCT_NAME\r\n");
    WriteText(root / "STRING TABLES" / "0009-English" / "value.shl", "[DATA]\r\nPRODUCT_NAME=Quill\r\n");
    return root / "quill.ipr";
}

// The product GUID that the setup list at `list` carries, read back by "qpbc dump".
std::string ProductGuidOf(const fs::path& list) {
    if (!fs::exists(list)) return "";
    const auto r = qptest::RunProcess(QP_QPBC_EXE, {"dump", list.string()}, list.parent_path().string());
    const std::string mark = "product_guid: \"";
    const std::size_t at = r.out.find(mark);
    if (at == std::string::npos) return "";
    const std::size_t from = at + mark.size();
    return r.out.substr(from, r.out.find('"', from) - from);
}

// Opens `project` in qpb, builds the kit `kit` below the project's KITS folder through Build,
// and quits without saving; the product GUID of the kit's setup list.
std::string BuildInQpb(const fs::path& project, const std::string& kit) {
    qpgui::Qpb qpb(QP_QPB_EXE, project.string());
    HWND frame = qpb.frame;
    EXPECT_NE(frame, nullptr);
    if (!frame) return "";
    qpe2e::WaitFor([&] { return qpe2e::Text(frame).find(".qpk") != std::string::npos; }, 10000);
    // The start-up picture is gone (the wizard waits for it); Build from the menu bar.
    HWND wizard = nullptr, page = nullptr;
    if (!qpb.OpenBuildWizard(wizard, page)) return "";
    SendMessageA(GetDlgItem(page, 1210), WM_SETTEXT, 0, LPARAM(kit.c_str()));
    PostMessageA(wizard, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    const fs::path list = project.parent_path() / "KITS" / kit / "setup.lst";
    const fs::path cab = project.parent_path() / "KITS" / kit / "setup.cab";
    for (int i = 0; i < 300 && !fs::exists(cab); ++i) Sleep(100);
    qpe2e::Settle(1000);
    CloseExplorerOn(kit);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    if (HWND ask = WaitBox(qpb.Pid(), "Quillpacker", 5000)) qpe2e::Press(ask, IDNO);
    EXPECT_EQ(qpb.process.Wait(10000), 0u);
    EXPECT_TRUE(fs::exists(list)) << list.string();
    return ProductGuidOf(list);
}

std::string BuildInQpbc(const fs::path& project, const std::string& kit) {
    const fs::path qpb_dir = fs::path(QP_QPB_EXE).parent_path();
    const auto r = qptest::RunProcess(QP_QPBC_EXE,
                                      {"build", project.string(), "--name", kit, "--runtime", (qpb_dir / "REDIS" / "setup.ex_").string(),
                                       "--language-file", (qpb_dir / "language.ini").string()},
                                      project.parent_path().string());
    EXPECT_EQ(r.status, 0) << r.err;
    return ProductGuidOf(project.parent_path() / "KITS" / kit / "setup.lst");
}

}  // namespace

TEST(QpbGui, BuildMakesTheProductThatQpbcMakes) {
    const fs::path work = (fs::path(QP_WORK_DIR).make_preferred() += "-product");
    std::error_code ec;
    qptest::RemoveTree(work);
    // An imported tree: both derive the GUID from it.
    const fs::path ipr = WriteIprTree(work / "ipr");
    const std::string from_qpb = BuildInQpb(ipr, "FromQpb");
    EXPECT_EQ(from_qpb.size(), 38u) << from_qpb;
    EXPECT_EQ(from_qpb, BuildInQpbc(ipr, "FromQpbc"));

    // A ".qpk" without a GUID: the first build (qpb's) makes one and keeps it in the file, so
    // that qpbc's kit is the same product.
    qp::NullReporter quiet;
    std::unique_ptr<qp::CDazDoc> doc = qp::OpenProject(ipr.string(), quiet);
    ASSERT_TRUE(doc);
    ASSERT_TRUE(doc->settings_block.product_guid().empty());
    const fs::path qpk = work / "qpk" / "plain.qpk";
    fs::create_directories(qpk.parent_path());
    ASSERT_TRUE(qp::SaveProject(*doc, qpk.string(), quiet));
    const std::string first = BuildInQpb(qpk, "FromQpb");
    EXPECT_EQ(first.size(), 38u) << first;
    EXPECT_NE(first, from_qpb);
    std::unique_ptr<qp::CDazDoc> kept = qp::OpenProject(qpk.string(), quiet);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->settings_block.product_guid(), first);
    EXPECT_EQ(BuildInQpbc(qpk, "FromQpbc"), first);
}
