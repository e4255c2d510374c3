// Driving another process's windows with plain Win32 calls.
#include "e2e/gui_driver.h"

#include <cstdio>
#include <vector>

namespace qpe2e {

Process::Process(const std::string& command_line, const std::string& folder) {
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    std::string cmd = command_line;
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi_)) {
        pi_ = PROCESS_INFORMATION{};
    }
}

Process::~Process() {
    if (!pi_.hProcess) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
}

DWORD Process::Wait(DWORD ms) {
    if (!pi_.hProcess) return STILL_ACTIVE;
    if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

namespace {

struct Search {
    DWORD pid;
    std::string cls, caption;
    std::function<bool(HWND)> extra;
    HWND found;
};

BOOL CALLBACK EnumTop(HWND wnd, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid != s->pid || !IsWindowVisible(wnd)) return TRUE;
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
    Search s{pid, cls, caption, std::move(extra), nullptr};
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

void Press(HWND dlg, int id) {
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
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

void Screenshot(const std::string& name) {
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
    CreateDirectoryA(QP_SHOTS_DIR, nullptr);
    const std::string path = std::string(QP_SHOTS_DIR) + "\\" + name + ".bmp";
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(bi);
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size());
    fwrite(&fh, sizeof(fh), 1, f);
    fwrite(&bi, sizeof(bi), 1, f);
    fwrite(pixels.data(), 1, pixels.size(), f);
    fclose(f);
}

void Settle(DWORD ms) { Sleep(ms); }

}  // namespace qpe2e
