// The wizard's page windows: building a page from its table, switching pages, the handler every
// page shares (header bitmaps, transparent titles, the engraved product name) and the buttons.
#include "setup/wizard/win/wizard_ui.h"

#include <commctrl.h>

#include "common/win/widen.h"
#include "setup/wizard/page_tables.h"
#include "setup/wizard/win/attach.h"
#include "setup/wizard/win/commoncontrols.h"
#include "setup/wizard/win/resources.h"

namespace qp::wiz {
namespace {

INT_PTR CALLBACK PageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    auto* wizard = DialogObject<Wizard*>(page, msg, lp);
    if (!wizard) return FALSE;
    try {
        return wizard->HandlePage(page, msg, wp, lp);
    } catch (...) {
        // Nothing may cross into the system's dialog code; the run ends as if aborted.
        wizard->State().abort = true;
        return FALSE;
    }
}

// Draws `bitmap` stretched over an owner-drawn button.
void DrawStretched(const DRAWITEMSTRUCT* di, HBITMAP bitmap) {
    if (!bitmap) return;
    BITMAP info{};
    GetObjectA(bitmap, sizeof(info), &info);
    CMemoryDC mem(di->hDC);
    CSelectObject select(mem, bitmap);
    RECT rc;
    GetClientRect(di->hwndItem, &rc);
    SetStretchBltMode(di->hDC, COLORONCOLOR);
    StretchBlt(di->hDC, 0, 0, rc.right, rc.bottom, mem, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
}

}  // namespace

Wizard::Wizard(WizardSetup setup)
    : setup_(std::move(setup)),
      header_bitmap_(LoadBitmapA(setup_.instance, MAKEINTRESOURCEA(IDB_HEADER))),
      side_bitmap_(LoadBitmapA(setup_.instance, MAKEINTRESOURCEA(IDB_SIDE))),
      engrave_cursor_(LoadCursorA(setup_.instance, MAKEINTRESOURCEA(IDC_ENGRAVE))) {}

Wizard::~Wizard() {
    Close();
    if (images_) DestroyImageList(images_);
}

std::string Wizard::Text(const char* key) const { return setup_.data->texts.Get(key); }

bool Wizard::Run(int show) {
    WizardState& s = State();
    if (!s.maintenance) {
        background_ = CreateWindowExA(
            0, "Setup", Text("TITLE_CAPTIONBAR").c_str(), WS_OVERLAPPEDWINDOW, 5, 5,
            GetSystemMetrics(SM_CXSCREEN) - 30, GetSystemMetrics(SM_CYSCREEN) - 30, nullptr,
            nullptr, setup_.instance, this);
        if (!background_) return false;
        HMENU menu = GetSystemMenu(background_, FALSE);
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, IDM_ABOUT, "About");
        ShowWindow(background_, show);
        UpdateWindow(background_);
    }
    SwitchTo(s.first_page);
    return true;
}

void Wizard::Close() {
    if (page_) {
        HWND old = page_;
        page_ = nullptr;
        DetachDialogObject(old);
        DestroyWindow(old);
    }
    if (background_) {
        HWND old = background_;
        background_ = nullptr;
        DetachWindowObject(old);
        DestroyWindow(old);
    }
    State().current_page = 0;
    State().end = true;
}

HWND Wizard::BuildPage(int number, HWND owner) {
    std::vector<ControlRecord> controls = PageControls(number);
    if (controls.empty()) return nullptr;
    std::vector<std::uint8_t> bytes =
        BuildTemplate(controls, [this](const std::string& key) { return Widen(Text(key.c_str())); });
    // The dialog manager wants the template DWORD-aligned; the vector's storage comes from
    // operator new, which aligns for every fundamental type.
    return CreateDialogIndirectParamA(setup_.instance, reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()),
                                      owner, PageProc, reinterpret_cast<LPARAM>(this));
}

void Wizard::SwitchTo(int n) {
    WizardState& s = State();
    HWND old = page_;
    RECT old_rect{};
    if (old) GetWindowRect(old, &old_rect);
    s.current_page = 0;

    HWND owner = background_;  // null in maintenance runs: the desktop
    HWND page = nullptr;
    int built = n;
    if ((n >= 1 && n <= 11) || n == kPageAddRemove || n == kPageUninstalling) {
        page = BuildPage(n, owner);
    } else if (n == kPageFinishRestart) {
        built = FinalPage(s.restart_needed);
        page = BuildPage(built, owner);
    }
    if (!page) {
        Close();
        return;
    }
    page_ = page;
    s.current_page = built;

    if (!bold_font_) {
        LOGFONTA lf{};
        HFONT base = reinterpret_cast<HFONT>(SendMessageA(page, WM_GETFONT, 0, 0));
        if (base && GetObjectA(base, sizeof(lf), &lf)) {
            lf.lfWeight = FW_BOLD;
            bold_font_.Reset(CreateFontIndirectA(&lf));
        }
    }
    if (bold_font_) SendDlgItemMessageA(page, kIdTitle, WM_SETFONT, (WPARAM)bold_font_.Get(), TRUE);
    if (n == s.first_page) EnableWindow(GetDlgItem(page, kIdBack), FALSE);

    RECT pr;
    GetWindowRect(page, &pr);
    int x, y;
    if (old) {
        x = old_rect.left;
        y = old_rect.top;
    } else {
        RECT wr;
        if (owner) GetWindowRect(owner, &wr);
        else GetWindowRect(GetDesktopWindow(), &wr);
        x = wr.left + ((wr.right - wr.left) - (pr.right - pr.left)) / 2;
        y = wr.top + ((wr.bottom - wr.top) - (pr.bottom - pr.top)) / 2;
    }
    SetWindowPos(page, HWND_TOP, x, y, 0, 0, SWP_NOSIZE);
    if (PageHandler handler = HandlerOf(built)) {
        PageEvent open{PageEvent::kOpen};
        handler(*this, page, open);
    }

    if (background_) {
        RECT rc;
        GetClientRect(background_, &rc);
        rc.top = rc.bottom - 200;
        InvalidateRect(background_, &rc, FALSE);
    }
    ShowWindow(page, SW_SHOW);
    BringWindowToTop(page);
    if (old) {
        ShowWindow(old, SW_HIDE);
        DetachDialogObject(old);
        DestroyWindow(old);
    }
    if (background_) UpdateWindow(background_);
}

bool Wizard::ConfirmCancel(HWND owner, bool component_page) {
    const bool disable = background_ && owner != background_;
    if (disable) EnableWindow(background_, FALSE);
    int answer = component_page
                     ? MessageBoxA(owner, "Abort ?", "Install", MB_YESNO)
                     : MessageBoxA(owner, "Abort Setup?", "Quillpack", MB_YESNO | MB_ICONQUESTION);
    if (disable) EnableWindow(background_, TRUE);
    if (answer == IDYES) State().abort = true;
    return answer == IDYES;
}

RECT Wizard::EngravingRect(HWND page) const {
    // At the end of the interior pages' short lower line; the exterior pages' white panel and
    // full-width line reach down to 185 and would cover half of it, so there it sits just below.
    RECT rc = IsInteriorPage(setup_.state->current_page) ? RECT{289, 181, 331, 190} : RECT{289, 186, 331, 195};
    MapDialogRect(page, &rc);
    return rc;
}

void Wizard::PaintEngraving(HWND page) {
    CPaintDC dc(page);
    RECT rc = EngravingRect(page);
    CSelectObject font(dc, reinterpret_cast<HFONT>(SendMessageA(page, WM_GETFONT, 0, 0)));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 255, 255));
    DrawTextA(dc, "Quillpacker", -1, &rc, DT_SINGLELINE | DT_LEFT | DT_VCENTER);
    OffsetRect(&rc, -1, -1);
    dc.SetTextColor(GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, "Quillpacker", -1, &rc, DT_SINGLELINE | DT_LEFT | DT_VCENTER);
}

bool Wizard::SharedHandler(HWND page, UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
    const int number = State().current_page;
    switch (msg) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lp));
        const bool transparent = id == kIdTitle || id == kIdComment ||
                                 (number == kPageFinishRestart &&
                                  (id == kIdRestartText || id == kIdRemoveDiskText || id == kIdRestartYes ||
                                   id == kIdRestartNo));
        if (!transparent) return false;
        SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
        if (number == kPageFinishRestart && id != kIdTitle && id != kIdComment) {
            // Radios and texts over the white panel: a white brush keeps them readable on
            // systems that draw buttons without honouring the hollow brush.
            result = reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
        } else {
            result = reinterpret_cast<INT_PTR>(GetStockObject(HOLLOW_BRUSH));
        }
        return true;
    }
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        if (di->CtlID == kIdHeaderBitmap) DrawStretched(di, header_bitmap_);
        else if (di->CtlID == kIdSideBitmap) DrawStretched(di, side_bitmap_);
        else return false;
        result = TRUE;
        return true;
    }
    case WM_PAINT:
        if (number == kPageWelcome || number == kPageFinishRestart) return false;
        PaintEngraving(page);
        result = TRUE;
        return true;
    case WM_SETCURSOR: {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(page, &pt);
        RECT rc = EngravingRect(page);
        if (!engrave_cursor_ || !PtInRect(&rc, pt)) return false;
        SetCursor(engrave_cursor_);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, TRUE);
        result = TRUE;
        return true;
    }
    default: return false;
    }
}

INT_PTR Wizard::HandlePage(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    INT_PTR result = FALSE;
    if (SharedHandler(page, msg, wp, lp, result)) return result;
    const int number = State().current_page;
    const PageHandler handler = HandlerOf(number);
    switch (msg) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wp);
        const int code = HIWORD(wp);
        if ((id == kIdNext || id == kIdBack || id == kIdCancel || id == IDOK) &&
            code == BN_CLICKED) {
            OnButton(page, id == IDOK ? kIdNext : id);
            return TRUE;
        }
        PageEvent command{PageEvent::kCommand, id, code};
        return handler && handler(*this, page, command) ? TRUE : FALSE;
    }
    case WM_NOTIFY: {
        PageEvent notify{PageEvent::kNotify};
        notify.hdr = reinterpret_cast<NMHDR*>(lp);
        if (!handler || !handler(*this, page, notify)) return FALSE;
        SetWindowLongPtrA(page, DWLP_MSGRESULT, notify.result);
        return TRUE;
    }
    case kStartMessage: {
        WizardState& s = State();
        s.abort = false;
        running_phase_ = true;
        if (number == kPageInstalling) {
            if (setup_.hooks.install) setup_.hooks.install(page);
        } else if (setup_.hooks.uninstall) {
            setup_.hooks.uninstall(page);
        }
        running_phase_ = false;
        if (s.end) return TRUE;  // the background window was closed meanwhile
        if (s.abort) Close();
        else SwitchTo(kPageReport);
        return TRUE;
    }
    default: return FALSE;
    }
}

int Wizard::NextPage(int page, int button_id) {
    const Button b = button_id == kIdNext ? Button::Next
                     : button_id == kIdBack ? Button::Back
                                            : Button::Cancel;
    const WizardState& s = *setup_.state;
    if (s.maintenance) return NextMaintenancePage(page, b, s.action);
    return NextNormalPage(SequenceOf(s, setup_.settings.page_mask(), Data().types), page, b);
}

void Wizard::OnButton(HWND page, int id) {
    WizardState& s = State();
    const int number = s.current_page;
    if (number == kPageInstalling || number == kPageUninstalling) {
        if (number == kPageInstalling && running_phase_ && (id == kIdNext || id == kIdCancel))
            ConfirmCancel(page, false);
        // The page leaves by itself when the engine returns; a removal cannot be interrupted.
        return;
    }
    if (number == kPageAddRemove) {
        if (id == kIdCancel) {
            Close();
            return;
        }
        if (id == kIdBack) return;
    }
    // Esc and Alt+F4 arrive as Cancel too, greyed or not.
    if (id == kIdCancel && !CancelAsksToAbort(number)) return;
    if (id == kIdCancel && number != kPageAddRemove) {
        if (!ConfirmCancel(page, number == kPageComponents)) return;
        Close();
        return;
    }
    if (PageHandler handler = HandlerOf(number)) {
        PageEvent leave{PageEvent::kLeave, id};
        handler(*this, page, leave);
        if (leave.stay) return;
    }
    if (number == kPageFinishRestart || number == kPageComplete) {
        Close();
        return;
    }
    SwitchTo(NextPage(number, id));
}

}  // namespace qp::wiz
