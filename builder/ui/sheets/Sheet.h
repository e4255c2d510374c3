// The base of every page of qpb's sheets and wizards: a page laid out in code (an in-memory
// template in dialog units) that keeps the apply rule (a page never opened or never changed
// writes nothing), and a sheet that runs as a property sheet or as a wizard.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "builder/ui/logic/pages.h"
#include "framework/Controls.h"
#include "framework/DialogTemplate.h"
#include "framework/PropertySheet.h"

namespace qp {

class CQpSheet;
struct SheetContext;

class CQpPage : public CPropertyPage {
public:
    // `caption` is the page's tab text; the page is `cx` by `cy` dialog units.
    CQpPage(HINSTANCE instance, const std::string& caption, short cx = 250, short cy = 150);

    // Writes the page's state into the model when the page was opened and changed.
    void Commit();
    const std::string& Caption() const { return caption_; }
    void SetSheet(CQpSheet* sheet) { sheet_ = sheet; }
    bool WasOpened() const { return opened_; }

protected:
    // Controls of the template, in dialog units.
    void Label(const std::string& text, short x, short y, short cx, short cy = 9);
    void Group(const std::string& text, short x, short y, short cx, short cy);
    void EditBox(int id, short x, short y, short cx, short cy = 13, DWORD style = ES_AUTOHSCROLL);
    void CheckBox(int id, const std::string& text, short x, short y, short cx, short cy = 10);
    void Radio(int id, const std::string& text, bool first, short x, short y, short cx, short cy = 10);
    void PushButton(int id, const std::string& text, short x, short y, short cx = 50, short cy = 14);
    void Combo(int id, DWORD style, short x, short y, short cx, short cy = 100);
    void Control(const char* cls, int id, DWORD style, short x, short y, short cx, short cy, DWORD ex = 0);

    // Reads the state into the controls (called once when the page opens).
    virtual void Load() {}
    // The state into the model.
    virtual void Write() {}
    // Controls to state, on a change; true when the change marks the page modified.
    virtual bool OnControl(int /*id*/, int /*code*/) { return false; }

    // A change of the author's: the page will write on Apply.
    void MarkChanged();

    bool OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;
    bool OnSetActive() override;
    bool OnKillActive() override { return true; }
    void OnApply() override { Commit(); }

    CDialogTemplate tmpl_;
    std::string caption_;
    CQpSheet* sheet_ = nullptr;
    PageLife life_;
    bool opened_ = false;
    bool loading_ = false;
};

// A modal property sheet, or a wizard (Back, Next, Finish) over the same pages.
class CQpSheet {
public:
    // `help`: the context-help button in the caption.
    CQpSheet(std::string caption, bool wizard, bool help = false)
        : caption_(std::move(caption)), wizard_(wizard), help_(help) {}
    void AddPage(CQpPage& page);
    void AddPages(std::initializer_list<CQpPage*> pages) {
        for (CQpPage* p : pages) AddPage(*p);
    }
    // IDOK for OK or Finish, IDCANCEL otherwise, -1 when the sheet could not be made.
    INT_PTR DoModal(HWND parent, HINSTANCE instance, int start_page = 0);
    // DoModal over `ctx`'s owner; while the sheet is open, a save of the project first commits
    // its pages (through `ctx.pending`, when there is one).
    INT_PTR DoModal(const SheetContext& ctx, int start_page = 0);

    bool IsWizard() const { return wizard_; }
    // Finish of the wizard: false keeps the wizard open.
    std::function<bool()> on_finish;

    // The wizard's buttons for the page at `index`.
    void SetButtons(const CQpPage* page);
    bool Finish();
    void Accepted() { accepted_ = true; }
    HWND Handle() const { return hwnd_; }
    void SetHandle(HWND h) { hwnd_ = h; }

private:
    std::string caption_;
    bool wizard_;
    bool help_;
    bool accepted_ = false;
    HWND hwnd_ = nullptr;
    std::vector<CQpPage*> pages_;
};

}  // namespace qp
