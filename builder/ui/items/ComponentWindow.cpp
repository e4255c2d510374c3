// CMDIComp: the shown component's properties; a double click opens "Component Properties".
#include "builder/ui/items/ItemWindows.h"
#include "builder/ui/items/PropertyRowsWindow.h"
#include "builder/ui/sheets/Sheets.h"

namespace qp {

namespace {

class CMDIComp : public CPropertyRowsWindow {
public:
    explicit CMDIComp(ItemHost& h) : CPropertyRowsWindow(h, ItemWindowKind::kComponent) {}
    std::string Caption() const override {
        return item_ ? "Component - " + static_cast<CItemComponent*>(item_)->name : creation_caption_;
    }
    void Reload() override {
        SetText(Caption());  // a rename shows in the caption at once
        Fill(ComponentRows(static_cast<CItemComponent*>(item_)));
    }

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

}  // namespace

std::unique_ptr<CItemWindow> MakeComponentWindow(ItemHost& host) { return std::make_unique<CMDIComp>(host); }

}  // namespace qp
