// CMDIShort: the properties of a shortcut or program folder, with the shortcut dialog, the
// program-folder dialog and "Group Properties".
#include <windows.h>
#include <commctrl.h>

#include "builder/ui/editors/ShortcutDlgs.h"
#include "builder/ui/items/ItemWindows.h"
#include "builder/ui/logic/stringview.h"
#include "builder/ui/sheets/Sheets.h"

namespace qp {

namespace {

constexpr int kFileGroupRow = 10;

class CMDIShort : public CItemWindow {
public:
    explicit CMDIShort(ItemHost& h) : CItemWindow(h, ItemWindowKind::kLink) {}
    std::string Caption() const override {
        return item_ ? "Link- " + static_cast<CObListShort*>(item_)->name : creation_caption_;
    }
    HWND MakeControl() override {
        return MakeList(LVS_SINGLESEL, {{"Property", 150}, {"Atribute", 150}});
    }
    void Reload() override {
        SetText(Caption());  // a rename shows in the caption at once
        CListCtrl list(control_);
        list.DeleteAll();
        if (!item_) return;
        const auto rows = LinkRows(*static_cast<CObListShort*>(item_));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            list.Insert(int(i), rows[i].first, LPARAM(i));
            list.SetItemText(int(i), 1, rows[i].second);
        }
    }

protected:
    bool OnNotify(NMHDR* h, LRESULT&) override {
        if (h->hwndFrom != control_ || h->code != NM_DBLCLK) return false;
        auto* node = static_cast<CObListShort*>(item_);
        if (!node || !host_.Doc() || !host_.Edits()) return true;
        const int row = reinterpret_cast<NMITEMACTIVATE*>(h)->iItem;
        if (node->kind == CObListShort::kShortcut && row >= 0) {
            if (row == kFileGroupRow)
                RunGroupChoiceSheet(host_.SheetContextFor(), "Group Properties", node->file_groups);
            else if (EditShortcut(host_.Instance(), host_.Owner(), *host_.Doc(), *node, row))
                NameAfterTarget(*node);
        } else if (node->kind == CObListShort::kProgramFolder) {
            EditProgramFolder(host_.Instance(), host_.Owner(), *node);
        } else {
            return true;
        }
        host_.Edits()->Changed(ItemKind::kShortcut, node);
        return true;
    }

private:
    // A shortcut still called as it was made takes the name of the file it now points at
    // (through the rename rule: a sibling's name keeps the old one).
    void NameAfterTarget(CObListShort& node) {
        const std::string name = NameFromTarget(node);
        if (name.empty()) return;
        const std::string old = node.name;
        if (host_.Edits()->RenameShortcut(node, name) != RenameResult::kRenamed) return;
        if (node.display_text.empty() || node.display_text == old) node.display_text = name;
    }
};

}  // namespace

std::unique_ptr<CItemWindow> MakeLinkWindow(ItemHost& host) { return std::make_unique<CMDIShort>(host); }

}  // namespace qp
