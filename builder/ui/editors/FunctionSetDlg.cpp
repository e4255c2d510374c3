// "Function Set" (see FunctionSetDlg.h).
#include "builder/ui/editors/FunctionSetDlg.h"

#include "builder/ui/res/editors_ids.h"
#include "framework/Dialog.h"

namespace qp {

namespace {

class CFunctionSetDlg : public CDialog {
public:
    CFunctionSetDlg(HINSTANCE instance, CItemFunction& f) : CDialog(instance, IDD_FUNCTION_SET), f_(f) {}

protected:
    bool OnInit() override {
        Item(IDC_FN_NAME).SetText(f_.name);
        Item(IDC_FN_INTERNAL).SetText(f_.internal_name);
        Item(IDC_FN_DLL).SetText(f_.dll_path);
        Item(IDC_FN_CALL).SetText(f_.function_call);
        return true;
    }
    void OnOK() override {
        f_.name = Item(IDC_FN_NAME).Text();
        f_.internal_name = Item(IDC_FN_INTERNAL).Text();
        f_.dll_path = Item(IDC_FN_DLL).Text();
        f_.function_call = Item(IDC_FN_CALL).Text();
        EndDialog(IDOK);
    }
    CItemFunction& f_;
};

}  // namespace

bool EditFunction(HINSTANCE instance, HWND owner, CItemFunction& function) {
    return CFunctionSetDlg(instance, function).DoModal(owner) == IDOK;
}

}  // namespace qp
