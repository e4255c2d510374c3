// The "QpGrid" window: painting the cells in sight through a memory bitmap, the scroll bars,
// keys and mouse mapped onto GridModel, column widths dragged in the header, and the in-place
// edit box with its notifications.
#include "builder/ui/controls/GridCtrl.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "framework/Scroll.h"

namespace qp {

namespace {
constexpr int kEditId = 100;
constexpr int kGrip = 3;
}  // namespace

bool CGridCtrl::Register(HINSTANCE instance) {
    static bool done = false;
    if (!done) done = RegisterControlClass(instance, "QpGrid", [] { return new CGridCtrl; });
    return done;
}

CGridCtrl* CGridCtrl::Of(HWND hwnd) { return dynamic_cast<CGridCtrl*>(CWnd::FromHandle(hwnd)); }

bool CGridCtrl::OnCreate() {
    NONCLIENTMETRICSA m{};
    m.cbSize = sizeof(m);
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(m), &m, 0);
    font_.Reset(::CreateFontIndirectA(&m.lfMessageFont));
    CClientDC dc(hwnd_);
    CSelectObject keep(dc, font_.Get());
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    row_h_ = tm.tmHeight + 6;
    return true;
}

int CGridCtrl::ViewRows() const {
    const RECT r = ClientRect();
    return std::max(1, (int(r.bottom) - model_.FixedRows() * row_h_) / row_h_);
}

RECT CGridCtrl::CellRect(int row, int col) const {
    RECT r{-1, -1, -1, -1};
    const int x = model_.ColX(col);
    if (x < 0) return r;
    const int band = row < model_.FixedRows() ? row : model_.FixedRows() + row - model_.TopRow();
    r.left = x;
    r.right = x + model_.ColWidth(col);
    r.top = band * row_h_;
    r.bottom = r.top + row_h_;
    return r;
}

void CGridCtrl::Refresh() {
    if (!hwnd_) return;
    SCROLLINFO sv{sizeof(sv), SIF_RANGE | SIF_PAGE | SIF_POS};
    sv.nMax = std::max(0, model_.Rows() - model_.FixedRows() - 1);
    sv.nPage = UINT(ViewRows());
    sv.nPos = model_.TopRow() - model_.FixedRows();
    ::SetScrollInfo(hwnd_, SB_VERT, &sv, TRUE);
    // The horizontal bar only while the columns are wider than the window.
    int total = 0;
    for (int c = 0; c < model_.Cols(); ++c) total += model_.ColWidth(c);
    const bool wide = total > int(ClientRect().right) || model_.LeftCol() > model_.FixedCols();
    SCROLLINFO sh{sizeof(sh), SIF_RANGE | SIF_PAGE | SIF_POS};
    sh.nMax = wide ? std::max(0, model_.Cols() - model_.FixedCols() - 1) : 0;
    sh.nPage = wide ? 1 : 2;
    sh.nPos = model_.LeftCol() - model_.FixedCols();
    ::SetScrollInfo(hwnd_, SB_HORZ, &sh, TRUE);
    Invalidate(false);
}

void CGridCtrl::Paint() {
    CPaintDC pdc(hwnd_);
    const RECT client = ClientRect();
    if (client.right <= 0 || client.bottom <= 0) return;
    CMemoryDC dc(pdc);
    CGdiObject<HBITMAP> bmp(::CreateCompatibleBitmap(pdc, client.right, client.bottom));
    CSelectObject keep_bmp(dc, bmp.Get());
    CSelectObject keep_font(dc, font_.Get());
    dc.FillSolidRect(client, ::GetSysColor(COLOR_APPWORKSPACE));
    ::SetBkMode(dc, TRANSPARENT);
    CGdiObject<HPEN> line(::CreatePen(PS_SOLID, 1, RGB(192, 192, 192)));
    CSelectObject keep_pen(dc, line.Get());
    const bool focused = ::GetFocus() == hwnd_ || (edit_ && ::GetFocus() == edit_);
    auto draw_row = [&](int row) {
        for (int col = 0; col < model_.Cols(); ++col) {
            RECT r = CellRect(row, col);
            if (r.left < 0 || r.left >= client.right) continue;
            const bool fixed = row < model_.FixedRows() || col < model_.FixedCols();
            const bool selected = !fixed && model_.IsSelected(row, col) &&
                                  !(row == model_.Row() && col == model_.Col());
            COLORREF back = fixed ? ::GetSysColor(COLOR_BTNFACE)
                                  : selected ? ::GetSysColor(COLOR_HIGHLIGHT) : RGB(255, 255, 255);
            dc.FillSolidRect(r, back);
            ::SetTextColor(dc, selected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(0, 0, 0));
            RECT t = r;
            t.left += 3;
            t.right -= 2;
            const std::string& text = model_.Text(row, col);
            ::DrawTextA(dc, text.c_str(), int(text.size()), &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
            ::MoveToEx(dc, r.left, r.bottom - 1, nullptr);
            ::LineTo(dc, r.right - 1, r.bottom - 1);
            ::LineTo(dc, r.right - 1, r.top - 1);
            if (fixed) dc.Draw3dRect(RECT{r.left, r.top, r.right - 1, r.bottom - 1}, RGB(255, 255, 255), RGB(128, 128, 128));
            if (!fixed && row == model_.Row() && col == model_.Col()) {
                RECT f{r.left + 1, r.top + 1, r.right - 2, r.bottom - 2};
                if (focused) ::DrawFocusRect(dc, &f);
                CGdiObject<HBRUSH> b(::CreateSolidBrush(RGB(0, 0, 0)));
                ::FrameRect(dc, &f, b);
            }
        }
    };
    for (int row = 0; row < model_.FixedRows() && row < model_.Rows(); ++row) draw_row(row);
    const int last = std::min(model_.Rows(), model_.TopRow() + ViewRows() + 1);
    for (int row = model_.TopRow(); row < last; ++row) draw_row(row);
    ::BitBlt(pdc, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

void CGridCtrl::AfterMove() {
    const RECT r = ClientRect();
    model_.EnsureVisible(ViewRows(), r.right);
    Refresh();
}

bool CGridCtrl::Notify(UINT code, int row, int col, const char* text) {
    NMGRID n{};
    n.hdr.hwndFrom = hwnd_;
    n.hdr.idFrom = UINT_PTR(::GetDlgCtrlID(hwnd_));
    n.hdr.code = code;
    n.row = row;
    n.col = col;
    n.text = text;
    ::SendMessageA(::GetParent(hwnd_), WM_NOTIFY, n.hdr.idFrom, LPARAM(&n));
    return !n.cancel;
}

void CGridCtrl::StartEdit(const std::string* first_char) {
    if (edit_) EndEdit(true);
    const int row = model_.Row(), col = model_.Col();
    if (row < model_.FixedRows() || col < model_.FixedCols() || row >= model_.Rows()) return;
    if (!Notify(GRN_BEFOREEDIT, row, col, model_.Text(row, col).c_str())) return;
    AfterMove();
    const RECT r = CellRect(row, col);
    edit_ = ::CreateWindowExA(0, "EDIT", first_char ? first_char->c_str() : model_.Text(row, col).c_str(),
                              WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, hwnd_, HMENU(INT_PTR(kEditId)), ::GetModuleHandleA(nullptr), nullptr);
    if (!edit_) return;
    edit_row_ = row;
    edit_col_ = col;
    ::SendMessageA(edit_, WM_SETFONT, WPARAM(font_.Get()), TRUE);
    ::SendMessageA(edit_, EM_LIMITTEXT, 259, 0);
    ::SetWindowSubclass(edit_, &CGridCtrl::EditProc, 1, DWORD_PTR(this));
    ::SetFocus(edit_);
    const int len = int(::GetWindowTextLengthA(edit_));
    ::SendMessageA(edit_, EM_SETSEL, first_char ? len : 0, len);
}

void CGridCtrl::EndEdit(bool commit) {
    if (!edit_ || ending_edit_) return;
    ending_edit_ = true;
    HWND edit = edit_;
    edit_ = nullptr;
    if (commit) {
        const int n = ::GetWindowTextLengthA(edit);
        std::string text(std::size_t(n) + 1, '\0');
        ::GetWindowTextA(edit, &text[0], n + 1);
        text.resize(std::size_t(n));
        if (Notify(GRN_AFTEREDIT, edit_row_, edit_col_, text.c_str()) && edit_row_ < model_.Rows())
            model_.SetText(edit_row_, edit_col_, text);
    }
    const bool had_focus = ::GetFocus() == edit;
    ::RemoveWindowSubclass(edit, &CGridCtrl::EditProc, 1);
    ::DestroyWindow(edit);
    if (had_focus) ::SetFocus(hwnd_);
    ending_edit_ = false;
    Invalidate(false);
}

LRESULT CALLBACK CGridCtrl::EditProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<CGridCtrl*>(ref);
    switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | ::DefSubclassProc(hwnd, msg, w, l);
    case WM_KEYDOWN:
        if (w == VK_RETURN || w == VK_TAB) {
            self->EndEdit(true);
            return 0;
        }
        if (w == VK_ESCAPE) {
            self->EndEdit(false);
            return 0;
        }
        if (w == VK_UP || w == VK_DOWN) {
            self->EndEdit(true);
            self->OnKey(w);
            return 0;
        }
        break;
    case WM_CHAR:
        if (w == '\r' || w == '\t' || w == 27) return 0;
        break;
    case WM_KILLFOCUS: {
        LRESULT r = ::DefSubclassProc(hwnd, msg, w, l);
        self->EndEdit(true);
        return r;
    }
    }
    return ::DefSubclassProc(hwnd, msg, w, l);
}

bool CGridCtrl::OnCommand(int, int, HWND) { return false; }

bool CGridCtrl::OnKey(WPARAM key) {
    const bool shift = ::GetKeyState(VK_SHIFT) < 0, ctrl = ::GetKeyState(VK_CONTROL) < 0;
    GridNav nav;
    switch (key) {
    case VK_LEFT: nav = GridNav::kLeft; break;
    case VK_RIGHT: nav = GridNav::kRight; break;
    case VK_UP: nav = GridNav::kUp; break;
    case VK_DOWN: nav = GridNav::kDown; break;
    case VK_HOME: nav = ctrl ? GridNav::kFirst : GridNav::kHome; break;
    case VK_END: nav = ctrl ? GridNav::kLast : GridNav::kEnd; break;
    case VK_PRIOR: nav = GridNav::kPageUp; break;
    case VK_NEXT: nav = GridNav::kPageDown; break;
    case VK_F2: case VK_RETURN: StartEdit(); return true;
    default: return false;
    }
    model_.Navigate(nav, shift, ViewRows());
    AfterMove();
    return true;
}

void CGridCtrl::Scroll(int bar, int code) {
    SCROLLINFO si;
    int pos = 0;
    if (!ScrollRequest(hwnd_, bar, code, si, pos)) return;
    const int page = std::max<int>(1, int(si.nPage));
    if (edit_) EndEdit(true);
    if (bar == SB_VERT) model_.SetTopRow(model_.FixedRows() + std::max(0, std::min(pos, si.nMax - page + 1)));
    else model_.SetLeftCol(model_.FixedCols() + std::max(0, pos));
    Refresh();
}

int CGridCtrl::DividerAt(int x, int y) const {
    if (y >= model_.FixedRows() * row_h_) return -1;
    for (int c = 0; c < model_.Cols(); ++c) {
        const int cx = model_.ColX(c);
        if (cx < 0) continue;
        const int right = cx + model_.ColWidth(c);
        if (x >= right - kGrip && x <= right + kGrip) return c;
    }
    return -1;
}

LRESULT CGridCtrl::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    const int cell_row = int(LOWORD(w)), cell_col = int(HIWORD(w));
    switch (msg) {
    case GRM_SETSIZE: if (edit_) EndEdit(false); model_.SetSize(int(w), int(l)); Refresh(); return 0;
    case GRM_GETROWS: return model_.Rows();
    case GRM_GETCOLS: return model_.Cols();
    case GRM_SETFIXED: model_.SetFixed(int(w), int(l)); Refresh(); return 0;
    case GRM_GETFIXEDROWS: return model_.FixedRows();
    case GRM_GETFIXEDCOLS: return model_.FixedCols();
    case GRM_SETCURSOR: if (edit_) EndEdit(true); model_.SetCursor(int(w), int(l)); AfterMove(); return 0;
    case GRM_EXTENDTO: model_.ExtendTo(int(w), int(l)); AfterMove(); return 0;
    case GRM_GETROW: return model_.Row();
    case GRM_GETCOL: return model_.Col();
    case GRM_GETSELSTARTROW: return model_.SelStartRow();
    case GRM_GETSELENDROW: return model_.SelEndRow();
    case GRM_SETTEXT: model_.SetText(cell_row, cell_col, l ? reinterpret_cast<const char*>(l) : ""); Invalidate(false); return 0;
    case GRM_GETTEXTLENGTH: return LRESULT(model_.Text(cell_row, cell_col).size());
    case GRM_GETTEXT: {
        const std::string& t = model_.Text(cell_row, cell_col);
        if (l) std::memcpy(reinterpret_cast<char*>(l), t.c_str(), t.size() + 1);
        return LRESULT(t.size());
    }
    case GRM_SETCOLWIDTH: model_.SetColWidth(int(w), int(l)); Refresh(); return 0;
    case GRM_GETCOLWIDTH: return model_.ColWidth(int(w));
    case GRM_SETROWDATA: model_.SetRowData(int(w), std::intptr_t(l)); return 0;
    case GRM_GETROWDATA: return LRESULT(model_.RowData(int(w)));
    case GRM_SETCOLDATA: model_.SetColData(int(w), std::intptr_t(l)); return 0;
    case GRM_GETCOLDATA: return LRESULT(model_.ColData(int(w)));
    case GRM_EDITCELL: StartEdit(); return 0;
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: Refresh(); break;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS: case WM_KILLFOCUS: Invalidate(false); break;
    case WM_KEYDOWN:
        if (OnKey(w)) return 0;
        break;
    case WM_CHAR:
        if (w >= 32 && ::GetKeyState(VK_CONTROL) >= 0) {
            const std::string first(1, char(w));
            StartEdit(&first);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN: {
        if (edit_) EndEdit(true);
        ::SetFocus(hwnd_);
        const int x = short(LOWORD(l)), y = short(HIWORD(l));
        sizing_col_ = DividerAt(x, y);
        ::SetCapture(hwnd_);
        if (sizing_col_ >= 0) {
            sizing_x_ = x - model_.ColWidth(sizing_col_);
            return 0;
        }
        int row = 0, col = 0;
        if (model_.HitTest(x, y, row_h_, row, col)) {
            if (::GetKeyState(VK_SHIFT) < 0) model_.ExtendTo(row, col);
            else model_.SetCursor(row, col);
            dragging_ = true;
            AfterMove();
            Notify(GRN_CLICK, row, col, nullptr);
        }
        return 0;
    }
    case WM_MOUSEMOVE: {
        const int x = short(LOWORD(l)), y = short(HIWORD(l));
        const bool held = (w & MK_LBUTTON) != 0;
        if (held && sizing_col_ >= 0) {
            model_.SetColWidth(sizing_col_, std::max(8, x - sizing_x_));
            Invalidate(false);
        } else if (held && dragging_) {
            const RECT r = ClientRect();
            int row = 0, col = 0;
            const int cx = std::max(0, std::min(x, int(r.right) - 1));
            if (y >= r.bottom) model_.SetTopRow(model_.TopRow() + 1);
            if (y < model_.FixedRows() * row_h_ && model_.TopRow() > model_.FixedRows())
                model_.SetTopRow(model_.TopRow() - 1);
            const int cy = std::max(model_.FixedRows() * row_h_, std::min(y, int(r.bottom) - 1));
            if (model_.HitTest(cx, cy, row_h_, row, col)) model_.ExtendTo(row, col);
            Refresh();
        }
        if (DividerAt(x, y) >= 0 || sizing_col_ >= 0) ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
        return 0;
    }
    case WM_LBUTTONUP:
        if (::GetCapture() == hwnd_) ::ReleaseCapture();
        if (sizing_col_ >= 0) Notify(GRN_COLWIDTH, 0, sizing_col_, nullptr);
        sizing_col_ = -1;
        dragging_ = false;
        return 0;
    case WM_LBUTTONDBLCLK: {
        int row = 0, col = 0;
        if (DividerAt(short(LOWORD(l)), short(HIWORD(l))) < 0 &&
            model_.HitTest(short(LOWORD(l)), short(HIWORD(l)), row_h_, row, col) && row == model_.Row() && col == model_.Col())
            StartEdit();
        return 0;
    }
    case WM_RBUTTONUP: {
        // The parent opens its context menu (NM_RCLICK, as list views tell it).
        NMHDR h{hwnd_, UINT_PTR(::GetDlgCtrlID(hwnd_)), UINT(NM_RCLICK)};
        ::SendMessageA(::GetParent(hwnd_), WM_NOTIFY, h.idFrom, LPARAM(&h));
        return 0;
    }
    case WM_VSCROLL: Scroll(SB_VERT, LOWORD(w)); return 0;
    case WM_HSCROLL: Scroll(SB_HORZ, LOWORD(w)); return 0;
    case WM_MOUSEWHEEL: {
        const int steps = short(HIWORD(w)) / WHEEL_DELTA * 3;
        model_.SetTopRow(model_.TopRow() - steps);
        Refresh();
        return 0;
    }
    }
    return CWnd::HandleMessage(msg, w, l);
}

}  // namespace qp
