#include "builder/ui/frame/Splash.h"

#include <shellapi.h>

#include <string>

#include "builder/ui/res/resource.h"

namespace qp {
namespace {

constexpr UINT_PTR kSwitchTimer = 1;
constexpr UINT_PTR kCloseTimer = 2;

std::string ReadDefault(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::string();
    char buffer[1024] = {};
    DWORD size = sizeof(buffer) - 1, type = 0;
    std::string value;
    if (::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ))
        value = buffer;
    ::RegCloseKey(key);
    return value;
}

// The program of a command line: the text between the first pair of quotes, or the first word.
std::string ProgramOf(const std::string& command) {
    if (!command.empty() && command[0] == '"') {
        const std::size_t end = command.find('"', 1);
        return end == std::string::npos ? std::string() : command.substr(1, end - 1);
    }
    return command.substr(0, command.find(' '));
}

HFONT MakeFont(HWND hwnd, int points, int weight) {
    HDC dc = ::GetDC(hwnd);
    const int height = -MulDiv(points, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    ::ReleaseDC(hwnd, dc);
    return ::CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
}

}  // namespace

bool OpenInBrowser(const char* address) {
    const std::string type = ReadDefault(HKEY_CLASSES_ROOT, ".htm");
    if (type.empty()) return false;
    const std::string program = ProgramOf(ReadDefault(HKEY_CLASSES_ROOT, type + "\\shell\\open\\command"));
    if (program.empty()) return false;
    return reinterpret_cast<INT_PTR>(
               ::ShellExecuteA(nullptr, "open", program.c_str(), address, nullptr, SW_SHOWNORMAL)) > 32;
}

CSplashWnd::CSplashWnd(HINSTANCE instance) : CDialog(instance, IDD_SPLASH) {}

CSplashWnd::~CSplashWnd() {
    Destroy();
    for (HBITMAP b : pictures_)
        if (b) ::DeleteObject(b);
    if (title_font_) ::DeleteObject(title_font_);
    if (line_font_) ::DeleteObject(line_font_);
}

bool CSplashWnd::Open(HWND owner) {
    pictures_[0] = static_cast<HBITMAP>(::LoadImageA(Instance(), MAKEINTRESOURCEA(IDB_SPLASH1), IMAGE_BITMAP, 0, 0, 0));
    pictures_[1] = static_cast<HBITMAP>(::LoadImageA(Instance(), MAKEINTRESOURCEA(IDB_SPLASH2), IMAGE_BITMAP, 0, 0, 0));
    if (!pictures_[0] || !Create(owner)) return false;
    ::ShowWindow(hwnd_, SW_SHOW);
    // Shown active and topmost: under Wine without a window manager a tool window shown without
    // activation is never mapped, and an owned window does not stay above its activated owner.
    ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::UpdateWindow(hwnd_);
    return true;
}

bool CSplashWnd::OnInit() {
    // The window is the first picture's size (plus its border), centred on the work area.
    BITMAP bm{};
    ::GetObjectA(pictures_[0], sizeof(bm), &bm);
    RECT rc{0, 0, bm.bmWidth, bm.bmHeight};
    ::AdjustWindowRectEx(&rc, DWORD(::GetWindowLongPtrA(hwnd_, GWL_STYLE)), FALSE,
                         DWORD(::GetWindowLongPtrA(hwnd_, GWL_EXSTYLE)));
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    ::SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - cx) / 2,
                   work.top + (work.bottom - work.top - cy) / 2, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    title_font_ = MakeFont(hwnd_, 22, FW_BOLD);
    line_font_ = MakeFont(hwnd_, 9, FW_NORMAL);
    ::SetTimer(hwnd_, kSwitchTimer, kSwitchMs, nullptr);
    ::SetTimer(hwnd_, kCloseTimer, kCloseMs, nullptr);
    return false;
}

void CSplashWnd::Paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd_, &ps);
    RECT client;
    ::GetClientRect(hwnd_, &client);
    HBITMAP picture = pictures_[current_] ? pictures_[current_] : pictures_[0];
    BITMAP bm{};
    ::GetObjectA(picture, sizeof(bm), &bm);
    HDC mem = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(mem, picture);
    ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);

    // The texts sit right of the enlarged application picture (which ends at 30 % of the width).
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    RECT title{client.right * 32 / 100, client.bottom * 22 / 100, client.right - 8, client.bottom * 48 / 100};
    HGDIOBJ old_font = ::SelectObject(dc, title_font_);
    ::DrawTextA(dc, "Quillpacker", -1, &title, DT_LEFT | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, line_font_);
    RECT line{title.left, title.bottom + 4, client.right - 8, client.bottom * 72 / 100};
    ::DrawTextA(dc, current_ == 0 ? "Installation kits for Windows" : "Starting the builder...", -1, &line,
                DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    RECT address{8, client.bottom * 80 / 100, client.right - 8, client.bottom - 4};
    ::DrawTextA(dc, kWebAddress, -1, &address, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, old_font);
    ::EndPaint(hwnd_, &ps);
}

LRESULT CSplashWnd::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_TIMER:
        if (w == kSwitchTimer) {
            ::KillTimer(hwnd_, kSwitchTimer);
            current_ = 1;
            ::InvalidateRect(hwnd_, nullptr, FALSE);
        } else if (w == kCloseTimer) {
            EndDialog(IDOK);
        }
        return 0;
    case WM_SETCURSOR:
        ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    case WM_LBUTTONUP:
        OpenInBrowser(kWebAddress);
        return 0;
    case WM_DESTROY:
        ::KillTimer(hwnd_, kSwitchTimer);
        ::KillTimer(hwnd_, kCloseTimer);
        return CDialog::HandleMessage(msg, w, l);
    default:
        return CDialog::HandleMessage(msg, w, l);
    }
}

}  // namespace qp
