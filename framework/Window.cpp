// The window base: the static procedure finds the object and calls its handler; nothing a
// handler throws may unwind through the system's code.
#include "framework/Window.h"

#include <cstdlib>
#include <vector>

namespace qp {

std::string CWindow::Text() const {
    const int n = ::GetWindowTextLengthA(hwnd_);
    if (n <= 0) return std::string();
    std::vector<char> buf(std::size_t(n) + 1);
    const int got = ::GetWindowTextA(hwnd_, buf.data(), n + 1);
    return std::string(buf.data(), got > 0 ? std::size_t(got) : 0);
}

bool CWindow::ItemInt(int id, int& value) const {
    const std::string text = CWindow(::GetDlgItem(hwnd_, id)).Text();
    const char* p = text.c_str();
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '\0') return false;
    char* end = nullptr;
    const long v = std::strtol(p, &end, 10);
    if (end == p) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0') return false;
    // Far beyond any field's range: keep it representable, the caller clamps.
    value = v > 0x3FFFFFFF ? 0x3FFFFFFF : (v < -0x3FFFFFFF ? -0x3FFFFFFF : int(v));
    return true;
}

RECT CWindow::ClientRect() const {
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    return r;
}

RECT CWindow::WindowRect() const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    return r;
}

RECT CWindow::ChildRect(int id) const {
    RECT r{};
    HWND child = ::GetDlgItem(hwnd_, id);
    if (!child) return r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

CWnd::~CWnd() { Destroy(); }

void CWnd::Destroy() {
    if (hwnd_ && ::IsWindow(hwnd_)) {
        HWND h = hwnd_;
        ::SetWindowLongPtrA(h, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        ::DestroyWindow(h);
    }
    hwnd_ = nullptr;
}

bool CWnd::RegisterClass(HINSTANCE instance, const char* class_name, UINT style, HBRUSH background) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExA(instance, class_name, &existing)) return true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = &CWnd::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = class_name;
    return ::RegisterClassExA(&wc) != 0;
}

bool CWnd::Create(HINSTANCE instance, const char* class_name, const std::string& title, DWORD style,
                  DWORD ex_style, int x, int y, int cx, int cy, HWND parent, HMENU menu) {
    if (hwnd_) return false;
    HWND h = ::CreateWindowExA(ex_style, class_name, title.c_str(), style, x, y, cx, cy, parent, menu, instance, this);
    return h != nullptr;
}

LRESULT CWnd::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_CREATE:
        return OnCreate() ? 0 : -1;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_COMMAND:
        if (OnCommand(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l))) return 0;
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(reinterpret_cast<const NMHDR*>(l), result)) return result;
        break;
    }
    case WM_SIZE:
        OnSize(UINT(w), LOWORD(l), HIWORD(l));
        return 0;
    }
    return Default(msg, w, l);
}

LRESULT CWnd::Default(UINT msg, WPARAM w, LPARAM l) { return ::DefWindowProcA(hwnd_, msg, w, l); }

LRESULT CALLBACK CWnd::WindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    CWnd* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self) self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<CWnd*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcA(hwnd, msg, w, l);
    LRESULT result = 0;
    try {
        result = self->HandleMessage(msg, w, l);
    } catch (...) {
        ::OutputDebugStringA("qp: exception stopped in a window procedure\n");
        result = (msg == WM_CREATE) ? -1 : 0;
    }
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->Detach();
    }
    return result;
}

}  // namespace qp
