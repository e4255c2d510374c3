// Property pages and sheets over the system's PropertySheet. A page's first message carries the
// PROPSHEETPAGE it was made from; the page object rides in its lParam.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/Dialog.h"

namespace qp {

class CPropertyPage : public CDialog {
public:
    using CDialog::CDialog;

    // The page description the sheet is built from (template or resource, this object).
    PROPSHEETPAGEA Page();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;
    // PSN_SETACTIVE: true lets the page show.
    virtual bool OnSetActive() { return true; }
    // PSN_KILLACTIVE: false keeps the page (bad input). Saves the controls by default.
    virtual bool OnKillActive() { return UpdateData(true); }
    // PSN_APPLY: the sheet's OK or Apply.
    virtual void OnApply() {}

private:
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
};

class CPropertySheet {
public:
    explicit CPropertySheet(std::string caption) : caption_(std::move(caption)) {}
    void AddPage(CPropertyPage& page) { pages_.push_back(&page); }
    // IDOK when the author accepted, IDCANCEL otherwise, -1 when the sheet could not be made.
    INT_PTR DoModal(HWND parent, HINSTANCE instance);

private:
    std::string caption_;
    std::vector<CPropertyPage*> pages_;
};

}  // namespace qp
