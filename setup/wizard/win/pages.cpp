// What each wizard page shows when it opens, does with its own controls, and takes when it is
// left: one handler per page, found by the page's number.
#include <windows.h>

#include "common/fsprim.h"
#include "common/win/textwin.h"
#include "setup/engine/copyfailure.h"
#include "setup/wizard/page_tables.h"
#include "setup/wizard/win/wizard_ui.h"

namespace qp::wiz {
namespace {

std::string ItemText(HWND page, int id) {
    char text[261] = {};
    GetDlgItemTextA(page, id, text, 261);
    return text;
}

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

// Welcome (1): in an upgrade its comment says which version replaces which.
bool WelcomePage(Wizard& w, HWND page, PageEvent& e) {
    if (e.kind != PageEvent::kOpen || !w.State().upgrade) return false;
    SetDlgItemTextA(page, kIdComment, w.State().upgrade_text.c_str());
    return true;
}

// Licence (2) and readme (3): read-only viewers of the kit's texts.
bool LicensePage(Wizard& w, HWND page, PageEvent& e) {
    if (e.kind != PageEvent::kOpen) return false;
    HWND edit = GetDlgItem(page, kIdLicenseText);
    if (w.Setup().texts_inside) LoadTextIntoWindow(edit, w.Setup().license_text);
    else LoadTextFileIntoWindow(edit, w.Setup().license_path);
    SetWindowLongPtrA(edit, GWL_EXSTYLE, GetWindowLongPtrA(edit, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(edit, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    MakeViewer(edit);
    SetDlgItemTextA(page, kIdNext, w.Text("YESBUT").c_str());
    return true;
}

bool ReadmePage(Wizard& w, HWND page, PageEvent& e) {
    if (e.kind != PageEvent::kOpen) return false;
    HWND edit = GetDlgItem(page, kIdReadmeText);
    if (w.Setup().texts_inside) LoadTextIntoWindow(edit, w.Setup().readme_text);
    else LoadTextFileIntoWindow(edit, w.Setup().readme_path);
    MakeViewer(edit);
    return true;
}

// User information (4).
bool UserInfoPage(Wizard& w, HWND page, PageEvent& e) {
    WizardState& s = w.State();
    if (e.kind == PageEvent::kOpen) {
        SetDlgItemTextA(page, kIdUserName, s.user_name.c_str());
        SetDlgItemTextA(page, kIdCompany, s.company.c_str());
        SetDlgItemTextA(page, kIdSerial, s.serial.c_str());
        SetFocus(GetDlgItem(page, kIdUserName));
    } else if (e.kind == PageEvent::kLeave) {
        s.user_name = ItemText(page, kIdUserName);
        s.company = ItemText(page, kIdCompany);
        s.serial = ItemText(page, kIdSerial);
    } else {
        return false;
    }
    return true;
}

// Destination folder (5): Next creates the folder and stays on the page when it cannot.
bool DestinationPage(Wizard& w, HWND page, PageEvent& e) {
    WizardState& s = w.State();
    switch (e.kind) {
    case PageEvent::kOpen:
        SetDlgItemTextA(page, kIdDestination, s.target_dir.c_str());
        // An upgrade replaces the files where they are.
        if (s.upgrade) {
            SendDlgItemMessageA(page, kIdDestination, EM_SETREADONLY, TRUE, 0);
            EnableWindow(GetDlgItem(page, kIdBrowse), FALSE);
        }
        SetFocus(GetDlgItem(page, kIdDestination));
        return true;
    case PageEvent::kCommand: {
        if (e.id != kIdBrowse || e.code != BN_CLICKED) return false;
        std::string path = s.target_dir;
        if (BrowseForFolder(page, "Choose Folder", path, w.Background())) {
            s.target_dir = path;
            SetDlgItemTextA(page, kIdDestination, path.c_str());
        }
        return true;
    }
    case PageEvent::kLeave: {
        if (e.id != kIdNext) return true;
        std::string dir = ItemText(page, kIdDestination);
        if (!dir.empty())
            NoteMissingFolders([](const std::string& p) { return PathExists(p); },
                               dir, w.State().created_folders);
        if (dir.empty() || !CreateFolderOrSay(nullptr, dir)) {
            SetFocus(GetDlgItem(page, kIdDestination));
            e.stay = true;
            return true;
        }
        s.target_dir = dir;
        return true;
    }
    default: return false;
    }
}

// Setup type (6): the list's item data are indices into the setup types.
bool SetupTypePage(Wizard& w, HWND page, PageEvent& e) {
    WizardState& s = w.State();
    WizardData& d = w.Data();
    switch (e.kind) {
    case PageEvent::kOpen: {
        HWND list = GetDlgItem(page, kIdSetupTypes);
        for (std::size_t i = 0; i < d.types.size(); ++i) {
            const SetupType& t = d.types[i];
            std::string shown = t.display_name.empty() ? t.name : d.texts.Get(t.display_name, t.display_name);
            LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)shown.c_str());
            SendMessageA(list, LB_SETITEMDATA, at, static_cast<LPARAM>(i));
        }
        // Recorded before the preselection: a first visit leaves "none" recorded, so Next
        // with the preselected first type applies that type's components.
        s.setup_type_at_open = s.setup_type;
        SendMessageA(list, LB_SETCURSEL, s.setup_type < 0 ? 0 : s.setup_type, 0);  // no LBS_SORT
        SetFocus(list);
        break;
    }
    case PageEvent::kCommand:
        if (e.id != kIdSetupTypes || e.code != LBN_SELCHANGE) return false;
        break;
    case PageEvent::kLeave: break;
    default: return false;
    }
    // The selection is shown (a preselection only shown) and taken as the page is left.
    const LRESULT sel = SendDlgItemMessageA(page, kIdSetupTypes, LB_GETCURSEL, 0, 0);
    if (sel != LB_ERR) {
        const int type = static_cast<int>(SendDlgItemMessageA(page, kIdSetupTypes, LB_GETITEMDATA, sel, 0));
        if (e.kind != PageEvent::kOpen) s.setup_type = type;
        if (e.kind != PageEvent::kLeave) {
            const SetupType& t = d.types[type];
            SetDlgItemTextA(page, kIdSetupTypeDescription, d.texts.Get(t.description, t.description).c_str());
        }
    }
    if (e.kind == PageEvent::kLeave && e.id == kIdNext) TakeSetupType(s, d.root, d.types);
    return true;
}

// Program folder (8): an existing folder picked from the list becomes the typed name.
bool ProgramFolderPage(Wizard& w, HWND page, PageEvent& e) {
    WizardState& s = w.State();
    switch (e.kind) {
    case PageEvent::kOpen:
        FillProgramFolders(GetDlgItem(page, kIdExistingFolders), w.Setup().common_programs);
        SetDlgItemTextA(page, kIdProgramFolder, s.program_folder.c_str());
        SetFocus(GetDlgItem(page, kIdProgramFolder));
        return true;
    case PageEvent::kCommand:
        if (e.id == kIdExistingFolders && e.code == LBN_SELCHANGE) {
            LRESULT sel = SendDlgItemMessageA(page, kIdExistingFolders, LB_GETCURSEL, 0, 0);
            if (sel != LB_ERR && SendDlgItemMessageA(page, kIdExistingFolders, LB_GETTEXTLEN, sel, 0) < MAX_PATH) {
                char name[MAX_PATH] = {};
                SendDlgItemMessageA(page, kIdExistingFolders, LB_GETTEXT, sel, (LPARAM)name);
                SetDlgItemTextA(page, kIdProgramFolder, name);
            }
            return true;
        }
        if (e.id != kIdProgramFolder || e.code != EN_CHANGE) return false;
        s.program_folder = ItemText(page, kIdProgramFolder);
        return true;
    case PageEvent::kLeave: s.program_folder = ItemText(page, kIdProgramFolder); return true;
    default: return false;
    }
}

// Confirmation (9).
bool ConfirmPage(Wizard& w, HWND page, PageEvent& e) {
    if (e.kind != PageEvent::kOpen) return false;
    const WizardState& s = w.State();
    const std::string text = "Destination\r\n\t" + s.target_dir + "\r\n\r\n Folder\r\n\t" + s.program_folder + "\r\n";
    SetDlgItemTextA(page, kIdSettingsSummary, text.c_str());
    return true;
}

// Installing (10) and removing (18): the engine starts once the page shows.
bool ProgressPage(Wizard& w, HWND page, PageEvent& e) {
    if (e.kind != PageEvent::kOpen) return false;
    if (w.State().current_page == kPageInstalling) {
        EnableWindow(GetDlgItem(page, kIdBack), FALSE);
        EnableWindow(GetDlgItem(page, kIdNext), FALSE);
    }
    PostMessageA(page, kStartMessage, 0, 0);
    return true;
}

// Report (11).
bool ReportPage(Wizard& w, HWND page, PageEvent& e) {
    if (e.kind != PageEvent::kOpen) return false;
    EnableWindow(GetDlgItem(page, kIdBack), FALSE);
    EnableWindow(GetDlgItem(page, kIdCancel), FALSE);
    std::string text;
    for (const auto& line : w.State().report) text += line + "\r\n";
    SetDlgItemTextA(page, kIdReport, text.c_str());
    return true;
}

// Finish without the restart question (13), and with it (12). Both keep only their Next
// button, renamed.
bool CompletePage(Wizard& w, HWND page, PageEvent& e) {
    if (e.kind != PageEvent::kOpen) return false;
    EnableWindow(GetDlgItem(page, kIdBack), FALSE);
    EnableWindow(GetDlgItem(page, kIdCancel), FALSE);
    SetDlgItemTextA(page, kIdNext, w.Text("FINISH").c_str());
    return true;
}

bool FinishRestartPage(Wizard& w, HWND page, PageEvent& e) {
    if (e.kind == PageEvent::kLeave) {
        w.State().restart_now = IsDlgButtonChecked(page, kIdRestartYes) == BST_CHECKED;
        return true;
    }
    if (e.kind == PageEvent::kOpen) CheckRadioButton(page, kIdRestartYes, kIdRestartNo, kIdRestartYes);
    return CompletePage(w, page, e);
}

// Modify, repair or remove (17): removal is asked once more.
bool AddRemovePage(Wizard& w, HWND page, PageEvent& e) {
    WizardState& s = w.State();
    if (e.kind == PageEvent::kOpen) {
        const int checked = s.action == kActionRepair ? kIdRepair : s.action == kActionRemove ? kIdRemove : kIdModify;
        CheckRadioButton(page, kIdModify, kIdRemove, checked);
        return true;
    }
    if (e.kind != PageEvent::kLeave) return false;
    if (e.id != kIdNext) return true;
    int action = kActionRemove;
    if (IsDlgButtonChecked(page, kIdModify) == BST_CHECKED) action = kActionModify;
    else if (IsDlgButtonChecked(page, kIdRepair) == BST_CHECKED) action = kActionRepair;
    if (action == kActionRemove) {
        const std::string question = w.Text("REMOVEAPPQUESTION");
        if (MessageBoxA(page, question.c_str(), "Uninstall", MB_YESNO) != IDYES) {
            e.stay = true;
            return true;
        }
    }
    s.action = action;
    return true;
}

struct PageEntry {
    int page;
    PageHandler handler;
};

const PageEntry kPageHandlers[] = {
    {kPageWelcome, WelcomePage},
    {kPageLicense, LicensePage},
    {kPageReadme, ReadmePage},
    {kPageUserInfo, UserInfoPage},
    {kPageDestination, DestinationPage},
    {kPageSetupType, SetupTypePage},
    {kPageComponents, Wizard::ComponentPage},
    {kPageProgramFolder, ProgramFolderPage},
    {kPageConfirm, ConfirmPage},
    {kPageInstalling, ProgressPage},
    {kPageReport, ReportPage},
    {kPageFinishRestart, FinishRestartPage},
    {kPageComplete, CompletePage},
    {kPageAddRemove, AddRemovePage},
    {kPageUninstalling, ProgressPage},
};

}  // namespace

PageHandler HandlerOf(int page) {
    for (const PageEntry& e : kPageHandlers)
        if (e.page == page) return e.handler;
    return nullptr;
}

}  // namespace qp::wiz
