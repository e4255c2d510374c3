// shadepick.dll as the builder uses it: loaded by name, ChooseGradient found by name, the
// dialog driven from a second thread with plain Win32 calls while the call runs.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "shadepick/colour.h"
#include "shadepick/wheel.h"

using namespace qp::shade;

namespace {

using ChooseGradientFn = int(WINAPI*)(HWND, COLORREF*, COLORREF*);

constexpr COLORREF kTop = 0x993300;     // red 0x00, green 0x33, blue 0x99
constexpr COLORREF kBottom = 0xCC6633;  // red 0x33, green 0x66, blue 0xCC

class Chooser : public ::testing::Test {
protected:
    void SetUp() override {
        dll_ = ::LoadLibraryA("shadepick.dll");
        ASSERT_NE(dll_, nullptr) << "shadepick.dll next to the test program";
        choose_ = reinterpret_cast<ChooseGradientFn>(reinterpret_cast<void*>(::GetProcAddress(dll_, "ChooseGradient")));
        ASSERT_NE(choose_, nullptr);
    }
    void TearDown() override {
        if (dll_) ::FreeLibrary(dll_);
    }

    // Calls ChooseGradient here while `drive` works the dialog from another thread. Whatever
    // the driver leaves open is cancelled, so a failed check never hangs the test.
    int Run(COLORREF& first, COLORREF& second, const std::function<void(HWND)>& drive) {
        std::atomic<bool> finished{false};
        std::thread driver([&] {
            HWND dlg = WaitForDialog(finished);
            if (!dlg) return;
            drive(dlg);
            if (::IsWindow(dlg)) ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        const int result = choose_(nullptr, &first, &second);
        finished = true;
        driver.join();
        return result;
    }

    static HWND WaitForDialog(const std::atomic<bool>& finished) {
        for (int i = 0; i < 200 && !finished; ++i) {
            HWND dlg = ::FindWindowA("#32770", "GradientColor");
            DWORD pid = 0;
            if (dlg) ::GetWindowThreadProcessId(dlg, &pid);
            if (dlg && pid == ::GetCurrentProcessId() && ::IsWindowVisible(dlg)) {
                // Back in its message loop: the dialog has finished its set-up.
                DWORD_PTR answer = 0;
                ::SendMessageTimeoutA(dlg, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &answer);
                return dlg;
            }
            ::Sleep(50);
        }
        ADD_FAILURE() << "the gradient dialog did not appear";
        return nullptr;
    }

    HMODULE dll_ = nullptr;
    ChooseGradientFn choose_ = nullptr;
};

// The two picker panels, top one first.
std::vector<HWND> Panels(HWND dlg) {
    std::vector<HWND> panels;
    for (HWND h = ::FindWindowExA(dlg, nullptr, "#32770", nullptr); h; h = ::FindWindowExA(dlg, h, "#32770", nullptr))
        panels.push_back(h);
    std::sort(panels.begin(), panels.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        ::GetWindowRect(a, &ra);
        ::GetWindowRect(b, &rb);
        return ra.top < rb.top;
    });
    return panels;
}

std::string Text(HWND dlg, int id) {
    char buf[64] = {};
    ::SendMessageA(::GetDlgItem(dlg, id), WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf));
    return buf;
}

int Int(HWND dlg, int id) { return std::atoi(Text(dlg, id).c_str()); }

void Type(HWND dlg, int id, const char* text) {
    ::SendMessageA(::GetDlgItem(dlg, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void Click(HWND wnd, Point p) {
    const LPARAM at = MAKELPARAM(p.x, p.y);
    ::SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(wnd, WM_LBUTTONUP, 0, at);
}

void Press(HWND dlg, int id) { ::SendMessageA(::GetDlgItem(dlg, id), BM_CLICK, 0, 0); }

Rgb PanelColour(HWND panel) { return Rgb{Int(panel, 1002), Int(panel, 1004), Int(panel, 1006)}; }

// The panel's wheel and bar, from its wheel frame as the panel itself computes them.
WheelGeometry Geometry(HWND panel) {
    RECT r;
    ::GetWindowRect(::GetDlgItem(panel, 1001), &r);
    ::MapWindowPoints(HWND_DESKTOP, panel, reinterpret_cast<POINT*>(&r), 2);
    return WheelGeometry(Rect{int(r.left), int(r.top), int(r.right), int(r.bottom)});
}

// The dialog as it is on screen, kept as a BMP beside the test program for a person to look at.
struct Shot {
    int cx = 0, cy = 0;
    std::vector<std::uint8_t> bgr;  // top-down, 4 bytes per pixel
    COLORREF At(int x, int y) const {
        const std::uint8_t* p = &bgr[(std::size_t(y) * cx + x) * 4];
        return RGB(p[2], p[1], p[0]);
    }
};

Shot Capture(HWND wnd, const RECT& screen_rect) {
    Shot s;
    s.cx = screen_rect.right - screen_rect.left;
    s.cy = screen_rect.bottom - screen_rect.top;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = s.cx;
    bi.bmiHeader.biHeight = -s.cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, s.cx, s.cy, screen, screen_rect.left, screen_rect.top, SRCCOPY);
    ::GdiFlush();
    s.bgr.assign(static_cast<std::uint8_t*>(bits), static_cast<std::uint8_t*>(bits) + std::size_t(s.cx) * s.cy * 4);
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    (void)wnd;
    return s;
}

// Captures the dialog again until `painted` holds for the shot (the paint has caught up with
// the last change) or 10 seconds have passed; the last shot, for the checks to judge.
Shot CaptureWhen(HWND wnd, const RECT& screen_rect, const std::function<bool(const Shot&)>& painted) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    Shot shot = Capture(wnd, screen_rect);
    while (!painted(shot) && std::chrono::steady_clock::now() < until) {
        ::Sleep(50);
        shot = Capture(wnd, screen_rect);
    }
    return shot;
}

void SaveBmp(const Shot& s, const std::string& name) {
    char exe[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe);
    path = path.substr(0, path.find_last_of('\\') + 1) + name;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof(ih);
    ih.biWidth = s.cx;
    ih.biHeight = -s.cy;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = DWORD(fh.bfOffBits + s.bgr.size());
    // The screen gives no alpha; viewers would take 0 for fully transparent.
    std::vector<std::uint8_t> pixels = s.bgr;
    for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 0xFF;
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(&fh, sizeof(fh), 1, f);
    std::fwrite(&ih, sizeof(ih), 1, f);
    std::fwrite(pixels.data(), 1, pixels.size(), f);
    std::fclose(f);
    std::printf("screenshot: %s\n", path.c_str());
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

RECT ClientOnScreen(HWND dlg) {
    RECT r;
    ::GetClientRect(dlg, &r);
    ::MapWindowPoints(dlg, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

TEST_F(Chooser, ExportedUndecorated) {
    EXPECT_EQ(::GetProcAddress(dll_, "ChooseGradient@12"), nullptr);
    EXPECT_EQ(::GetProcAddress(dll_, "_ChooseGradient@12"), nullptr);
}

TEST_F(Chooser, OkWithoutChangeKeepsBothColours) {
    COLORREF first = kTop, second = kBottom;
    const int result = Run(first, second, [](HWND dlg) {
        const std::vector<HWND> panels = Panels(dlg);
        ASSERT_EQ(panels.size(), 2u);
        EXPECT_EQ(PanelColour(panels[0]), FromColorref(kTop));
        EXPECT_EQ(PanelColour(panels[1]), FromColorref(kBottom));
        // The hidden carriers hold channel x 256, first colour then second.
        const int expected[6] = {0x00, 0x33, 0x99, 0x33, 0x66, 0xCC};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(Int(dlg, 1000 + i), expected[i] * 256) << i;
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dlg, 1000)));
        // Panel 2 hangs one pixel below panel 1, left edges aligned; panel 1 at 2, 2.
        RECT a, b;
        ::GetWindowRect(panels[0], &a);
        ::GetWindowRect(panels[1], &b);
        POINT origin{2, 2};
        ::ClientToScreen(dlg, &origin);
        EXPECT_EQ(a.left, origin.x);
        EXPECT_EQ(a.top, origin.y);
        EXPECT_EQ(b.left, a.left);
        EXPECT_EQ(b.top, a.bottom + 1);
        Press(dlg, IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(first, kTop);
    EXPECT_EQ(second, kBottom);
}

// The wheel and the bar are drawn in pixels, the panels laid out in dialog units: whatever the
// dialog font makes of them, each wheel and bar lies whole inside its frame, each frame inside
// its panel, both panels inside the dialog, and each frame says which colour it chooses.
TEST_F(Chooser, WheelsAndBarsShowWholeAndSayWhichColour) {
    COLORREF first = kTop, second = kBottom;
    Run(first, second, [](HWND dlg) {
        const std::vector<HWND> panels = Panels(dlg);
        ASSERT_EQ(panels.size(), 2u);
        const char* const labels[2] = {"Start color (top)", "End color (bottom)"};
        RECT client;
        ::GetClientRect(dlg, &client);
        for (int i = 0; i < 2; ++i) {
            HWND panel = panels[std::size_t(i)];
            EXPECT_EQ(Text(panel, 1001), labels[i]);
            RECT frame, inner;
            ::GetWindowRect(::GetDlgItem(panel, 1001), &frame);
            ::MapWindowPoints(HWND_DESKTOP, panel, reinterpret_cast<POINT*>(&frame), 2);
            ::GetClientRect(panel, &inner);
            const WheelGeometry g = Geometry(panel);
            EXPECT_LE(g.Area().top + kWheelHeight, frame.bottom - 2) << "wheel " << i << " runs out of its frame";
            EXPECT_LE(g.Bar().bottom, frame.bottom - 2) << "bar " << i << " runs out of its frame";
            EXPECT_LE(frame.bottom, inner.bottom) << "frame " << i << " cut by its panel";
            RECT r;
            ::GetWindowRect(panel, &r);
            ::MapWindowPoints(HWND_DESKTOP, dlg, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_LE(r.bottom, client.bottom) << "panel " << i << " cut by the dialog";
        }
    });
}

TEST_F(Chooser, TypedChannelIsClampedAndReported) {
    COLORREF first = kTop, second = kBottom;
    Rgb turned_second;
    const int result = Run(first, second, [&](HWND dlg) {
        const std::vector<HWND> panels = Panels(dlg);
        ASSERT_EQ(panels.size(), 2u);
        Type(panels[0], 1002, "300");
        EXPECT_EQ(Text(panels[0], 1002), "255");
        EXPECT_EQ(Int(dlg, 1000), 255 * 256);
        Type(panels[1], 1006, "-7");
        EXPECT_EQ(Text(panels[1], 1006), "0");
        EXPECT_EQ(Int(dlg, 1005), 0);
        // An emptied field waits for a number and leaves the colour alone.
        Type(panels[1], 1004, "");
        EXPECT_EQ(Int(dlg, 1004), 0x66 * 256);
        Type(panels[1], 1004, "17");
        EXPECT_EQ(Int(dlg, 1004), 17 * 256);
        // The hidden hue field clamps to 359 and moves the red, green and blue fields with it.
        const Hsb before = RgbToHsb(PanelColour(panels[1]));
        Type(panels[1], 1010, "400");
        EXPECT_EQ(Text(panels[1], 1010), "359");
        const Rgb turned = HsbToRgb(Hsb{359, before.s, before.v});
        EXPECT_EQ(PanelColour(panels[1]), turned);
        EXPECT_EQ(Int(dlg, 1003), turned.r * 256);
        turned_second = turned;
        Press(dlg, IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(first, COLORREF(0x9933FF));
    EXPECT_EQ(second, ToColorref(turned_second));
    EXPECT_EQ(turned_second.r, 0x33);  // hue 359 at that saturation: red stays the largest
}

TEST_F(Chooser, WheelAndBarClicksChangeColoursAndGradient) {
    COLORREF first = kTop, second = kBottom;
    Rgb picked_first, picked_second;
    const int result = Run(first, second, [&](HWND dlg) {
        const std::vector<HWND> panels = Panels(dlg);
        ASSERT_EQ(panels.size(), 2u);
        const WheelGeometry g = Geometry(panels[0]);
        const Point c = g.Centre();

        // Off the wheel and off the bar, inside the area: nothing happens.
        Click(panels[0], Point{g.Area().left + 2, g.Area().top + 2});
        EXPECT_EQ(PanelColour(panels[0]), FromColorref(kTop));

        // 40 right and 30 up: 36 degrees, saturation 127; brightness stays 0x99.
        Click(panels[0], Point{c.x + 40, c.y - 30});
        picked_first = HsbToRgb(Hsb{36, 127, 0x99});
        EXPECT_EQ(PanelColour(panels[0]), picked_first);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Int(dlg, 1000 + i), (&picked_first.r)[i] * 256) << i;
        // The second colour's half of the gradient keeps its values.
        EXPECT_EQ(Int(dlg, 1003), 0x33 * 256);
        EXPECT_EQ(Int(dlg, 1005), 0xCC * 256);

        // The top of panel 2's bar: full brightness for its hue and saturation.
        const WheelGeometry g2 = Geometry(panels[1]);
        Click(panels[1], Point{g2.Bar().left + 5, g2.Bar().top});
        const Hsb second_hsb = RgbToHsb(FromColorref(kBottom));
        picked_second = HsbToRgb(Hsb{second_hsb.h, second_hsb.s, 255});
        EXPECT_EQ(PanelColour(panels[1]), picked_second);

        // Dragging far outside the wheel keeps full saturation and follows the angle.
        const LPARAM down = MAKELPARAM(c.x, c.y - 50);
        ::SendMessageA(panels[0], WM_LBUTTONDOWN, MK_LBUTTON, down);
        ::SendMessageA(panels[0], WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x - 400, c.y));
        EXPECT_EQ(Int(panels[0], 1012), 255);  // hidden saturation field
        EXPECT_EQ(Int(panels[0], 1010), 180);
        ::SendMessageA(panels[0], WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x + 40, c.y - 30));
        ::SendMessageA(panels[0], WM_LBUTTONUP, 0, MAKELPARAM(c.x + 40, c.y - 30));
        EXPECT_EQ(PanelColour(panels[0]), picked_first);

        // Right of the panels the background is the gradient: first colour at the top,
        // second at the bottom.
        RECT client;
        ::GetClientRect(dlg, &client);
        const Shot shot = CaptureWhen(dlg, ClientOnScreen(dlg), [&](const Shot& s) {
            return Near(s.At(client.right - 8, 1), ToColorref(picked_first), 6) &&
                   Near(s.At(client.right - 8, client.bottom - 2), ToColorref(picked_second), 6);
        });
        SaveBmp(shot, "shadepick_dialog.bmp");
        const COLORREF top = shot.At(client.right - 8, 1);
        const COLORREF bottom = shot.At(client.right - 8, client.bottom - 2);
        EXPECT_TRUE(Near(top, ToColorref(picked_first), 6)) << std::hex << top;
        EXPECT_TRUE(Near(bottom, ToColorref(picked_second), 6)) << std::hex << bottom;
        // The wheel is drawn unscaled where the clicks land: under the click point (inside the
        // hollow marker) it shows the picked hue and saturation at full brightness.
        POINT at{c.x + 40, c.y - 30};
        ::MapWindowPoints(panels[0], dlg, &at, 1);
        EXPECT_EQ(shot.At(at.x, at.y), ToColorref(HsbToRgb(Hsb{36, 127, 255}))) << std::hex << shot.At(at.x, at.y);
        Press(dlg, IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(first, ToColorref(picked_first));
    EXPECT_EQ(second, ToColorref(picked_second));
}

// The hidden gradient fields feed the painting directly; the colours handed back come from
// the pickers alone.
TEST_F(Chooser, HiddenGradientFieldsRepaintTheBackground) {
    COLORREF first = kTop, second = kBottom;
    const int result = Run(first, second, [](HWND dlg) {
        Type(dlg, 1000, "70000");  // beyond 16 bits: kept at the largest channel value
        Type(dlg, 1001, "0");
        Type(dlg, 1002, "0");
        EXPECT_EQ(Int(dlg, 1000), 70000);  // the field itself keeps what was typed
        RECT client;
        ::GetClientRect(dlg, &client);
        const Shot shot = CaptureWhen(dlg, ClientOnScreen(dlg),
                                      [&](const Shot& s) { return Near(s.At(client.right - 8, 1), RGB(255, 0, 0), 6); });
        const COLORREF top = shot.At(client.right - 8, 1);
        EXPECT_TRUE(Near(top, RGB(255, 0, 0), 6)) << std::hex << top;
        Press(dlg, IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(first, kTop);
    EXPECT_EQ(second, kBottom);
}

TEST_F(Chooser, CancelAfterChangesLeavesBothColours) {
    COLORREF first = kTop, second = kBottom;
    int result = Run(first, second, [](HWND dlg) {
        const std::vector<HWND> panels = Panels(dlg);
        ASSERT_EQ(panels.size(), 2u);
        Type(panels[0], 1004, "200");
        const WheelGeometry g = Geometry(panels[1]);
        Click(panels[1], Point{g.Centre().x - 20, g.Centre().y + 60});
        EXPECT_NE(PanelColour(panels[1]), FromColorref(kBottom));
        Press(dlg, IDCANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(first, kTop);
    EXPECT_EQ(second, kBottom);

    // Closing the window counts as Cancel.
    result = Run(first, second, [](HWND dlg) {
        Type(Panels(dlg).at(0), 1002, "1");
        ::SendMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(first, kTop);
}

TEST_F(Chooser, MissingColourPointerShowsNothing) {
    COLORREF c = kTop;
    EXPECT_EQ(choose_(nullptr, nullptr, &c), 2);
    EXPECT_EQ(choose_(nullptr, &c, nullptr), 2);
    EXPECT_EQ(c, kTop);
}
