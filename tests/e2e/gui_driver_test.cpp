// The window driver itself: a press that a user could not make must fail the test that asks
// for it, and a press that a user could make must reach the window.
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "support/gui_driver.h"

namespace {

enum { kEnabled = 101, kDisabled = 102, kHidden = 103 };

std::atomic<int> g_pressed{0};

LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_COMMAND && HIWORD(w) == BN_CLICKED) g_pressed = LOWORD(w);
    return DefWindowProcA(wnd, msg, w, l);
}

// A window with three buttons on a thread of its own, as another program's window would be.
class ButtonWindow : public ::testing::Test {
protected:
    void SetUp() override {
        thread_ = std::thread([this] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "QpDriverTest";
            RegisterClassA(&wc);
            HWND w = CreateWindowExA(0, "QpDriverTest", "Driver test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                                     nullptr, nullptr, wc.hInstance, nullptr);
            const struct { int id; const char* text; DWORD style; } buttons[] = {
                {kEnabled, "Next", WS_VISIBLE}, {kDisabled, "Back", WS_VISIBLE | WS_DISABLED}, {kHidden, "Finish", 0}};
            int y = 10;
            for (const auto& b : buttons) {
                CreateWindowExA(0, "BUTTON", b.text, WS_CHILD | BS_PUSHBUTTON | b.style, 10, y, 100, 24, w,
                                HMENU(INT_PTR(b.id)), wc.hInstance, nullptr);
                y += 30;
            }
            wnd_ = w;
            MSG m;
            while (GetMessageA(&m, nullptr, 0, 0) > 0) {
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
        });
        ASSERT_TRUE(qpe2e::WaitFor([this] { return wnd_.load() != nullptr; }, 20000));
        g_pressed = 0;
    }
    void TearDown() override {
        if (wnd_) PostMessageA(wnd_, WM_QUIT, 0, 0);
        thread_.join();
    }
    std::atomic<HWND> wnd_{nullptr};
    std::thread thread_;
};

TEST_F(ButtonWindow, PressReachesAnEnabledButtonAndRefusesTheOthers) {
    HWND w = wnd_;
    EXPECT_TRUE(qpe2e::Press(w, kEnabled, 1000));
    EXPECT_TRUE(qpe2e::WaitFor([] { return g_pressed == kEnabled; }, 10000));

    struct Case {
        int id;
        const char* why;
    };
    const Case cases[] = {{kDisabled, "it is disabled"}, {kHidden, "it is hidden"}, {999, "it does not exist"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        g_pressed = 0;
        bool pressed = true;
        EXPECT_NONFATAL_FAILURE(pressed = qpe2e::Press(w, c.id, 300), c.why);
        EXPECT_FALSE(pressed);
        Sleep(0);
        EXPECT_EQ(0, g_pressed.load());
    }
    // A window that a modal window has disabled takes no press either.
    EnableWindow(w, FALSE);
    bool pressed = true;
    EXPECT_NONFATAL_FAILURE(pressed = qpe2e::Press(w, kEnabled, 300), "a modal window is open over it");
    EXPECT_FALSE(pressed);
    EnableWindow(w, TRUE);
}

TEST_F(ButtonWindow, APressWaitsForAButtonThatIsBeingEnabled) {
    HWND w = wnd_;
    HWND back = GetDlgItem(w, kDisabled);
    std::thread later([back] {
        Sleep(300);
        EnableWindow(back, TRUE);
    });
    EXPECT_TRUE(qpe2e::Press(w, kDisabled, 20000));
    later.join();
    EXPECT_TRUE(qpe2e::WaitFor([] { return g_pressed == kDisabled; }, 10000));
}

}  // namespace
