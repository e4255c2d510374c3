// CPropertyRowsWindow: the base of the component and group windows, two-column property lists
// whose right clicks flip values in place and whose double clicks open the item's sheet on the
// row's page.
#pragma once
#include <vector>

#include "builder/ui/items/ItemWindow.h"
#include "builder/ui/logic/pages.h"

namespace qp {

class CPropertyRowsWindow : public CItemWindow {
public:
    CPropertyRowsWindow(ItemHost& h, ItemWindowKind k) : CItemWindow(h, k) {}

protected:
    HWND MakeControl() override {
        return MakeList(LVS_SINGLESEL, {{"Property", 150}, {"Value", 150}});
    }
    void Fill(const std::vector<PropertyRow>& rows) {
        CListCtrl list(control_);
        if (list.Count() != int(rows.size())) {
            list.DeleteAll();
            for (std::size_t i = 0; i < rows.size(); ++i) list.Insert(int(i), rows[i].property, LPARAM(rows[i].code));
        }
        for (std::size_t i = 0; i < rows.size(); ++i) list.SetItemText(int(i), 1, rows[i].value);
    }
    bool OnNotify(NMHDR* h, LRESULT& result) override {
        if (h->hwndFrom != control_ || (h->code != NM_RCLICK && h->code != NM_DBLCLK)) return false;
        const int row = reinterpret_cast<NMITEMACTIVATE*>(h)->iItem;
        result = 0;
        if (row < 0 || !item_ || !host_.Doc() || !host_.Edits()) return true;
        if (h->code == NM_RCLICK) {
            if (RightClick(row)) host_.Edits()->Changed(ItemKindShown(), item_);
            return true;
        }
        SheetContext ctx = host_.SheetContextFor();
        OpenSheet(ctx, PageOf(row));
        // OK or Cancel: the project counts as changed, and the list shows what the item holds.
        host_.Edits()->Changed(ItemKindShown(), item_);
        return true;
    }
    virtual bool RightClick(int row) = 0;
    virtual void OpenSheet(const SheetContext& ctx, int page) = 0;
    virtual int PageOf(int row) const = 0;
    virtual ItemKind ItemKindShown() const = 0;
};

}  // namespace qp
