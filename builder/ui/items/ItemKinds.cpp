// The eight kinds of item window: property lists of components, groups and shortcuts, the files
// list, the setup type's component tree, the registry values, the string table and the
// function calls.
#include <windows.h>
#include <shellapi.h>

#include <ctime>

#include "builder/ui/frame/MainFrame.h"
#include "builder/ui/items/ItemWindows.h"
#include "builder/ui/logic/commands.h"
#include "builder/ui/res/resource.h"
#include "builder/ui/sheets/Sheets.h"
#include "common/languages.h"
#include "framework/CommonDialogs.h"

namespace qp {

namespace {

// A two-column property list ("Property", "Value").
class CPropertyListWindow : public CItemWindow {
public:
    CPropertyListWindow(CMainFrame& f, ItemWindowKind k, const char* value_title) : CItemWindow(f, k), value_(value_title) {}

protected:
    HWND MakeControl() override {
        HWND list = MakeList(LVS_SINGLESEL);
        CListCtrl(list).AddColumn(0, "Property", 150);
        CListCtrl(list).AddColumn(1, value_, 260);
        return list;
    }
    void Fill(const std::vector<std::pair<std::string, std::string>>& rows) {
        CListCtrl list(control_);
        list.DeleteAll();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            list.Insert(int(i), rows[i].first, LPARAM(i));
            list.SetItemText(int(i), 1, rows[i].second);
        }
    }
    const char* value_;
};

class CMDIShort : public CPropertyListWindow {
public:
    explicit CMDIShort(CMainFrame& f) : CPropertyListWindow(f, ItemWindowKind::kLink, "Atribute") {}
    std::string Caption() const override {
        return item_ ? "Link- " + static_cast<CObListShort*>(item_)->name : creation_caption_;
    }
    void Reload() override {
        if (!item_) return Fill({});
        const auto& s = *static_cast<CObListShort*>(item_);
        Fill({{"Name", s.name},
              {"Display text", s.display_text},
              {"Target", s.target},
              {"Parameters", s.parameters},
              {"Start in", s.start_in},
              {"Hot key", s.hotkey},
              {"Icon file", s.icon_file},
              {"Icon index", std::to_string(s.icon_index)},
              {"Internet shortcut", s.internet_shortcut ? "Yes" : "No"},
              {"Replace existing", s.replace_existing ? "Yes" : "No"},
              {"Common", s.common ? "Yes" : "No"},
              {"Comment", s.comment}});
    }
};

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

class CMDIReg : public CItemWindow {
public:
    explicit CMDIReg(CMainFrame& f) : CItemWindow(f, ItemWindowKind::kRegistry) {}
    std::string Caption() const override { return creation_caption_; }
    HWND MakeControl() override {
        HWND h = MakeList();
        CListCtrl(h).AddColumn(0, "Name", 150);
        CListCtrl(h).AddColumn(1, "Type", 90);
        CListCtrl(h).AddColumn(2, "Data", 220);
        return h;
    }
    void Reload() override {
        CListCtrl list(control_);
        list.DeleteAll();
        if (!item_) return;
        int row = 0;
        for (auto& v : static_cast<CRegistry*>(item_)->children) {
            if (v->kind < CRegistry::kString) continue;
            const int i = list.Insert(row++, v->name, LPARAM(v.get()));
            list.SetItemText(i, 1, v->kind == CRegistry::kString ? "REG_SZ" : v->kind == CRegistry::kBinary ? "REG_BINARY" : "REG_DWORD");
            list.SetItemText(i, 2, v->data);
        }
    }
};

class CMDIString : public CItemWindow {
public:
    explicit CMDIString(CMainFrame& f) : CItemWindow(f, ItemWindowKind::kString) {}
    std::string Caption() const override {
        if (!item_) return "String Table Window";
        const char* name = LanguageName(static_cast<CLangItem*>(item_)->table_index);
        return std::string("String -") + (name ? name : "");
    }
    HWND MakeControl() override { return MakeList(); }
    void Reload() override {
        CListCtrl list(control_);
        list.DeleteAll();
        while (list.ColumnCount() > 0) list.Send(LVM_DELETECOLUMN, 0);
        CDazDoc* doc = frame_.Doc();
        if (!item_ || !doc) return;
        list.AddColumn(0, "ID", 170);
        std::vector<std::size_t> columns;
        const auto& langs = doc->string_table.language_list;
        for (std::size_t i = 0; i < langs.size(); ++i)
            if (langs[i].get() == item_ || langs[i]->shown) columns.push_back(i);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const char* name = LanguageName(langs[columns[c]]->table_index);
            list.AddColumn(int(c + 1), name ? name : "?", langs[columns[c]]->lang_value > 0 ? langs[columns[c]]->lang_value : 200);
        }
        int row = 0;
        for (auto& s : doc->string_table.items) {
            const int i = list.Insert(row++, s->key, LPARAM(s.get()));
            for (std::size_t c = 0; c < columns.size(); ++c) list.SetItemText(i, int(c + 1), s->Value(columns[c]));
        }
    }
};

class CMDIFunc : public CItemWindow {
public:
    explicit CMDIFunc(CMainFrame& f) : CItemWindow(f, ItemWindowKind::kFunction) {}
    std::string Caption() const override { return creation_caption_; }
    HWND MakeControl() override {
        HWND h = MakeList();
        CListCtrl l(h);
        l.AddColumn(0, "Name", 150);
        l.AddColumn(1, "InternalDLLName", 150);
        l.AddColumn(2, "FunCtionCall", 150);
        l.AddColumn(3, "DLLPath", 150);
        return h;
    }
    void Reload() override {
        CListCtrl list(control_);
        list.DeleteAll();
        if (!frame_.Doc()) return;
        int row = 0;
        for (auto& f : frame_.Doc()->function_list) {
            const int i = list.Insert(row++, f->name, LPARAM(f.get()));
            list.SetItemText(i, 1, f->internal_name);
            list.SetItemText(i, 2, f->function_call);
            list.SetItemText(i, 3, f->dll_path);
        }
    }
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
    case ItemWindowKind::kRegistry: w = std::make_unique<CMDIReg>(frame); caption = "Registry"; break;
    case ItemWindowKind::kString: w = std::make_unique<CMDIString>(frame); caption = "String"; break;
    case ItemWindowKind::kLink: w = std::make_unique<CMDIShort>(frame); caption = "Link"; break;
    case ItemWindowKind::kFunction: w = std::make_unique<CMDIFunc>(frame); caption = "Function"; break;
    }
    if (!w || !w->CreateWindowOf(caption, IDI_ITEM_FIRST + int(kind))) return nullptr;
    return w;
}

}  // namespace qp
