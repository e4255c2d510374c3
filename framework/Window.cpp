// The window base: the static procedure finds the object and calls its handler; nothing a
// handler throws may unwind through the system's code.
#include "framework/Window.h"

#include <cctype>
#include <cstdlib>
#include <map>
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

namespace {

std::map<std::string, CWnd::Factory>& Factories() {
    static std::map<std::string, CWnd::Factory> factories;
    return factories;
}

std::string ClassKey(const char* name) {
    std::string key(name);
    for (char& c : key) c = char(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

}  // namespace

CWnd::~CWnd() {
    if (hwnd_ && ::IsWindow(hwnd_)) {
        HWND h = hwnd_;
        ::SetWindowLongPtrA(h, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        ::DestroyWindow(h);
    }
    hwnd_ = nullptr;
}

void CWnd::Destroy() {
    // The messages still reach the object: OnDestroy runs, and WM_NCDESTROY forgets the handle.
    if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

CWnd*& CWnd::Creating() {
    static thread_local CWnd* creating = nullptr;
    return creating;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    return hwnd ? reinterpret_cast<CWnd*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA)) : nullptr;
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

bool CWnd::RegisterControlClass(HINSTANCE instance, const char* class_name, Factory make, UINT style) {
    if (!make) return false;
    Factories()[ClassKey(class_name)] = std::move(make);
    return RegisterClass(instance, class_name, style | CS_GLOBALCLASS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}

bool CWnd::Create(HINSTANCE instance, const char* class_name, const std::string& title, DWORD style,
                  DWORD ex_style, int x, int y, int cx, int cy, HWND parent, HMENU menu) {
    if (hwnd_) return false;
    destroy_seen_ = false;
    CWnd* outer = Creating();
    Creating() = this;
    HWND h = ::CreateWindowExA(ex_style, class_name, title.c_str(), style, x, y, cx, cy, parent, menu, instance, nullptr);
    Creating() = outer;
    return h != nullptr && hwnd_ == h;
}

LRESULT CWnd::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_CREATE:
        if (!OnCreate()) return -1;
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_COMMAND:
        if (OnCommand(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l))) return 0;
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(reinterpret_cast<NMHDR*>(l), result)) return result;
        break;
    }
    case WM_SIZE:
        OnSize(UINT(w), LOWORD(l), HIWORD(l));
        break;
    }
    return Default(msg, w, l);
}

LRESULT CWnd::Default(UINT msg, WPARAM w, LPARAM l) { return ::DefWindowProcA(hwnd_, msg, w, l); }

void CWnd::Attach(HWND hwnd, CWnd* self, int slot) {
    ::SetWindowLongPtrA(hwnd, slot, reinterpret_cast<LONG_PTR>(self));
    if (self) {
        self->hwnd_ = hwnd;
        self->destroy_seen_ = false;
    }
}

LRESULT CWnd::Dispatch(CWnd* self, HWND hwnd, UINT msg, WPARAM w, LPARAM l, int slot) {
    LRESULT result = 0;
    if (msg == WM_DESTROY && self->destroy_seen_) {
        result = self->Default(msg, w, l);
    } else {
        if (msg == WM_DESTROY) self->destroy_seen_ = true;
        try {
            result = self->HandleMessage(msg, w, l);
        } catch (...) {
            ::OutputDebugStringA("qp: exception stopped in a window procedure\n");
            result = (msg == WM_CREATE) ? -1 : 0;
        }
    }
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, slot, 0);
        self->Detach();
        if (self->owned_by_window_) delete self;
    }
    return result;
}

LRESULT CALLBACK CWnd::WindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    CWnd* self = reinterpret_cast<CWnd*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) {
        // The first message of a window of ours (WM_GETMINMAXINFO comes before WM_NCCREATE for
        // some): the object Create is making, or a new one for a registered control class.
        if (CWnd* creating = Creating()) {
            Creating() = nullptr;
            Attach(hwnd, creating);
            self = creating;
        } else if (msg == WM_NCCREATE) {
            char name[128] = {};
            ::GetClassNameA(hwnd, name, sizeof(name));
            auto it = Factories().find(ClassKey(name));
            if (it != Factories().end()) {
                CWnd* made = nullptr;
                try {
                    made = it->second();
                } catch (...) {
                    made = nullptr;
                }
                if (!made) return FALSE;
                made->owned_by_window_ = true;
                Attach(hwnd, made);
                self = made;
            }
        }
    }
    if (!self) return ::DefWindowProcA(hwnd, msg, w, l);
    return Dispatch(self, hwnd, msg, w, l);
}

}  // namespace qp
