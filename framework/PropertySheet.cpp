// Property pages: attached from the PROPSHEETPAGE of their first message, then routed like any
// dialog; PSN_* notifications become virtual calls.
#include "framework/PropertySheet.h"

#include "framework/DialogTemplate.h"

namespace qp {

PROPSHEETPAGEA CPropertyPage::Page() {
    PROPSHEETPAGEA p{};
    p.dwSize = sizeof(p);
    p.hInstance = Instance();
    if (Template()) {
        p.dwFlags = PSP_DLGINDIRECT;
        p.pResource = Template()->Get();
    } else {
        p.pszTemplate = MAKEINTRESOURCEA(ResourceId());
    }
    p.pfnDlgProc = &CPropertyPage::PageProc;
    p.lParam = reinterpret_cast<LPARAM>(this);
    return p;
}

LRESULT CPropertyPage::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_NOTIFY) {
        const NMHDR* h = reinterpret_cast<const NMHDR*>(l);
        switch (h->code) {
        case PSN_SETACTIVE:
            return OnSetActive() ? 0 : -1;
        case PSN_KILLACTIVE:
            return OnKillActive() ? FALSE : TRUE;
        case PSN_APPLY:
            OnApply();
            return PSNRET_NOERROR;
        }
    }
    return CDialog::HandleMessage(msg, w, l);
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    CDialog* self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!self && msg == WM_INITDIALOG) {
        const PROPSHEETPAGEA* page = reinterpret_cast<const PROPSHEETPAGEA*>(l);
        self = page ? reinterpret_cast<CPropertyPage*>(page->lParam) : nullptr;
        if (self) Attach(hwnd, self, DWLP_USER);
    }
    return self ? Route(self, hwnd, msg, w, l) : FALSE;
}

INT_PTR CPropertySheet::DoModal(HWND parent, HINSTANCE instance) {
    if (pages_.empty()) return -1;
    std::vector<PROPSHEETPAGEA> pages;
    for (CPropertyPage* p : pages_) pages.push_back(p->Page());
    PROPSHEETHEADERA h{};
    h.dwSize = sizeof(h);
    h.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    h.hwndParent = parent;
    h.hInstance = instance;
    h.pszCaption = caption_.c_str();
    h.nPages = UINT(pages.size());
    h.ppsp = pages.data();
    const INT_PTR r = ::PropertySheetA(&h);
    if (r < 0) return -1;
    return r > 0 ? IDOK : IDCANCEL;
}

}  // namespace qp
