// The Windows half of the utilities with real windows, DCs and DLLs: system-directory loading,
// the gradient with and without the system's gradient function, the viewer window, animation,
// the ANSI to UTF-16 conversion.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/textload.h"
#include "common/win/gradient.h"
#include "common/win/syslib.h"
#include "common/win/textwin.h"
#include "common/win/widen.h"
#include "support/testutil.h"

namespace {

const char kMissingDll[] = "qp-no-such-library.dll";

TEST(SystemLibrary, LoadsSystemDllsOnly) {
    qp::SystemLibrary msimg("msimg32.dll");
    ASSERT_TRUE(msimg);
    EXPECT_NE(msimg.Get<FARPROC>("GradientFill"), nullptr);
    EXPECT_EQ(msimg.Get<FARPROC>("NoSuchExport"), nullptr);

    // The test DLL lies beside this program, where the default search order finds it first;
    // the system-directory loader must not.
    HMODULE planted = LoadLibraryA("qpverdll.dll");
    ASSERT_NE(planted, nullptr) << "the planted DLL should be findable by the default search";
    FreeLibrary(planted);
    EXPECT_EQ(qp::LoadSystemLibrary("qpverdll.dll"), nullptr);

    // Names with a path part are refused outright.
    SetLastError(0);
    EXPECT_EQ(qp::LoadSystemLibrary(QP_TEST_DLL), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(qp::LoadSystemLibrary("..\\msimg32.dll"), nullptr);
    EXPECT_EQ(qp::LoadSystemLibrary(""), nullptr);
    EXPECT_FALSE(qp::SystemLibrary(kMissingDll));
    EXPECT_EQ(qp::SystemLibrary(kMissingDll).Get<FARPROC>("GradientFill"), nullptr);
}

// A 32-bit top-down DIB selected into a memory DC, for reading back what was drawn.
class PixelCanvas {
public:
    PixelCanvas(int w, int h) : w_(w), h_(h) {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < w * h; ++i) bits_[i] = 0x00123456;  // a colour no test draws
    }
    ~PixelCanvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    // Call Flush() after drawing, before reading.
    void Flush() const { GdiFlush(); }
    COLORREF At(int x, int y) const {
        DWORD p = bits_[y * w_ + x];  // 0x00RRGGBB in a DIB
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int W() const { return w_; }
    int H() const { return h_; }

private:
    int w_, h_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    DWORD* bits_ = nullptr;
};

const COLORREF kTop = RGB(0x33, 0x66, 0xCC);
const COLORREF kBottom = RGB(0x00, 0x33, 0x99);

TEST(Gradient, MissingFunctionFillsTheTopColourFlat) {
    PixelCanvas canvas(40, 50);
    TRIVERTEX v[2] = {};
    GRADIENT_RECT mesh = {0, 1};
    EXPECT_EQ(qp::GradientFillPrimitive(canvas.Dc(), v, 2, &mesh, 1, GRADIENT_FILL_RECT_V, kMissingDll), FALSE);
    canvas.Flush();
    EXPECT_EQ(canvas.At(0, 0), RGB(0x12, 0x34, 0x56)) << "the primitive drew although it had no function";

    qp::FillGradient(canvas.Dc(), 5, 10, 35, 40, kTop, kBottom, kMissingDll);
    canvas.Flush();
    for (int y = 0; y < canvas.H(); ++y)
        for (int x = 0; x < canvas.W(); ++x) {
            bool inside = x >= 5 && x < 35 && y >= 10 && y < 40;
            ASSERT_EQ(canvas.At(x, y), inside ? kTop : RGB(0x12, 0x34, 0x56)) << x << "," << y;
        }
}

TEST(Gradient, SystemFunctionRunsTopToBottom) {
    PixelCanvas canvas(20, 100);
    qp::FillGradient(canvas.Dc(), 0, 0, 20, 100, kTop, kBottom);
    canvas.Flush();
    auto close_to = [](COLORREF a, COLORREF b) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= 3 && std::abs(GetGValue(a) - GetGValue(b)) <= 3 &&
               std::abs(GetBValue(a) - GetBValue(b)) <= 3;
    };
    EXPECT_TRUE(close_to(canvas.At(10, 0), kTop)) << std::hex << canvas.At(10, 0);
    EXPECT_TRUE(close_to(canvas.At(10, 99), kBottom)) << std::hex << canvas.At(10, 99);
    COLORREF mid = canvas.At(10, 50);
    EXPECT_LT(GetBValue(mid), GetBValue(kTop));
    EXPECT_GT(GetBValue(mid), GetBValue(kBottom));
    // Vertical: every column of a row is the same.
    EXPECT_EQ(canvas.At(0, 50), canvas.At(19, 50));
}

class ViewerWindow : public ::testing::Test {
protected:
    void SetUp() override {
        edit_ = CreateWindowExA(0, "EDIT", "", WS_OVERLAPPEDWINDOW | ES_MULTILINE | ES_READONLY | WS_VSCROLL, 0, 0,
                                300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(edit_, nullptr);
    }
    void TearDown() override { DestroyWindow(edit_); }
    std::string Text() const {
        std::vector<char> buf(GetWindowTextLengthA(edit_) + 1);
        GetWindowTextA(edit_, buf.data(), static_cast<int>(buf.size()));
        return buf.data();
    }
    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    HWND edit_ = nullptr;
};

TEST_F(ViewerWindow, LoadsConvertedTextAndPutsTheCaretAtTheStart) {
    qptest::TempDir tmp;
    qptest::WriteText(tmp / "license.txt", "First line\n\n\nSecond line\r\n\r\nThird\n");
    SendMessageA(edit_, EM_SETSEL, 0, -1);
    ASSERT_TRUE(qp::LoadTextFileIntoWindow(edit_, tmp / "license.txt"));
    Pump();
    EXPECT_EQ(Text(), "First line\r\nSecond line\r\nThird\r\n");
    DWORD start = 1, end = 1;
    SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);
}

TEST_F(ViewerWindow, LargeFileArrivesWhole) {
    qptest::TempDir tmp;
    std::string input;
    while (input.size() < 40000) input += "0123456789abcdef\n";
    qptest::WriteText(tmp / "big.txt", input);
    ASSERT_TRUE(qp::LoadTextFileIntoWindow(edit_, tmp / "big.txt"));
    EXPECT_EQ(Text(), qp::ConvertViewerText(input.substr(0, qp::kViewerTextLimit)));
}

TEST_F(ViewerWindow, MissingFileLeavesTheWindowAlone) {
    SetWindowTextA(edit_, "before");
    EXPECT_FALSE(qp::LoadTextFileIntoWindow(edit_, ""));
    EXPECT_FALSE(qp::LoadTextFileIntoWindow(edit_, "C:\\qp-no-such-folder\\readme.txt"));
    EXPECT_EQ(Text(), "before");
}

TEST(AnimateWindow, OneWheneverTheSystemHasIt) {
    HWND w = CreateWindowExA(0, "STATIC", "anim", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(w, nullptr);
    // Hiding a window that is not shown fails inside AnimateWindow; the helper still says
    // the function is there. (Not showing a window also keeps this test quick under Wine.)
    EXPECT_EQ(qp::AnimateWindowBriefly(w, AW_BLEND | AW_HIDE), 1);
    EXPECT_FALSE(IsWindowVisible(w));
    DestroyWindow(w);
}

TEST(Widen, GivesTheTextAloneInUtf16) {
    EXPECT_EQ(qp::Widen(""), u"");
    EXPECT_EQ(qp::Widen("C:\\Program Files\\Gizmo"), u"C:\\Program Files\\Gizmo");
    // No terminator inside the string: callers append to it and take c_str() for the API.
    EXPECT_EQ(qp::Widen("ab").size(), 2u);
    // Bytes above 127 in the code page of the test prefix (Western), not as Latin-1.
    ASSERT_EQ(1252u, GetACP()) << "the tests expect the Wine prefix's Western code page";
    EXPECT_EQ(qp::Widen("\xE9t\xE9 \x80"), u"\u00E9t\u00E9 \u20AC");
}

}  // namespace
