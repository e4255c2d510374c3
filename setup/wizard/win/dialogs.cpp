// The language dialog, the folder browser with its "Create dir?" question, and the read-only
// viewer behaviour of the licence and readme edits.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include "common/fsprim.h"
#include "common/pathutil.h"
#include "setup/wizard/language_choice.h"
#include "setup/wizard/win/attach.h"
#include "setup/wizard/win/commoncontrols.h"
#include "setup/wizard/win/resources.h"
#include "setup/wizard/win/wizard_ui.h"

namespace qp::wiz {
namespace {

struct LanguageDialog {
    WizardData* data;
    WizardState* state;
};

INT_PTR CALLBACK LanguageProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* ld = DialogObject<LanguageDialog*>(dlg, msg, lp);
    switch (msg) {
    case WM_INITDIALOG: {
        HWND combo = GetDlgItem(dlg, IDC_LANGUAGE_LIST);
        for (std::size_t i = 0; i < ld->data->language_names.size(); ++i) {
            LRESULT at = SendMessageA(combo, CB_ADDSTRING, 0,
                                      (LPARAM)ld->data->language_names[i].c_str());
            SendMessageA(combo, CB_SETITEMDATA, at, static_cast<LPARAM>(i));
        }
        SendMessageA(combo, CB_SETCURSEL, DefaultLanguage(*ld->data), 0);
        return TRUE;
    }
    case WM_COMMAND: {
        if (LOWORD(wp) == IDOK && ld) {
            LRESULT sel = SendDlgItemMessageA(dlg, IDC_LANGUAGE_LIST, CB_GETCURSEL, 0, 0);
            std::size_t pos = sel == CB_ERR ? 0
                                            : static_cast<std::size_t>(SendDlgItemMessageA(
                                                  dlg, IDC_LANGUAGE_LIST, CB_GETITEMDATA, sel, 0));
            ld->state->language_position = pos;
            ld->state->language_index =
                pos < ld->data->language_indices.size() ? ld->data->language_indices[pos] : 0;
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    default: return FALSE;
    }
}

struct BrowseState {
    const char* start;  // the caller's path, alive while the browser is open
    HWND create_owner;
    bool starting = false;  // the browser's own selection of where it opens
};

int CALLBACK BrowseProc(HWND wnd, UINT msg, LPARAM lp, LPARAM data) {
    auto* bs = reinterpret_cast<BrowseState*>(data);
    switch (msg) {
    case BFFM_INITIALIZED:
        if (*bs->start) {
            // A destination that does not exist yet opens the tree at its nearest existing
            // folder; the status line and the edit box still say where the product goes.
            const std::string open = NearestExistingFolder(bs->start, [](const std::string& p) { return IsDirectory(p); });
            bs->starting = true;
            if (!open.empty()) SendMessageA(wnd, BFFM_SETSELECTIONA, TRUE, (LPARAM)open.c_str());
            bs->starting = false;
            SendMessageA(wnd, BFFM_SETSTATUSTEXTA, 0, (LPARAM)bs->start);
            if (HWND edit = FindWindowExA(wnd, nullptr, "Edit", nullptr)) SetWindowTextA(edit, bs->start);
        }
        SendMessageA(wnd, BFFM_ENABLEOK, 0, TRUE);
        break;
    case BFFM_SELCHANGED: {
        if (bs->starting) break;
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lp), path)) {
            SendMessageA(wnd, BFFM_SETSTATUSTEXTA, 0, (LPARAM)path);
            if (HWND edit = FindWindowExA(wnd, nullptr, "Edit", nullptr)) SetWindowTextA(edit, path);
        }
        break;
    }
    case BFFM_VALIDATEFAILEDA:
    case BFFM_VALIDATEFAILEDW: {
        char path[MAX_PATH] = {};
        if (HWND edit = FindWindowExA(wnd, nullptr, "Edit", nullptr)) GetWindowTextA(edit, path, MAX_PATH);
        if (MessageBoxA(bs->create_owner, "Create dir?", path, MB_YESNO) == IDYES &&
            CreateFolderOrSay(wnd, path)) {
            SendMessageA(wnd, BFFM_SETSELECTIONA, TRUE, (LPARAM)path);
            PostMessageA(wnd, WM_COMMAND, IDOK, 0);
        }
        return 1;  // keep the browser open
    }
    default: break;
    }
    return 0;
}

LRESULT CALLBACK ViewerProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    switch (msg) {
    case WM_KEYDOWN:
        if (wp < VK_NEXT || wp > VK_SELECT) return 0;  // Page Down .. Select move, nothing else
        break;
    case WM_CHAR:
        if (wp == 3) break;  // Ctrl+C copies
        return 0;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
        MessageBeep(MB_ICONASTERISK);
        return 0;
    default: break;
    }
    return DefSubclass(wnd, msg, wp, lp);
}

}  // namespace

std::size_t DefaultLanguage(const WizardData& data) {
    return PreselectLanguage(data.language_ids, GetUserDefaultLangID());
}

int ChooseLanguage(HINSTANCE instance, HWND owner, WizardData& data, WizardState& state) {
    LanguageDialog ld{&data, &state};
    INT_PTR r = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_LANGUAGE), owner, LanguageProc,
                                reinterpret_cast<LPARAM>(&ld));
    if (r != IDOK) return 2;
    data.texts.SetLanguage(state.language_position);
    data.texts.ResolveProductName();
    return 1;
}

bool BrowseForFolder(HWND owner, const std::string& title, std::string& path, HWND create_owner) {
    BrowseState bs{path.c_str(), create_owner};
    BROWSEINFOA bi{};
    bi.hwndOwner = owner;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    if (create_owner) bi.ulFlags |= BIF_EDITBOX | BIF_VALIDATE;
    bi.lpfn = BrowseProc;
    bi.lParam = reinterpret_cast<LPARAM>(&bs);
    LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
    if (!pidl) return false;
    char chosen[MAX_PATH] = {};
    const bool ok = SHGetPathFromIDListA(pidl, chosen) != FALSE;
    CoTaskMemFree(pidl);
    if (ok) path = chosen;
    return ok;
}

bool CreateFolderOrSay(HWND owner, const std::string& path) {
    NullReporter quiet;  // the failure gets the message box below
    if (CreateDirectoryPath(path, quiet)) return true;
    MessageBoxA(owner, path.c_str(), "Failed to create directory", MB_OK);
    return false;
}

void MakeViewer(HWND edit) { SubclassWindow(edit, ViewerProc, 0, 0); }

}  // namespace qp::wiz
