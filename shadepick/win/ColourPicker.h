// The colour picker panel: a hue/saturation wheel, a brightness bar, red/green/blue fields and
// a swatch. Every change of a red, green or blue field is reported to the parent dialog.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "common/win/dc.h"
#include "framework/Dialog.h"
#include "shadepick/colour.h"
#include "shadepick/wheel.h"

namespace qp::shade {

class CColourPicker : public CDialog {
public:
    // `id` (1 or 2) travels with every colour report to the parent.
    CColourPicker(HINSTANCE instance, COLORREF colour, int id);

    COLORREF Colour() const { return ToColorref(rgb_); }
    int Id() const { return id_; }

protected:
    bool OnInit() override;
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;
    bool OnCommand(int id, int code, HWND control) override;
    // The panel's own OK and Cancel are parked; Enter and Esc belong to the parent.
    void OnOK() override {}
    void OnCancel() override {}

private:
    void LoadWheel();
    void FitWheel();
    void OnPaint();
    void OnButtonDown(Point p);
    void ApplyPoint(Point p);
    void OnRgbField(int field, int& channel);
    void OnHsbField(int field, int& value, int hi);
    void Refresh();
    void WriteFields();
    void SetField(int field, int value);
    void Notify();

    void DrawWheel(HDC hdc) const;
    void DrawBar(HDC hdc);
    void DrawMarkers(HDC hdc) const;
    void DrawSwatch(HDC hdc, const RECT& r, const Rgb& colour) const;
    void PlaceMarkers();

    int id_;
    Rgb rgb_, old_;
    Hsb hsb_;

    std::unique_ptr<WheelGeometry> geometry_;
    RECT rgb_area_{}, old_swatch_{}, swatch_{};
    Rect wheel_marker_, bar_marker_;
    CGdiObject<HBITMAP> wheel_;
    int wheel_cx_ = kWheelWidth, wheel_cy_ = kWheelHeight;
    std::vector<std::uint8_t> bar_image_;  // BITMAPINFO with its colour table, then the pixels

    DragMode drag_ = DragMode::None;
    bool initialised_ = false;
    bool refreshing_ = false;
};

}  // namespace qp::shade
