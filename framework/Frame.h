// The multi-document frame and its children, command routing with the one update pass per
// command id, the docking side bar, and the message loop.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/DC.h"
#include "framework/Window.h"

namespace qp {

// What one update pass decides for a command id; menus and toolbars are set from it.
struct CCmdUI {
    UINT id = 0;
    bool handled = false;  // some target on the route knows the command
    bool enabled = false;
    bool checked = false;
    bool has_text = false;
    std::string text;

    void Enable(bool on = true) { handled = true; enabled = on; }
    void Check(bool on) { checked = on; }
    void SetText(const std::string& t) { has_text = true; text = t; }
};

// Something on the command route: a tree, an item window, the frame.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    // True when the command was handled here.
    virtual bool OnCmdMsg(UINT /*id*/) { return false; }
    // True when this target decides the command (it then calls ui.Enable).
    virtual bool OnUpdateCmdUI(CCmdUI& /*ui*/) { return false; }
};

// Runs `id` along `route`, first target first. False when no target took it.
bool RouteCommand(const std::vector<CCmdTarget*>& route, UINT id);
// The update pass for `id`: the first target that decides wins; no one deciding disables.
CCmdUI UpdateCommand(const std::vector<CCmdTarget*>& route, UINT id);
// Sets every entry of `menu` (not its sub-menus' entries) from the update pass.
void UpdateMenu(HMENU menu, const std::vector<CCmdTarget*>& route);

// Cut, Copy, Paste and Undo of the edit control that has the keyboard focus (a field, a label
// being edited in a tree or a list, a grid cell being edited). Put first on a frame's route, so
// that the Edit menu and the toolbar act on the text being typed rather than on the item
// around it.
class CFocusedEditCommands : public CCmdTarget {
public:
    CFocusedEditCommands(UINT cut, UINT copy, UINT paste, UINT undo) : cut_(cut), copy_(copy), paste_(paste), undo_(undo) {}
    // The edit control with the keyboard focus, or null.
    static HWND FocusedEdit();
    bool OnCmdMsg(UINT id) override;
    bool OnUpdateCmdUI(CCmdUI& ui) override;

private:
    UINT cut_, copy_, paste_, undo_;
};

class CMDIFrameWnd : public CWnd, public CCmdTarget {
public:
    HWND Client() const { return client_; }
    // The active MDI child, or null.
    HWND ActiveChild() const;
    // The route a command takes from this frame; the frame itself comes last.
    virtual std::vector<CCmdTarget*> CommandRoute() { return {this}; }
    // Sizes the bars and the client; called on WM_SIZE and when a bar shows or hides.
    virtual void RecalcLayout();
    // Keeps the toolbar's buttons in step with the update pass (from the message loop's idle).
    void UpdateToolbar(HWND toolbar);

protected:
    // Creates the MDI client; `window_menu` receives the children's list.
    bool CreateClient(HMENU window_menu);
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;
    LRESULT Default(UINT msg, WPARAM w, LPARAM l) override;
    bool OnCommand(int id, int code, HWND control) override;
    // The rectangle left for the MDI client after the bars (client coordinates).
    virtual RECT LayoutBars(RECT area) { return area; }

    HWND client_ = nullptr;
};

class CMDIChildWnd : public CWnd, public CCmdTarget {
public:
    // A child of `frame`'s MDI client; the object is attached at the first message.
    bool CreateChild(HINSTANCE instance, const char* class_name, const std::string& title, CMDIFrameWnd& frame,
                     DWORD style = WS_OVERLAPPEDWINDOW, int x = CW_USEDEFAULT, int y = CW_USEDEFAULT,
                     int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT);
    // The same, given the MDI client window itself.
    bool CreateChild(HINSTANCE instance, const char* class_name, const std::string& title, HWND mdi_client,
                     DWORD style = WS_OVERLAPPEDWINDOW, int x = CW_USEDEFAULT, int y = CW_USEDEFAULT,
                     int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT);
    // Restores when minimised, shows and activates.
    void Activate();

protected:
    LRESULT Default(UINT msg, WPARAM w, LPARAM l) override;
};

// A side bar docked to the left or right edge of a frame, with a splitter edge on the side of
// the client: dragging it changes the bar's width.
class CDockBar : public CWnd {
public:
    enum Side { kLeft, kRight };
    bool Create(HINSTANCE instance, CMDIFrameWnd& frame, const std::string& caption, Side side, int width);
    Side DockSide() const { return side_; }
    int Width() const { return width_; }
    bool Visible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }
    // Takes its strip of `area` and returns the rest.
    RECT Place(RECT area);
    // The client rectangle inside the caption and splitter edge.
    RECT Inner() const;

    static constexpr int kEdge = 5;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;
    virtual void OnLayout(const RECT& /*inner*/) {}

private:
    void Paint();
    int CaptionHeight() const;

    CMDIFrameWnd* frame_ = nullptr;
    // The system's small caption font, made at the first paint and again after a settings
    // change, not on every paint.
    CGdiObject<HFONT> caption_font_;
    Side side_ = kLeft;
    int width_ = 200;
    bool dragging_ = false;
    int drag_from_ = 0;
};

// A modeless dialog or other window whose keys go through IsDialogMessage.
void AddModeless(HWND dialog);
void RemoveModeless(HWND dialog);

// The keys an edit control uses itself: Ctrl+C, X, V, A, Z, Y, Ctrl+Insert, Shift+Insert,
// Shift+Delete, Alt+Backspace.
bool IsEditControlKey(UINT vk, bool ctrl, bool shift, bool alt);
// The message loop: accelerators for `frame`, the MDI client's keys, modeless dialogs; when the
// queue is empty `idle` runs once. While an edit control has the focus (a field, a label or a
// grid cell being edited) its own keys are never taken as accelerators.
int RunMessageLoop(HWND frame, HWND mdi_client, HACCEL accelerators, void (*idle)(void*), void* context);
// Dispatches every message waiting (a long operation stays responsive); false after WM_QUIT,
// which is posted again.
bool PumpMessages();

}  // namespace qp
