// The interactive run: splash window, language dialog, the wizard and its message loop, with the
// engine's questions answered by message boxes and its progress shown on the install page.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include "setup/setup_run.h"
#include "setup/wizard/page_tables.h"
#include "setup/wizard/win/wizard_ui.h"

namespace qp::setup {
namespace {

class GuiQuestions : public Questions {
public:
    GuiQuestions(Run& r, wiz::Wizard& w) : r_(r), w_(w) {}
    int AbortRetryIgnore(const std::string& text, const std::string& caption) override {
        r_.log.Line(caption + ": " + text);
        return MessageBoxA(w_.Page(), text.c_str(), caption.c_str(), MB_ABORTRETRYIGNORE);
    }
    void Message(const std::string& text, const std::string& caption, Icon icon) override {
        r_.log.Line(caption + ": " + text);
        if (caption == "Failed to copy file") r_.files_failed = true;
        UINT flags = MB_OK | (icon == kErrorIcon ? MB_ICONERROR
                              : icon == kQuestionIcon ? MB_ICONQUESTION
                                                      : 0);
        MessageBoxA(w_.Page(), text.c_str(), caption.c_str(), flags);
    }
    // Folders and files: a kit folder, or the one program of a one-file kit.
    bool PickFolder(const std::string& title, std::string& folder) override {
        BROWSEINFOA bi{};
        bi.hwndOwner = w_.Page() ? w_.Page() : GetDesktopWindow();
        bi.lpszTitle = title.c_str();
        bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_BROWSEINCLUDEFILES | BIF_EDITBOX;
        LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
        if (!pidl) return false;
        char chosen[MAX_PATH] = {};
        const bool ok = SHGetPathFromIDListA(pidl, chosen) != FALSE;
        CoTaskMemFree(pidl);
        if (ok) folder = chosen;
        r_.log.Line(title + ": " + (ok ? folder : std::string("nothing")));
        return ok;
    }

private:
    Run& r_;
    wiz::Wizard& w_;
};

// The install page while the engine works. Progress and the file line are shown, and the
// window's messages handled, at most every few milliseconds rather than per file: thousands of
// small files would otherwise spend more time on the page than on the files.
class PageEvents : public EngineEvents {
public:
    PageEvents(Run& r, HWND page) : r_(r), page_(page) {}
    ~PageEvents() override { Show(); }
    void Status(const std::string& text) override {
        Show();
        SetDlgItemTextA(page_, wiz::kIdStatus, text.c_str());
    }
    void ProgressRange(int files) override {
        SendDlgItemMessageA(page_, wiz::kIdProgress, PBM_SETRANGE32, 0, files);
    }
    void ProgressPos(int pos) override { pos_ = pos; }
    void FileText(const std::string& path) override {
        file_ = path;
        file_changed_ = true;
    }
    void Pump() override {
        const DWORD now = GetTickCount();
        if (pumped_ && now - last_ < kPumpMs) return;
        pumped_ = true;
        last_ = now;
        Show();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (IsWindow(page_) && IsDialogMessageA(page_, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (r_.state.abort) r_.run.abort = true;
    }

private:
    static constexpr DWORD kPumpMs = 15;

    void Show() {
        if (pos_ != shown_pos_) {
            SendDlgItemMessageA(page_, wiz::kIdProgress, PBM_SETPOS, pos_, 0);
            shown_pos_ = pos_;
        }
        if (file_changed_) {
            SetDlgItemTextA(page_, wiz::kIdFileName, file_.c_str());
            file_changed_ = false;
        }
    }

    Run& r_;
    HWND page_;
    int pos_ = 0, shown_pos_ = -1;
    std::string file_;
    bool file_changed_ = false;
    bool pumped_ = false;
    DWORD last_ = 0;
};

}  // namespace

void RunInteractive(Run& r) {
    wiz::WizardState& s = r.state;
    HWND splash = r.side_files_inside ? wiz::ShowSplash(r.instance, r.bmp_bytes) : wiz::ShowSplash(r.instance, r.bmp_path);
    if (wiz::ChooseLanguage(r.instance, splash, r.data, s) != 1) {
        wiz::DestroySplash(splash);
        r.outcome = Outcome::Cancelled;
        s.abort = true;
        return;
    }
    if (s.maintenance && s.action == wiz::kActionRemove) {
        const std::string q = r.data.texts.Get("REMOVEAPPQUESTION");
        if (MessageBoxA(splash, q.c_str(), "Uninstall", MB_YESNO) != IDYES) {
            wiz::DestroySplash(splash);
            r.outcome = Outcome::Cancelled;
            s.abort = true;
            return;
        }
    }

    wiz::WizardSetup setup;
    setup.instance = r.instance;
    setup.data = &r.data;
    setup.state = &s;
    setup.settings = r.list.settings;
    setup.license_path = r.license_path;
    setup.readme_path = r.readme_path;
    setup.texts_inside = r.side_files_inside;
    setup.license_text = r.license_text;
    setup.readme_text = r.readme_text;
    setup.common_programs = r.run.ctx.common_shell[kShellPrograms];
    wiz::Wizard* wizard_ptr = nullptr;
    setup.hooks.install = [&r, &wizard_ptr](HWND page) {
        GuiQuestions q(r, *wizard_ptr);
        PageEvents ev(r, page);
        RunPhase(r, q, ev, false);
    };
    setup.hooks.uninstall = [&r, &wizard_ptr](HWND page) {
        GuiQuestions q(r, *wizard_ptr);
        PageEvents ev(r, page);
        RunPhase(r, q, ev, true);
    };
    setup.hooks.required_kb = [&r]() {
        InstallContext ctx = r.run.ctx;
        ctx.destination = r.state.target_dir;
        wiz::GroupSizes sizes(r.list, ctx, r.state.language_index);
        return wiz::RequiredKilobytes(
            wiz::SelectedInstallOrder(r.data.root),
            [&sizes](const std::string& g) { return sizes.Files(g); }, r.state.target_dir);
    };

    if (s.maintenance) {
        s.first_page = wiz::FirstMaintenancePage(s.action);
    } else {
        s.first_page = wiz::FirstNormalPage(
            wiz::SequenceOf(s, r.list.settings.page_mask(), r.data.types));
    }
    wiz::Wizard wizard(setup);
    wizard_ptr = &wizard;
    if (!wizard.Run(SW_SHOW)) {
        wiz::DestroySplash(splash);
        r.outcome = Outcome::StartFailed;
        return;
    }
    wiz::DestroySplash(splash);
    MSG msg;
    while (!s.end && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        HWND page = wizard.Page();
        if (page && IsDialogMessageA(page, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    wizard.Close();
    if (s.abort) r.outcome = Outcome::Cancelled;
}

}  // namespace qp::setup
