// CHexEditCtrl: the hex edit control as the window class "HEX", for dialogs that place it as a
// custom control. Hosts drive it through the C++ interface below (CHexEditCtrl::Of) or through
// its window messages (in hexbuffer.h, so that a dialog hosting it needs no more); the buffer
// rules live in HexBuffer.
#pragma once
#include <windows.h>

#include <string>

#include "builder/ui/logic/hexbuffer.h"
#include "common/win/dc.h"
#include "framework/Window.h"

namespace qp {

class CHexEditCtrl : public CWnd {
public:
    // Registers the "HEX" class (once).
    static bool Register(HINSTANCE instance);
    // The control object of a "HEX" window, or null.
    static CHexEditCtrl* Of(HWND hwnd);

    // The named properties: "ShowAddress", "ShowAscii", "AllowChangeSize", "DataModified",
    // "DigitsInAddress", "DigitsInData", "Columns", "FontHeight"; false for an unknown name or
    // an ignored value.
    bool SetProperty(const std::string& name, long value);
    long GetProperty(const std::string& name) const;
    std::uint32_t SetData(const HexDataArg& data, std::uint32_t base_address);
    // Two upper-case digits per byte; empty without data.
    std::string DataText() const { return buffer_.DataText(); }
    const HexBuffer& Buffer() const { return buffer_; }
    void AboutBox() {}

protected:
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;
    bool OnCreate() override;

private:
    bool SetProperty(WPARAM id, LPARAM value);
    LPARAM GetProperty(WPARAM id) const;
    void Relayout();
    void Paint();
    void PlaceCaret();
    void EnsureCaretVisible();
    void Changed();
    int PageRows() const;
    bool OnKey(WPARAM key);
    void OnMouse(LPARAM l, bool extend);
    void Scroll(int bar, int code);
    void CopyToClipboard();
    void PasteFromClipboard();
    void ShowMenu(POINT screen);
    void OnMenu(UINT id);

    HexBuffer buffer_;
    CGdiObject<HFONT> font_;
    int char_w_ = 8, line_h_ = 14;
    int top_row_ = 0, left_cell_ = 0;
    bool has_focus_ = false;
    UINT_PTR timer_ = 0;
    static UINT clip_format_;
};

}  // namespace qp
