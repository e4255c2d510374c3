// What each wizard page shows when it opens, does with its own controls, and takes when it is
// left: one set of handlers per page, found by the page's number.
#include <windows.h>

#include "common/pathutil.h"
#include "common/win/textwin.h"
#include "setup/wizard/page_tables.h"
#include "setup/wizard/win/wizard_ui.h"

namespace qp::wiz {
namespace {

std::string ItemText(HWND page, int id) {
    char text[261] = {};
    GetDlgItemTextA(page, id, text, 261);
    return text;
}

void SetText(HWND page, int id, const std::string& text) { SetDlgItemTextA(page, id, text.c_str()); }

void Disable(HWND page, int id) { EnableWindow(GetDlgItem(page, id), FALSE); }

// The index a list box keeps beside its selected line, or -1 without a selection.
int SelectedData(HWND page, int list) {
    LRESULT sel = SendDlgItemMessageA(page, list, LB_GETCURSEL, 0, 0);
    if (sel == LB_ERR) return -1;
    return static_cast<int>(SendDlgItemMessageA(page, list, LB_GETITEMDATA, sel, 0));
}

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

// Pages that end the wizard keep only their Next button, renamed.
void OpenFinal(Wizard& w, HWND page) {
    Disable(page, kIdBack);
    Disable(page, kIdCancel);
    SetText(page, kIdNext, w.Text("FINISH"));
}

// Licence (2) and readme (3).
void OpenLicense(Wizard& w, HWND page) {
    HWND edit = GetDlgItem(page, kIdLicenseText);
    LoadTextFileIntoWindow(edit, w.Setup().license_path);
    SetWindowLongPtrA(edit, GWL_EXSTYLE, GetWindowLongPtrA(edit, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(edit, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    MakeViewer(edit);
    SetText(page, kIdNext, w.Text("YESBUT"));
}

void OpenReadme(Wizard& w, HWND page) {
    HWND edit = GetDlgItem(page, kIdReadmeText);
    LoadTextFileIntoWindow(edit, w.Setup().readme_path);
    MakeViewer(edit);
}

// User information (4).
void OpenUserInfo(Wizard& w, HWND page) {
    const WizardState& s = w.State();
    SetText(page, kIdUserName, s.user_name);
    SetText(page, kIdCompany, s.company);
    SetText(page, kIdSerial, s.serial);
    SetFocus(GetDlgItem(page, kIdUserName));
}

bool LeaveUserInfo(Wizard& w, HWND page, int) {
    WizardState& s = w.State();
    s.user_name = ItemText(page, kIdUserName);
    s.company = ItemText(page, kIdCompany);
    s.serial = ItemText(page, kIdSerial);
    return true;
}

// Destination folder (5).
void OpenDestination(Wizard& w, HWND page) {
    SetText(page, kIdDestination, w.State().target_dir);
    SetFocus(GetDlgItem(page, kIdDestination));
}

bool DestinationCommand(Wizard& w, HWND page, int id, int code) {
    if (id != kIdBrowse || code != BN_CLICKED) return false;
    std::string path = w.State().target_dir;
    if (BrowseForFolder(page, "Choose Folder", path, w.Background())) {
        w.State().target_dir = path;
        SetText(page, kIdDestination, path);
    }
    return true;
}

bool LeaveDestination(Wizard& w, HWND page, int button_id) {
    if (button_id != kIdNext) return true;
    std::string dir = ItemText(page, kIdDestination);
    BoxReporter reporter;
    if (dir.empty() || !CreateDirectoryPath(dir, reporter)) {
        SetFocus(GetDlgItem(page, kIdDestination));
        return false;
    }
    w.State().target_dir = dir;
    return true;
}

// Setup type (6).
void ShowTypeDescription(Wizard& w, HWND page, int type) {
    const SetupType& t = w.Data().types[type];
    SetText(page, kIdSetupTypeDescription, w.Data().texts.Get(t.description, t.description));
}

void OpenSetupType(Wizard& w, HWND page) {
    WizardState& s = w.State();
    WizardData& d = w.Data();
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
    const int shown_type = s.setup_type < 0 ? 0 : s.setup_type;
    SendMessageA(list, LB_SETCURSEL, shown_type, 0);  // no LBS_SORT: positions are indices
    if (!d.types.empty()) ShowTypeDescription(w, page, shown_type);
    SetFocus(list);
}

bool SetupTypeCommand(Wizard& w, HWND page, int id, int code) {
    if (id != kIdSetupTypes || code != LBN_SELCHANGE) return false;
    const int type = SelectedData(page, kIdSetupTypes);
    if (type >= 0) {
        w.State().setup_type = type;
        ShowTypeDescription(w, page, type);
    }
    return true;
}

bool LeaveSetupType(Wizard& w, HWND page, int button_id) {
    WizardState& s = w.State();
    const int type = SelectedData(page, kIdSetupTypes);
    if (type >= 0) s.setup_type = type;
    if (button_id == kIdNext) TakeSetupType(s, w.Data().root, w.Data().types);
    return true;
}

// Components (7): component_page.cpp.
void OpenComponents(Wizard& w, HWND page) { w.InitComponentPage(page); }

bool ComponentsNotify(Wizard& w, HWND page, NMHDR* hdr, INT_PTR& result) {
    return w.ComponentNotify(page, hdr, result);
}

// Program folder (8).
void OpenProgramFolder(Wizard& w, HWND page) {
    FillProgramFolders(GetDlgItem(page, kIdExistingFolders), w.Setup().common_programs);
    SetText(page, kIdProgramFolder, w.State().program_folder);
    SetFocus(GetDlgItem(page, kIdProgramFolder));
}

bool ProgramFolderCommand(Wizard& w, HWND page, int id, int code) {
    if (id == kIdExistingFolders && code == LBN_SELCHANGE) {
        LRESULT sel = SendDlgItemMessageA(page, kIdExistingFolders, LB_GETCURSEL, 0, 0);
        if (sel != LB_ERR && SendDlgItemMessageA(page, kIdExistingFolders, LB_GETTEXTLEN, sel, 0) < MAX_PATH) {
            char name[MAX_PATH] = {};
            SendDlgItemMessageA(page, kIdExistingFolders, LB_GETTEXT, sel, (LPARAM)name);
            SetText(page, kIdProgramFolder, name);
        }
        return true;
    }
    if (id == kIdProgramFolder && code == EN_CHANGE) {
        w.State().program_folder = ItemText(page, kIdProgramFolder);
        return true;
    }
    return false;
}

bool LeaveProgramFolder(Wizard& w, HWND page, int) {
    w.State().program_folder = ItemText(page, kIdProgramFolder);
    return true;
}

// Confirmation (9).
void OpenConfirm(Wizard& w, HWND page) {
    const WizardState& s = w.State();
    SetText(page, kIdSettingsSummary, "Destination\r\n\t" + s.target_dir + "\r\n\r\n Folder\r\n\t" +
                                          s.program_folder + "\r\n");
}

// Installing (10) and removing (18): the engine starts once the page shows.
void OpenInstalling(Wizard&, HWND page) {
    Disable(page, kIdBack);
    Disable(page, kIdNext);
    PostMessageA(page, kStartMessage, 0, 0);
}

void OpenUninstalling(Wizard&, HWND page) { PostMessageA(page, kStartMessage, 0, 0); }

// Report (11).
void OpenReport(Wizard& w, HWND page) {
    Disable(page, kIdBack);
    Disable(page, kIdCancel);
    std::string text;
    for (const auto& line : w.State().report) text += line + "\r\n";
    SetText(page, kIdReport, text);
}

// Finish with the restart question (12), finish without it (13).
void OpenFinishRestart(Wizard& w, HWND page) {
    CheckRadioButton(page, kIdRestartYes, kIdRestartNo, kIdRestartYes);
    OpenFinal(w, page);
}

bool LeaveFinishRestart(Wizard& w, HWND page, int) {
    w.State().restart_now = IsDlgButtonChecked(page, kIdRestartYes) == BST_CHECKED;
    return true;
}

// Modify, repair or remove (17).
void OpenAddRemove(Wizard& w, HWND page) {
    const int action = w.State().action;
    const int checked = action == kActionRepair ? kIdRepair : action == kActionRemove ? kIdRemove : kIdModify;
    CheckRadioButton(page, kIdModify, kIdRemove, checked);
}

bool LeaveAddRemove(Wizard& w, HWND page, int button_id) {
    if (button_id != kIdNext) return true;
    int action = kActionRemove;
    if (IsDlgButtonChecked(page, kIdModify) == BST_CHECKED) action = kActionModify;
    else if (IsDlgButtonChecked(page, kIdRepair) == BST_CHECKED) action = kActionRepair;
    if (action == kActionRemove) {
        const std::string question = w.Text("REMOVEAPPQUESTION");
        if (MessageBoxA(page, question.c_str(), "Uninstall", MB_YESNO) != IDYES) return false;
    }
    w.State().action = action;
    return true;
}

struct NumberedHandlers {
    int page;
    PageHandlers handlers;
};

const NumberedHandlers kHandlers[] = {
    {kPageLicense, {OpenLicense, nullptr, nullptr, nullptr}},
    {kPageReadme, {OpenReadme, nullptr, nullptr, nullptr}},
    {kPageUserInfo, {OpenUserInfo, nullptr, nullptr, LeaveUserInfo}},
    {kPageDestination, {OpenDestination, DestinationCommand, nullptr, LeaveDestination}},
    {kPageSetupType, {OpenSetupType, SetupTypeCommand, nullptr, LeaveSetupType}},
    {kPageComponents, {OpenComponents, nullptr, ComponentsNotify, nullptr}},
    {kPageProgramFolder, {OpenProgramFolder, ProgramFolderCommand, nullptr, LeaveProgramFolder}},
    {kPageConfirm, {OpenConfirm, nullptr, nullptr, nullptr}},
    {kPageInstalling, {OpenInstalling, nullptr, nullptr, nullptr}},
    {kPageUninstalling, {OpenUninstalling, nullptr, nullptr, nullptr}},
    {kPageReport, {OpenReport, nullptr, nullptr, nullptr}},
    {kPageFinishRestart, {OpenFinishRestart, nullptr, nullptr, LeaveFinishRestart}},
    {kPageComplete, {OpenFinal, nullptr, nullptr, nullptr}},
    {kPageAddRemove, {OpenAddRemove, nullptr, nullptr, LeaveAddRemove}},
};

}  // namespace

const PageHandlers& HandlersOf(int page) {
    static const PageHandlers kNone{};
    for (const auto& h : kHandlers)
        if (h.page == page) return h.handlers;
    return kNone;
}

}  // namespace qp::wiz
