// The file-group page (see GroupPage.h).
#include "builder/ui/editors/GroupPage.h"

#include <algorithm>

#include "builder/ui/res/editors_ids.h"
#include "framework/Controls.h"

namespace qp {

CGroupPage::CGroupPage(HINSTANCE instance, const CDazDoc& doc, std::vector<CItemGroup*>& groups)
    : CPropertyPage(instance, IDD_GROUP_PAGE), doc_(doc), groups_(groups) {}

bool CGroupPage::OnInit() {
    CTreeCtrl tree(Item(IDC_GROUP_TREE));
    // The check boxes' state images appear only when the style is set after creation.
    ::SetWindowLongPtrA(tree, GWL_STYLE, ::GetWindowLongPtrA(tree, GWL_STYLE) | TVS_CHECKBOXES);
    for (const auto& g : doc_.group_list.items) {
        HTREEITEM n = tree.Insert(nullptr, g->name, LPARAM(g.get()));
        tree.SetCheck(n, std::find(groups_.begin(), groups_.end(), g.get()) != groups_.end());
    }
    return true;
}

void CGroupPage::OnApply() {
    CTreeCtrl tree(Item(IDC_GROUP_TREE));
    std::vector<CItemGroup*> checked;
    for (HTREEITEM n = tree.Root(); n; n = tree.Sibling(n))
        if (tree.Check(n)) checked.push_back(reinterpret_cast<CItemGroup*>(tree.ItemData(n)));
    groups_ = checked;
}

bool RunGroupSheet(HWND owner, HINSTANCE instance, const char* caption, const CDazDoc& doc,
                   std::vector<CItemGroup*>& groups) {
    CGroupPage page(instance, doc, groups);
    CPropertySheet sheet(caption);
    sheet.AddPage(page);
    return sheet.DoModal(owner, instance) == IDOK;
}

}  // namespace qp
