// Non-owning wrappers of the common controls our windows use; copy them freely.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/Window.h"

namespace qp {

class CEdit : public CWindow {
public:
    using CWindow::CWindow;
    void SetLimitText(int n) const { Send(EM_SETLIMITTEXT, WPARAM(n)); }
    void SetSel(int start, int end) const { Send(EM_SETSEL, WPARAM(start), LPARAM(end)); }
};

class CSpinButton : public CWindow {
public:
    using CWindow::CWindow;
    void SetRange(int lo, int hi) const { Send(UDM_SETRANGE32, WPARAM(lo), LPARAM(hi)); }
    void SetPos(int pos) const { Send(UDM_SETPOS32, 0, LPARAM(pos)); }
    int Pos() const { return int(Send(UDM_GETPOS32)); }
    void SetBuddy(HWND buddy) const { Send(UDM_SETBUDDY, WPARAM(buddy)); }
};

// An image list of bitmap strips; owns nothing (the list goes with the control that uses it
// when created with the control's "share" style off, else call Destroy).
class CImageList {
public:
    CImageList(HIMAGELIST h = nullptr) : h_(h) {}
    // Cuts a bitmap resource into `cx`-wide images; `mask` is the transparent colour. Above 96
    // `dpi` the images are enlarged in proportion (whole source pixels, so the mask stays exact).
    static CImageList FromBitmap(HINSTANCE instance, int id, int cx, COLORREF mask, int dpi = 96);
    HIMAGELIST Handle() const { return h_; }
    operator HIMAGELIST() const { return h_; }
    int Add(HICON icon) const { return ImageList_AddIcon(h_, icon); }
    int Count() const { return ImageList_GetImageCount(h_); }
    void Destroy() { if (h_) ImageList_Destroy(h_); h_ = nullptr; }

private:
    HIMAGELIST h_;
};

class CTabCtrl : public CWindow {
public:
    using CWindow::CWindow;
    int Insert(int index, const std::string& text, int image) const;
    void SetItemText(int index, const std::string& text) const;
    int Count() const { return int(Send(TCM_GETITEMCOUNT)); }
    int CurSel() const { return int(Send(TCM_GETCURSEL)); }
    void SetCurSel(int index) const { Send(TCM_SETCURSEL, WPARAM(index)); }
    int RowCount() const { return int(Send(TCM_GETROWCOUNT)); }
    void SetImageList(HIMAGELIST list) const { Send(TCM_SETIMAGELIST, 0, LPARAM(list)); }
    // The height of one tab row.
    int RowHeight() const;
};

class CTreeCtrl : public CWindow {
public:
    using CWindow::CWindow;
    HTREEITEM Insert(HTREEITEM parent, const std::string& text, LPARAM data, int image = 0,
                     HTREEITEM after = TVI_LAST) const;
    void DeleteAll() const { Send(TVM_DELETEITEM, 0, LPARAM(TVI_ROOT)); }
    void Delete(HTREEITEM item) const { Send(TVM_DELETEITEM, 0, LPARAM(item)); }
    HTREEITEM Next(HTREEITEM item, UINT code) const { return HTREEITEM(Send(TVM_GETNEXTITEM, code, LPARAM(item))); }
    HTREEITEM Root() const { return Next(nullptr, TVGN_ROOT); }
    HTREEITEM Child(HTREEITEM item) const { return Next(item, TVGN_CHILD); }
    HTREEITEM Sibling(HTREEITEM item) const { return Next(item, TVGN_NEXT); }
    HTREEITEM ParentItem(HTREEITEM item) const { return Next(item, TVGN_PARENT); }
    HTREEITEM Selection() const { return Next(nullptr, TVGN_CARET); }
    void Select(HTREEITEM item) const { Send(TVM_SELECTITEM, TVGN_CARET, LPARAM(item)); }
    void Expand(HTREEITEM item, UINT code = TVE_EXPAND) const { Send(TVM_EXPAND, code, LPARAM(item)); }
    std::string ItemText(HTREEITEM item) const;
    void SetItemText(HTREEITEM item, const std::string& text) const;
    LPARAM ItemData(HTREEITEM item) const;
    void SetImage(HTREEITEM item, int image) const;
    // The check-box state image: 1 unchecked, 2 checked (TVS_CHECKBOXES).
    void SetCheck(HTREEITEM item, bool on) const;
    bool Check(HTREEITEM item) const;
    void ClearStateImage(HTREEITEM item) const;
    int Image(HTREEITEM item) const;
    HWND EditLabel(HTREEITEM item) const { return HWND(Send(TVM_EDITLABELA, 0, LPARAM(item))); }
    HTREEITEM HitTest(POINT client, UINT* flags = nullptr) const;
    void SetImageList(HIMAGELIST list, int kind = TVSIL_NORMAL) const { Send(TVM_SETIMAGELIST, WPARAM(kind), LPARAM(list)); }
    // The item whose data is `data` in the subtree below `from` (the whole tree by default).
    HTREEITEM Find(LPARAM data, HTREEITEM from = nullptr) const;
};

class CListCtrl : public CWindow {
public:
    using CWindow::CWindow;
    void AddColumn(int index, const std::string& text, int width) const;
    int ColumnCount() const;
    int Insert(int index, const std::string& text, LPARAM data, int image = 0) const;
    void SetItemText(int item, int sub, const std::string& text) const;
    std::string ItemText(int item, int sub) const;
    LPARAM ItemData(int item) const;
    int Count() const { return int(Send(LVM_GETITEMCOUNT)); }
    void DeleteAll() const { Send(LVM_DELETEALLITEMS); }
    void Delete(int item) const { Send(LVM_DELETEITEM, WPARAM(item)); }
    int NextSelected(int after = -1) const { return int(Send(LVM_GETNEXTITEM, WPARAM(after), LVNI_SELECTED)); }
    std::vector<int> Selected() const;
    void Select(int item) const;
    HWND EditLabel(int item) const { return HWND(Send(LVM_EDITLABELA, WPARAM(item))); }
    void SetImageList(HIMAGELIST list, int kind = LVSIL_SMALL) const { Send(LVM_SETIMAGELIST, WPARAM(kind), LPARAM(list)); }
    void SetExtendedStyle(DWORD style) const { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, style, style); }
    int HitTest(POINT client) const;
};

class CProgressBar : public CWindow {
public:
    using CWindow::CWindow;
    void SetRange(int lo, int hi) const { Send(PBM_SETRANGE32, WPARAM(lo), LPARAM(hi)); }
    void SetPos(int pos) const { Send(PBM_SETPOS, WPARAM(pos)); }
    int Pos() const { return int(Send(PBM_GETPOS)); }
};

class CStatusBar : public CWindow {
public:
    using CWindow::CWindow;
    // Panes given by their widths; the first one takes what the others leave.
    void SetPanes(const std::vector<int>& widths) const;
    void SetPaneText(int pane, const std::string& text) const { Send(SB_SETTEXTA, WPARAM(pane), LPARAM(text.c_str())); }
    std::string PaneText(int pane) const;
};

// A popup menu loaded from a menu resource; DestroyMenu on the loaded bar when done.
class CMenu {
public:
    CMenu(HMENU h = nullptr) : h_(h) {}
    HMENU Handle() const { return h_; }
    operator HMENU() const { return h_; }
    CMenu SubMenu(int pos) const { return CMenu(::GetSubMenu(h_, pos)); }
    int Count() const { return ::GetMenuItemCount(h_); }
    UINT ItemId(int pos) const { return ::GetMenuItemID(h_, pos); }
    std::string ItemText(int pos) const;
    void SetItemText(int pos, const std::string& text) const;
    void EnableItem(int pos, bool on) const { ::EnableMenuItem(h_, UINT(pos), MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED)); }
    void CheckItem(int pos, bool on) const { ::CheckMenuItem(h_, UINT(pos), MF_BYPOSITION | (on ? MF_CHECKED : MF_UNCHECKED)); }
    // Shows the popup at screen point `at`, owned by `owner` (which receives the WM_COMMAND).
    // False when the popup could not appear.
    bool Track(HWND owner, POINT at, UINT flags = TPM_LEFTALIGN | TPM_RIGHTBUTTON) const;

private:
    HMENU h_;
};

}  // namespace qp
