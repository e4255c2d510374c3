// The shortcut dialog and the program-folder dialog (see ShortcutDlgs.h).
#include "builder/ui/editors/ShortcutDlgs.h"

#include <commctrl.h>

#include "builder/ui/logic/regvalue.h"
#include "builder/ui/res/editors_ids.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"

namespace qp {

namespace {

// The field that takes the focus when the dialog opens from a row of the list.
const int kRowField[13] = {IDC_SC_TEXT,    IDC_SC_INTERNET,  IDC_SC_TARGET,    IDC_SC_PARAMS, IDC_SC_STARTIN,
                           IDC_SC_HOTKEY,  IDC_SC_RUN,       IDC_SC_ICONFILE,  IDC_SC_ICONINDEX,
                           IDC_SC_REPLACE, IDC_SC_TEXT,      IDC_SC_PERSONAL,  IDC_SC_COMMENT};

class CShortcutDlg : public CDialog {
public:
    CShortcutDlg(HINSTANCE instance, const CDazDoc& doc, CObListShort& node, int row)
        : CDialog(instance, IDD_SHORTCUT), doc_(doc), node_(node), row_(row) {}

protected:
    bool OnInit() override {
        Item(IDC_SC_LOCATION).SetText(node_.parent ? node_.parent->name : std::string());
        CWindow text = Item(IDC_SC_TEXT);
        for (const auto& s : doc_.string_table.items)
            if (s->category == CStringItem::kAuthor) text.Send(CB_ADDSTRING, 0, LPARAM(s->key.c_str()));
        text.SetText(node_.display_text);
        ::CheckDlgButton(hwnd_, IDC_SC_INTERNET, node_.internet_shortcut ? BST_CHECKED : BST_UNCHECKED);
        Item(IDC_SC_TARGET).SetText(node_.target);
        Item(IDC_SC_PARAMS).SetText(node_.parameters);
        Item(IDC_SC_STARTIN).SetText(node_.start_in);
        Item(IDC_SC_HOTKEY).SetText(node_.hotkey);
        CWindow run = Item(IDC_SC_RUN);
        for (const char* choice : kRunChoices) run.Send(CB_ADDSTRING, 0, LPARAM(choice));
        run.Send(CB_SETCURSEL, WPARAM(ChoiceOfRunMode(node_.run_mode)));
        Item(IDC_SC_ICONFILE).SetText(node_.icon_file);
        CSpinButton spin(Item(IDC_SC_ICONSPIN));
        spin.SetRange(0, 0x7FFFFFFF);
        spin.SetPos(int(node_.icon_index & 0x7FFFFFFF));
        ::CheckDlgButton(hwnd_, IDC_SC_REPLACE, node_.replace_existing ? BST_CHECKED : BST_UNCHECKED);
        ::CheckRadioButton(hwnd_, IDC_SC_PERSONAL, IDC_SC_COMMON, node_.common ? IDC_SC_COMMON : IDC_SC_PERSONAL);
        Item(IDC_SC_COMMENT).SetText(node_.comment);
        Item(IDC_SC_PARAMS).Enable(!node_.internet_shortcut);
        const int field = row_ >= 0 && row_ < 13 ? kRowField[row_] : IDC_SC_TEXT;
        ::SetFocus(Item(field));
        return false;
    }
    bool OnCommand(int id, int code, HWND control) override {
        if (id == IDC_SC_INTERNET && code == BN_CLICKED) {
            Item(IDC_SC_PARAMS).Enable(::IsDlgButtonChecked(hwnd_, IDC_SC_INTERNET) != BST_CHECKED);
            return true;
        }
        return CDialog::OnCommand(id, code, control);
    }
    void OnOK() override {
        node_.display_text = Item(IDC_SC_TEXT).Text();
        node_.internet_shortcut = ::IsDlgButtonChecked(hwnd_, IDC_SC_INTERNET) == BST_CHECKED ? 1 : 0;
        node_.target = Item(IDC_SC_TARGET).Text();
        node_.parameters = Item(IDC_SC_PARAMS).Text();
        node_.start_in = Item(IDC_SC_STARTIN).Text();
        node_.hotkey = Item(IDC_SC_HOTKEY).Text();
        node_.run_mode = RunModeOfChoice(int(Item(IDC_SC_RUN).Send(CB_GETCURSEL)));
        node_.icon_file = Item(IDC_SC_ICONFILE).Text();
        int index = 0;
        if (ItemInt(IDC_SC_ICONINDEX, index) && index >= 0) node_.icon_index = std::uint32_t(index);
        node_.replace_existing = ::IsDlgButtonChecked(hwnd_, IDC_SC_REPLACE) == BST_CHECKED ? 1 : 0;
        node_.common = ::IsDlgButtonChecked(hwnd_, IDC_SC_COMMON) == BST_CHECKED ? 1 : 0;
        node_.comment = Item(IDC_SC_COMMENT).Text();
        EndDialog(IDOK);
    }

    const CDazDoc& doc_;
    CObListShort& node_;
    int row_;
};

class CProgramFolderDlg : public CDialog {
public:
    CProgramFolderDlg(HINSTANCE instance, CObListShort& node) : CDialog(instance, IDD_PROGRAM_FOLDER), node_(node) {}

protected:
    bool OnInit() override {
        Item(IDC_PF_NAME).SetText(node_.display_text);
        ::CheckRadioButton(hwnd_, IDC_PF_PERSONAL, IDC_PF_COMMON, node_.common ? IDC_PF_COMMON : IDC_PF_PERSONAL);
        Item(IDC_PF_COMMENT).SetText(node_.comment);
        return true;
    }
    void OnOK() override {
        node_.display_text = Item(IDC_PF_NAME).Text();
        node_.common = ::IsDlgButtonChecked(hwnd_, IDC_PF_COMMON) == BST_CHECKED ? 1 : 0;
        node_.comment = Item(IDC_PF_COMMENT).Text();
        EndDialog(IDOK);
    }
    CObListShort& node_;
};

}  // namespace

bool EditShortcut(HINSTANCE instance, HWND owner, const CDazDoc& doc, CObListShort& shortcut, int row) {
    return CShortcutDlg(instance, doc, shortcut, row).DoModal(owner) == IDOK;
}

bool EditProgramFolder(HINSTANCE instance, HWND owner, CObListShort& folder) {
    return CProgramFolderDlg(instance, folder).DoModal(owner) == IDOK;
}

}  // namespace qp
