// The common-control wrappers' longer calls.
#include "framework/Controls.h"

#include <algorithm>

namespace qp {

CImageList CImageList::FromBitmap(HINSTANCE instance, int id, int cx, COLORREF mask, int dpi) {
    if (dpi <= 96)
        return CImageList(ImageList_LoadImageA(instance, MAKEINTRESOURCEA(id), cx, 1, mask, IMAGE_BITMAP, LR_CREATEDIBSECTION));
    HBITMAP strip = HBITMAP(::LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!strip) return CImageList();
    BITMAP bm{};
    ::GetObjectA(strip, sizeof(bm), &bm);
    const int count = std::max(1, int(bm.bmWidth / cx));
    const int big_cx = ::MulDiv(cx, dpi, 96), big_cy = ::MulDiv(bm.bmHeight, dpi, 96);
    HDC screen = ::GetDC(nullptr);
    HDC from = ::CreateCompatibleDC(screen), to = ::CreateCompatibleDC(screen);
    HBITMAP big = ::CreateCompatibleBitmap(screen, big_cx * count, big_cy);
    HGDIOBJ old_from = ::SelectObject(from, strip), old_to = ::SelectObject(to, big);
    ::SetStretchBltMode(to, COLORONCOLOR);
    for (int i = 0; i < count; ++i)  // image by image, so that no image borrows its neighbour's pixels
        ::StretchBlt(to, i * big_cx, 0, big_cx, big_cy, from, i * cx, 0, cx, bm.bmHeight, SRCCOPY);
    ::SelectObject(from, old_from);
    ::SelectObject(to, old_to);
    ::DeleteDC(from);
    ::DeleteDC(to);
    ::ReleaseDC(nullptr, screen);
    HIMAGELIST list = ImageList_Create(big_cx, big_cy, ILC_COLOR24 | ILC_MASK, count, 1);
    if (list) ImageList_AddMasked(list, big, mask);
    ::DeleteObject(big);
    ::DeleteObject(strip);
    return CImageList(list);
}

int CTabCtrl::Insert(int index, const std::string& text, int image) const {
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = const_cast<char*>(text.c_str());
    item.iImage = image;
    return int(Send(TCM_INSERTITEMA, WPARAM(index), LPARAM(&item)));
}

void CTabCtrl::SetItemText(int index, const std::string& text) const {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(text.c_str());
    Send(TCM_SETITEMA, WPARAM(index), LPARAM(&item));
}

int CTabCtrl::RowHeight() const {
    RECT r{};
    if (Count() == 0 || !Send(TCM_GETITEMRECT, 0, LPARAM(&r))) return 0;
    return r.bottom - r.top;
}

HTREEITEM CTreeCtrl::Insert(HTREEITEM parent, const std::string& text, LPARAM data, int image, HTREEITEM after) const {
    TVINSERTSTRUCTA ins{};
    ins.hParent = parent ? parent : TVI_ROOT;
    ins.hInsertAfter = after;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    ins.item.pszText = const_cast<char*>(text.c_str());
    ins.item.lParam = data;
    ins.item.iImage = image;
    ins.item.iSelectedImage = image;
    return HTREEITEM(Send(TVM_INSERTITEMA, 0, LPARAM(&ins)));
}

std::string CTreeCtrl::ItemText(HTREEITEM item) const {
    char buf[1024] = {};
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = buf;
    tv.cchTextMax = sizeof(buf);
    Send(TVM_GETITEMA, 0, LPARAM(&tv));
    return buf;
}

void CTreeCtrl::SetItemText(HTREEITEM item, const std::string& text) const {
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = const_cast<char*>(text.c_str());
    Send(TVM_SETITEMA, 0, LPARAM(&tv));
}

LPARAM CTreeCtrl::ItemData(HTREEITEM item) const {
    TVITEMA tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    if (!item || !Send(TVM_GETITEMA, 0, LPARAM(&tv))) return 0;
    return tv.lParam;
}

void CTreeCtrl::SetImage(HTREEITEM item, int image) const {
    TVITEMA tv{};
    tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = item;
    tv.iImage = image;
    tv.iSelectedImage = image;
    Send(TVM_SETITEMA, 0, LPARAM(&tv));
}

void CTreeCtrl::SetCheck(HTREEITEM item, bool on) const {
    TVITEMA tv{};
    tv.mask = TVIF_STATE;
    tv.hItem = item;
    tv.stateMask = TVIS_STATEIMAGEMASK;
    tv.state = INDEXTOSTATEIMAGEMASK(on ? 2 : 1);
    Send(TVM_SETITEMA, 0, LPARAM(&tv));
}

bool CTreeCtrl::Check(HTREEITEM item) const {
    const UINT state = UINT(Send(TVM_GETITEMSTATE, WPARAM(item), TVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;
}

void CTreeCtrl::ClearStateImage(HTREEITEM item) const {
    TVITEMA tv{};
    tv.mask = TVIF_STATE;
    tv.hItem = item;
    tv.stateMask = TVIS_STATEIMAGEMASK;
    tv.state = 0;
    Send(TVM_SETITEMA, 0, LPARAM(&tv));
}

int CTreeCtrl::Image(HTREEITEM item) const {
    TVITEMA tv{};
    tv.mask = TVIF_IMAGE;
    tv.hItem = item;
    return Send(TVM_GETITEMA, 0, LPARAM(&tv)) ? tv.iImage : -1;
}

HTREEITEM CTreeCtrl::HitTest(POINT client, UINT* flags) const {
    TVHITTESTINFO hit{};
    hit.pt = client;
    HTREEITEM item = HTREEITEM(Send(TVM_HITTEST, 0, LPARAM(&hit)));
    if (flags) *flags = hit.flags;
    return item;
}

HTREEITEM CTreeCtrl::Find(LPARAM data, HTREEITEM from) const {
    for (HTREEITEM i = from ? Child(from) : Root(); i; i = Sibling(i)) {
        if (ItemData(i) == data) return i;
        if (HTREEITEM found = Find(data, i)) return found;
    }
    return nullptr;
}

void CListCtrl::AddColumn(int index, const std::string& text, int width) const {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = const_cast<char*>(text.c_str());
    col.cx = width;
    col.iSubItem = index;
    Send(LVM_INSERTCOLUMNA, WPARAM(index), LPARAM(&col));
}

int CListCtrl::ColumnCount() const {
    HWND header = HWND(Send(LVM_GETHEADER));
    return header ? int(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int CListCtrl::Insert(int index, const std::string& text, LPARAM data, int image) const {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<char*>(text.c_str());
    item.lParam = data;
    item.iImage = image;
    return int(Send(LVM_INSERTITEMA, 0, LPARAM(&item)));
}

void CListCtrl::SetItemText(int item, int sub, const std::string& text) const {
    LVITEMA it{};
    it.iSubItem = sub;
    it.pszText = const_cast<char*>(text.c_str());
    Send(LVM_SETITEMTEXTA, WPARAM(item), LPARAM(&it));
}

std::string CListCtrl::ItemText(int item, int sub) const {
    char buf[1024] = {};
    LVITEMA it{};
    it.iSubItem = sub;
    it.pszText = buf;
    it.cchTextMax = sizeof(buf);
    Send(LVM_GETITEMTEXTA, WPARAM(item), LPARAM(&it));
    return buf;
}

LPARAM CListCtrl::ItemData(int item) const {
    LVITEMA it{};
    it.mask = LVIF_PARAM;
    it.iItem = item;
    if (!Send(LVM_GETITEMA, 0, LPARAM(&it))) return 0;
    return it.lParam;
}

std::vector<int> CListCtrl::Selected() const {
    std::vector<int> out;
    for (int i = NextSelected(); i >= 0; i = NextSelected(i)) out.push_back(i);
    return out;
}

void CListCtrl::Select(int item) const {
    LVITEMA it{};
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    it.state = LVIS_SELECTED | LVIS_FOCUSED;
    Send(LVM_SETITEMSTATE, WPARAM(item), LPARAM(&it));
    Send(LVM_ENSUREVISIBLE, WPARAM(item), FALSE);
}

int CListCtrl::HitTest(POINT client) const {
    LVHITTESTINFO hit{};
    hit.pt = client;
    return int(Send(LVM_HITTEST, 0, LPARAM(&hit)));
}

void CStatusBar::SetPanes(const std::vector<int>& widths) const {
    // Parts are given by their right edges; the first pane takes what the others leave.
    if (widths.empty()) return;
    std::vector<int> edges(widths.size(), -1);
    int x = ClientRect().right;
    for (std::size_t i = widths.size() - 1; i > 0; --i) {
        x -= widths[i];
        edges[i - 1] = x;
    }
    Send(SB_SETPARTS, WPARAM(edges.size()), LPARAM(edges.data()));
}

std::string CStatusBar::PaneText(int pane) const {
    const int n = LOWORD(Send(SB_GETTEXTLENGTHA, WPARAM(pane)));
    std::string text(std::size_t(n) + 1, '\0');
    Send(SB_GETTEXTA, WPARAM(pane), LPARAM(&text[0]));
    text.resize(std::size_t(n));
    return text;
}

std::string CMenu::ItemText(int pos) const {
    char buf[256] = {};
    ::GetMenuStringA(h_, UINT(pos), buf, sizeof(buf), MF_BYPOSITION);
    return buf;
}

void CMenu::SetItemText(int pos, const std::string& text) const {
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof(mi);
    mi.fMask = MIIM_STRING;
    mi.dwTypeData = const_cast<char*>(text.c_str());
    ::SetMenuItemInfoA(h_, UINT(pos), TRUE, &mi);
}

bool CMenu::Track(HWND owner, POINT at, UINT flags) const {
    if (!h_) return false;
    return ::TrackPopupMenu(h_, flags, at.x, at.y, 0, owner, nullptr) != FALSE;
}

}  // namespace qp
