// CMDISetup: the setup type's components: every component, members marked; a click on a
// component's icon toggles its membership.
#include <windows.h>

#include "builder/ui/items/ItemWindows.h"
#include "builder/ui/res/resource.h"

namespace qp {

namespace {

class CMDISetup : public CItemWindow {
public:
    explicit CMDISetup(ItemHost& h) : CItemWindow(h, ItemWindowKind::kSetup) {}
    std::string Caption() const override {
        return item_ ? static_cast<CItemSetup*>(item_)->name : std::string("Setup Window");
    }
    HWND MakeControl() override {
        HWND h = ::CreateWindowExA(0, WC_TREEVIEWA, "",
                                   WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS | TVS_SHOWSELALWAYS,
                                   0, 0, 10, 10, hwnd_, HMENU(1), host_.Instance(), nullptr);
        images_ = CImageList::FromBitmap(host_.Instance(), IDB_NODES, 16, RGB(255, 0, 255), ScaledToScreen(96));
        CTreeCtrl(h).SetImageList(images_);
        return h;
    }
    void Reload() override {
        CTreeCtrl tree(control_);
        tree.DeleteAll();
        if (!item_ || !host_.Doc()) return;
        HTREEITEM root = tree.Insert(nullptr, "Setup Component", 0, 0);
        for (auto& c : host_.Doc()->root_component.children) Add(tree, root, *c);
        tree.Expand(root);
    }

protected:
    bool OnNotify(NMHDR* h, LRESULT& result) override {
        if (h->hwndFrom != control_ || h->code != NM_CLICK) return false;
        CTreeCtrl tree(control_);
        POINT p;
        ::GetCursorPos(&p);
        ::ScreenToClient(control_, &p);
        UINT flags = 0;
        HTREEITEM node = tree.HitTest(p, &flags);
        auto* c = reinterpret_cast<CItemComponent*>(tree.ItemData(node));
        if (node && c && (flags & TVHT_ONITEMICON) && item_ && host_.Edits()) {
            host_.Edits()->ToggleMembership(*static_cast<CItemSetup*>(item_), *c);
            result = 1;
        }
        return true;
    }

private:
    void Add(CTreeCtrl& tree, HTREEITEM parent, CItemComponent& c) {
        const bool member = ProjectEdits::IsMember(*static_cast<CItemSetup*>(item_), &c);
        HTREEITEM n = tree.Insert(parent, c.name, LPARAM(&c), member ? 13 : 12);
        for (auto& child : c.children) Add(tree, n, *child);
        tree.Expand(n);
    }
    CImageList images_;
};

}  // namespace

std::unique_ptr<CItemWindow> MakeSetupWindow(ItemHost& host) { return std::make_unique<CMDISetup>(host); }

}  // namespace qp
