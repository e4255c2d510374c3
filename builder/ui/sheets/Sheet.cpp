// Pages laid out in code and the sheet that runs them as a property sheet or as a wizard.
#include "builder/ui/sheets/Sheet.h"

#include "builder/ui/sheets/Sheets.h"

namespace qp {

namespace {
constexpr DWORD kPageStyle = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_3DLOOK;

// The context-help button in the sheet's caption: the style goes into the sheet's own template
// before it is made (the template may be the extended kind).
int CALLBACK SheetCallback(HWND, UINT msg, LPARAM l) {
    if (msg == PSCB_PRECREATE && l) {
        WORD* words = reinterpret_cast<WORD*>(l);
        DWORD* style = words[1] == 0xFFFF ? reinterpret_cast<DWORD*>(words + 6) : reinterpret_cast<DWORD*>(words);
        *style |= DS_CONTEXTHELP;
    }
    return 0;
}
}  // namespace

CQpPage::CQpPage(HINSTANCE instance, const std::string& caption, short cx, short cy)
    : CPropertyPage(instance, tmpl_), tmpl_(caption, kPageStyle, 0, 0, cx, cy), caption_(caption) {}

void CQpPage::Label(const std::string& text, short x, short y, short cx, short cy) {
    tmpl_.AddControl("STATIC", -1, text, WS_VISIBLE | SS_LEFT, x, y, cx, cy);
}

void CQpPage::Group(const std::string& text, short x, short y, short cx, short cy) {
    tmpl_.AddControl("BUTTON", -1, text, WS_VISIBLE | BS_GROUPBOX, x, y, cx, cy);
}

void CQpPage::EditBox(int id, short x, short y, short cx, short cy, DWORD style) {
    tmpl_.AddControl("EDIT", id, "", WS_VISIBLE | WS_TABSTOP | WS_BORDER | style, x, y, cx, cy);
}

void CQpPage::CheckBox(int id, const std::string& text, short x, short y, short cx, short cy) {
    tmpl_.AddControl("BUTTON", id, text, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, x, y, cx, cy);
}

void CQpPage::Radio(int id, const std::string& text, bool first, short x, short y, short cx, short cy) {
    tmpl_.AddControl("BUTTON", id, text, WS_VISIBLE | BS_AUTORADIOBUTTON | (first ? WS_GROUP | WS_TABSTOP : 0), x, y,
                     cx, cy);
}

void CQpPage::PushButton(int id, const std::string& text, short x, short y, short cx, short cy) {
    tmpl_.AddControl("BUTTON", id, text, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x, y, cx, cy);
}

void CQpPage::Combo(int id, DWORD style, short x, short y, short cx, short cy) {
    tmpl_.AddControl("COMBOBOX", id, "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | style, x, y, cx, cy);
}

void CQpPage::Control(const char* cls, int id, DWORD style, short x, short y, short cx, short cy, DWORD ex) {
    tmpl_.AddControl(cls, id, "", WS_VISIBLE | style, x, y, cx, cy, ex);
}

void CQpPage::MarkChanged() {
    if (loading_) return;
    life_.Changed();
    if (hwnd_ && !(sheet_ && sheet_->IsWizard())) PropSheet_Changed(::GetParent(hwnd_), hwnd_);
}

void CQpPage::Commit() {
    if (!life_.ShouldApply()) return;
    Write();
    life_.Applied();
}

bool CQpPage::OnInit() {
    opened_ = true;
    life_.Opened();
    if (sheet_) sheet_->SetHandle(::GetParent(hwnd_));
    loading_ = true;
    Load();
    loading_ = false;
    return true;
}

bool CQpPage::OnCommand(int id, int code, HWND) {
    if (loading_) return false;
    if (OnControl(id, code)) MarkChanged();
    return false;
}

LRESULT CQpPage::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_NOTIFY) {
        const NMHDR* h = reinterpret_cast<const NMHDR*>(l);
        if (h->code == PSN_WIZFINISH) return sheet_ && !sheet_->Finish() ? TRUE : FALSE;
        if (h->code == PSN_APPLY && sheet_) sheet_->Accepted();
    }
    return CPropertyPage::HandleMessage(msg, w, l);
}

bool CQpPage::OnSetActive() {
    if (sheet_) sheet_->SetButtons(this);
    return true;
}

void CQpSheet::AddPage(CQpPage& page) {
    page.SetSheet(this);
    pages_.push_back(&page);
}

void CQpSheet::SetButtons(const CQpPage* page) {
    if (!wizard_ || !hwnd_) return;
    std::size_t i = 0;
    while (i < pages_.size() && pages_[i] != page) ++i;
    DWORD flags = 0;
    if (i > 0) flags |= PSWIZB_BACK;
    flags |= i + 1 >= pages_.size() ? PSWIZB_FINISH : PSWIZB_NEXT;
    PropSheet_SetWizButtons(hwnd_, flags);
}

bool CQpSheet::Finish() {
    if (on_finish && !on_finish()) return false;
    accepted_ = true;
    return true;
}

INT_PTR CQpSheet::DoModal(HWND parent, HINSTANCE instance, int start_page) {
    if (pages_.empty()) return -1;
    std::vector<PROPSHEETPAGEA> pages;
    for (CQpPage* p : pages_) {
        pages.push_back(p->Page());
        // A wizard's caption is its current page's title: every page carries the sheet's.
        if (wizard_) {
            pages.back().dwFlags |= PSP_USETITLE;
            pages.back().pszTitle = caption_.c_str();
        }
    }
    PROPSHEETHEADERA h{};
    h.dwSize = sizeof(h);
    h.dwFlags = PSH_PROPSHEETPAGE | (help_ ? PSH_USECALLBACK : 0) | (wizard_ ? PSH_WIZARD : 0);
    h.hwndParent = parent;
    h.hInstance = instance;
    h.pszCaption = caption_.c_str();
    h.nPages = UINT(pages.size());
    h.nStartPage = UINT(start_page >= 0 && std::size_t(start_page) < pages.size() ? start_page : 0);
    h.ppsp = pages.data();
    h.pfnCallback = SheetCallback;
    accepted_ = false;
    const INT_PTR r = ::PropertySheetA(&h);
    hwnd_ = nullptr;
    if (r < 0) return -1;
    return accepted_ ? IDOK : IDCANCEL;
}

INT_PTR CQpSheet::DoModal(const SheetContext& ctx, int start_page) {
    const int token = ctx.pending ? ctx.pending->Add([this] {
        for (CQpPage* p : pages_) p->Commit();
    }) : 0;
    const INT_PTR r = DoModal(ctx.owner, ctx.instance, start_page);
    if (ctx.pending) ctx.pending->Remove(token);
    return r;
}

}  // namespace qp
