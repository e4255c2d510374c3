// CMDIGroup: the shown file group's properties; a double click opens "GroupProperties"; files
// dropped on it join the group's root folder.
#include "builder/ui/items/ItemWindows.h"
#include "builder/ui/items/PropertyRowsWindow.h"
#include "builder/ui/sheets/Sheets.h"

namespace qp {

namespace {

class CMDIGroup : public CPropertyRowsWindow {
public:
    explicit CMDIGroup(ItemHost& h) : CPropertyRowsWindow(h, ItemWindowKind::kGroup) {}
    std::string Caption() const override {
        return item_ ? "Group - " + static_cast<CItemGroup*>(item_)->name : creation_caption_;
    }
    void Reload() override {
        SetText(Caption());  // a rename shows in the caption at once
        Fill(GroupRows(static_cast<CItemGroup*>(item_)));
    }

protected:
    bool RightClick(int row) override { return GroupRowRightClick(*static_cast<CItemGroup*>(item_), row); }
    void OpenSheet(const SheetContext& ctx, int page) override { RunGroupPropertiesSheet(ctx, *static_cast<CItemGroup*>(item_), page); }
    int PageOf(int row) const override {
        const auto rows = GroupRows(nullptr);
        return row < int(rows.size()) ? rows[std::size_t(row)].page : 0;
    }
    ItemKind ItemKindShown() const override { return ItemKind::kGroup; }
    // Files dropped on a group go into its root folder, as if dropped on the files window
    // showing it.
    bool TakesFiles() const override { return true; }
    CObListFile* DropFolder() const override { return item_ ? &static_cast<CItemGroup*>(item_)->file_tree : nullptr; }
};

}  // namespace

std::unique_ptr<CItemWindow> MakeGroupWindow(ItemHost& host) { return std::make_unique<CMDIGroup>(host); }

}  // namespace qp
