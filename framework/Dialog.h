// Dialogs: modal or modeless (also as child panels), from a resource or an in-memory template.
// The dialog procedure stores the object at WM_INITDIALOG and routes through HandleMessage.
#pragma once
#include <windows.h>

#include "framework/DataExchange.h"
#include "framework/Window.h"

namespace qp {

class CDialogTemplate;

class CDialog : public CWnd {
public:
    // From the dialog resource `id` of `instance`.
    CDialog(HINSTANCE instance, int id) : instance_(instance), resource_id_(id) {}
    // From an in-memory template that outlives the dialog's creation.
    CDialog(HINSTANCE instance, const CDialogTemplate& tmpl) : instance_(instance), template_(&tmpl) {}
    ~CDialog() override;

    // Modal run; the value given to EndDialog, or -1 when the dialog could not be made.
    INT_PTR DoModal(HWND parent);
    // Modeless (or child panel, when the template has WS_CHILD).
    bool Create(HWND parent);
    void EndDialog(INT_PTR result);

    // Moves the values between members and controls (save: controls to members).
    bool UpdateData(bool save);

    HINSTANCE Instance() const { return instance_; }
    const CDialogTemplate* Template() const { return template_; }
    int ResourceId() const { return resource_id_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;
    // Hands a message back to the dialog manager.
    LRESULT Default(UINT msg, WPARAM w, LPARAM l) override;

    // Returns true to let the system set the focus.
    virtual bool OnInit() { UpdateData(false); return true; }
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange& /*dx*/) {}

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    // One message of an attached dialog or property page, answered the dialog manager's way.
    static INT_PTR Route(CDialog* self, HWND hwnd, UINT msg, WPARAM w, LPARAM l);

private:

    HINSTANCE instance_;
    int resource_id_ = 0;
    const CDialogTemplate* template_ = nullptr;
    bool modal_ = false;
    bool unhandled_ = false;
};

}  // namespace qp
