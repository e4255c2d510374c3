// Reading another process's tree, list and tab controls: their messages carry pointers, so the
// structures live in memory allocated inside that process.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "support/gui_driver.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace qpgui {

// Closes the file explorer that a build opened on the kit folder `folder_name` (waiting up to
// `ms` for it to appear), so that nothing of a test run is left on the screen; whether there
// was one.
bool CloseExplorerOn(const std::string& folder_name, DWORD ms = 5000);

class Remote {
public:
    explicit Remote(HWND any_window_of_the_process);
    ~Remote();
    std::string TreeText(HWND tree, HTREEITEM item);
    // The item's text rectangle in the tree's client coordinates.
    RECT TreeItemRect(HWND tree, HTREEITEM item);
    int TreeImage(HWND tree, HTREEITEM item);
    // A list view row's image index (-1 when it has none).
    int ListImage(HWND list, int row);
    std::string ListText(HWND list, int row, int column);
    RECT TabRect(HWND tab, int index);
    // A list view row's bounds in the list's client coordinates.
    RECT ListItemRect(HWND list, int row);
    // Sends `msg` with lParam pointing at a text buffer of the other process and returns the
    // text the window wrote there (controls of ours that answer with a text).
    std::string TextReply(HWND wnd, UINT msg, WPARAM w);

private:
    void* Put(const void* data, std::size_t size, std::size_t offset = 0);
    void Get(void* data, std::size_t size, std::size_t offset = 0);
    HANDLE process_ = nullptr;
    char* memory_ = nullptr;
};

// Tree walking through messages that carry no pointers.
HTREEITEM Root(HWND tree);
HTREEITEM Child(HWND tree, HTREEITEM item);
HTREEITEM Next(HWND tree, HTREEITEM item);
// The texts of the tree in pre-order, each indented by two blanks per level.
std::vector<std::string> TreeLines(Remote& r, HWND tree);
// The first node whose text is `text` below `from` (the whole tree by default).
HTREEITEM FindNode(Remote& r, HWND tree, const std::string& text, HTREEITEM from = nullptr);

// A mouse click at a client point of `wnd`: the cursor goes there, then the button messages.
// A window a user could not click (hidden, disabled, under a modal window) is a test failure
// and gets no click.
bool Click(HWND wnd, POINT client, bool right = false);

// Real key presses through the system's input queue, as a keyboard makes them: `keys` are
// pressed in order and released in reverse (a chord such as {VK_CONTROL, 'V'}). They go to the
// window with the focus in the foreground: `focus` must be that window within `ms` (the
// foreground is asked for first), else it is a test failure and nothing is pressed.
bool PressKeys(HWND focus, std::initializer_list<WORD> keys, DWORD ms = 10000);
// Types `text` (letters, digits, blanks) key by key into `focus`, as PressKeys does.
bool TypeKeys(HWND focus, const std::string& text, DWORD ms = 10000);
// The window that has the keyboard focus in `any`'s thread (null: none).
HWND FocusOf(HWND any);

// The clipboard's text, and a text put there, as another program sees and leaves it.
std::string ClipboardText();
void SetClipboardText(const std::string& text);

// A double click at a client point of `wnd`, as Click makes a click.
bool DoubleClick(HWND wnd, POINT client);
POINT Middle(const RECT& r);

// The context menu of `wnd` opened with a right click at the client point `at`, walked with
// `keys` (one press each, to the window with the focus), a screenshot `shot` taken of it when a
// name is given, the highlighted entry chosen with Enter. A menu that does not appear, or that
// stays open after Enter, is a test failure; a greyed entry runs nothing, so the caller's wait
// for what the command does fails.
bool ContextMenu(HWND wnd, POINT at, std::initializer_list<WORD> keys, const std::string& shot = "", DWORD ms = 10000);

// The file name box of an open-file dialog (the edit of its combo box in newer dialogs, a
// plain edit in older ones), once the dialog has made it; null after `ms`.
HWND FileNameBox(HWND dlg, DWORD ms = 10000);

// The menu bar resource of qpb.exe.
constexpr int kQpbMenuBar = 129;

// qpb.exe started on a project: its frame found and placed at a known size, the start-up
// picture gone (unless the test looks at it), the frame's parts found. On leaving, a frame still
// open is closed and a save question answered No.
class Qpb {
public:
    Qpb(const std::string& exe, const std::string& project, const std::string& caption = "", bool splash_gone = true);
    ~Qpb();
    Qpb(const Qpb&) = delete;
    Qpb& operator=(const Qpb&) = delete;
    DWORD Pid() const { return process.Id(); }
    // Whether the frame and its parts were found (a test failure naming the missing one if not).
    bool Found() const;
    // A command chosen from the menu bar with the keyboard.
    bool Menu(UINT command) const;
    // Clicks the tab `index` of the workspace bar until its tree shows; the tree.
    HWND SelectTab(Remote& r, int index) const;
    // Project > Build from the menu bar: the "Build Media" wizard, once its page shows the kit
    // name box; a test failure when it does not come.
    bool OpenBuildWizard(HWND& wizard, HWND& page) const;

    qpe2e::Process process;
    HWND frame = nullptr, client = nullptr, bar = nullptr, tab = nullptr;
    HWND trees[6] = {};

private:
    std::string exe_;
};

// Files dropped on `wnd` as the shell drops them: a WM_DROPFILES whose drop data (DROPFILES
// and the paths) lies in the window's own process, posted at client point `at`.
bool DropFiles(HWND wnd, const std::vector<std::string>& paths, POINT at = POINT{20, 20});

}  // namespace qpgui
