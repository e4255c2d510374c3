// The gradient dialog: keeps the two colours, mirrors them as 16-bit gradient values in its
// hidden fields and paints the gradient behind the panels.
#include "GradientDlg.h"

#include "common/win/gradient.h"
#include "framework/Controls.h"
#include "common/win/dc.h"
#include "resource.h"

namespace qp::shade {

CGradientDlg::CGradientDlg(HINSTANCE instance, COLORREF first, COLORREF second)
    : CDialog(instance, IDD_GRADIENT), colours_{first, second} {
    SetGradientValues(0, first);
    SetGradientValues(1, second);
}

void CGradientDlg::SetGradientValues(int which, COLORREF colour) {
    gradient_[which * 3 + 0] = GetRValue(colour) * 256;
    gradient_[which * 3 + 1] = GetGValue(colour) * 256;
    gradient_[which * 3 + 2] = GetBValue(colour) * 256;
}

bool CGradientDlg::OnInit() {
    for (int i = 0; i < 2; ++i) {
        pickers_[i] = std::make_unique<CColourPicker>(Instance(), colours_[i], i + 1);
        if (!pickers_[i]->Create(hwnd_)) {
            ::EndDialog(hwnd_, -1);
            return false;
        }
    }
    pickers_[0]->SetPos(2, 2);
    const RECT first = [&] {
        RECT r = pickers_[0]->WindowRect();
        ::MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }();
    pickers_[1]->SetPos(first.left, first.bottom + 1);
    pickers_[0]->Show();
    pickers_[1]->Show();
    FitPanels();

    for (int i = 0; i < 6; ++i) {
        CSpinButton spin(Item(IDC_GRAD_SPIN_FIRST_R + i));
        spin.SetBuddy(Item(IDC_GRAD_FIRST_R + i));
        spin.SetRange(0, 66000);
    }
    writing_ = true;
    UpdateData(false);
    writing_ = false;
    initialised_ = true;
    Invalidate(true);
    return true;
}

// Panels grown to hold their artwork (a small dialog font) may reach past the dialog's client
// area: the dialog grows to show both whole, with the margin it keeps on the left.
void CGradientDlg::FitPanels() {
    RECT second = pickers_[1]->WindowRect();
    ::MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&second), 2);
    const RECT client = ClientRect();
    const int need = int(second.bottom) + 2 - int(client.bottom);
    if (need <= 0) return;
    const RECT outer = WindowRect();
    ::SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + need,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CGradientDlg::DoDataExchange(CDataExchange& dx) {
    // 16-bit channels: a typed value beyond them would wrap into another colour.
    for (int i = 0; i < 6; ++i) DDX_Int(dx, IDC_GRAD_FIRST_R + i, gradient_[i], 0, 0xFFFF);
}

LRESULT CGradientDlg::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_PICKER_COLOUR:
        OnPickerColour(COLORREF(w), int(l));
        return 0;
    case WM_ERASEBKGND:
        if (PaintGradient(reinterpret_cast<HDC>(w), ClientRect())) return TRUE;
        break;  // without a gradient fill the dialog keeps its plain face
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
        if (item && item->CtlID == IDC_GRAD_STRIP) {
            RECT r{};
            ::GetClientRect(item->hwndItem, &r);
            PaintGradient(item->hDC, r);
            return TRUE;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
        ::SetBkMode(reinterpret_cast<HDC>(w), TRANSPARENT);
        return ::DefWindowProcA(hwnd_, msg, w, l);
    }
    return CDialog::HandleMessage(msg, w, l);
}

bool CGradientDlg::OnCommand(int id, int code, HWND) {
    if (code == EN_CHANGE && id >= IDC_GRAD_FIRST_R && id < IDC_GRAD_FIRST_R + 6) {
        if (initialised_ && !writing_) {
            UpdateData(true);
            RepaintBackground();
        }
        return true;
    }
    return false;
}

void CGradientDlg::OnDestroy() {
    initialised_ = false;
    for (auto& p : pickers_) p.reset();
}

void CGradientDlg::OnPickerColour(COLORREF colour, int id) {
    if (id != 1 && id != 2) return;
    COLORREF& stored = colours_[id - 1];
    if (colour == stored) return;
    stored = colour;
    SetGradientValues(id - 1, colour);
    writing_ = true;
    UpdateData(false);
    writing_ = false;
    RepaintBackground();
}

// Everything but the panels, so that they do not flicker while the user drags.
void CGradientDlg::RepaintBackground() {
    const RECT client = ClientRect();
    HRGN region = ::CreateRectRgnIndirect(&client);
    for (auto& p : pickers_) {
        if (!p || !p->IsWindow()) continue;
        RECT r = p->WindowRect();
        ::MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        HRGN hole = ::CreateRectRgnIndirect(&r);
        ::CombineRgn(region, region, hole, RGN_DIFF);
        ::DeleteObject(hole);
    }
    ::InvalidateRgn(hwnd_, region, TRUE);
    ::DeleteObject(region);
}

// The dialog draws from its 16-bit gradient values (the hidden fields may hold any of them),
// and without the system's gradient fill it leaves the plain face rather than a flat colour.
bool CGradientDlg::PaintGradient(HDC hdc, const RECT& r) const {
    TRIVERTEX v[2]{};
    v[0].x = r.left;
    v[0].y = r.top;
    v[0].Red = COLOR16(gradient_[0]);
    v[0].Green = COLOR16(gradient_[1]);
    v[0].Blue = COLOR16(gradient_[2]);
    v[1].x = r.right;
    v[1].y = r.bottom;
    v[1].Red = COLOR16(gradient_[3]);
    v[1].Green = COLOR16(gradient_[4]);
    v[1].Blue = COLOR16(gradient_[5]);
    GRADIENT_RECT mesh{0, 1};
    return GradientFillPrimitive(hdc, v, 2, &mesh, 1, GRADIENT_FILL_RECT_V) != FALSE;
}

}  // namespace qp::shade
