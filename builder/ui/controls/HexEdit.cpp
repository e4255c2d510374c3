// The "HEX" window: painting the rows of the buffer in a fixed-pitch font, the caret, keys,
// mouse selection with scrolling while dragging, the context menu and the clipboard.
#include "builder/ui/controls/HexEdit.h"

#include <algorithm>
#include <cstring>

#include "builder/ui/res/editors_ids.h"
#include "framework/Scroll.h"

namespace qp {

UINT CHexEditCtrl::clip_format_ = 0;

namespace {
constexpr UINT kCut = 57635, kCopy = 57634, kPaste = 57637, kSelectAll = 57642;
constexpr UINT_PTR kDragTimer = 1;

struct Named {
    const char* name;
    HexProperty id;
};
const Named kNames[] = {{"ShowAddress", kHexShowAddress},         {"ShowAscii", kHexShowAscii},
                        {"AllowChangeSize", kHexAllowChangeSize}, {"DataModified", kHexDataModified},
                        {"DigitsInAddress", kHexDigitsInAddress}, {"DigitsInData", kHexDigitsInData},
                        {"Columns", kHexColumns},                 {"FontHeight", kHexFontHeight}};
}  // namespace

bool CHexEditCtrl::Register(HINSTANCE instance) {
    static bool done = false;
    if (done) return true;
    clip_format_ = ::RegisterClipboardFormatA("BinaryData");
    done = RegisterControlClass(instance, "HEX", [] { return new CHexEditCtrl; });
    return done;
}

CHexEditCtrl* CHexEditCtrl::Of(HWND hwnd) { return dynamic_cast<CHexEditCtrl*>(CWnd::FromHandle(hwnd)); }

bool CHexEditCtrl::SetProperty(const std::string& name, long value) {
    for (const Named& n : kNames)
        if (name == n.name) return SetProperty(WPARAM(n.id), LPARAM(value));
    return false;
}

long CHexEditCtrl::GetProperty(const std::string& name) const {
    for (const Named& n : kNames)
        if (name == n.name) return long(GetProperty(WPARAM(n.id)));
    return 0;
}

std::uint32_t CHexEditCtrl::SetData(const HexDataArg& data, std::uint32_t base_address) {
    const std::uint32_t result = buffer_.SetData(data, base_address);
    if (result == kHexOk) {
        top_row_ = left_cell_ = 0;
        Relayout();
    }
    return result;
}

bool CHexEditCtrl::SetProperty(WPARAM id, LPARAM value) {
    bool taken = true;
    switch (id) {
    case kHexShowAddress: buffer_.show_address = value != 0; break;
    case kHexShowAscii: buffer_.SetShowAscii(value != 0); break;
    case kHexAllowChangeSize: buffer_.allow_change_size = value != 0; break;
    case kHexDataModified: buffer_.data_modified = value != 0; break;
    case kHexDigitsInAddress: taken = buffer_.SetDigitsInAddress(int(value)); break;
    case kHexDigitsInData: taken = buffer_.SetDigitsInData(int(value)); break;
    case kHexColumns: taken = buffer_.SetColumns(int(value)); break;
    case kHexFontHeight: taken = buffer_.SetFontHeight(int(value)); break;
    case kHexInsertMode: buffer_.insert_mode = value != 0; break;
    default: return false;
    }
    if (taken && id != kHexDataModified && id != kHexAllowChangeSize) Relayout();
    return taken;
}

LPARAM CHexEditCtrl::GetProperty(WPARAM id) const {
    switch (id) {
    case kHexShowAddress: return buffer_.show_address;
    case kHexShowAscii: return buffer_.ShowAscii();
    case kHexAllowChangeSize: return buffer_.allow_change_size;
    case kHexDataModified: return buffer_.data_modified;
    case kHexDigitsInAddress: return buffer_.DigitsInAddress();
    case kHexDigitsInData: return buffer_.DigitsInData();
    case kHexColumns: return buffer_.Columns();
    case kHexFontHeight: return buffer_.FontHeight();
    case kHexInsertMode: return buffer_.insert_mode;
    }
    return 0;
}

bool CHexEditCtrl::OnCreate() {
    Relayout();
    return true;
}

void CHexEditCtrl::Relayout() {
    if (!hwnd_) return;
    font_.Reset(::CreateFontA(-buffer_.FontHeight(), 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New"));
    CClientDC dc(hwnd_);
    CSelectObject keep(dc, font_.Get() ? HGDIOBJ(font_.Get()) : ::GetStockObject(ANSI_FIXED_FONT));
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    char_w_ = std::max<int>(1, tm.tmAveCharWidth);
    line_h_ = std::max<int>(1, tm.tmHeight);
    const RECT r = ClientRect();
    const int rows = buffer_.RowCount();
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL};
    si.nMax = rows - 1;
    si.nPage = UINT(std::max(1, PageRows()));
    top_row_ = std::max(0, std::min(top_row_, rows - int(si.nPage)));
    si.nPos = top_row_;
    ::SetScrollInfo(hwnd_, SB_VERT, &si, TRUE);
    const int width_cells = buffer_.RowWidth();
    const int view_cells = std::max(1, int(r.right) / char_w_);
    SCROLLINFO sh{sizeof(sh), SIF_RANGE | SIF_PAGE | SIF_POS};
    sh.nMax = width_cells - 1;
    sh.nPage = UINT(view_cells);
    left_cell_ = std::max(0, std::min(left_cell_, width_cells - view_cells));
    sh.nPos = left_cell_;
    ::SetScrollInfo(hwnd_, SB_HORZ, &sh, TRUE);
    PlaceCaret();
    Invalidate();
}

int CHexEditCtrl::PageRows() const {
    const RECT r = ClientRect();
    return std::max(1, int(r.bottom) / std::max(1, line_h_));
}

void CHexEditCtrl::Paint() {
    CPaintDC dc(hwnd_);
    const RECT client = ClientRect();
    dc.FillSolidRect(client, RGB(255, 255, 255));
    CSelectObject keep(dc, font_.Get() ? HGDIOBJ(font_.Get()) : ::GetStockObject(ANSI_FIXED_FONT));
    ::SetBkMode(dc, OPAQUE);
    const int x0 = -left_cell_ * char_w_;
    const int rows = std::min(buffer_.RowCount() - top_row_, PageRows() + 1);
    const int unit_cells = buffer_.DigitsInData();
    for (int i = 0; i < rows; ++i) {
        const int row = top_row_ + i;
        const std::string text = buffer_.RowText(row);
        const int y = i * line_h_;
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, RGB(255, 255, 255));
        ::TextOutA(dc, x0, y, text.c_str(), int(text.size()));
        // Selected units over it in the highlight colours, in both areas.
        ::SetTextColor(dc, ::GetSysColor(COLOR_HIGHLIGHTTEXT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_HIGHLIGHT));
        for (int c = 0; c < buffer_.Columns(); ++c) {
            const int unit = row * buffer_.Columns() + c;
            if (unit >= buffer_.UnitCount() || !buffer_.IsSelected(unit)) continue;
            const int hx = buffer_.HexCell(c);
            ::TextOutA(dc, x0 + hx * char_w_, y, text.c_str() + hx, unit_cells);
            if (buffer_.AsciiShown()) {
                const int ax = buffer_.AsciiCell(c);
                ::TextOutA(dc, x0 + ax * char_w_, y, text.c_str() + ax, 1);
            }
        }
    }
}

void CHexEditCtrl::PlaceCaret() {
    if (!has_focus_) return;
    const int unit = buffer_.CaretUnit();
    const int row = unit / buffer_.Columns(), col = unit % buffer_.Columns();
    const int cell = buffer_.CaretInAscii() ? buffer_.AsciiCell(col) : buffer_.HexCell(col) + buffer_.CaretDigit();
    ::SetCaretPos((cell - left_cell_) * char_w_, (row - top_row_) * line_h_);
}

void CHexEditCtrl::EnsureCaretVisible() {
    const int row = buffer_.CaretUnit() / buffer_.Columns();
    const int col = buffer_.CaretUnit() % buffer_.Columns();
    const int page = PageRows();
    int top = top_row_;
    if (row < top) top = row;
    if (row >= top + page) top = row - page + 1;
    const int cell = buffer_.CaretInAscii() ? buffer_.AsciiCell(col) : buffer_.HexCell(col) + buffer_.CaretDigit();
    const int view = std::max(1, int(ClientRect().right) / char_w_);
    int left = left_cell_;
    if (cell < left) left = cell;
    if (cell >= left + view) left = cell - view + 1;
    if (top != top_row_ || left != left_cell_) {
        top_row_ = top;
        left_cell_ = left;
        Relayout();
    }
}

void CHexEditCtrl::Changed() {
    EnsureCaretVisible();
    Relayout();
    // The dialog may want to know (EN_CHANGE, as an edit control tells it).
    ::SendMessageA(::GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(hwnd_), EN_CHANGE), LPARAM(hwnd_));
}

bool CHexEditCtrl::OnKey(WPARAM key) {
    const bool shift = ::GetKeyState(VK_SHIFT) < 0, ctrl = ::GetKeyState(VK_CONTROL) < 0;
    HexKey move;
    switch (key) {
    case VK_LEFT: move = HexKey::kLeft; break;
    case VK_RIGHT: move = HexKey::kRight; break;
    case VK_UP: move = HexKey::kUp; break;
    case VK_DOWN: move = HexKey::kDown; break;
    case VK_HOME: move = ctrl ? HexKey::kCtrlHome : HexKey::kHome; break;
    case VK_END: move = ctrl ? HexKey::kCtrlEnd : HexKey::kEnd; break;
    case VK_PRIOR: move = HexKey::kPageUp; break;
    case VK_NEXT: move = HexKey::kPageDown; break;
    case VK_TAB:
        if (ctrl) {
            if (buffer_.SwitchArea()) Changed();
        } else {
            ::SendMessageA(::GetParent(hwnd_), WM_NEXTDLGCTL, shift ? 1 : 0, 0);
        }
        return true;
    case VK_INSERT:
        if (ctrl) CopyToClipboard();
        else if (shift) PasteFromClipboard();
        else buffer_.insert_mode = !buffer_.insert_mode;
        return true;
    case VK_DELETE:
        if (shift) OnMenu(kCut);
        else if (buffer_.DeleteKey(false)) Changed();
        return true;
    case VK_BACK:
        if (buffer_.DeleteKey(true)) Changed();
        return true;
    case 'A': if (ctrl) OnMenu(kSelectAll); return ctrl;
    case 'C': if (ctrl) CopyToClipboard(); return ctrl;
    case 'V': if (ctrl) PasteFromClipboard(); return ctrl;
    case 'X': if (ctrl) OnMenu(kCut); return ctrl;
    default: return false;
    }
    buffer_.Move(move, shift, PageRows());
    EnsureCaretVisible();
    PlaceCaret();
    Invalidate(false);
    return true;
}

void CHexEditCtrl::OnMouse(LPARAM l, bool extend) {
    const int x = short(LOWORD(l)), y = short(HIWORD(l));
    const int row = top_row_ + (y < 0 ? -1 : y / line_h_);
    const int cell = left_cell_ + (x < 0 ? -1 : x / char_w_);
    int unit = 0, digit = 0;
    bool ascii = false;
    if (!buffer_.HitTest(std::max(0, std::min(row, buffer_.RowCount() - 1)), std::max(0, cell), unit, digit, ascii)) {
        if (!extend) return;
        // Beside the units while dragging: the row's first or last unit.
        const int r = std::max(0, std::min(row, buffer_.RowCount() - 1));
        unit = std::min(buffer_.UnitCount(), r * buffer_.Columns() + (cell < buffer_.HexCell(0) ? 0 : buffer_.Columns() - 1));
        ascii = buffer_.CaretInAscii();
    }
    buffer_.PlaceCaret(unit, digit, ascii, extend);
    EnsureCaretVisible();
    PlaceCaret();
    Invalidate(false);
}

void CHexEditCtrl::Scroll(int bar, int code) {
    SCROLLINFO si;
    int pos = 0;
    if (!ScrollRequest(hwnd_, bar, code, si, pos)) return;
    if (bar == SB_VERT) top_row_ = std::max(0, pos);
    else left_cell_ = std::max(0, pos);
    Relayout();
}

void CHexEditCtrl::CopyToClipboard() {
    const std::vector<std::uint8_t> bytes = buffer_.Copy();
    if (bytes.empty() || !::OpenClipboard(hwnd_)) return;
    ::EmptyClipboard();
    if (HGLOBAL bin = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 4)) {
        auto* p = static_cast<std::uint8_t*>(::GlobalLock(bin));
        const std::uint32_t n = std::uint32_t(bytes.size());
        std::memcpy(p, &n, 4);
        std::memcpy(p + 4, bytes.data(), bytes.size());
        ::GlobalUnlock(bin);
        if (!::SetClipboardData(clip_format_, bin)) ::GlobalFree(bin);
    }
    if (HGLOBAL text = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1)) {
        auto* p = static_cast<std::uint8_t*>(::GlobalLock(text));
        std::memcpy(p, bytes.data(), bytes.size());
        p[bytes.size()] = 0;
        ::GlobalUnlock(text);
        if (!::SetClipboardData(CF_TEXT, text)) ::GlobalFree(text);
    }
    ::CloseClipboard();
}

void CHexEditCtrl::PasteFromClipboard() {
    if (!::OpenClipboard(hwnd_)) return;
    std::vector<std::uint8_t> bytes;
    if (HGLOBAL bin = ::GetClipboardData(clip_format_)) {
        const SIZE_T size = ::GlobalSize(bin);
        if (const auto* p = static_cast<const std::uint8_t*>(::GlobalLock(bin))) {
            std::uint32_t n = 0;
            if (size >= 4) std::memcpy(&n, p, 4);
            // The count is trusted only as far as the block goes.
            if (size >= 4 && n <= size - 4) bytes.assign(p + 4, p + 4 + n);
            ::GlobalUnlock(bin);
        }
    } else if (HGLOBAL text = ::GetClipboardData(CF_TEXT)) {
        const SIZE_T size = ::GlobalSize(text);
        if (const auto* p = static_cast<const std::uint8_t*>(::GlobalLock(text))) {
            if (size > 0) bytes.assign(p, p + size - 1);
            ::GlobalUnlock(text);
        }
    }
    ::CloseClipboard();
    if (bytes.empty()) return;
    buffer_.Paste(bytes);
    Changed();
}

void CHexEditCtrl::ShowMenu(POINT screen) {
    HMENU menu = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_HEX_POPUP));
    if (!menu) return;
    HMENU popup = ::GetSubMenu(menu, 0);
    const bool resize = buffer_.insert_mode || buffer_.allow_change_size;
    ::EnableMenuItem(popup, kCut, MF_BYCOMMAND | (buffer_.HasSelection() && resize ? MF_ENABLED : MF_GRAYED));
    ::EnableMenuItem(popup, kCopy, MF_BYCOMMAND | (buffer_.HasSelection() ? MF_ENABLED : MF_GRAYED));
    const UINT id = UINT(::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, hwnd_, nullptr));
    ::DestroyMenu(menu);
    if (id) OnMenu(id);
}

void CHexEditCtrl::OnMenu(UINT id) {
    switch (id) {
    case kCopy: CopyToClipboard(); break;
    case kCut:
        if ((buffer_.insert_mode || buffer_.allow_change_size) && buffer_.HasSelection()) {
            CopyToClipboard();
            std::vector<std::uint8_t> gone;
            buffer_.Cut(gone);
            Changed();
        }
        break;
    case kPaste: PasteFromClipboard(); break;
    case kSelectAll:
        buffer_.SelectAll();
        EnsureCaretVisible();
        PlaceCaret();
        Invalidate(false);
        break;
    }
}

LRESULT CHexEditCtrl::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case HEXM_SETDATA: return LRESULT(SetData(*reinterpret_cast<const HexDataArg*>(l), std::uint32_t(w)));
    case HEXM_SETPROPERTY: return SetProperty(w, l) ? 1 : 0;
    case HEXM_GETPROPERTY: return GetProperty(w);
    case HEXM_GETDATA: {
        const auto& d = buffer_.Data();
        if (l) std::memcpy(reinterpret_cast<void*>(l), d.data(), std::min<std::size_t>(d.size(), std::size_t(w)));
        return LRESULT(d.size());
    }
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: Relayout(); break;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
    case WM_SETFOCUS:
        has_focus_ = true;
        ::CreateCaret(hwnd_, nullptr, 2, line_h_);
        PlaceCaret();
        ::ShowCaret(hwnd_);
        return 0;
    case WM_KILLFOCUS:
        has_focus_ = false;
        ::DestroyCaret();
        return 0;
    case WM_KEYDOWN:
        if (OnKey(w)) return 0;
        break;
    case WM_CHAR:
        if (w >= 32 && ::GetKeyState(VK_CONTROL) >= 0 && buffer_.Type(char(w))) {
            Changed();
            return 0;
        }
        if (w == '\t') return 0;
        break;
    case WM_LBUTTONDOWN:
        ::SetFocus(hwnd_);
        ::SetCapture(hwnd_);
        OnMouse(l, ::GetKeyState(VK_SHIFT) < 0);
        return 0;
    case WM_MOUSEMOVE:
        if (::GetCapture() == hwnd_) {
            OnMouse(l, true);
            const RECT r = ClientRect();
            const int y = short(HIWORD(l));
            if ((y < 0 || y >= r.bottom) && !timer_) timer_ = ::SetTimer(hwnd_, kDragTimer, 60, nullptr);
        }
        return 0;
    case WM_TIMER:
        if (w == kDragTimer) {
            POINT p;
            ::GetCursorPos(&p);
            ::ScreenToClient(hwnd_, &p);
            const RECT r = ClientRect();
            if (::GetCapture() != hwnd_ || (p.y >= 0 && p.y < r.bottom)) {
                ::KillTimer(hwnd_, kDragTimer);
                timer_ = 0;
            } else {
                // Keep scrolling a row at a time while the pointer stays outside.
                Scroll(SB_VERT, p.y < 0 ? SB_LINEUP : SB_LINEDOWN);
                OnMouse(MAKELPARAM(p.x, p.y < 0 ? 0 : r.bottom - 1), true);
            }
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (::GetCapture() == hwnd_) ::ReleaseCapture();
        if (timer_) ::KillTimer(hwnd_, kDragTimer);
        timer_ = 0;
        return 0;
    case WM_VSCROLL: Scroll(SB_VERT, LOWORD(w)); return 0;
    case WM_HSCROLL: Scroll(SB_HORZ, LOWORD(w)); return 0;
    case WM_MOUSEWHEEL:
        Scroll(SB_VERT, short(HIWORD(w)) > 0 ? SB_LINEUP : SB_LINEDOWN);
        return 0;
    case WM_CONTEXTMENU: {
        POINT p{short(LOWORD(l)), short(HIWORD(l))};
        if (l == -1) {
            // From the keyboard: five pixels inside the top-left corner.
            p = POINT{5, 5};
            ::ClientToScreen(hwnd_, &p);
        }
        ShowMenu(p);
        return 0;
    }
    }
    return CWnd::HandleMessage(msg, w, l);
}

}  // namespace qp
