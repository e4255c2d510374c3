// The registry value editors (see RegistryValueDlgs.h).
#include "builder/ui/editors/RegistryValueDlgs.h"

#include "builder/ui/logic/hexbuffer.h"
#include "builder/ui/logic/regvalue.h"
#include "builder/ui/res/editors_ids.h"
#include "framework/Dialog.h"

namespace qp {

namespace {

class CEditStringDlg : public CDialog {
public:
    CEditStringDlg(HINSTANCE instance, CRegistry& node) : CDialog(instance, IDD_EDIT_STRING), node_(node) {}

protected:
    bool OnInit() override {
        Item(IDC_VALUE_NAME).SetText(node_.name);
        Item(IDC_VALUE_DATA).SetText(node_.data);
        return true;
    }
    void OnOK() override {
        node_.data = Item(IDC_VALUE_DATA).Text();
        EndDialog(IDOK);
    }
    CRegistry& node_;
};

class CEditDwordDlg : public CDialog {
public:
    CEditDwordDlg(HINSTANCE instance, CRegistry& node) : CDialog(instance, IDD_EDIT_DWORD), node_(node) {}

protected:
    bool OnInit() override {
        Item(IDC_VALUE_NAME).SetText(node_.name);
        Item(IDC_VALUE_DATA).SetText(node_.data);
        ::CheckRadioButton(hwnd_, IDC_BASE_HEX, IDC_BASE_DEC, IDC_BASE_HEX);
        return true;
    }
    bool OnCommand(int id, int code, HWND control) override {
        if ((id == IDC_BASE_HEX || id == IDC_BASE_DEC) && code == BN_CLICKED) {
            // Converted only when the base really changes.
            const bool to_decimal = id == IDC_BASE_DEC;
            if (to_decimal != decimal_) {
                decimal_ = to_decimal;
                Item(IDC_VALUE_DATA).SetText(SwitchDwordBase(Item(IDC_VALUE_DATA).Text(), decimal_));
            }
            return true;
        }
        return CDialog::OnCommand(id, code, control);
    }
    void OnOK() override {
        node_.data = DwordData(Item(IDC_VALUE_DATA).Text(), decimal_);
        EndDialog(IDOK);
    }
    CRegistry& node_;
    bool decimal_ = false;
};

class CEditBinaryDlg : public CDialog {
public:
    CEditBinaryDlg(HINSTANCE instance, CRegistry& node) : CDialog(instance, IDD_EDIT_BINARY), node_(node) {}

protected:
    bool OnInit() override {
        Item(IDC_VALUE_NAME).SetText(node_.name);
        // The "HEX" control through its messages: the bytes, and the size may change.
        const std::vector<std::uint8_t> bytes = BinaryBytes(node_.data);
        HexDataArg arg;
        arg.size = bytes.size();
        arg.data = bytes.data();
        CWindow hex = Item(IDC_HEX);
        hex.Send(HEXM_SETDATA, 0, LPARAM(&arg));
        hex.Send(HEXM_SETPROPERTY, kHexAllowChangeSize, 1);
        return true;
    }
    void OnOK() override {
        CWindow hex = Item(IDC_HEX);
        if (hex) {
            std::vector<std::uint8_t> bytes(std::size_t(hex.Send(HEXM_GETDATA, 0, 0)));
            if (!bytes.empty()) hex.Send(HEXM_GETDATA, WPARAM(bytes.size()), LPARAM(bytes.data()));
            node_.data = BinaryData(bytes);
        }
        EndDialog(IDOK);
    }
    CRegistry& node_;
};

}  // namespace

bool EditRegistryValue(HINSTANCE instance, HWND owner, CRegistry& value) {
    switch (value.kind) {
    case CRegistry::kString: return CEditStringDlg(instance, value).DoModal(owner) == IDOK;
    case CRegistry::kDword: return CEditDwordDlg(instance, value).DoModal(owner) == IDOK;
    case CRegistry::kBinary: return CEditBinaryDlg(instance, value).DoModal(owner) == IDOK;
    }
    return false;
}

}  // namespace qp
