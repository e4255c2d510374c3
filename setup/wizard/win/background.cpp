// The background window behind the pages (gradient, title, per-page message, link text), the
// splash window of the kit's bitmap, and the About box.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "common/win/gradient.h"
#include "setup/wizard/win/attach.h"
#include "setup/wizard/win/resources.h"
#include "setup/wizard/win/wizard_ui.h"

namespace qp::wiz {
namespace {

constexpr char kWebAddress[] = "www.quillpacker.org";

LRESULT CALLBACK BackgroundProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* wizard = WindowObject<Wizard*>(wnd, msg, lp);
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (!wizard) return DefWindowProcA(wnd, msg, wp, lp);
    try {
        return wizard->HandleBackground(wnd, msg, wp, lp);
    } catch (...) {
        return DefWindowProcA(wnd, msg, wp, lp);
    }
}

// The splash window owns its bitmap, given as the creation parameter.
LRESULT CALLBACK SplashProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    const HBITMAP bmp = WindowObject<HBITMAP>(wnd, msg, lp);
    switch (msg) {
    case WM_PAINT: {
        CPaintDC dc(wnd);
        if (bmp) {
            BITMAP info{};
            GetObjectA(bmp, sizeof(info), &info);
            RECT rc;
            GetClientRect(wnd, &rc);
            CMemoryDC mem(dc);
            CSelectObject select(mem, bmp);
            SetStretchBltMode(dc, COLORONCOLOR);
            StretchBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, info.bmWidth, info.bmHeight,
                       SRCCOPY);
        }
        return 0;
    }
    case WM_DESTROY:
        if (bmp) DeleteObject(bmp);
        DetachWindowObject(wnd);
        return 0;
    default: break;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

HFONT TimesFont(int height) {
    return CreateFontA(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_ROMAN, "Times New Roman");
}

void ShadowText(HDC dc, int x, int y, int dx, int dy, const std::string& text, COLORREF shadow,
                COLORREF colour) {
    SetTextColor(dc, shadow);
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    SetTextColor(dc, colour);
    TextOutA(dc, x + dx, y + dy, text.c_str(), static_cast<int>(text.size()));
}

INT_PTR CALLBACK AboutProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        HWND center_on = reinterpret_cast<HWND>(lp);
        RECT over, me;
        GetWindowRect(center_on ? center_on : GetDesktopWindow(), &over);
        GetWindowRect(dlg, &me);
        SetWindowPos(dlg, nullptr,
                     over.left + ((over.right - over.left) - (me.right - me.left)) / 2,
                     over.top + ((over.bottom - over.top) - (me.bottom - me.top)) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        SetDlgItemTextA(dlg, IDC_ABOUT_LINK, kWebAddress);
        AnimateWindowBriefly(dlg, AW_CENTER | AW_ACTIVATE);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            ShowWindow(dlg, SW_HIDE);
            EndDialog(dlg, LOWORD(wp));
        }
        return TRUE;
    default: return FALSE;
    }
}

// The splash window of `bmp`, centred on the screen; it owns the bitmap from here on.
HWND SplashWindow(HINSTANCE instance, HBITMAP bmp) {
    if (!bmp) return nullptr;
    BITMAP info{};
    GetObjectA(bmp, sizeof(info), &info);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - info.bmWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - info.bmHeight) / 2;
    HWND wnd = CreateWindowExA(0, "CALDS", "Setup", WS_POPUP | WS_BORDER, x, y, info.bmWidth,
                               info.bmHeight, nullptr, nullptr, instance, bmp);
    if (!wnd) {
        DeleteObject(bmp);
        return nullptr;
    }
    ShowWindow(wnd, SW_SHOW);
    UpdateWindow(wnd);
    return wnd;
}

}  // namespace

bool RegisterWizardClasses(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = BackgroundProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SETUP));
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_SETUP), IMAGE_ICON,
                                               16, 16, 0));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "Setup";
    if (!RegisterClassExA(&wc)) return false;
    wc.lpfnWndProc = SplashProc;
    wc.lpszClassName = "CALDS";
    return RegisterClassExA(&wc) != 0;
}

HWND ShowSplash(HINSTANCE instance, const std::string& bitmap_path) {
    auto bmp = static_cast<HBITMAP>(
        LoadImageA(nullptr, bitmap_path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    return SplashWindow(instance, bmp);
}

HWND ShowSplash(HINSTANCE instance, const std::vector<std::uint8_t>& file) {
    // BITMAPFILEHEADER (14 bytes), then a BITMAPINFOHEADER or a later version of it.
    auto u16 = [&](std::size_t at) { return static_cast<std::uint32_t>(file[at] | file[at + 1] << 8); };
    auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
    if (file.size() < 14 + 40 || file[0] != 'B' || file[1] != 'M') return nullptr;
    const std::uint32_t bits_at = u32(10), header = u32(14);
    if (header < 40 || header > file.size() - 14 || bits_at > file.size() || bits_at < 14 + header) return nullptr;
    const std::int32_t width = static_cast<std::int32_t>(u32(18)), height = static_cast<std::int32_t>(u32(22));
    const std::uint32_t bpp = u16(28), compression = u32(30);
    if (width <= 0 || width > 8192 || height == 0 || height > 8192 || height < -8192) return nullptr;
    if (compression != BI_RGB || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)) return nullptr;
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bpp + 31) / 32 * 4;
    const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -static_cast<std::int64_t>(height) : height);
    if (stride * rows > file.size() - bits_at) return nullptr;
    // The colour table lies between the header and the bits.
    const std::uint64_t colours = u32(46) ? u32(46) : (bpp <= 8 ? 1u << bpp : 0u);
    if (colours > 256 || 14 + header + colours * 4 > bits_at) return nullptr;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(file.data() + 14);
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, file.data() + bits_at, info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return SplashWindow(instance, bmp);
}

void DestroySplash(HWND splash) {
    if (!splash || !IsWindow(splash)) return;
    ShowWindow(splash, SW_HIDE);
    DestroyWindow(splash);
}

void ShowAbout(HINSTANCE instance, HWND owner, HWND center_on) {
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutProc,
                    reinterpret_cast<LPARAM>(center_on));
}

LRESULT Wizard::HandleBackground(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintBackground(wnd); return 0;
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_CLOSE) {
            const int page = State().current_page;
            if (!CancelAsksToAbort(page)) return 0;
            if (ConfirmCancel(page_ ? page_ : wnd, false)) {
                // During the install the engine returns first; the page then ends the wizard.
                if (page != kPageInstalling && page != kPageUninstalling) Close();
            }
            return 0;
        }
        if (wp == IDM_ABOUT) {
            ShowAbout(setup_.instance, wnd, page_);
            return 0;
        }
        break;
    default: break;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

void Wizard::PaintBackground(HWND wnd) {
    CPaintDC dc(wnd);
    RECT rc;
    GetClientRect(wnd, &rc);
    const SettingsBlock& sb = setup_.settings;
    FillGradient(dc, rc.left, rc.top, rc.right, rc.bottom, sb.U32(SettingsBlock::kWindowColour1),
                 sb.U32(SettingsBlock::kWindowColour2));
    dc.SetBkMode(TRANSPARENT);

    if (!title_font_) {
        title_font_.Reset(TimesFont(40));
        link_font_.Reset(TimesFont(16));
        message_font_.Reset(TimesFont(24));
    }
    CSelectObject font(dc, title_font_);
    SetTextCharacterExtra(dc, 5);
    ShadowText(dc, rc.left + 9, rc.top + 14, -5, -4, Text("TITLE_MAIN"),
               sb.U32(SettingsBlock::kTitleShadowColour), sb.U32(SettingsBlock::kTitleTextColour));
    SetTextCharacterExtra(dc, 0);

    // Link and per-page message only where a screen-sized window would have them.
    const int h = GetSystemMetrics(SM_CYSCREEN);
    const int lowest_top = rc.top + h - h / 8 - 50;

    // The project's own address in the corner when it gives one, else the maker's.
    std::string link = Text("MBLINK");
    if (link.empty()) link = kWebAddress;
    dc.Select(link_font_);
    SIZE sz{};
    GetTextExtentPoint32A(dc, link.c_str(), static_cast<int>(link.size()), &sz);
    const int lx = rc.right - 10 - sz.cx;
    const int ly = rc.bottom - 3 - sz.cy;
    if (ly >= lowest_top) {
        ShadowText(dc, lx, ly, -2, -2, link, sb.U32(SettingsBlock::kRightBottomShadowColour),
                   sb.U32(SettingsBlock::kRightBottomTextColour));
    }

    int page = State().current_page;
    if (page > 24) page = 0;
    char key[8];
    wsprintfA(key, "M%d", page);
    const std::string message = Text(key);
    dc.Select(message_font_);
    const int my = rc.bottom - 65;
    if (!message.empty() && my >= lowest_top) {
        ShadowText(dc, rc.left + 10, my, -3, -3, message,
                   sb.U32(SettingsBlock::kBottomShadowColour),
                   sb.U32(SettingsBlock::kBottomTextColour));
    }
}

}  // namespace qp::wiz
