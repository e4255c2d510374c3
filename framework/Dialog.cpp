// The dialog base and its procedure.
#include "framework/Dialog.h"

#include "framework/DialogTemplate.h"

namespace qp {

CDialog::~CDialog() {
    if (hwnd_ && ::IsWindow(hwnd_)) {
        HWND h = hwnd_;
        ::SetWindowLongPtrA(h, DWLP_USER, 0);
        Detach();
        ::DestroyWindow(h);
    }
}

INT_PTR CDialog::DoModal(HWND parent) {
    if (hwnd_) return -1;
    modal_ = true;
    INT_PTR r;
    if (template_)
        r = ::DialogBoxIndirectParamA(instance_, template_->Get(), parent, &CDialog::DialogProc,
                                      reinterpret_cast<LPARAM>(this));
    else
        r = ::DialogBoxParamA(instance_, MAKEINTRESOURCEA(resource_id_), parent, &CDialog::DialogProc,
                              reinterpret_cast<LPARAM>(this));
    modal_ = false;
    Detach();
    return r;
}

bool CDialog::Create(HWND parent) {
    if (hwnd_) return false;
    modal_ = false;
    HWND h;
    if (template_)
        h = ::CreateDialogIndirectParamA(instance_, template_->Get(), parent, &CDialog::DialogProc,
                                         reinterpret_cast<LPARAM>(this));
    else
        h = ::CreateDialogParamA(instance_, MAKEINTRESOURCEA(resource_id_), parent, &CDialog::DialogProc,
                                 reinterpret_cast<LPARAM>(this));
    return h != nullptr;
}

void CDialog::EndDialog(INT_PTR result) {
    if (modal_)
        ::EndDialog(hwnd_, result);
    else
        Destroy();  // OnDestroy runs as for any other way the window goes
}

bool CDialog::UpdateData(bool save) {
    if (!hwnd_) return false;
    CDataExchange dx(hwnd_, save);
    DoDataExchange(dx);
    return true;
}

void CDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInit() ? TRUE : FALSE;
    case WM_COMMAND:
        if (HIWORD(w) == BN_CLICKED && LOWORD(w) == IDOK) {
            OnOK();
            return 0;
        }
        if (HIWORD(w) == BN_CLICKED && LOWORD(w) == IDCANCEL) {
            OnCancel();
            return 0;
        }
        break;
    }
    return CWnd::HandleMessage(msg, w, l);
}

LRESULT CDialog::Default(UINT, WPARAM, LPARAM) {
    unhandled_ = true;
    return 0;
}

// Messages whose answer is the procedure's return value rather than DWLP_MSGRESULT.
static bool ReturnsDirectly(UINT msg) {
    switch (msg) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON:
        return true;
    }
    return false;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    CDialog* self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!self && msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(l);
        if (self) Attach(hwnd, self, DWLP_USER);
    }
    return self ? Route(self, hwnd, msg, w, l) : FALSE;
}

INT_PTR CDialog::Route(CDialog* self, HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    // Handlers send messages to their own dialog, so the flag is kept per call.
    const bool outer_unhandled = self->unhandled_;
    self->unhandled_ = false;
    LRESULT result = 0;
    bool handled = true;
    if (msg == WM_DESTROY && self->destroy_seen_) {
        handled = false;
    } else {
        if (msg == WM_DESTROY) self->destroy_seen_ = true;
        try {
            result = self->HandleMessage(msg, w, l);
            handled = !self->unhandled_;
        } catch (...) {
            ::OutputDebugStringA("qp: exception stopped in a dialog procedure\n");
            result = 0;
            handled = msg != WM_INITDIALOG;
        }
    }
    self->unhandled_ = outer_unhandled;

    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->Detach();
        return FALSE;
    }
    if (!handled) return FALSE;
    if (ReturnsDirectly(msg)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace qp
