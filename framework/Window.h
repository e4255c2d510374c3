// Window classes of the framework. CWindow is a copyable handle that does not own its window
// (the shape of every control wrapper); CWnd owns a window with our own procedure and turns
// messages into virtual calls.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace qp {

class CWindow {
public:
    CWindow(HWND hwnd = nullptr) : hwnd_(hwnd) {}

    HWND Handle() const { return hwnd_; }
    operator HWND() const { return hwnd_; }
    bool IsWindow() const { return hwnd_ != nullptr && ::IsWindow(hwnd_) != FALSE; }

    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageA(hwnd_, msg, w, l); }
    bool Post(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageA(hwnd_, msg, w, l) != FALSE; }

    CWindow Item(int id) const { return CWindow(::GetDlgItem(hwnd_, id)); }
    CWindow Parent() const { return CWindow(::GetParent(hwnd_)); }

    std::string Text() const;
    void SetText(const std::string& text) const { ::SetWindowTextA(hwnd_, text.c_str()); }

    // A child's text as a signed integer; false when it holds no number.
    bool ItemInt(int id, int& value) const;
    void SetItemInt(int id, int value) const { ::SetDlgItemInt(hwnd_, id, UINT(value), TRUE); }

    RECT ClientRect() const;
    RECT WindowRect() const;
    // A child's window rectangle in this window's client coordinates.
    RECT ChildRect(int id) const;

    void Invalidate(bool erase = true) const { ::InvalidateRect(hwnd_, nullptr, erase); }
    void InvalidateRect(const RECT& r, bool erase = true) const { ::InvalidateRect(hwnd_, &r, erase); }
    void Update() const { ::UpdateWindow(hwnd_); }
    void Show(int cmd = SW_SHOW) const { ::ShowWindow(hwnd_, cmd); }
    void Enable(bool on) const { ::EnableWindow(hwnd_, on); }
    void Move(int x, int y, int cx, int cy, bool repaint = true) const { ::MoveWindow(hwnd_, x, y, cx, cy, repaint); }
    void SetPos(int x, int y) const { ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); }

protected:
    HWND hwnd_;
};

// Owns its window. However the window goes (Destroy, the system's DestroyWindow, a parent that
// goes, a modeless EndDialog), OnDestroy runs once while the handle is still valid, and the
// object forgets the handle at WM_NCDESTROY. A class that needs OnDestroy when the object goes
// first calls Destroy() in its own destructor: the base destructor can no longer reach it, so it
// only unhooks the object and destroys the window quietly.
class CWnd : public CWindow {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Registers a window class whose procedure dispatches to CWnd objects (once per name).
    static bool RegisterClass(HINSTANCE instance, const char* class_name, UINT style = CS_HREDRAW | CS_VREDRAW,
                              HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    // A control class for windows that others create (the dialog manager from a template, a
    // plain CreateWindow): `make` builds the object at WM_NCCREATE, and the object is deleted at
    // WM_NCDESTROY.
    using Factory = std::function<CWnd*()>;
    static bool RegisterControlClass(HINSTANCE instance, const char* class_name, Factory make,
                                     UINT style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
    // The object attached to a window of ours, or null.
    static CWnd* FromHandle(HWND hwnd);

    // Creates a window of a class registered above; OnCreate returning false fails the creation.
    // The object is attached at the first message of the new window whatever the creation data
    // is (an MDI child's is an MDICREATESTRUCT).
    bool Create(HINSTANCE instance, const char* class_name, const std::string& title, DWORD style,
                DWORD ex_style, int x, int y, int cx, int cy, HWND parent, HMENU menu = nullptr);
    void Destroy();

protected:
    // One switch per window class; the base switch ends in Default.
    virtual LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l);
    virtual LRESULT Default(UINT msg, WPARAM w, LPARAM l);

    virtual bool OnCreate() { return true; }
    virtual void OnDestroy() {}
    virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
    // Writable: tree and list views expect display information filled in.
    virtual bool OnNotify(NMHDR* /*header*/, LRESULT& /*result*/) { return false; }
    // The default procedure still sees WM_SIZE after this (MDI frames and children need it).
    virtual void OnSize(UINT /*type*/, int /*cx*/, int /*cy*/) {}

    // The window is gone: forget the handle.
    void Detach() { hwnd_ = nullptr; }

    // Ties `self` to `hwnd` (the window's user data and the object's handle).
    static void Attach(HWND hwnd, CWnd* self, int slot = GWLP_USERDATA);
    // One message through the object's handler, with the exception stop and the WM_DESTROY and
    // WM_NCDESTROY bookkeeping every kind of window shares.
    static LRESULT Dispatch(CWnd* self, HWND hwnd, UINT msg, WPARAM w, LPARAM l, int slot = GWLP_USERDATA);

    // Set by Create for the window being made on this thread.
    static CWnd*& Creating();

    // WM_DESTROY reached the handler already (a second one goes to the default only).
    bool destroy_seen_ = false;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);

    bool owned_by_window_ = false;
};

}  // namespace qp
