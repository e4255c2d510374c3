// What each wizard page shows when it opens and takes when it is left.
#include <windows.h>

#include "common/pathutil.h"
#include "common/win/textwin.h"
#include "setup/wizard/page_tables.h"
#include "setup/wizard/win/wizard_ui.h"

namespace qp::wiz {
namespace {

constexpr UINT kStartMessage = WM_USER + 101;

std::string ItemText(HWND page, int id) {
    char text[261] = {};
    GetDlgItemTextA(page, id, text, 261);
    return text;
}

void Disable(HWND page, int id) { EnableWindow(GetDlgItem(page, id), FALSE); }

// Reports of the directory creation go to a message box, as the destination page asks for.
class BoxReporter : public Reporter {
public:
    void Report(Severity, const std::string& text) override {
        MessageBoxA(nullptr, text.c_str(), "Failed to create directory", MB_OK);
    }
};

void FillProgramFolders(HWND list, const std::string& folder) {
    if (folder.empty()) return;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    // The first entry of an enumeration is ".", which is why it is passed over.
    while (FindNextFileA(h, &fd)) {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) continue;
        if (strcmp(fd.cFileName, "..") == 0 || strcmp(fd.cFileName, ".") == 0) continue;
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fd.cFileName));
    }
    FindClose(h);
}

}  // namespace

void Wizard::InitPage(HWND page, int number) {
    WizardState& s = State();
    WizardData& d = Data();
    switch (number) {
    case kPageLicense: {
        HWND edit = GetDlgItem(page, 1007);
        LoadTextFileIntoWindow(edit, setup_.license_path);
        SetWindowLongPtrA(edit, GWL_EXSTYLE,
                          GetWindowLongPtrA(edit, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
        SetWindowPos(edit, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        MakeViewer(edit);
        SetDlgItemTextA(page, kIdNext, Text("YESBUT").c_str());
        break;
    }
    case kPageReadme: {
        HWND edit = GetDlgItem(page, 1031);
        LoadTextFileIntoWindow(edit, setup_.readme_path);
        MakeViewer(edit);
        break;
    }
    case kPageUserInfo:
        SetDlgItemTextA(page, 1006, s.user_name.c_str());
        SetDlgItemTextA(page, 1009, s.company.c_str());
        SetDlgItemTextA(page, 1010, s.serial.c_str());
        SetFocus(GetDlgItem(page, 1006));
        break;
    case kPageDestination:
        SetDlgItemTextA(page, 1014, s.target_dir.c_str());
        SetFocus(GetDlgItem(page, 1014));
        break;
    case kPageSetupType: {
        HWND list = GetDlgItem(page, 1020);
        for (std::size_t i = 0; i < d.types.size(); ++i) {
            const SetupType& t = d.types[i];
            std::string shown = t.display_name.empty() ? t.name
                                                       : d.texts.Get(t.display_name, t.display_name);
            LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)shown.c_str());
            SendMessageA(list, LB_SETITEMDATA, at, static_cast<LPARAM>(i));
        }
        // Recorded before the preselection: a first visit leaves "none" recorded, so Next
        // with the preselected first type applies that type's components.
        s.setup_type_at_open = s.setup_type;
        const int shown_type = s.setup_type < 0 ? 0 : s.setup_type;
        SendMessageA(list, LB_SETCURSEL, shown_type, 0);  // no LBS_SORT: positions are indices
        if (!d.types.empty()) {
            const SetupType& t = d.types[shown_type];
            SetDlgItemTextA(page, 1021, d.texts.Get(t.description, t.description).c_str());
        }
        SetFocus(list);
        break;
    }
    case kPageComponents: InitComponentPage(page); break;
    case kPageProgramFolder:
        FillProgramFolders(GetDlgItem(page, 1013), setup_.common_programs);
        SetDlgItemTextA(page, 1012, s.program_folder.c_str());
        SetFocus(GetDlgItem(page, 1012));
        break;
    case kPageConfirm: {
        std::string text = "Destination\r\n\t" + s.target_dir + "\r\n\r\n Folder\r\n\t" +
                           s.program_folder + "\r\n";
        SetDlgItemTextA(page, 1045, text.c_str());
        break;
    }
    case kPageInstalling:
        Disable(page, kIdBack);
        Disable(page, kIdNext);
        PostMessageA(page, kStartMessage, 0, 0);
        break;
    case kPageUninstalling: PostMessageA(page, kStartMessage, 0, 0); break;
    case kPageReport: {
        Disable(page, kIdBack);
        Disable(page, kIdCancel);
        std::string text;
        for (const auto& line : s.report) text += line + "\r\n";
        SetDlgItemTextA(page, 1026, text.c_str());
        break;
    }
    case kPageFinishRestart:
        CheckRadioButton(page, 1017, 1018, 1017);
        Disable(page, kIdBack);
        Disable(page, kIdCancel);
        SetDlgItemTextA(page, kIdNext, Text("FINISH").c_str());
        break;
    case kPageComplete:
        Disable(page, kIdBack);
        Disable(page, kIdCancel);
        SetDlgItemTextA(page, kIdNext, Text("FINISH").c_str());
        break;
    case kPageAddRemove: {
        const int checked = s.action == kActionRepair   ? 1029
                            : s.action == kActionRemove ? 1030
                                                        : 1028;
        CheckRadioButton(page, 1028, 1030, checked);
        break;
    }
    default: break;
    }
}

bool Wizard::LeavePage(HWND page, int number, int button_id) {
    WizardState& s = State();
    WizardData& d = Data();
    switch (number) {
    case kPageUserInfo:
        s.user_name = ItemText(page, 1006);
        s.company = ItemText(page, 1009);
        s.serial = ItemText(page, 1010);
        return true;
    case kPageDestination: {
        if (button_id != kIdNext) return true;
        std::string dir = ItemText(page, 1014);
        BoxReporter reporter;
        if (dir.empty() || !CreateDirectoryPath(dir, reporter)) {
            SetFocus(GetDlgItem(page, 1014));
            return false;
        }
        s.target_dir = dir;
        return true;
    }
    case kPageSetupType: {
        LRESULT sel = SendDlgItemMessageA(page, 1020, LB_GETCURSEL, 0, 0);
        if (sel != LB_ERR)
            s.setup_type = static_cast<int>(SendDlgItemMessageA(page, 1020, LB_GETITEMDATA, sel, 0));
        if (button_id == kIdNext) TakeSetupType(s, d.root, d.types);
        return true;
    }
    case kPageProgramFolder: s.program_folder = ItemText(page, 1012); return true;
    case kPageFinishRestart:
        s.restart_now = IsDlgButtonChecked(page, 1017) == BST_CHECKED;
        return true;
    case kPageAddRemove: {
        if (button_id != kIdNext) return true;
        int action = kActionRemove;
        if (IsDlgButtonChecked(page, 1028) == BST_CHECKED) action = kActionModify;
        else if (IsDlgButtonChecked(page, 1029) == BST_CHECKED) action = kActionRepair;
        if (action == kActionRemove) {
            std::string question = Text("REMOVEAPPQUESTION");
            if (MessageBoxA(page, question.c_str(), "Uninstall", MB_YESNO) != IDYES) return false;
        }
        s.action = action;
        return true;
    }
    default: return true;
    }
}

}  // namespace qp::wiz
