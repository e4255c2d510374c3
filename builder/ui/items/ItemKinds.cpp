// The eight kinds of item window: property lists of components, groups and shortcuts, the files
// list, the setup type's component tree, the registry values, the string table and the
// function calls.
#include <windows.h>
#include <shellapi.h>

#include <ctime>

#include "builder/ui/editors/Editors.h"
#include "builder/ui/frame/MainFrame.h"
#include "builder/ui/items/ItemWindows.h"
#include "builder/ui/logic/commands.h"
#include "builder/ui/res/resource.h"
#include "builder/ui/sheets/Sheets.h"
#include "common/languages.h"
#include "framework/CommonDialogs.h"

namespace qp {

namespace {

class CMDIFiles : public CItemWindow {
public:
    explicit CMDIFiles(CMainFrame& f) : CItemWindow(f, ItemWindowKind::kFiles) {}
    std::string Caption() const override { return "Files"; }

    HWND MakeControl() override {
        HWND h = MakeList(LVS_EDITLABELS);
        CListCtrl list(h);
        list.AddColumn(0, "Name", 150);
        list.AddColumn(1, "Size", 70);
        list.AddColumn(2, "Type", 100);
        list.AddColumn(3, "FullName", 200);
        list.AddColumn(4, "Modified", 150);
        images_ = CImageList::FromBitmap(frame_.Instance(), IDB_FILES, 16, RGB(255, 0, 255), CMainFrame::Scaled(96));
        list.SetImageList(images_);
        return h;
    }

    void Reload() override {
        CListCtrl list(control_);
        list.DeleteAll();
        ImageList_SetImageCount(images_, 2);
        if (!item_) return;
        auto& folder = *static_cast<CObListFile*>(item_);
        int row = 0;
        for (auto& c : folder.children) {
            if (c->kind != CObListFile::kFile) continue;
            const std::string& path = c->name;
            SHFILEINFOA info{};
            int image = 0;
            std::string type;
            if (::SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), SHGFI_TYPENAME | SHGFI_ICON | SHGFI_SMALLICON)) {
                type = info.szTypeName;
                if (info.hIcon) {
                    image = ImageList_AddIcon(images_, info.hIcon);
                    ::DestroyIcon(info.hIcon);
                    if (image < 0) image = 0;
                }
            }
            const int i = list.Insert(row++, BaseName(path), LPARAM(c.get()), image);
            WIN32_FILE_ATTRIBUTE_DATA data{};
            if (::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
                !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                const long long size = (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
                list.SetItemText(i, 1, SizeText(size));
                ULARGE_INTEGER t;
                t.LowPart = data.ftLastWriteTime.dwLowDateTime;
                t.HighPart = data.ftLastWriteTime.dwHighDateTime;
                const std::time_t secs = std::time_t(t.QuadPart / 10000000ULL - 11644473600ULL);
                char buf[64] = {};
                if (const std::tm* tm = std::gmtime(&secs)) std::strftime(buf, sizeof(buf), "%d/%b/%Y %X", tm);
                list.SetItemText(i, 4, buf);
            }
            list.SetItemText(i, 2, type);
            list.SetItemText(i, 3, path);
        }
        for (auto& c : folder.children) {
            if (c->kind != CObListFile::kFolder) continue;
            const int i = list.Insert(row++, c->name, LPARAM(c.get()), 1);
            list.SetItemText(i, 2, "Folder");
        }
    }

    bool OnCmdMsg(UINT id) override {
        if (id != cmd::kInsertFolder && id != cmd::kInsertFile) return false;
        ProjectEdits* e = frame_.Edits();
        if (!item_ || !e) return true;
        auto& folder = *static_cast<CObListFile*>(item_);
        if (id == cmd::kInsertFolder) {
            CObListFile* made = e->NewFolder(folder);
            CListCtrl list(control_);
            for (int i = 0; i < list.Count(); ++i) {
                if (list.ItemData(i) == LPARAM(made)) {
                    ::SetFocus(control_);
                    list.Select(i);
                    list.EditLabel(i);
                }
            }
            return true;
        }
        FileDialogOptions o;
        o.filter = " All Files (*.*) |*.*| Program Files (*.exe;*.dll;*.ocx) |*.exe;*.dll;*.ocx| Data Files (*.txt;*.hlp) |*.txt;*.hlp||";
        o.multi_select = true;
        o.title = "Insert File";
        const std::vector<std::string> paths = OpenFileDialog(frame_.Handle(), o);
        if (!paths.empty()) e->AddFiles(folder, paths);
        return true;
    }

    bool OnUpdateCmdUI(CCmdUI& ui) override {
        if (ui.id == cmd::kInsertFolder || ui.id == cmd::kInsertFile) {
            ui.Enable(item_ != nullptr && frame_.Doc() != nullptr);
            return true;
        }
        return false;
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_DROPFILES) {
            OnDrop(HDROP(w));
            return 0;
        }
        if (msg == WM_CONTEXTMENU && HWND(w) == control_) {
            POINT p{short(LOWORD(l)), short(HIWORD(l))};
            frame_.TrackContextMenu(IDM_FILES_POPUP, p);
            return 0;
        }
        return CItemWindow::HandleMessage(msg, w, l);
    }

    bool OnNotify(NMHDR* h, LRESULT& result) override {
        if (h->hwndFrom != control_) return false;
        CListCtrl list(control_);
        switch (h->code) {
        case LVN_KEYDOWN:
            if (reinterpret_cast<NMLVKEYDOWN*>(h)->wVKey == VK_DELETE) DeleteSelected();
            return true;
        case LVN_BEGINLABELEDITA: {
            auto* info = reinterpret_cast<NMLVDISPINFOA*>(h);
            const auto* node = reinterpret_cast<CObListFile*>(list.ItemData(info->item.iItem));
            result = node && node->kind == CObListFile::kFolder ? FALSE : TRUE;
            return true;
        }
        case LVN_ENDLABELEDITA: {
            auto* info = reinterpret_cast<NMLVDISPINFOA*>(h);
            auto* node = reinterpret_cast<CObListFile*>(list.ItemData(info->item.iItem));
            result = FALSE;
            if (info->item.pszText && node && frame_.Edits())
                result = frame_.Edits()->RenameFolder(*node, info->item.pszText) == RenameResult::kRenamed;
            return true;
        }
        case NM_DBLCLK: {
            const int row = reinterpret_cast<NMITEMACTIVATE*>(h)->iItem;
            if (row < 0) return true;
            const auto* node = reinterpret_cast<CObListFile*>(list.ItemData(row));
            if (node && node->kind == CObListFile::kFolder) frame_.Bar().SelectFolder(node);
            return true;
        }
        }
        return false;
    }

private:
    void DeleteSelected() {
        ProjectEdits* e = frame_.Edits();
        if (!e || !item_) return;
        CListCtrl list(control_);
        std::vector<CObListFile*> nodes;
        for (int i : list.Selected()) nodes.push_back(reinterpret_cast<CObListFile*>(list.ItemData(i)));
        for (CObListFile* n : nodes) e->DeleteFileNode(*n);
        Reload();
    }

    void OnDrop(HDROP drop) {
        std::vector<std::string> paths;
        const UINT n = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < n; ++i) {
            char path[MAX_PATH * 2] = {};
            if (!::DragQueryFileA(drop, i, path, sizeof(path))) continue;
            const DWORD attributes = ::GetFileAttributesA(path);
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
            paths.push_back(path);
        }
        ::DragFinish(drop);
        if (item_ && frame_.Edits() && !paths.empty())
            frame_.Edits()->AddFiles(*static_cast<CObListFile*>(item_), paths);
    }

    CImageList images_;
};

// The setup type's components: every component, members marked; a click on a component's
// icon toggles its membership.
class CMDISetup : public CItemWindow {
public:
    explicit CMDISetup(CMainFrame& f) : CItemWindow(f, ItemWindowKind::kSetup) {}
    std::string Caption() const override {
        return item_ ? static_cast<CItemSetup*>(item_)->name : std::string("Setup Window");
    }
    HWND MakeControl() override {
        HWND h = ::CreateWindowExA(0, WC_TREEVIEWA, "",
                                   WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS | TVS_SHOWSELALWAYS,
                                   0, 0, 10, 10, hwnd_, HMENU(1), frame_.Instance(), nullptr);
        images_ = CImageList::FromBitmap(frame_.Instance(), IDB_NODES, 16, RGB(255, 0, 255), CMainFrame::Scaled(96));
        CTreeCtrl(h).SetImageList(images_);
        return h;
    }
    void Reload() override {
        CTreeCtrl tree(control_);
        tree.DeleteAll();
        if (!item_ || !frame_.Doc()) return;
        HTREEITEM root = tree.Insert(nullptr, "Setup Component", 0, 0);
        for (auto& c : frame_.Doc()->root_component.children) Add(tree, root, *c);
        tree.Expand(root);
    }

protected:
    bool OnNotify(NMHDR* h, LRESULT& result) override {
        if (h->hwndFrom != control_ || h->code != NM_CLICK) return false;
        CTreeCtrl tree(control_);
        POINT p;
        ::GetCursorPos(&p);
        ::ScreenToClient(control_, &p);
        UINT flags = 0;
        HTREEITEM node = tree.HitTest(p, &flags);
        auto* c = reinterpret_cast<CItemComponent*>(tree.ItemData(node));
        if (node && c && (flags & TVHT_ONITEMICON) && item_ && frame_.Edits()) {
            frame_.Edits()->ToggleMembership(*static_cast<CItemSetup*>(item_), *c);
            result = 1;
        }
        return true;
    }

private:
    void Add(CTreeCtrl& tree, HTREEITEM parent, CItemComponent& c) {
        const bool member = ProjectEdits::IsMember(*static_cast<CItemSetup*>(item_), &c);
        HTREEITEM n = tree.Insert(parent, c.name, LPARAM(&c), member ? 13 : 12);
        for (auto& child : c.children) Add(tree, n, *child);
        tree.Expand(n);
    }
    CImageList images_;
};

}  // namespace

std::unique_ptr<CItemWindow> MakeItemWindow(CMainFrame& frame, ItemWindowKind kind) {
    std::unique_ptr<CItemWindow> w;
    const char* caption = "";
    switch (kind) {
    case ItemWindowKind::kComponent: w = MakeComponentWindow(frame); caption = "Component"; break;
    case ItemWindowKind::kGroup: w = MakeGroupWindow(frame); caption = "Group"; break;
    case ItemWindowKind::kFiles: w = std::make_unique<CMDIFiles>(frame); caption = "Folder"; break;
    case ItemWindowKind::kSetup: w = std::make_unique<CMDISetup>(frame); caption = "Setup"; break;
    case ItemWindowKind::kRegistry: w = MakeRegistryWindow(frame); caption = "Registry"; break;
    case ItemWindowKind::kString: w = MakeStringWindow(frame); caption = "String"; break;
    case ItemWindowKind::kLink: w = MakeLinkWindow(frame); caption = "Link"; break;
    case ItemWindowKind::kFunction: w = MakeFunctionWindow(frame); caption = "Function"; break;
    }
    if (!w || !w->CreateWindowOf(caption, IDI_ITEM_FIRST + int(kind))) return nullptr;
    return w;
}

}  // namespace qp
