// The file-group page (see GroupChoicePage.h).
#include "builder/ui/sheets/GroupChoicePage.h"

#include <algorithm>

#include <commctrl.h>

#include "builder/ui/res/editors_ids.h"
#include "framework/Controls.h"

namespace qp {

CGroupPage::CGroupPage(HINSTANCE instance, const CDazDoc& doc, std::vector<CItemGroup*>& groups)
    : CPropertyPage(instance, IDD_GROUP_PAGE), doc_(doc), groups_(groups) {}

bool CGroupPage::OnInit() {
    // The tree is made here with its check boxes from the start (a check-box style given to an
    // existing tree view does not take everywhere); the template's control marks the place.
    const RECT r = ChildRect(IDC_GROUP_TREE);
    HWND old = Item(IDC_GROUP_TREE);
    const DWORD style = DWORD(::GetWindowLongPtrA(old, GWL_STYLE)) | TVS_CHECKBOXES;
    ::DestroyWindow(old);
    CTreeCtrl tree(::CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "", style & ~WS_BORDER, r.left, r.top, r.right - r.left,
                                     r.bottom - r.top, hwnd_, HMENU(INT_PTR(IDC_GROUP_TREE)), Instance(), nullptr));
    for (const auto& g : doc_.group_list.items) {
        tree.Insert(nullptr, g->name, LPARAM(g.get()));
    }
    return true;
}

bool CGroupPage::OnSetActive() {
    // The check states are given once the sheet is up and painted: until then the tree view
    // puts every state image back to unchecked.
    if (!checks_set_) ::SetTimer(hwnd_, 1, 30, nullptr);
    return true;
}

LRESULT CGroupPage::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_TIMER && w == 1) {
        ::KillTimer(hwnd_, 1);
        checks_set_ = true;
        CTreeCtrl tree(Item(IDC_GROUP_TREE));
        for (HTREEITEM n = tree.Root(); n; n = tree.Sibling(n)) {
            const auto* g = reinterpret_cast<CItemGroup*>(tree.ItemData(n));
            tree.SetCheck(n, std::find(groups_.begin(), groups_.end(), g) != groups_.end());
        }
        return 0;
    }
    return CPropertyPage::HandleMessage(msg, w, l);
}

void CGroupPage::OnApply() {
    if (!checks_set_) return;  // never shown: nothing chosen
    CTreeCtrl tree(Item(IDC_GROUP_TREE));
    std::vector<CItemGroup*> checked;
    for (HTREEITEM n = tree.Root(); n; n = tree.Sibling(n))
        if (tree.Check(n)) checked.push_back(reinterpret_cast<CItemGroup*>(tree.ItemData(n)));
    groups_ = checked;
}

bool RunGroupChoiceSheet(HWND owner, HINSTANCE instance, const char* caption, const CDazDoc& doc,
                   std::vector<CItemGroup*>& groups) {
    CGroupPage page(instance, doc, groups);
    CPropertySheet sheet(caption);
    sheet.AddPage(page);
    return sheet.DoModal(owner, instance) == IDOK;
}

}  // namespace qp
