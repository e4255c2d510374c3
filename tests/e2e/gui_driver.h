// A small driver for another process's windows: start a program, find its windows, read and
// press controls, answer message boxes, and save screenshots of the screen.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

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
// Presses a button by its id without waiting for what the press opens.
void Press(HWND dlg, int id);
// The text of a message box's static text.
std::string BoxText(HWND box);

// Saves the whole screen as a BMP file named `name`.bmp in the screenshot folder.
void Screenshot(const std::string& name);

// Lets the other process catch up.
void Settle(DWORD ms = 300);

}  // namespace qpe2e
