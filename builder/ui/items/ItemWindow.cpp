// The item windows' shared behaviour: creation hidden, the control that fills the window,
// show-item, the context menu, the close box that only hides, and the drop handler that the
// frame shares.
#include "builder/ui/items/ItemWindow.h"

#include <shellapi.h>

#include <algorithm>

namespace qp {

int ScaledToScreen(int pixels_at_96) {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return ::MulDiv(pixels_at_96, dpi > 0 ? dpi : 96, 96);
}

bool CItemWindow::CreateWindowOf(const char* caption, int icon_id) {
    creation_caption_ = caption;
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        registered = CWnd::RegisterClass(host_.Instance(), "QpbItemWindow", CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
                                         reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    }
    if (!CreateChild(host_.Instance(), "QpbItemWindow", caption, host_.MdiClient(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT))
        return false;
    ::SetWindowLongPtrA(hwnd_, GWL_EXSTYLE, ::GetWindowLongPtrA(hwnd_, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
    HICON icon = HICON(::LoadImageA(host_.Instance(), MAKEINTRESOURCEA(icon_id), IMAGE_ICON, 16, 16, 0));
    Send(WM_SETICON, ICON_SMALL, LPARAM(icon));
    Send(WM_SETICON, ICON_BIG, LPARAM(icon));
    control_ = MakeControl();
    if (!control_) return false;
    const RECT r = ClientRect();
    ::MoveWindow(control_, 0, 0, r.right, r.bottom, TRUE);
    ::ShowWindow(hwnd_, SW_HIDE);
    return true;
}

HWND CItemWindow::MakeList(DWORD extra_style, std::initializer_list<ListColumn> columns) {
    HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | extra_style,
                                  0, 0, 10, 10, hwnd_, HMENU(1), host_.Instance(), nullptr);
    if (list) CListCtrl(list).SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    int index = 0;
    for (const ListColumn& c : columns) CListCtrl(list).AddColumn(index++, c.title, c.width);
    list_ = list != nullptr;
    return list;
}

void CItemWindow::ShowItem(void* item) {
    item_ = item;
    SetText(Caption());
    Reload();
    if (item) Bring();
}

void CItemWindow::Bring() {
    if (!placed_) Place();
    Activate();
}

void CItemWindow::Place() {
    // The first showing: cascaded by kind, inside the client area, so that no caption or
    // edge starts out of sight.
    placed_ = true;
    RECT client{};
    ::GetClientRect(::GetParent(hwnd_), &client);
    const int step = ::GetSystemMetrics(SM_CYCAPTION) + 2;
    const int x = step * (int(kind_) % 5), y = step * (int(kind_) % 5);
    const int w = std::max(200, std::min<int>(client.right - x - 8, client.right * 3 / 4));
    const int h = std::max(150, std::min<int>(client.bottom - y - 8, client.bottom * 3 / 4));
    ::MoveWindow(hwnd_, x, y, w, h, TRUE);
}

void CItemWindow::OnSize(UINT, int cx, int cy) {
    if (control_) ::MoveWindow(control_, 0, 0, cx, cy, TRUE);
}

POINT CItemWindow::KeyboardMenuPoint() const {
    // A small inset, so that the menu is seen to belong to the row and not to the one above.
    constexpr int kInset = 5;
    RECT r{};
    bool found = false;
    char name[32] = {};
    ::GetClassNameA(control_, name, sizeof(name));
    if (lstrcmpiA(name, WC_LISTVIEWA) == 0) {
        CListCtrl list(control_);
        int row = list.NextSelected();
        if (row < 0) row = int(::SendMessageA(control_, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
        if (row >= 0) {
            r.left = LVIR_BOUNDS;
            found = ::SendMessageA(control_, LVM_GETITEMRECT, WPARAM(row), LPARAM(&r)) != 0;
        }
    } else if (lstrcmpiA(name, WC_TREEVIEWA) == 0) {
        if (HTREEITEM node = TreeView_GetSelection(control_)) found = TreeView_GetItemRect(control_, node, &r, TRUE) != FALSE;
    }
    POINT p = found ? POINT{r.left + kInset, r.top + kInset} : POINT{kInset, kInset};
    ::ClientToScreen(control_, &p);
    return p;
}

bool CItemWindow::OnNotify(NMHDR* h, LRESULT& result) {
    if (h->hwndFrom != control_ || !list_) return false;
    switch (h->code) {
    case LVN_KEYDOWN: return reinterpret_cast<NMLVKEYDOWN*>(h)->wVKey == VK_DELETE && OnDeleteKey();
    case LVN_BEGINLABELEDITA: {
        const auto* info = reinterpret_cast<NMLVDISPINFOA*>(h);
        result = CanRenameRow(CListCtrl(control_).ItemData(info->item.iItem)) ? FALSE : TRUE;
        return true;
    }
    case LVN_ENDLABELEDITA: {
        // No text: the edit was cancelled.
        const auto* info = reinterpret_cast<NMLVDISPINFOA*>(h);
        const LPARAM node = CListCtrl(control_).ItemData(info->item.iItem);
        result = info->item.pszText && node && host_.Edits() && RenameRow(node, info->item.pszText);
        return true;
    }
    case NM_DBLCLK: return OnRowDoubleClick(reinterpret_cast<NMITEMACTIVATE*>(h)->iItem);
    }
    return false;
}

void HandleFileDrop(HDROP drop, ItemHost& host, DropTarget target, CObListFile* folder) {
    std::vector<DroppedPath> dropped;
    const UINT n = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; ++i) {
        // A path longer than the buffer would arrive cut: it is left out, not added wrong.
        char path[MAX_PATH * 2] = {};
        const UINT length = ::DragQueryFileA(drop, i, nullptr, 0);
        if (length == 0 || length >= sizeof(path) || !::DragQueryFileA(drop, i, path, sizeof(path))) continue;
        const DWORD attributes = ::GetFileAttributesA(path);
        dropped.push_back({path, attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)});
    }
    ::DragFinish(drop);
    const DropPlan plan = PlanDrop(dropped, target, folder != nullptr, host.Doc() != nullptr);
    switch (plan.action) {
    case DropPlan::kNothing: break;
    case DropPlan::kOpenProject:
        ::SetForegroundWindow(host.Owner());
        host.OpenProject(plan.project);
        break;
    case DropPlan::kAddFiles:
        if (folder && host.Edits()) host.Edits()->AddFiles(*folder, plan.files);
        break;
    case DropPlan::kExplain:
        ::SetForegroundWindow(host.Owner());
        ::MessageBoxA(host.Owner(), plan.message.c_str(), "Quillpacker", MB_OK | MB_ICONINFORMATION);
        break;
    }
}

LRESULT CItemWindow::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_DROPFILES:
        HandleFileDrop(HDROP(w), host_, TakesFiles() ? DropTarget::kFolderWindow : DropTarget::kOtherWindow,
                       TakesFiles() && host_.Edits() ? DropFolder() : nullptr);
        return 0;
    case WM_CLOSE: {
        // Only hidden: a tree selection or the Window menu brings it back.
        HWND client = ::GetParent(hwnd_);
        if (HWND(::SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) == hwnd_) ::SendMessageA(client, WM_MDINEXT, WPARAM(hwnd_), 0);
        ::ShowWindow(hwnd_, SW_HIDE);
        return 0;
    }
    case WM_SETFOCUS:
        if (control_) ::SetFocus(control_);
        break;
    case WM_CONTEXTMENU:
        if (HWND(w) == control_ && ContextMenuId() != 0) {
            // (-1, -1): opened from the keyboard (Shift+F10 or the menu key).
            const POINT p = l == -1 ? KeyboardMenuPoint() : POINT{short(LOWORD(l)), short(HIWORD(l))};
            host_.TrackContextMenu(ContextMenuId(), p);
            return 0;
        }
        break;
    }
    return CMDIChildWnd::HandleMessage(msg, w, l);
}

}  // namespace qp
