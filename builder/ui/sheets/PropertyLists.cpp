// The component window and the group window: two-column property lists whose right clicks
// flip values in place and whose double clicks open the item's sheet on the row's page.
#include "builder/ui/frame/MainFrame.h"
#include "builder/ui/items/ItemWindows.h"
#include "builder/ui/logic/pages.h"
#include "builder/ui/sheets/Sheets.h"

namespace qp {

namespace {

class CPropertyRowsWindow : public CItemWindow {
public:
    CPropertyRowsWindow(CMainFrame& f, ItemWindowKind k) : CItemWindow(f, k) {}

protected:
    HWND MakeControl() override {
        HWND list = MakeList(LVS_SINGLESEL);
        CListCtrl(list).AddColumn(0, "Property", 150);
        CListCtrl(list).AddColumn(1, "Value", 150);
        return list;
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
        if (row < 0 || !item_ || !frame_.Doc() || !frame_.Edits()) return true;
        if (h->code == NM_RCLICK) {
            if (RightClick(row)) frame_.Edits()->Changed(ItemKindShown(), item_);
            return true;
        }
        SheetContext ctx = frame_.SheetContextFor();
        OpenSheet(ctx, PageOf(row));
        // OK or Cancel: the project counts as changed, and the list shows what the item holds.
        frame_.Edits()->Changed(ItemKindShown(), item_);
        return true;
    }
    virtual bool RightClick(int row) = 0;
    virtual void OpenSheet(const SheetContext& ctx, int page) = 0;
    virtual int PageOf(int row) const = 0;
    virtual ItemKind ItemKindShown() const = 0;
};

class CMDIComp : public CPropertyRowsWindow {
public:
    explicit CMDIComp(CMainFrame& f) : CPropertyRowsWindow(f, ItemWindowKind::kComponent) {}
    std::string Caption() const override {
        return item_ ? "Component - " + static_cast<CItemComponent*>(item_)->name : creation_caption_;
    }
    void Reload() override { Fill(ComponentRows(static_cast<CItemComponent*>(item_))); }

protected:
    bool RightClick(int row) override { return ComponentRowRightClick(*static_cast<CItemComponent*>(item_), row); }
    void OpenSheet(const SheetContext& ctx, int page) override {
        RunComponentSheet(ctx, *static_cast<CItemComponent*>(item_), page);
    }
    int PageOf(int row) const override {
        const auto rows = ComponentRows(nullptr);
        return row < int(rows.size()) ? rows[std::size_t(row)].page : 0;
    }
    ItemKind ItemKindShown() const override { return ItemKind::kComponent; }
};

class CMDIGroup : public CPropertyRowsWindow {
public:
    explicit CMDIGroup(CMainFrame& f) : CPropertyRowsWindow(f, ItemWindowKind::kGroup) {}
    std::string Caption() const override {
        return item_ ? "Group - " + static_cast<CItemGroup*>(item_)->name : creation_caption_;
    }
    void Reload() override { Fill(GroupRows(static_cast<CItemGroup*>(item_))); }

protected:
    bool RightClick(int row) override { return GroupRowRightClick(*static_cast<CItemGroup*>(item_), row); }
    void OpenSheet(const SheetContext& ctx, int page) override { RunGroupSheet(ctx, *static_cast<CItemGroup*>(item_), page); }
    int PageOf(int row) const override {
        const auto rows = GroupRows(nullptr);
        return row < int(rows.size()) ? rows[std::size_t(row)].page : 0;
    }
    ItemKind ItemKindShown() const override { return ItemKind::kGroup; }
};

}  // namespace

std::unique_ptr<CItemWindow> MakeComponentWindow(CMainFrame& frame) { return std::make_unique<CMDIComp>(frame); }
std::unique_ptr<CItemWindow> MakeGroupWindow(CMainFrame& frame) { return std::make_unique<CMDIGroup>(frame); }

}  // namespace qp
