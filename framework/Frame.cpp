// The MDI frame, its children, the docking side bar, command routing and the message loop.
#include "framework/Frame.h"

#include <algorithm>

#include "framework/DC.h"

namespace qp {

bool RouteCommand(const std::vector<CCmdTarget*>& route, UINT id) {
    for (CCmdTarget* t : route)
        if (t && t->OnCmdMsg(id)) return true;
    return false;
}

CCmdUI UpdateCommand(const std::vector<CCmdTarget*>& route, UINT id) {
    CCmdUI ui;
    ui.id = id;
    for (CCmdTarget* t : route) {
        if (t && t->OnUpdateCmdUI(ui) && ui.handled) return ui;
        ui.handled = false;
    }
    ui.enabled = false;
    return ui;
}

void UpdateMenu(HMENU menu, const std::vector<CCmdTarget*>& route) {
    CMenu m(menu);
    for (int pos = 0; pos < m.Count(); ++pos) {
        const UINT id = m.ItemId(pos);
        if (id == 0 || id == UINT(-1)) continue;  // separator or sub-menu
        if (id >= 0xF000) continue;               // system commands
        const CCmdUI ui = UpdateCommand(route, id);
        m.EnableItem(pos, ui.enabled);
        m.CheckItem(pos, ui.checked);
        if (ui.has_text) m.SetItemText(pos, ui.text);
    }
}

HWND CFocusedEditCommands::FocusedEdit() {
    HWND focus = ::GetFocus();
    if (!focus) return nullptr;
    char name[16] = {};
    ::GetClassNameA(focus, name, sizeof(name));
    return lstrcmpiA(name, "Edit") == 0 ? focus : nullptr;
}

bool CFocusedEditCommands::OnCmdMsg(UINT id) {
    HWND edit = FocusedEdit();
    if (!edit) return false;
    const UINT msg = id == cut_ ? WM_CUT : id == copy_ ? WM_COPY : id == paste_ ? WM_PASTE : id == undo_ ? WM_UNDO : 0;
    if (!msg) return false;
    ::SendMessageA(edit, msg, 0, 0);
    return true;
}

bool CFocusedEditCommands::OnUpdateCmdUI(CCmdUI& ui) {
    HWND edit = FocusedEdit();
    if (!edit || (ui.id != cut_ && ui.id != copy_ && ui.id != paste_ && ui.id != undo_)) return false;
    DWORD from = 0, to = 0;
    ::SendMessageA(edit, EM_GETSEL, WPARAM(&from), LPARAM(&to));
    const bool read_only = (::GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) != 0;
    if (ui.id == copy_) ui.Enable(from != to);
    else if (ui.id == cut_) ui.Enable(from != to && !read_only);
    else if (ui.id == paste_) ui.Enable(!read_only && ::IsClipboardFormatAvailable(CF_TEXT));
    else ui.Enable(!read_only && ::SendMessageA(edit, EM_CANUNDO, 0, 0) != 0);
    return true;
}

HWND CMDIFrameWnd::ActiveChild() const {
    if (!client_) return nullptr;
    return HWND(::SendMessageA(client_, WM_MDIGETACTIVE, 0, 0));
}

bool CMDIFrameWnd::CreateClient(HMENU window_menu) {
    CLIENTCREATESTRUCT ccs{};
    ccs.hWindowMenu = window_menu;
    ccs.idFirstChild = 0xFF00;
    client_ = ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                                nullptr, ::GetModuleHandleA(nullptr), &ccs);
    return client_ != nullptr;
}

void CMDIFrameWnd::RecalcLayout() {
    if (!hwnd_ || !client_) return;
    const RECT rest = LayoutBars(ClientRect());
    ::MoveWindow(client_, rest.left, rest.top, std::max(0L, rest.right - rest.left),
                 std::max(0L, rest.bottom - rest.top), TRUE);
}

void CMDIFrameWnd::UpdateToolbar(HWND toolbar) {
    if (!toolbar || !::IsWindowVisible(toolbar)) return;
    const std::vector<CCmdTarget*> route = CommandRoute();
    const int n = int(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        TBBUTTON b{};
        if (!::SendMessageA(toolbar, TB_GETBUTTON, WPARAM(i), LPARAM(&b)) || (b.fsStyle & BTNS_SEP)) continue;
        const CCmdUI ui = UpdateCommand(route, UINT(b.idCommand));
        const bool was = (b.fsState & TBSTATE_ENABLED) != 0;
        if (was != ui.enabled) ::SendMessageA(toolbar, TB_ENABLEBUTTON, WPARAM(b.idCommand), MAKELPARAM(ui.enabled, 0));
    }
}

LRESULT CMDIFrameWnd::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_SIZE:
        OnSize(UINT(w), LOWORD(l), HIWORD(l));
        RecalcLayout();
        return 0;  // DefFrameProc would size the client over the bars
    case WM_INITMENUPOPUP:
        if (!HIWORD(l)) UpdateMenu(HMENU(w), CommandRoute());
        break;
    }
    return CWnd::HandleMessage(msg, w, l);
}

bool CMDIFrameWnd::OnCommand(int id, int, HWND control) {
    // Menus, accelerators and toolbar buttons take the route; other controls' notifications
    // belong to their own handlers.
    if (control) {
        char name[64] = {};
        ::GetClassNameA(control, name, sizeof(name));
        if (lstrcmpiA(name, TOOLBARCLASSNAMEA) != 0) return false;
    }
    if (UINT(id) >= 0xF000) return false;
    // A disabled command does not run, even when a key reaches it.
    const std::vector<CCmdTarget*> route = CommandRoute();
    const CCmdUI ui = UpdateCommand(route, UINT(id));
    if (!ui.enabled) return ui.handled;
    return RouteCommand(route, UINT(id));
}

LRESULT CMDIFrameWnd::Default(UINT msg, WPARAM w, LPARAM l) { return ::DefFrameProcA(hwnd_, client_, msg, w, l); }

bool CMDIChildWnd::CreateChild(HINSTANCE instance, const char* class_name, const std::string& title,
                               CMDIFrameWnd& frame, DWORD style, int x, int y, int cx, int cy) {
    return CreateChild(instance, class_name, title, frame.Client(), style, x, y, cx, cy);
}

bool CMDIChildWnd::CreateChild(HINSTANCE instance, const char* class_name, const std::string& title, HWND mdi_client,
                               DWORD style, int x, int y, int cx, int cy) {
    return Create(instance, class_name, title, style | WS_CHILD | WS_CLIPCHILDREN, WS_EX_MDICHILD, x, y, cx, cy,
                  mdi_client);
}

void CMDIChildWnd::Activate() {
    if (!hwnd_) return;
    HWND client = ::GetParent(hwnd_);
    if (::IsIconic(hwnd_)) ::SendMessageA(client, WM_MDIRESTORE, WPARAM(hwnd_), 0);
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SendMessageA(client, WM_MDIACTIVATE, WPARAM(hwnd_), 0);
}

LRESULT CMDIChildWnd::Default(UINT msg, WPARAM w, LPARAM l) { return ::DefMDIChildProcA(hwnd_, msg, w, l); }

bool CDockBar::Create(HINSTANCE instance, CMDIFrameWnd& frame, const std::string& caption, Side side, int width) {
    frame_ = &frame;
    side_ = side;
    width_ = width;
    if (!RegisterClass(instance, "QpDockBar", CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) return false;
    return CWnd::Create(instance, "QpDockBar", caption, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, width, 100,
                        frame);
}

int CDockBar::CaptionHeight() const { return ::GetSystemMetrics(SM_CYSMCAPTION) + 2; }

RECT CDockBar::Place(RECT area) {
    if (!Visible()) return area;
    const int w = std::min<int>(width_, std::max<int>(40, area.right - area.left - 40));
    RECT bar = area;
    if (side_ == kLeft) {
        bar.right = bar.left + w;
        area.left = bar.right;
    } else {
        bar.left = bar.right - w;
        area.right = bar.left;
    }
    ::MoveWindow(hwnd_, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top, TRUE);
    return area;
}

RECT CDockBar::Inner() const {
    RECT r = ClientRect();
    r.top += CaptionHeight();
    if (side_ == kLeft) r.right -= kEdge; else r.left += kEdge;
    return r;
}

void CDockBar::Paint() {
    CPaintDC dc(hwnd_);
    RECT r = ClientRect();
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    RECT cap = r;
    cap.bottom = cap.top + CaptionHeight() - 2;
    if (side_ == kLeft) cap.right -= kEdge; else cap.left += kEdge;
    ::FillRect(dc, &cap, ::GetSysColorBrush(COLOR_INACTIVECAPTION));
    if (!caption_font_) {
        NONCLIENTMETRICSA m{};
        m.cbSize = sizeof(m);
        ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(m), &m, 0);
        caption_font_.Reset(::CreateFontIndirectA(&m.lfSmCaptionFont));
    }
    {
        CSelectObject font(dc, caption_font_);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_INACTIVECAPTIONTEXT));
        RECT text = cap;
        text.left += 4;
        const std::string caption = Text();
        ::DrawTextA(dc, caption.c_str(), int(caption.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    }
    RECT edge = r;
    if (side_ == kLeft) edge.left = edge.right - kEdge; else edge.right = edge.left + kEdge;
    ::DrawEdge(dc, &edge, EDGE_RAISED, side_ == kLeft ? BF_RIGHT : BF_LEFT);
}

LRESULT CDockBar::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SETTINGCHANGE:
        caption_font_.Reset();
        ::InvalidateRect(hwnd_, nullptr, TRUE);
        break;
    case WM_SIZE:
        OnLayout(Inner());
        ::InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    case WM_SETCURSOR: {
        POINT p;
        ::GetCursorPos(&p);
        ::ScreenToClient(hwnd_, &p);
        const RECT r = ClientRect();
        const bool on_edge = side_ == kLeft ? p.x >= r.right - kEdge : p.x < r.left + kEdge;
        if (LOWORD(l) == HTCLIENT && on_edge) {
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN: {
        const int x = short(LOWORD(l));
        const RECT r = ClientRect();
        if (side_ == kLeft ? x >= r.right - kEdge : x < r.left + kEdge) {
            dragging_ = true;
            drag_from_ = x;
            ::SetCapture(hwnd_);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (dragging_) {
            const int x = short(LOWORD(l));
            const int delta = side_ == kLeft ? x - drag_from_ : drag_from_ - x;
            if (delta != 0) {
                width_ = std::max(60, width_ + delta);
                if (side_ == kLeft) drag_from_ = x;
                if (frame_) frame_->RecalcLayout();
            }
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (dragging_) {
            dragging_ = false;
            if (msg == WM_LBUTTONUP) ::ReleaseCapture();
        }
        return 0;
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_CONTEXTMENU:
        // Control notifications go to our handlers; what they leave goes up to the frame.
        break;
    }
    return CWnd::HandleMessage(msg, w, l);
}

namespace {
std::vector<HWND>& Modeless() {
    static std::vector<HWND> list;
    return list;
}

// A key for the edit control that has the focus, which no accelerator may take.
bool EditorsOwnKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    if (!CFocusedEditCommands::FocusedEdit() || msg.hwnd != ::GetFocus()) return false;
    return IsEditControlKey(UINT(msg.wParam), ::GetKeyState(VK_CONTROL) < 0, ::GetKeyState(VK_SHIFT) < 0,
                            ::GetKeyState(VK_MENU) < 0);
}

bool Translate(MSG& msg, HWND frame, HWND client, HACCEL accel) {
    for (HWND d : Modeless())
        if (::IsWindow(d) && ::IsDialogMessageA(d, &msg)) return true;
    if (client && ::TranslateMDISysAccel(client, &msg)) return true;
    if (accel && frame && !EditorsOwnKey(msg) && ::TranslateAcceleratorA(frame, accel, &msg)) return true;
    return false;
}
}  // namespace

bool IsEditControlKey(UINT vk, bool ctrl, bool shift, bool alt) {
    if (ctrl && !alt && !shift)
        return vk == 'C' || vk == 'X' || vk == 'V' || vk == 'A' || vk == 'Z' || vk == 'Y' || vk == VK_INSERT;
    if (shift && !ctrl && !alt) return vk == VK_INSERT || vk == VK_DELETE;
    if (alt && !ctrl && !shift) return vk == VK_BACK;
    return false;
}

void AddModeless(HWND dialog) { Modeless().push_back(dialog); }
void RemoveModeless(HWND dialog) {
    auto& l = Modeless();
    l.erase(std::remove(l.begin(), l.end(), dialog), l.end());
}

int RunMessageLoop(HWND frame, HWND mdi_client, HACCEL accelerators, void (*idle)(void*), void* context) {
    MSG msg{};
    for (;;) {
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && idle) idle(context);
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (Translate(msg, frame, mdi_client, accelerators)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return int(msg.wParam);
}

bool PumpMessages() {
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(int(msg.wParam));
            return false;
        }
        if (Translate(msg, nullptr, nullptr, nullptr)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return true;
}

}  // namespace qp
