// The picker panel: mouse and typing turn into a colour, the colour into markers, the bar and
// the fields. Markers are drawn in XOR, so drawing one twice takes it away again.
#include "ColourPicker.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "framework/Controls.h"
#include "resource.h"

namespace qp::shade {

namespace {

Rect ToRect(const RECT& r) { return Rect{int(r.left), int(r.top), int(r.right), int(r.bottom)}; }
RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
COLORREF Ref(const Rgb& c) { return RGB(c.r, c.g, c.b); }

// The wheel artwork is grey 192 beyond the rim; no colour of the wheel has that value.
constexpr COLORREF kWheelKey = RGB(192, 192, 192);

}  // namespace

CColourPicker::CColourPicker(HINSTANCE instance, COLORREF colour, int id)
    : CDialog(instance, IDD_PICKER), id_(id) {
    rgb_ = FromColorref(colour);
    old_ = rgb_;
    hsb_ = RgbToHsb(rgb_);
}

bool CColourPicker::OnInit() {
    rgb_area_ = ChildRect(IDC_PICK_RGB_AREA);
    old_swatch_ = ChildRect(IDC_PICK_OLD_SWATCH);
    swatch_ = ChildRect(IDC_PICK_SWATCH);
    LoadWheel();
    geometry_ = std::make_unique<WheelGeometry>(ToRect(ChildRect(IDC_PICK_WHEEL_FRAME)), wheel_cx_, wheel_cy_);
    FitWheel();
    PlaceMarkers();
    // Which colour of the gradient this panel chooses, on the frame of its wheel.
    Item(IDC_PICK_WHEEL_FRAME).SetText(id_ == 1 ? "Start color (top)" : "End color (bottom)");

    struct Spin { int edit, spin, hi; };
    const Spin spins[] = {{IDC_PICK_RED, IDC_PICK_RED_SPIN, 255},   {IDC_PICK_GREEN, IDC_PICK_GREEN_SPIN, 255},
                          {IDC_PICK_BLUE, IDC_PICK_BLUE_SPIN, 255}, {IDC_PICK_HUE, IDC_PICK_HUE_SPIN, 360},
                          {IDC_PICK_SAT, IDC_PICK_SAT_SPIN, 255},   {IDC_PICK_BRI, IDC_PICK_BRI_SPIN, 255}};
    const int values[] = {rgb_.r, rgb_.g, rgb_.b, hsb_.h, hsb_.s, hsb_.v};
    for (int i = 0; i < 6; ++i) {
        CSpinButton spin(Item(spins[i].spin));
        spin.SetBuddy(Item(spins[i].edit));
        spin.SetRange(0, spins[i].hi);
        spin.SetPos(values[i]);
        CEdit(Item(spins[i].edit)).SetLimitText(6);
    }
    WriteFields();
    initialised_ = true;
    return false;
}

// The wheel and the bar are pixels, the frame and the panel dialog units: with a small dialog
// font the frame ends above the artwork. Then the frame and the panel grow to hold it (the
// wheel area keeps its place, so the geometry stays).
void CColourPicker::FitWheel() {
    constexpr int kMargin = 6;  // the frame's own inset below the area, and a pixel of air
    const Rect& area = geometry_->Area();
    const int needed = std::max(area.top + wheel_cy_, geometry_->Bar().bottom + 4) + kMargin;
    RECT frame = ChildRect(IDC_PICK_WHEEL_FRAME);
    if (frame.bottom >= needed) return;
    const int grow = needed - int(frame.bottom);
    ::SetWindowPos(Item(IDC_PICK_WHEEL_FRAME), nullptr, 0, 0, frame.right - frame.left, needed - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT panel = WindowRect();
    ::SetWindowPos(hwnd_, nullptr, 0, 0, panel.right - panel.left, panel.bottom - panel.top + grow,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CColourPicker::LoadWheel() {
    HBITMAP bmp = static_cast<HBITMAP>(
        ::LoadImageA(Instance(), MAKEINTRESOURCEA(IDB_WHEEL), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    wheel_.Reset(bmp);
    if (!bmp) return;
    DIBSECTION ds{};
    if (::GetObjectA(bmp, sizeof(ds), &ds) != sizeof(ds)) return;
    wheel_cx_ = ds.dsBm.bmWidth;
    wheel_cy_ = ds.dsBm.bmHeight;
    // Beyond the rim the panel's own face colour shows, whatever the system's scheme.
    if (ds.dsBm.bmBitsPixel != 24 || !ds.dsBm.bmBits) return;
    const COLORREF face = ::GetSysColor(COLOR_3DFACE);
    auto* bits = static_cast<std::uint8_t*>(ds.dsBm.bmBits);
    for (int y = 0; y < wheel_cy_; ++y) {
        std::uint8_t* p = bits + std::size_t(y) * ds.dsBm.bmWidthBytes;
        for (int x = 0; x < wheel_cx_; ++x, p += 3) {
            if (RGB(p[2], p[1], p[0]) == kWheelKey) {
                p[0] = GetBValue(face);
                p[1] = GetGValue(face);
                p[2] = GetRValue(face);
            }
        }
    }
    ::GdiFlush();
}

LRESULT CColourPicker::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_LBUTTONDOWN:
        OnButtonDown(Point{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
        return 0;
    case WM_MOUSEMOVE:
        if (drag_ != DragMode::None && ::GetCapture() == hwnd_) ApplyPoint(Point{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
        return 0;
    case WM_LBUTTONUP:
        if (::GetCapture() == hwnd_) ::ReleaseCapture();
        drag_ = DragMode::None;
        return 0;
    case WM_CAPTURECHANGED:
        drag_ = DragMode::None;
        return 0;
    }
    return CDialog::HandleMessage(msg, w, l);
}

bool CColourPicker::OnCommand(int id, int code, HWND) {
    if (code != EN_CHANGE) return false;
    switch (id) {
    case IDC_PICK_RED: OnRgbField(id, rgb_.r); return true;
    case IDC_PICK_GREEN: OnRgbField(id, rgb_.g); return true;
    case IDC_PICK_BLUE: OnRgbField(id, rgb_.b); return true;
    case IDC_PICK_HUE: OnHsbField(id, hsb_.h, 359); return true;
    case IDC_PICK_SAT: OnHsbField(id, hsb_.s, 255); return true;
    case IDC_PICK_BRI: OnHsbField(id, hsb_.v, 255); return true;
    }
    return false;
}

void CColourPicker::OnRgbField(int field, int& channel) {
    if (!initialised_) return;
    int typed = 0;
    // A field being emptied to type a new number keeps the colour until a number is there.
    if (!refreshing_ && ItemInt(field, typed) && typed != channel) {
        channel = Clamp(typed, 0, 255);
        hsb_ = RgbToHsb(rgb_);
        Refresh();
    }
    Notify();
}

void CColourPicker::OnHsbField(int field, int& value, int hi) {
    if (!initialised_ || refreshing_) return;
    int typed = 0;
    if (ItemInt(field, typed) && typed != value) {
        value = Clamp(typed, 0, hi);
        rgb_ = HsbToRgb(hsb_);
        Refresh();
    }
}

void CColourPicker::OnButtonDown(Point p) {
    if (!geometry_) return;
    drag_ = geometry_->HitTest(p);
    if (drag_ == DragMode::None) return;
    ::SetCapture(hwnd_);
    ApplyPoint(p);
}

void CColourPicker::ApplyPoint(Point p) {
    if (drag_ == DragMode::Wheel) {
        const HueSat hs = geometry_->WheelPick(p);
        hsb_.h = hs.h;
        hsb_.s = hs.s;
    } else if (drag_ == DragMode::Bar) {
        hsb_.v = geometry_->BarPick(p.y);
    } else {
        return;
    }
    rgb_ = HsbToRgb(hsb_);
    Refresh();
}

// Markers, bar, wheel and swatch follow the colour, then the fields (whose change events
// report the colour to the parent). The fields' own change events must not feed back.
void CColourPicker::Refresh() {
    if (refreshing_ || !geometry_) return;
    refreshing_ = true;
    {
        CClientDC dc(hwnd_);
        DrawMarkers(dc);  // off at the old places
        PlaceMarkers();
        DrawWheel(dc);
        DrawBar(dc);
        DrawMarkers(dc);
        DrawSwatch(dc, swatch_, rgb_);
    }
    WriteFields();
    refreshing_ = false;
}

void CColourPicker::WriteFields() {
    SetField(IDC_PICK_RED, rgb_.r);
    SetField(IDC_PICK_GREEN, rgb_.g);
    SetField(IDC_PICK_BLUE, rgb_.b);
    SetField(IDC_PICK_HUE, hsb_.h);
    SetField(IDC_PICK_SAT, hsb_.s);
    SetField(IDC_PICK_BRI, hsb_.v);
}

// A field that already reads the value is left alone, so the caret of a field being typed in
// stays where the user put it.
void CColourPicker::SetField(int field, int value) {
    int shown = 0;
    if (ItemInt(field, shown) && shown == value) return;
    SetItemInt(field, value);
}

void CColourPicker::Notify() {
    HWND parent = ::GetParent(hwnd_);
    if (parent) ::SendMessageA(parent, WM_PICKER_COLOUR, WPARAM(ToColorref(rgb_)), LPARAM(id_));
}

void CColourPicker::PlaceMarkers() {
    wheel_marker_ = geometry_->WheelMarker(hsb_.h, hsb_.s);
    bar_marker_ = geometry_->BarMarker(hsb_.v);
}

void CColourPicker::OnPaint() {
    CPaintDC dc(hwnd_);
    if (!geometry_) return;
    DrawSwatch(dc, old_swatch_, old_);
    DrawSwatch(dc, swatch_, rgb_);
    DrawWheel(dc);
    DrawBar(dc);
    DrawMarkers(dc);
}

void CColourPicker::DrawWheel(HDC hdc) const {
    if (!wheel_) return;
    CMemoryDC mem(hdc);
    CSelectObject keep(mem, wheel_);
    const Rect& a = geometry_->Area();
    ::BitBlt(hdc, a.left, a.top, wheel_cx_, wheel_cy_, mem, 0, 0, SRCCOPY);
}

void CColourPicker::DrawBar(HDC hdc) {
    const Rect& bar = geometry_->Bar();
    const int cx = bar.Width(), cy = bar.Height();
    if (cx <= 0 || cy <= 0 || cy > 256) return;
    const std::vector<Rgb> table = BarColourTable(hsb_.h, hsb_.s, cy);
    const std::size_t stride = (std::size_t(cx) + 3) & ~std::size_t(3);
    const std::size_t header = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);
    bar_image_.assign(header + stride * std::size_t(cy), 0);
    auto* info = reinterpret_cast<BITMAPINFO*>(bar_image_.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = cx;
    info->bmiHeader.biHeight = -cy;  // top row first
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 8;
    info->bmiHeader.biCompression = BI_RGB;
    info->bmiHeader.biClrUsed = DWORD(cy);
    for (int k = 0; k < cy; ++k) {
        info->bmiColors[k].rgbRed = BYTE(table[k].r);
        info->bmiColors[k].rgbGreen = BYTE(table[k].g);
        info->bmiColors[k].rgbBlue = BYTE(table[k].b);
    }
    std::uint8_t* pixels = bar_image_.data() + header;
    for (int r = 0; r < cy; ++r) std::memset(pixels + stride * std::size_t(r), r, std::size_t(cx));
    ::SetDIBitsToDevice(hdc, bar.left, bar.top, DWORD(cx), DWORD(cy), 0, 0, 0, UINT(cy), pixels, info,
                        DIB_RGB_COLORS);
}

void CColourPicker::DrawMarkers(HDC hdc) const {
    CDC dc(hdc);
    const int old_rop = dc.SetROP2(R2_XORPEN);
    {
        CSelectObject brush(hdc, ::GetStockObject(NULL_BRUSH));
        CSelectObject pen(hdc, ::GetStockObject(WHITE_PEN));
        dc.Rectangle(ToRECT(wheel_marker_));
    }
    {
        CGdiObject<HPEN> white(::CreatePen(PS_SOLID, 2, RGB(255, 255, 255)));
        CSelectObject brush(hdc, ::GetStockObject(NULL_BRUSH));
        CSelectObject pen(hdc, white);
        dc.Rectangle(ToRECT(bar_marker_));
    }
    dc.SetROP2(old_rop);
}

void CColourPicker::DrawSwatch(HDC hdc, const RECT& r, const Rgb& colour) const {
    if (r.right <= r.left || r.bottom <= r.top) return;
    CDC dc(hdc);
    dc.FillSolidRect(r, Ref(colour));
    CGdiObject<HBRUSH> black(::CreateSolidBrush(RGB(0, 0, 0)));
    ::FrameRect(hdc, &r, black);
    const RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    if (inner.right > inner.left && inner.bottom > inner.top) dc.Draw3dRect(inner, RGB(192, 192, 192), RGB(128, 128, 128));
}

}  // namespace qp::shade
