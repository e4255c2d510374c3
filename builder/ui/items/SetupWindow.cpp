// CMDISetup: the setup type's components: every component with a check box that shows whether
// it belongs to the setup type. A click on a component's icon or on its box, or the space bar
// on the selected component, toggles its membership (a refused toggle beeps and says why in the
// status line).
#include <windows.h>

#include "builder/ui/items/ItemWindows.h"
#include "builder/ui/res/resource.h"
#include "common/win/dc.h"

namespace qp {

namespace {

constexpr int kImgComponent = 12, kImgMember = 13;
// State images: 1 a cleared box, 2 a checked one (index 0 is "no box", the tree's own rule).
constexpr int kStateOut = 1, kStateIn = 2;

// The two boxes drawn by the system, at the screen's size for a 16-pixel image.
HIMAGELIST MakeBoxImages() {
    const int size = ScaledToScreen(16);
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 3, 0);
    HDC screen = ::GetDC(nullptr);
    constexpr COLORREF kKey = RGB(255, 0, 255);
    for (int i = 0; i < 3; ++i) {
        HBITMAP bmp = ::CreateCompatibleBitmap(screen, size, size);
        {
            CMemoryDC dc(screen);
            CSelectObject keep(dc, bmp);
            const RECT all{0, 0, size, size};
            dc.FillSolidRect(all, kKey);
            const int inset = size / 8;
            RECT box{inset, inset, size - inset, size - inset};
            if (i > 0)
                ::DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (i == kStateIn ? DFCS_CHECKED : 0));
        }
        ImageList_AddMasked(list, bmp, kKey);
        ::DeleteObject(bmp);
    }
    ::ReleaseDC(nullptr, screen);
    return list;
}

class CMDISetup : public CItemWindow {
public:
    explicit CMDISetup(ItemHost& h) : CItemWindow(h, ItemWindowKind::kSetup) {}
    ~CMDISetup() override {
        images_.Destroy();
        if (boxes_) ImageList_Destroy(boxes_);
    }
    std::string Caption() const override {
        return item_ ? static_cast<CItemSetup*>(item_)->name : std::string("Setup Window");
    }
    HWND MakeControl() override {
        HWND h = ::CreateWindowExA(0, WC_TREEVIEWA, "",
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS |
                                       TVS_SHOWSELALWAYS,
                                   0, 0, 10, 10, hwnd_, HMENU(1), host_.Instance(), nullptr);
        images_ = CImageList::FromBitmap(host_.Instance(), IDB_NODES, 16, RGB(255, 0, 255), ScaledToScreen(96));
        boxes_ = MakeBoxImages();
        CTreeCtrl(h).SetImageList(images_);
        CTreeCtrl(h).SetImageList(boxes_, TVSIL_STATE);
        return h;
    }
    void Reload() override {
        // The caption follows a rename of the setup type.
        SetText(Caption());
        CTreeCtrl tree(control_);
        // A toggle rebuilds the tree: the selection and the scroll position stay where they were,
        // so that the space bar can go on down the list.
        const HTREEITEM was = tree.Selection();
        const LPARAM selected = was ? tree.ItemData(was) : 0;
        const HTREEITEM top = HTREEITEM(::SendMessageA(control_, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
        const LPARAM first_visible = top ? tree.ItemData(top) : 0;
        ::SendMessageA(control_, WM_SETREDRAW, FALSE, 0);
        tree.DeleteAll();
        if (item_ && host_.Doc()) {
            HTREEITEM root = tree.Insert(nullptr, "Setup Component", 0, 0);
            for (auto& c : host_.Doc()->root_component.children) Add(tree, root, *c);
            tree.Expand(root);
            if (HTREEITEM n = first_visible ? tree.Find(first_visible) : nullptr)
                ::SendMessageA(control_, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, LPARAM(n));
            if (HTREEITEM n = selected ? tree.Find(selected) : nullptr) tree.Select(n);
        }
        ::SendMessageA(control_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(control_, nullptr, TRUE);
    }

protected:
    bool OnNotify(NMHDR* h, LRESULT& result) override {
        if (h->hwndFrom != control_) return false;
        CTreeCtrl tree(control_);
        if (h->code == TVN_KEYDOWN) {
            if (reinterpret_cast<NMTVKEYDOWN*>(h)->wVKey != VK_SPACE) return false;
            Toggle(tree.Selection());
            result = 1;  // no incremental search for the blank
            return true;
        }
        if (h->code != NM_CLICK) return false;
        POINT p;
        ::GetCursorPos(&p);
        ::ScreenToClient(control_, &p);
        UINT flags = 0;
        HTREEITEM node = tree.HitTest(p, &flags);
        if (node && (flags & (TVHT_ONITEMICON | TVHT_ONITEMSTATEICON))) {
            tree.Select(node);
            Toggle(node);
            result = 1;
        }
        return true;
    }

private:
    void Toggle(HTREEITEM node) {
        if (!node || !item_ || !host_.Edits()) return;
        auto* c = reinterpret_cast<CItemComponent*>(CTreeCtrl(control_).ItemData(node));
        if (!c) return;
        if (host_.Edits()->ToggleMembership(*static_cast<CItemSetup*>(item_), *c) == ProjectEdits::Membership::kRefused) {
            ::MessageBeep(MB_OK);
            host_.SetStatusText("\"" + c->name + "\" stays: a component of this setup type requires it");
        }
    }

    void Add(CTreeCtrl& tree, HTREEITEM parent, CItemComponent& c) {
        const bool member = ProjectEdits::IsMember(*static_cast<CItemSetup*>(item_), &c);
        HTREEITEM n = tree.Insert(parent, c.name, LPARAM(&c), member ? kImgMember : kImgComponent);
        TVITEMA tv{};
        tv.mask = TVIF_STATE;
        tv.hItem = n;
        tv.stateMask = TVIS_STATEIMAGEMASK | TVIS_BOLD;
        tv.state = INDEXTOSTATEIMAGEMASK(member ? kStateIn : kStateOut) | (member ? TVIS_BOLD : 0);
        ::SendMessageA(control_, TVM_SETITEMA, 0, LPARAM(&tv));
        for (auto& child : c.children) Add(tree, n, *child);
        tree.Expand(n);
    }
    CImageList images_;
    HIMAGELIST boxes_ = nullptr;
};

}  // namespace

std::unique_ptr<CItemWindow> MakeSetupWindow(ItemHost& host) { return std::make_unique<CMDISetup>(host); }

}  // namespace qp
