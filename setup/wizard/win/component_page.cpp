// The component page: the tree whose item images act as check boxes, the description of the
// focused component, and the required and available disk figures.
#include <windows.h>

#include <commctrl.h>

#include "setup/wizard/page_tables.h"
#include "setup/wizard/win/commoncontrols.h"
#include "setup/wizard/win/resources.h"
#include "setup/wizard/win/wizard_ui.h"

namespace qp::wiz {
namespace {

// Free kilobytes on the drive of `path`, -1 when the system cannot tell.
std::int64_t FreeKilobytes(const std::string& path) {
    const std::string root = DriveRoot(path);
    using FreeEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto ex = kernel ? reinterpret_cast<FreeEx>(
                           reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")))
                     : nullptr;
    if (ex) {
        ULARGE_INTEGER avail, total, free_bytes;
        if (ex(root.c_str(), &avail, &total, &free_bytes))
            return static_cast<std::int64_t>(free_bytes.QuadPart / 1024);
    }
    DWORD spc = 0, bps = 0, free_clusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(root.c_str(), &spc, &bps, &free_clusters, &clusters)) return -1;
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(free_clusters) * spc * bps / 1024);
}

Component* ItemComponent(HWND tree, HTREEITEM item) {
    if (!item) return nullptr;
    TVITEMA tv{};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    if (!TreeView_GetItem(tree, &tv)) return nullptr;
    return reinterpret_cast<Component*>(tv.lParam);
}

}  // namespace

bool Wizard::ComponentPage(Wizard& w, HWND page, PageEvent& e) {
    if (e.kind == PageEvent::kOpen) {
        WizardState& s = w.State();
        WizardData& d = w.Data();
        const SetupType* type =
            s.setup_type >= 0 && s.setup_type < static_cast<int>(d.types.size()) ? &d.types[s.setup_type]
                                                                                  : nullptr;
        ApplyTreeStates(d.root, type, type && s.setup_type != s.setup_type_applied, s.maintenance);
        if (type) s.setup_type_applied = s.setup_type;

        HWND tree = GetDlgItem(page, kIdComponentTree);
        if (w.images_) DestroyImageList(w.images_);
        w.images_ = LoadImageList(w.setup_.instance, MAKEINTRESOURCEA(IDB_CHECKS), 16, 0,
                                   RGB(255, 255, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
        TreeView_SetImageList(tree, w.images_, TVSIL_NORMAL);
        w.FillTree(tree, d.root, TVI_ROOT);

        const std::string root = DisplayRoot(DriveRoot(s.target_dir));
        SetDlgItemTextA(page, kIdAvailableSpace,
                        AvailableText(w.Text("SPACEAV"), root, FreeKilobytes(s.target_dir)).c_str());
        w.ShowRequired(page);
        SetFocus(tree);
        return true;
    }
    if (e.kind != PageEvent::kNotify || e.hdr->idFrom != kIdComponentTree) return false;
    NMHDR* hdr = e.hdr;
    INT_PTR& result = e.result;
    HWND tree = hdr->hwndFrom;
    switch (hdr->code) {
    case TVN_GETDISPINFOA:
    case TVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMTVDISPINFOA*>(hdr);
        auto* c = reinterpret_cast<Component*>(info->item.lParam);
        if (c && (info->item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE))) {
            info->item.iImage = ImageIndex(*c);
            info->item.iSelectedImage = info->item.iImage;
        }
        result = 0;
        return true;
    }
    case NM_CLICK: {
        TVHITTESTINFO hit{};
        GetCursorPos(&hit.pt);
        ScreenToClient(tree, &hit.pt);
        HTREEITEM item = TreeView_HitTest(tree, &hit);
        if (item && (hit.flags & TVHT_ONITEMICON)) w.ToggleItem(tree, item);
        result = 0;
        return true;
    }
    case TVN_KEYDOWN: {
        auto* key = reinterpret_cast<NMTVKEYDOWN*>(hdr);
        if (key->wVKey != VK_SPACE) return false;
        w.ToggleItem(tree, TreeView_GetSelection(tree));
        result = 1;  // no incremental search on the blank
        return true;
    }
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
        auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
        Component* c = ItemComponent(tree, nm->itemNew.hItem);
        if (c) {
            std::string text = w.Data().texts.Get(c->description, c->description);
            SetDlgItemTextA(page, kIdComponentDescription, text.c_str());
        }
        result = 0;
        return true;
    }
    default: return false;
    }
}

void Wizard::FillTree(HWND tree, Component& c, HTREEITEM parent) {
    if (!c.visible) return;
    HTREEITEM here = parent;
    if (c.parent) {
        std::string caption = c.display_name.empty()
                                  ? c.name
                                  : Data().texts.Get(c.display_name, c.display_name);
        TVINSERTSTRUCTA ins{};
        ins.hParent = parent;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
        ins.item.pszText = const_cast<char*>(caption.c_str());
        ins.item.iImage = I_IMAGECALLBACK;
        ins.item.iSelectedImage = I_IMAGECALLBACK;
        ins.item.cChildren = static_cast<int>(c.children.size());
        ins.item.lParam = reinterpret_cast<LPARAM>(&c);
        here = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    }
    for (auto& child : c.children) FillTree(tree, *child, here);
}


void Wizard::ShowRequired(HWND page) {
    const std::int32_t kb = setup_.hooks.required_kb ? setup_.hooks.required_kb() : 0;
    const std::string root = DisplayRoot(DriveRoot(State().target_dir));
    SetDlgItemTextA(page, kIdRequiredSpace, RequiredText(Text("SPACEREQ"), root, kb).c_str());
}

void Wizard::ToggleItem(HWND tree, HTREEITEM item) {
    Component* c = ItemComponent(tree, item);
    if (!c) return;
    Toggle(*c);
    InvalidateRect(tree, nullptr, TRUE);
    ShowRequired(GetParent(tree));
}


}  // namespace qp::wiz
