// Driving another process's windows with plain Win32 calls.
#include "support/gui_driver.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "support/png.h"

namespace qpe2e {

Process::Process(const std::string& command_line, const std::string& folder) {
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    std::string cmd = command_line;
    // In a job of its own, so that a test that gives up ends the program's private copy too.
    job_ = CreateJobObjectA(nullptr, nullptr);
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi_)) {
        pi_ = PROCESS_INFORMATION{};
        return;
    }
    if (job_) AssignProcessToJobObject(job_, pi_.hProcess);
    ResumeThread(pi_.hThread);
}

Process::~Process() {
    if (pi_.hProcess) {
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
            if (job_) TerminateJobObject(job_, 99);
            TerminateProcess(pi_.hProcess, 99);
        }
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
    if (job_) CloseHandle(job_);
}

DWORD Process::Wait(DWORD ms) {
    if (!pi_.hProcess) return STILL_ACTIVE;
    if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

namespace {

// `root` and every process started by it or by its descendants: setup.exe runs its wizard in a
// private copy of itself, whose windows count as the started program's.
std::vector<DWORD> Family(DWORD root) {
    std::vector<DWORD> family{root};
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return family;
    std::vector<PROCESSENTRY32> all;
    PROCESSENTRY32 pe{};
    pe.dwSize = sizeof pe;
    for (BOOL more = Process32First(snap, &pe); more; more = Process32Next(snap, &pe)) all.push_back(pe);
    CloseHandle(snap);
    for (std::size_t i = 0; i < family.size(); ++i)
        for (const PROCESSENTRY32& e : all)
            if (e.th32ParentProcessID == family[i] && e.th32ProcessID != root &&
                std::find(family.begin(), family.end(), e.th32ProcessID) == family.end())
                family.push_back(e.th32ProcessID);
    return family;
}

struct Search {
    std::vector<DWORD> pids;
    std::string cls, caption;
    std::function<bool(HWND)> extra;
    HWND found;
};

BOOL CALLBACK EnumTop(HWND wnd, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (std::find(s->pids.begin(), s->pids.end(), pid) == s->pids.end() || !IsWindowVisible(wnd)) return TRUE;
    char cls[128] = {};
    GetClassNameA(wnd, cls, sizeof(cls));
    if (!s->cls.empty() && s->cls != cls) return TRUE;
    if (!s->caption.empty() && s->caption != Text(wnd)) return TRUE;
    if (s->extra && !s->extra(wnd)) return TRUE;
    s->found = wnd;
    return FALSE;
}

HWND Find(DWORD pid, const std::string& cls, const std::string& caption,
          std::function<bool(HWND)> extra) {
    Search s{Family(pid), cls, caption, std::move(extra), nullptr};
    EnumWindows(EnumTop, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

}  // namespace

HWND FindTop(DWORD pid, const std::string& cls, const std::string& caption) {
    return Find(pid, cls, caption, nullptr);
}

HWND WaitTop(DWORD pid, const std::string& cls, const std::string& caption, DWORD ms) {
    for (DWORD waited = 0; waited <= ms; waited += 50) {
        if (HWND w = FindTop(pid, cls, caption)) return w;
        Sleep(50);
    }
    return nullptr;
}

HWND WaitPage(DWORD pid, const std::string& title, DWORD ms) {
    for (DWORD waited = 0; waited <= ms; waited += 50) {
        HWND w = Find(pid, "#32770", "Setup",
                      [&title](HWND page) { return ItemText(page, 1033) == title; });
        if (w) {
            Settle(150);
            return w;
        }
        Sleep(50);
    }
    return nullptr;
}

std::string Text(HWND wnd) {
    char buf[4096] = {};
    SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return buf;
}

std::string ItemText(HWND dlg, int id) {
    HWND item = GetDlgItem(dlg, id);
    return item ? Text(item) : std::string();
}

std::string WhyNotPressable(HWND control) {
    if (!control || !IsWindow(control)) return "it does not exist";
    if (!IsWindowVisible(control)) return "it is hidden";
    if (!IsWindowEnabled(control)) return "it is disabled";
    HWND root = GetAncestor(control, GA_ROOT);
    if (root && root != control && !IsWindowEnabled(root)) return "its window is disabled (a modal window is open over it)";
    return "";
}

bool Press(HWND dlg, int id, DWORD ms) {
    HWND item = nullptr;
    std::string why;
    const bool ok = WaitFor([&] {
        item = dlg && IsWindow(dlg) ? GetDlgItem(dlg, id) : nullptr;
        why = WhyNotPressable(item);
        return why.empty();
    }, ms);
    if (!ok) {
        ADD_FAILURE() << "Press: button " << id << " \"" << (item ? Text(item) : std::string()) << "\" of \""
                      << (dlg && IsWindow(dlg) ? Text(dlg) : std::string("(no window)")) << "\" cannot be pressed: " << why;
        return false;
    }
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item));
    return true;
}

bool WaitFor(const std::function<bool()>& condition, DWORD ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return condition();
        Sleep(50);
    }
}

bool Sync(HWND wnd, DWORD ms) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_NORMAL, ms, &answer) != 0;
}

bool WaitGone(HWND wnd, DWORD ms) {
    return WaitFor([wnd] { return !IsWindow(wnd); }, ms);
}

namespace {

// The visible popup menu window of `pid`, if one is open.
HWND OpenPopupMenu(DWORD pid) { return FindTop(pid, "#32768", ""); }

struct MenuPlace {
    char popup_key = 0;  // the popup's underlined letter
    int steps = -1;      // arrow-key steps from the popup's first item to the command
    std::string popup_text, item_text;
};

MenuPlace FindInMenu(HMENU bar, UINT command) {
    MenuPlace place;
    for (int p = 0; p < GetMenuItemCount(bar); ++p) {
        HMENU sub = GetSubMenu(bar, p);
        if (!sub) continue;
        int steps = 0;
        for (int i = 0; i < GetMenuItemCount(sub); ++i) {
            const UINT state = GetMenuState(sub, UINT(i), MF_BYPOSITION);
            if (state & MF_SEPARATOR) continue;  // the arrow keys pass over separators
            if (GetMenuItemID(sub, i) == command) {
                char text[256] = {};
                GetMenuStringA(bar, UINT(p), text, sizeof(text), MF_BYPOSITION);
                place.popup_text = text;
                const char* amp = std::strchr(text, '&');
                place.popup_key = amp && amp[1] ? static_cast<char>(tolower(static_cast<unsigned char>(amp[1]))) : 0;
                GetMenuStringA(sub, UINT(i), text, sizeof(text), MF_BYPOSITION);
                place.item_text = text;
                place.steps = steps;
                return place;
            }
            ++steps;
        }
    }
    return place;
}

}  // namespace

bool MenuCommand(HWND frame, const std::string& module_path, int menu_id, UINT command, DWORD ms) {
    HMODULE module = LoadLibraryExA(module_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HMENU bar = module ? LoadMenuA(module, MAKEINTRESOURCEA(menu_id)) : nullptr;
    const MenuPlace place = bar ? FindInMenu(bar, command) : MenuPlace{};
    if (bar) DestroyMenu(bar);
    if (module) FreeLibrary(module);
    if (!bar) {
        ADD_FAILURE() << "MenuCommand: no menu " << menu_id << " in " << module_path;
        return false;
    }
    if (place.steps < 0 || !place.popup_key) {
        ADD_FAILURE() << "MenuCommand: command " << command << " is in no popup of the menu bar that has an underlined letter";
        return false;
    }
    const std::string why = WhyNotPressable(frame);
    if (!why.empty()) {
        ADD_FAILURE() << "MenuCommand: \"" << place.popup_text << "\" > \"" << place.item_text << "\": the frame cannot take it: " << why;
        return false;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(frame, &pid);
    // Alt with the letter opens the popup with its first item highlighted.
    PostMessageA(frame, WM_SYSCOMMAND, SC_KEYMENU, place.popup_key);
    HWND popup = nullptr;
    if (!WaitFor([&] { return (popup = OpenPopupMenu(pid)) != nullptr; }, ms)) {
        ADD_FAILURE() << "MenuCommand: the popup \"" << place.popup_text << "\" did not open";
        return false;
    }
    for (int i = 0; i < place.steps; ++i) PostMessageA(frame, WM_KEYDOWN, VK_DOWN, 0x00500001);
    PostMessageA(frame, WM_CHAR, '\r', 0x001C0001);
    if (!WaitGone(popup, ms)) {
        PostMessageA(frame, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageA(frame, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        ADD_FAILURE() << "MenuCommand: the popup \"" << place.popup_text << "\" stayed open after Enter on \"" << place.item_text << "\"";
        return false;
    }
    return true;
}

std::string BoxText(HWND box) {
    std::string out;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[64] = {};
        GetClassNameA(c, cls, sizeof(cls));
        if (strcmp(cls, "Static") == 0) {
            std::string t = Text(c);
            if (!t.empty()) out += t;
        }
    }
    return out;
}

void ScreenshotTo(const std::string& folder, const std::string& name) {
    Settle(250);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    BITMAPINFOHEADER bi{};
    bi.biSize = sizeof(bi);
    bi.biWidth = w;
    bi.biHeight = h;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    const int row = (w * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(row) * h);
    GetDIBits(mem, bmp, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::vector<unsigned char> png = qptest::PngFromBmpRows(pixels.data(), w, h, row);
    const std::string path = folder + "\\" + name + ".png";
    FILE* f = fopen(path.c_str(), "wb");
    bool written = f && fwrite(png.data(), 1, png.size(), f) == png.size();
    if (f && fclose(f) != 0) written = false;
    if (!written) ADD_FAILURE() << "the screenshot " << path << " could not be written";
}

void Settle(DWORD ms) { Sleep(ms); }

std::vector<std::string> PressNextToTheEnd(Process& p, const std::function<void(HWND page)>& on_page, DWORD ms) {
    std::vector<std::string> titles;
    HWND last = nullptr;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (; p.Wait(0) == STILL_ACTIVE && std::chrono::steady_clock::now() < until; Sleep(50)) {
        HWND box = FindTop(p.Id(), "#32770", "");
        if (box && !GetDlgItem(box, 1003) && GetDlgItem(box, IDOK)) {
            Press(box, IDOK);
            continue;
        }
        HWND page = FindTop(p.Id(), "#32770", "Setup");
        if (!page || page == last) continue;
        HWND next = GetDlgItem(page, 1003);
        if (!next || !IsWindowEnabled(next)) continue;
        Sync(page);
        titles.push_back(ItemText(page, 1033));
        if (on_page) on_page(page);
        last = page;
        Press(page, 1003);
    }
    return titles;
}

namespace {

bool IsFolderWindow(HWND w) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof(cls));
    return std::strcmp(cls, "ExplorerWClass") == 0 || std::strcmp(cls, "CabinetWClass") == 0;
}

BOOL CALLBACK FindFolderWindow(HWND w, LPARAM found) {
    if (IsFolderWindow(w)) *reinterpret_cast<bool*>(found) = true;
    return TRUE;
}

BOOL CALLBACK CloseFolderWindow(HWND w, LPARAM) {
    if (IsFolderWindow(w)) PostMessageA(w, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

bool CloseShownFolderWindows(DWORD ms) {
    const bool shown = WaitFor([] {
        bool found = false;
        EnumWindows(FindFolderWindow, LPARAM(&found));
        return found;
    }, ms);
    EnumWindows(CloseFolderWindow, 0);
    return shown;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string RegText(const std::string& key, const std::string& name, REGSAM view) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &k) != ERROR_SUCCESS) return "<no key>";
    char buf[1024] = {};
    DWORD size = sizeof(buf) - 1, type = 0;
    const LONG rc = RegQueryValueExA(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS) return "<no value>";
    if (type == REG_DWORD) return std::to_string(*reinterpret_cast<DWORD*>(buf));
    return buf;
}

}  // namespace qpe2e
