// "New Project", the "Build Media" wizard with its page "Build", and the build's progress window.
#include "builder/ui/wizards/Wizards.h"

#include <commctrl.h>
#include <shlobj.h>

#include "builder/ui/res/resource.h"
#include "builder/ui/sheets/Sheet.h"
#include "common/fileio.h"
#include "common/fsprim.h"
#include "common/pathutil.h"
#include "framework/CommonDialogs.h"
#include "framework/Dialog.h"
#include "framework/Frame.h"

namespace qp {

namespace {

constexpr int kTypeList = 1200, kFileName = 1201, kDirectory = 1202, kBrowse = 1203;
constexpr int kKitName = 1210, kKitRoot = 1211, kKitBrowse = 1212, kExist = 1213, kUncompressed = 1214,
              kSingleFile = 1215;
constexpr int kStatus = 1220, kBar = 1221;

// Failures of the directory creation, in a message box over the dialog.
class BoxReporter : public Reporter {
public:
    explicit BoxReporter(HWND owner) : owner_(owner) {}
    using Reporter::Report;
    void Report(Severity, const std::string& text) override { Report(Severity::Error, text, "Quillpacker"); }
    void Report(Severity, const std::string& text, const std::string& caption) override {
        ::MessageBoxA(owner_, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
    }

private:
    HWND owner_;
};

class CProjectWizard : public CDialog {
public:
    CProjectWizard(HINSTANCE instance, NewProjectChoice& choice)
        : CDialog(instance, tmpl_), tmpl_("New Project", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 260, 150),
          choice_(choice) {
        tmpl_.AddControl("STATIC", -1, "Project Type", WS_VISIBLE, 7, 7, 100, 9);
        tmpl_.AddControl(WC_LISTVIEWA, kTypeList, "",
                         WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_ICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE,
                         7, 18, 246, 60);
        tmpl_.AddControl("STATIC", -1, "FileName", WS_VISIBLE, 7, 86, 50, 9);
        tmpl_.AddControl("EDIT", kFileName, "", WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 60, 84, 193, 13);
        tmpl_.AddControl("STATIC", -1, "Directory", WS_VISIBLE, 7, 105, 50, 9);
        tmpl_.AddControl("EDIT", kDirectory, "", WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 60, 103, 168, 13);
        tmpl_.AddControl("BUTTON", kBrowse, "...", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 231, 103, 22, 13);
        tmpl_.AddControl("BUTTON", IDOK, "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 149, 129, 50, 14);
        tmpl_.AddControl("BUTTON", IDCANCEL, "Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 203, 129, 50, 14);
    }
    ~CProjectWizard() override {
        if (images_) ImageList_Destroy(images_);
    }

protected:
    bool OnInit() override {
        char dir[MAX_PATH * 2] = {};
        ::GetCurrentDirectoryA(sizeof(dir), dir);
        Item(kDirectory).SetText(dir);
        CListCtrl list(Item(kTypeList));
        images_ = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 2, 0);
        ImageList_AddIcon(images_, ::LoadIconA(Instance(), MAKEINTRESOURCEA(IDI_ITEM_FIRST + 1)));  // a group: empty
        ImageList_AddIcon(images_, ::LoadIconA(Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME)));       // the builder: wizard
        list.SetImageList(images_, LVSIL_NORMAL);
        list.Insert(0, "Empty", 0, 0);
        list.Insert(1, "Wizard", 1, 1);
        list.Select(0);
        ::SetFocus(Item(kFileName));
        return false;
    }
    bool OnCommand(int id, int code, HWND) override {
        if (id == kBrowse && code == BN_CLICKED) {
            const std::string dir = BrowseForFolder(hwnd_, "Select Directory for project");
            if (!dir.empty()) Item(kDirectory).SetText(dir);
            return true;
        }
        return false;
    }
    void OnOK() override {
        const int sel = CListCtrl(Item(kTypeList)).NextSelected();
        if (sel < 0) return;
        const std::string name = Item(kFileName).Text();
        if (name.empty()) return;  // "<dir>\.qpk" would be no project name at all
        std::string dir = Item(kDirectory).Text();
        StripTrailingBackslashes(dir);
        BoxReporter reporter(hwnd_);
        if (!CreateDirectoryPath(dir, reporter)) return;
        const std::string path = NewProjectPath(dir, name);
        if (IsFile(path) && ::MessageBoxA(hwnd_, "File Exist. Overwrite ?", "New Project", MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return;
        choice_.type = sel;
        choice_.path = path;
        EndDialog(IDOK);
    }

private:
    CDialogTemplate tmpl_;
    NewProjectChoice& choice_;
    HIMAGELIST images_ = nullptr;
};

// The kits under a root, from the system's own listing.
std::vector<std::string> ListKits(const std::string& root) {
    std::vector<DirEntry> listing;
    WIN32_FIND_DATAA f{};
    HANDLE h = ::FindFirstFileA(KitListPattern(root).c_str(), &f);
    if (h == INVALID_HANDLE_VALUE) return {};
    do {
        listing.push_back({f.cFileName, (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                           (f.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0});
    } while (::FindNextFileA(h, &f));
    ::FindClose(h);
    return ExistingKits(listing);
}

class CBuild1 : public CQpPage {
public:
    CBuild1(HINSTANCE instance, BuildPageState& state, std::vector<std::string>& made)
        : CQpPage(instance, "Build", 250, 160), state_(state), made_(made) {
        Label("Name", 7, 9, 40);
        EditBox(kKitName, 50, 7, 193);
        Label("Directory", 7, 27, 40);
        EditBox(kKitRoot, 50, 25, 168, 13, ES_AUTOHSCROLL | ES_READONLY);
        PushButton(kKitBrowse, "...", 221, 25, 22, 13);
        Label("Exist", 7, 45, 40);
        Control("LISTBOX", kExist, WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 50, 45, 193, 95);
        tmpl_.AddControl("BUTTON", kUncompressed, "Uncompressed file", WS_TABSTOP | BS_AUTOCHECKBOX, 50, 145, 90, 10);
        tmpl_.AddControl("BUTTON", kSingleFile, "One program (name.exe)", WS_TABSTOP | BS_AUTOCHECKBOX, 143, 145, 100, 10);
    }

protected:
    void Load() override {
        // The root is made when missing (one level: its parent must exist), and remembered, so
        // that a build that makes no kit in it does not leave it behind empty.
        if (!state_.kit_root.empty() && !IsDirectory(state_.kit_root)) {
            const std::vector<std::string> missing = MissingFolders(state_.kit_root, [](const std::string& p) { return IsDirectory(p); });
            if (MakeDirectory(state_.kit_root) && !missing.empty()) made_.push_back(missing.front());
        }
        Item(kKitName).SetText(state_.kit_name);
        ::CheckDlgButton(hwnd_, kSingleFile, state_.single_file ? BST_CHECKED : BST_UNCHECKED);
        Fill();
    }
    bool OnCommand(int id, int code, HWND control) override {
        if (id == kKitBrowse && code == BN_CLICKED) {
            const std::string dir = BrowseForFolderAt(hwnd_, "Select Directory to create kit", state_.kit_root);
            if (!dir.empty()) {
                state_.kit_root = dir;
                Fill();
            }
            return true;
        }
        if (id == kExist && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) {
            const LRESULT sel = Item(kExist).Send(LB_GETCURSEL);
            if (sel != LB_ERR) {
                char buf[MAX_PATH * 2] = {};
                if (Item(kExist).Send(LB_GETTEXTLEN, WPARAM(sel)) < LRESULT(sizeof(buf)))
                    Item(kExist).Send(LB_GETTEXT, WPARAM(sel), LPARAM(buf));
                Item(kKitName).SetText(buf);
                if (code == LBN_DBLCLK) PropSheet_PressButton(::GetParent(hwnd_), PSBTN_FINISH);
            }
            return true;
        }
        return CQpPage::OnCommand(id, code, control);
    }
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(l)->code == PSN_WIZFINISH) {
            state_.kit_name = Item(kKitName).Text();
            state_.uncompressed = ::IsDlgButtonChecked(hwnd_, kUncompressed) == BST_CHECKED ? 1 : 0;
            state_.single_file = ::IsDlgButtonChecked(hwnd_, kSingleFile) == BST_CHECKED ? 1 : 0;
        }
        return CQpPage::HandleMessage(msg, w, l);
    }

private:
    void Fill() {
        Item(kKitRoot).SetText(state_.kit_root);
        CWindow list = Item(kExist);
        list.Send(LB_RESETCONTENT);
        for (const std::string& k : ListKits(state_.kit_root)) list.Send(LB_ADDSTRING, 0, LPARAM(k.c_str()));
    }

public:
    // Finish: refused, with the reason, while the name cannot be the kit's folder.
    bool NameAccepted() {
        const std::string why = KitNameMessage(state_.kit_name);
        if (why.empty()) return true;
        ::MessageBoxA(::GetParent(hwnd_), why.c_str(), "Build Media", MB_OK | MB_ICONWARNING);
        HWND name = Item(kKitName);
        ::SetFocus(name);
        ::SendMessageA(name, EM_SETSEL, 0, -1);
        return false;
    }

private:
    BuildPageState& state_;
    std::vector<std::string>& made_;
};

}  // namespace

void RemoveEmptyFolders(const std::vector<std::string>& folders) {
    // RemoveDirectory takes only an empty folder: one that holds a kit, or anything else, stays.
    for (const std::string& f : folders) ::RemoveDirectoryA(f.c_str());
}

bool RunNewProjectDialog(HWND owner, HINSTANCE instance, NewProjectChoice& choice) {
    CProjectWizard dlg(instance, choice);
    return dlg.DoModal(owner) == IDOK;
}

bool RunBuildWizard(HWND owner, HINSTANCE instance, CDazDoc& doc, BuildPageState& state, std::vector<std::string>& made) {
    CBuild1 page(instance, state, made);
    CQpSheet sheet("Build Media", true, true);
    sheet.AddPage(page);
    sheet.on_finish = [&page] { return page.NameAccepted(); };
    if (sheet.DoModal(owner, instance) != IDOK) {
        RemoveEmptyFolders(made);
        made.clear();
        return false;
    }
    state.Apply(doc);
    return true;
}

// ---- progress ----------------------------------------------------------------------------------

class BuildProgressWindow::Impl : public CDialog {
public:
    Impl(HINSTANCE instance)
        : CDialog(instance, tmpl_), tmpl_("Build Media", WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME, 0, 0, 260, 70) {
        tmpl_.AddControl("STATIC", kStatus, "", WS_VISIBLE | SS_LEFT | SS_PATHELLIPSIS, 7, 7, 246, 9);
        tmpl_.AddControl(PROGRESS_CLASSA, kBar, "", WS_VISIBLE | WS_BORDER, 7, 21, 246, 12);
        tmpl_.AddControl("BUTTON", IDCANCEL, "Cancel", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 105, 45, 50, 14);
    }
    ~Impl() override { Destroy(); }
    bool cancelled = false;

protected:
    bool OnInit() override {
        // Centred over the owner.
        RECT o = CWindow(::GetWindow(hwnd_, GW_OWNER)).WindowRect(), me = WindowRect();
        SetPos(o.left + ((o.right - o.left) - (me.right - me.left)) / 2, o.top + ((o.bottom - o.top) - (me.bottom - me.top)) / 2);
        return true;
    }
    void OnCancel() override {
        cancelled = true;
        Item(IDCANCEL).Enable(false);
        Item(kStatus).SetText("Cancelling...");
    }
    void OnOK() override {}

private:
    CDialogTemplate tmpl_;
};

BuildProgressWindow::BuildProgressWindow(HWND owner, HINSTANCE instance) : impl_(new Impl(instance)) {
    impl_->Create(owner);
}

BuildProgressWindow::~BuildProgressWindow() { delete impl_; }

void BuildProgressWindow::Status(const std::string& text) {
    if (!impl_->cancelled) impl_->Item(kStatus).SetText(text);
    if (forward) forward->Status(text);
}

bool BuildProgressWindow::Step(std::uint64_t done, std::uint64_t total) {
    CProgressBar bar(impl_->Item(kBar));
    bar.SetRange(0, int(total > 0x7FFFFFFF ? 0x7FFFFFFF : total));
    bar.SetPos(int(done));
    const bool go_on = forward ? forward->Step(done, total) : PumpMessages();
    return go_on && !impl_->cancelled;
}

bool BuildProgressWindow::Cancelled() const { return impl_->cancelled; }

}  // namespace qp
