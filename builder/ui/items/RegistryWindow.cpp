// CMDIReg: the values of a registry key, each with the picture of its type, opening the
// string, double-word and binary value editors (Modify or a double click on the value),
// renaming and deleting values, new keys and registry sets, and "Registry Properties".
#include <windows.h>

#include "builder/ui/controls/HexEdit.h"
#include "builder/ui/editors/RegistryValueDlgs.h"
#include "builder/ui/items/ItemWindows.h"
#include "builder/ui/logic/commands.h"
#include "builder/ui/logic/regvalue.h"
#include "builder/ui/res/editors_ids.h"
#include "builder/ui/res/resource.h"
#include "builder/ui/sheets/Sheets.h"

namespace qp {

namespace {

const char* TypeText(std::int32_t kind) {
    return kind == CRegistry::kString ? "REG_SZ" : kind == CRegistry::kBinary ? "REG_BINARY" : "REG_DWORD";
}

// The row images of the value kinds (bitmap IDB_REGVALUES: 0 key, then the three values).
int TypeImage(std::int32_t kind) { return kind == CRegistry::kString ? 1 : kind == CRegistry::kBinary ? 2 : 3; }

class CMDIReg : public CItemWindow {
public:
    explicit CMDIReg(ItemHost& h) : CItemWindow(h, ItemWindowKind::kRegistry) {}
    ~CMDIReg() override { images_.Destroy(); }
    std::string Caption() const override { return creation_caption_; }

    HWND MakeControl() override {
        CHexEditCtrl::Register(host_.Instance());
        HWND h = MakeList(LVS_EDITLABELS | LVS_SINGLESEL, {{"Name", 150}, {"Type", 150}, {"Data", 250}});
        images_ = CImageList::FromBitmap(host_.Instance(), IDB_REGVALUES, 16, RGB(255, 0, 255), ScaledToScreen(96));
        CListCtrl(h).SetImageList(images_);
        return h;
    }

    void Reload() override {
        CListCtrl list(control_);
        const CRegistry* keep = Selected();
        list.DeleteAll();
        if (!item_) return;
        int row = 0;
        for (auto& v : static_cast<CRegistry*>(item_)->children) {
            if (v->kind < CRegistry::kString || v->kind > CRegistry::kDword) continue;
            const int i = list.Insert(row++, v->name, LPARAM(v.get()), TypeImage(v->kind));
            list.SetItemText(i, 1, TypeText(v->kind));
            list.SetItemText(i, 2, v->data);
            if (v.get() == keep) list.Select(i);
        }
    }

    bool OnCmdMsg(UINT id) override {
        ProjectEdits* e = host_.Edits();
        auto* node = static_cast<CRegistry*>(item_);
        switch (id) {
        case cmd::kNewString: case cmd::kNewBinary: case cmd::kNewDword: {
            if (!e || !node || node->kind < CRegistry::kHive) return true;
            const std::int32_t kind = id == cmd::kNewString ? 4 : id == cmd::kNewBinary ? 5 : 6;
            EditLabelOf(e->NewRegistry(*node, kind));
            return true;
        }
        case cmd::kNewKey:
            // The key joins the registry tree below the shown node (keys are not rows here).
            if (e && node && node->kind >= CRegistry::kHive) e->NewRegistry(*node, CRegistry::kKey);
            return true;
        case cmd::kAddEntry:
            // A registry set always goes below the root, whatever the window shows.
            if (e) e->NewRegistry(e->Doc().registry_root, CRegistry::kSet);
            return true;
        case cmd::kModify: Modify(); return true;
        case cmd::kRename: {
            CListCtrl list(control_);
            const int i = list.NextSelected();
            if (i >= 0) {
                ::SetFocus(control_);
                list.EditLabel(i);
            }
            return true;
        }
        case cmd::kDelete: DeleteSelected(); return true;
        case cmd::kProperties:
            if (CRegistry* v = Selected()) EditRegistryGroups(host_, *v);
            return true;
        }
        return false;
    }

    bool OnUpdateCmdUI(CCmdUI& ui) override {
        const auto* node = static_cast<CRegistry*>(item_);
        switch (ui.id) {
        case cmd::kNewKey: case cmd::kNewString: case cmd::kNewBinary: case cmd::kNewDword:
            ui.Enable(node && node->kind >= CRegistry::kHive);
            return true;
        case cmd::kAddEntry:
            ui.Enable(host_.Edits() != nullptr);
            return true;
        case cmd::kModify:
            // From the registry tree's menu no row may be selected yet: the first value then.
            ui.Enable(Selected() != nullptr || CListCtrl(control_).Count() > 0);
            return true;
        case cmd::kRename: case cmd::kDelete: case cmd::kProperties:
            ui.Enable(Selected() != nullptr);
            return true;
        }
        return false;
    }

protected:
    int ContextMenuId() const override { return IDM_REGISTRY_POPUP; }

    bool OnDeleteKey() override {
        DeleteSelected();
        return true;
    }

    // An empty name or one a sibling uses is dropped.
    bool RenameRow(LPARAM row, const char* name) override {
        return host_.Edits()->RenameRegistry(*reinterpret_cast<CRegistry*>(row), name) == RenameResult::kRenamed;
    }
    // A double click on a value opens its editor, as Modify does.
    bool OnRowDoubleClick(int row) override {
        if (row >= 0) {
            CListCtrl(control_).Select(row);
            Modify();
        }
        return true;
    }

public:
    void EditLabelOf(const CRegistry* value) {
        Reload();
        CListCtrl list(control_);
        for (int i = 0; i < list.Count(); ++i) {
            if (list.ItemData(i) != LPARAM(value)) continue;
            ::SetFocus(control_);
            list.Select(i);
            list.EditLabel(i);
        }
    }

private:
    CRegistry* Selected() const {
        CListCtrl list(control_);
        const int i = list.NextSelected();
        return i < 0 ? nullptr : reinterpret_cast<CRegistry*>(list.ItemData(i));
    }

    void Modify() {
        CRegistry* v = Selected();
        if (!v && CListCtrl(control_).Count() > 0) {
            CListCtrl(control_).Select(0);
            v = Selected();
        }
        if (!v || !host_.Edits()) return;
        if (v->kind != CRegistry::kString && v->kind != CRegistry::kDword && v->kind != CRegistry::kBinary) return;
        EditRegistryValue(host_.Instance(), host_.Owner(), *v);
        // OK or Cancel alike: the row shows the data and the project counts as changed.
        host_.Edits()->Changed(ItemKind::kRegistry, v);
    }

    void DeleteSelected() {
        CRegistry* v = Selected();
        if (!v || !host_.Edits()) return;
        if (::MessageBoxA(host_.Owner(), "Delete?", "Quillpacker", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
        host_.Edits()->DeleteRegistry(*v);
        Reload();
    }

    CImageList images_;
};

}  // namespace

std::unique_ptr<CItemWindow> MakeRegistryWindow(ItemHost& host) { return std::make_unique<CMDIReg>(host); }

void EditNewRegistryValue(CItemWindow& registry_window, const CRegistry* value) {
    if (auto* w = dynamic_cast<CMDIReg*>(&registry_window)) w->EditLabelOf(value);
}

bool EditRegistryGroups(ItemHost& host, CRegistry& node) {
    if (!host.Doc() || !host.Edits()) return false;
    if (!RunGroupChoiceSheet(host.SheetContextFor(), "Registry Properties", node.file_groups)) return false;
    host.Edits()->Changed(ItemKind::kRegistry, &node);
    return true;
}

}  // namespace qp
