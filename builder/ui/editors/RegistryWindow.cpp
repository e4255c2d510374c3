// CMDIReg: the values of a registry key, with the string, double-word and binary value
// editors, renaming and deleting values, and "Registry Properties".
#include <windows.h>

#include "builder/ui/controls/HexEdit.h"
#include "builder/ui/editors/Editors.h"
#include "builder/ui/editors/GroupPage.h"
#include "builder/ui/frame/MainFrame.h"
#include "builder/ui/logic/commands.h"
#include "builder/ui/logic/regvalue.h"
#include "builder/ui/res/editors_ids.h"
#include "builder/ui/res/resource.h"
#include "framework/Dialog.h"

namespace qp {

namespace {

class CEditStringDlg : public CDialog {
public:
    CEditStringDlg(HINSTANCE instance, CRegistry& node) : CDialog(instance, IDD_EDIT_STRING), node_(node) {}

protected:
    bool OnInit() override {
        Item(IDC_VALUE_NAME).SetText(node_.name);
        Item(IDC_VALUE_DATA).SetText(node_.data);
        return true;
    }
    void OnOK() override {
        node_.data = Item(IDC_VALUE_DATA).Text();
        EndDialog(IDOK);
    }
    CRegistry& node_;
};

class CEditDwordDlg : public CDialog {
public:
    CEditDwordDlg(HINSTANCE instance, CRegistry& node) : CDialog(instance, IDD_EDIT_DWORD), node_(node) {}

protected:
    bool OnInit() override {
        Item(IDC_VALUE_NAME).SetText(node_.name);
        Item(IDC_VALUE_DATA).SetText(node_.data);
        ::CheckRadioButton(hwnd_, IDC_BASE_HEX, IDC_BASE_DEC, IDC_BASE_HEX);
        return true;
    }
    bool OnCommand(int id, int code, HWND control) override {
        if ((id == IDC_BASE_HEX || id == IDC_BASE_DEC) && code == BN_CLICKED) {
            // Converted only when the base really changes.
            const bool to_decimal = id == IDC_BASE_DEC;
            if (to_decimal != decimal_) {
                decimal_ = to_decimal;
                Item(IDC_VALUE_DATA).SetText(SwitchDwordBase(Item(IDC_VALUE_DATA).Text(), decimal_));
            }
            return true;
        }
        return CDialog::OnCommand(id, code, control);
    }
    void OnOK() override {
        node_.data = DwordData(Item(IDC_VALUE_DATA).Text(), decimal_);
        EndDialog(IDOK);
    }
    CRegistry& node_;
    bool decimal_ = false;
};

class CEditBinaryDlg : public CDialog {
public:
    CEditBinaryDlg(HINSTANCE instance, CRegistry& node) : CDialog(instance, IDD_EDIT_BINARY), node_(node) {}

protected:
    bool OnInit() override {
        Item(IDC_VALUE_NAME).SetText(node_.name);
        if (CHexEditCtrl* hex = CHexEditCtrl::Of(Item(IDC_HEX))) {
            const std::vector<std::uint8_t> bytes = BinaryBytes(node_.data);
            HexDataArg arg;
            arg.size = bytes.size();
            arg.data = bytes.data();
            hex->SetData(arg, 0);
            hex->SetProperty("AllowChangeSize", 1);
        }
        return true;
    }
    void OnOK() override {
        if (CHexEditCtrl* hex = CHexEditCtrl::Of(Item(IDC_HEX))) node_.data = hex->DataText();
        EndDialog(IDOK);
    }
    CRegistry& node_;
};

const char* TypeText(std::int32_t kind) {
    return kind == CRegistry::kString ? "REG_SZ" : kind == CRegistry::kBinary ? "REG_BINARY" : "REG_DWORD";
}

class CMDIReg : public CItemWindow {
public:
    explicit CMDIReg(CMainFrame& f) : CItemWindow(f, ItemWindowKind::kRegistry) {}
    std::string Caption() const override { return creation_caption_; }

    HWND MakeControl() override {
        CHexEditCtrl::Register(frame_.Instance());
        HWND h = MakeList(LVS_EDITLABELS | LVS_SINGLESEL);
        CListCtrl list(h);
        list.AddColumn(0, "Name", 150);
        list.AddColumn(1, "Type", 150);
        list.AddColumn(2, "Data", 250);
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
            const int i = list.Insert(row++, v->name, LPARAM(v.get()));
            list.SetItemText(i, 1, TypeText(v->kind));
            list.SetItemText(i, 2, v->data);
            if (v.get() == keep) list.Select(i);
        }
    }

    bool OnCmdMsg(UINT id) override {
        ProjectEdits* e = frame_.Edits();
        auto* node = static_cast<CRegistry*>(item_);
        switch (id) {
        case cmd::kNewString: case cmd::kNewBinary: case cmd::kNewDword: {
            if (!e || !node || node->kind < CRegistry::kHive) return true;
            const std::int32_t kind = id == cmd::kNewString ? 4 : id == cmd::kNewBinary ? 5 : 6;
            EditLabelOf(e->NewRegistry(*node, kind));
            return true;
        }
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
            if (CRegistry* v = Selected()) EditRegistryGroups(frame_, *v);
            return true;
        }
        return false;
    }

    bool OnUpdateCmdUI(CCmdUI& ui) override {
        const auto* node = static_cast<CRegistry*>(item_);
        switch (ui.id) {
        case cmd::kNewString: case cmd::kNewBinary: case cmd::kNewDword:
            ui.Enable(node && node->kind >= CRegistry::kHive);
            return true;
        case cmd::kModify: case cmd::kRename: case cmd::kDelete: case cmd::kProperties:
            ui.Enable(Selected() != nullptr);
            return true;
        }
        return false;
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_CONTEXTMENU && HWND(w) == control_) {
            POINT p{short(LOWORD(l)), short(HIWORD(l))};
            if (l == -1) {
                p = POINT{5, 5};
                ::ClientToScreen(control_, &p);
            }
            frame_.TrackContextMenu(IDM_REGISTRY_POPUP, p);
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
        case LVN_ENDLABELEDITA: {
            auto* info = reinterpret_cast<NMLVDISPINFOA*>(h);
            auto* node = reinterpret_cast<CRegistry*>(list.ItemData(info->item.iItem));
            result = FALSE;
            // An empty name or one a sibling uses is dropped.
            if (info->item.pszText && node && frame_.Edits())
                result = frame_.Edits()->RenameRegistry(*node, info->item.pszText) == RenameResult::kRenamed;
            return true;
        }
        case NM_DBLCLK:
            return true;  // a double click opens nothing; Modify does
        }
        return false;
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
        if (!v || !frame_.Edits()) return;
        HINSTANCE inst = frame_.Instance();
        switch (v->kind) {
        case CRegistry::kString: CEditStringDlg(inst, *v).DoModal(frame_.Handle()); break;
        case CRegistry::kDword: CEditDwordDlg(inst, *v).DoModal(frame_.Handle()); break;
        case CRegistry::kBinary: CEditBinaryDlg(inst, *v).DoModal(frame_.Handle()); break;
        default: return;
        }
        // OK or Cancel alike: the row shows the data and the project counts as changed.
        frame_.Edits()->Changed(ItemKind::kRegistry, v);
    }

    void DeleteSelected() {
        CRegistry* v = Selected();
        if (!v || !frame_.Edits()) return;
        if (::MessageBoxA(frame_.Handle(), "Delete?", "Quillpacker", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
        frame_.Edits()->DeleteRegistry(*v);
        Reload();
    }
};

}  // namespace

std::unique_ptr<CItemWindow> MakeRegistryWindow(CMainFrame& frame) { return std::make_unique<CMDIReg>(frame); }

void EditNewRegistryValue(CItemWindow& registry_window, const CRegistry* value) {
    if (auto* w = dynamic_cast<CMDIReg*>(&registry_window)) w->EditLabelOf(value);
}

bool EditRegistryGroups(CMainFrame& frame, CRegistry& node) {
    if (!frame.Doc() || !frame.Edits()) return false;
    if (!RunGroupSheet(frame.Handle(), frame.Instance(), "Registry Properties", *frame.Doc(), node.file_groups)) return false;
    frame.Edits()->Changed(ItemKind::kRegistry, &node);
    return true;
}

}  // namespace qp
