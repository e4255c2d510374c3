// CMDIShort: the properties of a shortcut or program folder, with the shortcut dialog, the
// program-folder dialog and "Group Properties".
#include <windows.h>
#include <commctrl.h>

#include "builder/ui/editors/Editors.h"
#include "builder/ui/editors/GroupPage.h"
#include "builder/ui/frame/MainFrame.h"
#include "builder/ui/logic/regvalue.h"
#include "builder/ui/logic/stringview.h"
#include "builder/ui/res/editors_ids.h"
#include "framework/Dialog.h"

namespace qp {

namespace {

constexpr int kFileGroupRow = 10;
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

class CMDIShort : public CItemWindow {
public:
    explicit CMDIShort(CMainFrame& f) : CItemWindow(f, ItemWindowKind::kLink) {}
    std::string Caption() const override {
        return item_ ? "Link- " + static_cast<CObListShort*>(item_)->name : creation_caption_;
    }
    HWND MakeControl() override {
        HWND h = MakeList(LVS_SINGLESEL);
        CListCtrl(h).AddColumn(0, "Property", 150);
        CListCtrl(h).AddColumn(1, "Atribute", 150);
        return h;
    }
    void Reload() override {
        CListCtrl list(control_);
        list.DeleteAll();
        if (!item_) return;
        const auto rows = LinkRows(*static_cast<CObListShort*>(item_));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            list.Insert(int(i), rows[i].first, LPARAM(i));
            list.SetItemText(int(i), 1, rows[i].second);
        }
    }

protected:
    bool OnNotify(NMHDR* h, LRESULT&) override {
        if (h->hwndFrom != control_ || h->code != NM_DBLCLK) return false;
        auto* node = static_cast<CObListShort*>(item_);
        if (!node || !frame_.Doc() || !frame_.Edits()) return true;
        const int row = reinterpret_cast<NMITEMACTIVATE*>(h)->iItem;
        if (node->kind == CObListShort::kShortcut && row >= 0) {
            if (row == kFileGroupRow)
                RunGroupSheet(frame_.Handle(), frame_.Instance(), "Group Properties", *frame_.Doc(), node->file_groups);
            else
                CShortcutDlg(frame_.Instance(), *frame_.Doc(), *node, row).DoModal(frame_.Handle());
        } else if (node->kind == CObListShort::kProgramFolder) {
            CProgramFolderDlg(frame_.Instance(), *node).DoModal(frame_.Handle());
        } else {
            return true;
        }
        frame_.Edits()->Changed(ItemKind::kShortcut, node);
        return true;
    }
};

}  // namespace

std::unique_ptr<CItemWindow> MakeLinkWindow(CMainFrame& frame) { return std::make_unique<CMDIShort>(frame); }

}  // namespace qp
