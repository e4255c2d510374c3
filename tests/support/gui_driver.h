// A small driver for another process's windows: start a program, find its windows, read and
// press controls, answer message boxes, and save screenshots of the screen.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace qpe2e {

class Process {
public:
    // Starts `command_line` in `folder`.
    explicit Process(const std::string& command_line, const std::string& folder = "");
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    DWORD Id() const { return pi_.dwProcessId; }
    // The exit code, or STILL_ACTIVE when it has not ended within `ms`.
    DWORD Wait(DWORD ms);
    bool Started() const { return pi_.hProcess != nullptr; }

private:
    PROCESS_INFORMATION pi_{};
    HANDLE job_ = nullptr;
};

// A visible top-level window of `pid` with this class and caption (empty = any).
HWND FindTop(DWORD pid, const std::string& cls, const std::string& caption);
// Waits up to `ms` for FindTop; null on time-out.
HWND WaitTop(DWORD pid, const std::string& cls, const std::string& caption, DWORD ms = 20000);
// Waits for a wizard page ("#32770" captioned "Setup") whose title control reads `title`.
HWND WaitPage(DWORD pid, const std::string& title, DWORD ms = 20000);

std::string Text(HWND wnd);
std::string ItemText(HWND dlg, int id);
// Why a user could not press or click `control` now (missing, hidden, disabled, or in a window
// that a modal window has disabled); empty when they could.
std::string WhyNotPressable(HWND control);
// Presses a button by its id without waiting for what the press opens. A button that does not
// become pressable within `ms` is a test failure, and nothing is pressed: a wrongly disabled
// Next must fail the test, not be pressed all the same.
bool Press(HWND dlg, int id, DWORD ms = 5000);

// Waits until the thread of `wnd` has handled every message sent to it so far and is back in
// its message loop (a dialog that shows has finished its set-up); whether it answered.
bool Sync(HWND wnd, DWORD ms = 20000);
// Waits up to `ms` for `condition`; whether it held.
bool WaitFor(const std::function<bool()>& condition, DWORD ms = 20000);
// Waits up to `ms` for the window to be destroyed.
bool WaitGone(HWND wnd, DWORD ms = 20000);

// Chooses the command `command` from the menu bar of `frame` as a user does with the keyboard:
// Alt with the popup's underlined letter, the arrow keys down to the item, Enter. The menu is
// laid out as the resource `menu_id` of `module_path` (the program's file) defines it, since
// another process's menu cannot be read under Wine. A command the menu does not have, or a
// frame disabled by a modal window, is a test failure; a greyed item runs nothing, so the
// caller's wait for what the command does fails.
bool MenuCommand(HWND frame, const std::string& module_path, int menu_id, UINT command, DWORD ms = 10000);
// Walks a setup wizard to its end as a user who takes every default: answers each message box
// with OK and presses Next on each page once Next is enabled (the install page moves on by
// itself), handing each page to `on_page` first, once the page has finished its set-up. Stops
// when the program has ended or after `ms`; the titles of the pages it pressed Next on.
std::vector<std::string> PressNextToTheEnd(Process& p, const std::function<void(HWND page)>& on_page, DWORD ms = 60000);
// Closes the folder windows of the file explorer (a first install opens the program folder),
// waiting up to `ms` for one to show; whether one did.
bool CloseShownFolderWindows(DWORD ms = 10000);

// The text of a message box's static text.
std::string BoxText(HWND box);

// Saves the whole screen as a PNG file named `name`.png in `folder`.
void ScreenshotTo(const std::string& folder, const std::string& name);
#ifdef QP_SHOTS_DIR
// The same in the test program's screenshot folder.
inline void Screenshot(const std::string& name) { ScreenshotTo(QP_SHOTS_DIR, name); }
#endif

// Lets the other process catch up.
void Settle(DWORD ms = 300);

// Whether a file or folder is there.
bool Exists(const std::string& path);
// A value under HKEY_LOCAL_MACHINE\`key` as text (a DWORD as its number), read in the registry
// view `view` (0: this program's own); "<no key>" or "<no value>" when it is not there.
std::string RegText(const std::string& key, const std::string& name, REGSAM view = 0);
// Whether RegText found the value.
inline bool Found(const std::string& reg_text) { return reg_text != "<no key>" && reg_text != "<no value>"; }

}  // namespace qpe2e
