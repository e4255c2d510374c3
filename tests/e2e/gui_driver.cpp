// Driving another process's windows with plain Win32 calls.
#include "e2e/gui_driver.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <vector>

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
