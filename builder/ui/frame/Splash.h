// The start-up picture: shown centred over the desktop while the builder starts, it turns to its
// second picture after two seconds and goes after six; a click on it opens our web page.
#pragma once
#include <windows.h>

#include "framework/Dialog.h"

namespace qp {

class CSplashWnd : public CDialog {
public:
    explicit CSplashWnd(HINSTANCE instance);
    ~CSplashWnd() override;

    // Shows the window above `owner` (it goes with the owner); false when it cannot be made.
    bool Open(HWND owner);

    static constexpr UINT kSwitchMs = 2000;
    static constexpr UINT kCloseMs = 6000;
    static constexpr const char* kWebAddress = "https://www.veltor.com/quillpacker";

protected:
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;
    bool OnInit() override;

private:
    void Paint();

    HBITMAP pictures_[2] = {nullptr, nullptr};
    int current_ = 0;
    HFONT title_font_ = nullptr;
    HFONT line_font_ = nullptr;
};

// The program registered for web pages (the quoted path of the ".htm" open command), started with
// `address`; false when none is registered.
bool OpenInBrowser(const char* address);

}  // namespace qp
