// CMDIFiles: the entries of the folder selected in the group tree, with Insert folder, Insert
// File, files dropped from the shell (through the items' shared drop handler), the Delete key
// and folder renaming.
#include <windows.h>
#include <shellapi.h>

#include <ctime>

#include "builder/ui/items/ItemWindows.h"
#include "builder/ui/logic/commands.h"
#include "builder/ui/res/resource.h"
#include "framework/CommonDialogs.h"

namespace qp {

namespace {

class CMDIFiles : public CItemWindow {
public:
    explicit CMDIFiles(ItemHost& h) : CItemWindow(h, ItemWindowKind::kFiles) {}
    std::string Caption() const override { return "Files"; }
    int ContextMenuId() const override { return IDM_FILES_POPUP; }

    HWND MakeControl() override {
        HWND h = MakeList(LVS_EDITLABELS, {{"Name", 150}, {"Size", 70}, {"Type", 100}, {"FullName", 200}, {"Modified", 150}});
        images_ = CImageList::FromBitmap(host_.Instance(), IDB_FILES, 16, RGB(255, 0, 255), ScaledToScreen(96));
        CListCtrl(h).SetImageList(images_);
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
        ProjectEdits* e = host_.Edits();
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
        const std::vector<std::string> paths = OpenFileDialog(host_.Owner(), o);
        if (!paths.empty()) e->AddFiles(folder, paths);
        return true;
    }

    bool OnUpdateCmdUI(CCmdUI& ui) override {
        if (ui.id == cmd::kInsertFolder || ui.id == cmd::kInsertFile) {
            ui.Enable(item_ != nullptr && host_.Doc() != nullptr);
            return true;
        }
        return false;
    }

protected:
    bool TakesFiles() const override { return true; }
    CObListFile* DropFolder() const override { return static_cast<CObListFile*>(item_); }

    bool OnDeleteKey() override {
        DeleteSelected();
        return true;
    }

    bool CanRenameRow(LPARAM row) override {
        const auto* node = reinterpret_cast<CObListFile*>(row);
        return node && node->kind == CObListFile::kFolder;
    }
    bool RenameRow(LPARAM row, const char* name) override {
        return host_.Edits()->RenameFolder(*reinterpret_cast<CObListFile*>(row), name) == RenameResult::kRenamed;
    }
    bool OnRowDoubleClick(int row) override {
        if (row < 0) return true;
        const auto* node = reinterpret_cast<CObListFile*>(CListCtrl(control_).ItemData(row));
        if (node && node->kind == CObListFile::kFolder) host_.SelectFolder(node);
        return true;
    }

private:
    void DeleteSelected() {
        ProjectEdits* e = host_.Edits();
        if (!e || !item_) return;
        CListCtrl list(control_);
        std::vector<CObListFile*> nodes;
        for (int i : list.Selected()) nodes.push_back(reinterpret_cast<CObListFile*>(list.ItemData(i)));
        for (CObListFile* n : nodes) e->DeleteFileNode(*n);
        Reload();
    }

    CImageList images_;
};

}  // namespace

std::unique_ptr<CItemWindow> MakeFilesWindow(ItemHost& host) { return std::make_unique<CMDIFiles>(host); }

}  // namespace qp
