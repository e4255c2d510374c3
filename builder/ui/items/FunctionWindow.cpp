// CMDIFunc: the project's function-call items, with "Function Set", "Add function" and the
// Delete key.
#include <windows.h>
#include <commctrl.h>

#include "builder/ui/editors/FunctionSetDlg.h"
#include "builder/ui/items/ItemWindows.h"
#include "builder/ui/res/editors_ids.h"

namespace qp {

namespace {

class CMDIFunc : public CItemWindow {
public:
    explicit CMDIFunc(ItemHost& h) : CItemWindow(h, ItemWindowKind::kFunction) {}
    std::string Caption() const override { return creation_caption_; }
    HWND MakeControl() override {
        return MakeList(LVS_SINGLESEL, {{"Name", 150}, {"InternalDLLName", 150}, {"FunCtionCall", 150}, {"DLLPath", 150}});
    }
    void Reload() override {
        CListCtrl list(control_);
        list.DeleteAll();
        if (!host_.Doc()) return;
        int row = 0;
        for (auto& f : host_.Doc()->function_list) {
            const int i = list.Insert(row++, f->name, LPARAM(f.get()));
            list.SetItemText(i, 1, f->internal_name);
            list.SetItemText(i, 2, f->function_call);
            list.SetItemText(i, 3, f->dll_path);
        }
    }

    bool OnCmdMsg(UINT id) override {
        switch (id) {
        case ID_FUNCTION_ADD:
            if (CDazDoc* doc = host_.Doc()) {
                auto f = std::make_unique<CItemFunction>();
                f->name = "qwewe";
                doc->function_list.push_back(std::move(f));
                doc->SetModifiedFlag();
                Reload();
            }
            return true;
        case ID_FUNCTION_EDIT: case ID_FUNCTION_DELETE:
            return true;  // the menu's own entries do nothing; a double click and the Delete key do
        }
        return false;
    }
    bool OnUpdateCmdUI(CCmdUI& ui) override {
        if (ui.id != ID_FUNCTION_ADD && ui.id != ID_FUNCTION_EDIT && ui.id != ID_FUNCTION_DELETE) return false;
        ui.Enable(host_.Doc() != nullptr);
        return true;
    }

protected:
    int ContextMenuId() const override { return IDM_FUNCTION_POPUP; }

    bool OnNotify(NMHDR* h, LRESULT&) override {
        if (h->hwndFrom != control_) return false;
        CListCtrl list(control_);
        CDazDoc* doc = host_.Doc();
        if (!doc) return true;
        if (h->code == NM_DBLCLK) {
            const int row = reinterpret_cast<NMITEMACTIVATE*>(h)->iItem;
            auto* f = row < 0 ? nullptr : reinterpret_cast<CItemFunction*>(list.ItemData(row));
            if (f && EditFunction(host_.Instance(), host_.Owner(), *f)) {
                doc->SetModifiedFlag();
                Reload();
                list.Select(row);
            }
            return true;
        }
        if (h->code == LVN_KEYDOWN && reinterpret_cast<NMLVKEYDOWN*>(h)->wVKey == VK_DELETE) {
            const int row = list.NextSelected();
            if (row < 0) return true;
            const auto* f = reinterpret_cast<CItemFunction*>(list.ItemData(row));
            if (::MessageBoxA(host_.Owner(), "Delete Function ?", "Quillpacker", MB_YESNO | MB_ICONQUESTION) != IDYES)
                return true;
            auto& fl = doc->function_list;
            for (auto it = fl.begin(); it != fl.end(); ++it) {
                if (it->get() == f) {
                    fl.erase(it);
                    break;
                }
            }
            doc->SetModifiedFlag();
            Reload();
            return true;
        }
        return false;
    }
};

}  // namespace

std::unique_ptr<CItemWindow> MakeFunctionWindow(ItemHost& host) { return std::make_unique<CMDIFunc>(host); }

}  // namespace qp
