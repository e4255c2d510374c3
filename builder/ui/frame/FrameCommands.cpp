// CMainFrame's commands: the project's life (New, Open, Close, Save, Save As), Build with its
// progress, Make File relative, the bars, Explorer and About.
#include <windows.h>
#include <shellapi.h>

#include <cctype>

#include "builder/kit/compressor.h"
#include "builder/kit/kitbuild.h"
#include "builder/kit/kitprepare.h"
#include "builder/kit/typecheck.h"
#include "builder/model/projectfile.h"
#include "builder/ui/frame/MainFrame.h"
#include "builder/ui/logic/commands.h"
#include "builder/ui/res/resource.h"
#include "builder/ui/wizards/Wizards.h"
#include "common/fileinfo.h"
#include "common/fsprim.h"
#include "common/pathutil.h"
#include "common/settings.h"
#include "common/strutil.h"
#include "framework/CommonDialogs.h"
#include "framework/Dialog.h"

namespace qp {

namespace {

// Messages of the model and the build, in message boxes owned by the frame.
class BoxReporter : public Reporter {
public:
    explicit BoxReporter(HWND owner) : owner_(owner) {}
    using Reporter::Report;
    void Report(Severity severity, const std::string& text) override { Report(severity, text, "Quillpacker"); }
    void Report(Severity severity, const std::string& text, const std::string& caption) override {
        const UINT icon = severity == Severity::Error ? MB_ICONERROR
                          : severity == Severity::Warning ? MB_ICONWARNING : MB_ICONINFORMATION;
        ::MessageBoxA(owner_, text.c_str(), caption.c_str(), MB_OK | icon);
    }

private:
    HWND owner_;
};

// The build's progress: the status line, the progress bar, and the messages in between, so
// the window answers while files are added.
class BarProgress : public Progress {
public:
    explicit BarProgress(CMainFrame& frame) : frame_(frame) {}
    void Status(const std::string& text) override { frame_.SetStatusText(text); }
    bool Step(std::uint64_t done, std::uint64_t total) override {
        if (total != total_) {
            total_ = total;
            frame_.SetProgressRange(0, int(total > 0x7FFFFFFF ? 0x7FFFFFFF : total));
        }
        frame_.SetProgressPos(int(done));
        return PumpMessages();
    }

private:
    CMainFrame& frame_;
    std::uint64_t total_ = ~std::uint64_t(0);
};

class CAboutDialog : public CDialog {
public:
    CAboutDialog(HINSTANCE instance, std::string version) : CDialog(instance, IDD_ABOUT), version_(std::move(version)) {}

protected:
    bool OnInit() override {
        Item(IDC_ABOUT_VERSION).SetText(version_);
        return true;
    }

private:
    std::string version_;
};

const char kProjectFilter[] = "Quillpacker Project(*.qpk) |*.qpk|(*.*)|*.*||";

}  // namespace

std::string CMainFrame::ProgramDir() const {
    char buf[MAX_PATH * 2] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, buf, sizeof(buf));
    std::string path(buf, n);
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

void CMainFrame::SetProject(std::unique_ptr<CDazDoc> doc) {
    if (edits_) edits_->RemoveListener(this);
    for (auto& w : items_) w->ShowItem(nullptr);
    bar_.SetProject(nullptr);
    edits_.reset();
    doc_ = std::move(doc);
    if (doc_) {
        edits_ = std::make_unique<ProjectEdits>(*doc_);
        edits_->AddListener(this);
        doc_->on_modified_changed = [this](bool) { UpdateCaption(); };
        colours_[0] = COLORREF(doc_->settings_block.U32(SettingsBlock::kWindowColour1));
        colours_[1] = COLORREF(doc_->settings_block.U32(SettingsBlock::kWindowColour2));
        bar_.SetProject(doc_.get());
        bar_.Show(SW_SHOW);
        EnterProjectFolder();
    } else {
        // The item windows go out of sight with the project.
        for (auto& w : items_) w->Show(SW_HIDE);
    }
    ::InvalidateRect(client_, nullptr, TRUE);
    RecalcLayout();
    UpdateCaption();
}

bool CMainFrame::CloseProject() {
    if (!doc_) return true;
    if (doc_->IsModified()) {
        const std::string text = "Save changes to " + ProjectTitle(doc_->PathName(), false) + "?";
        const int answer = ::MessageBoxA(hwnd_, text.c_str(), "Quillpacker", MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL) return false;
        if (answer == IDYES && !OnSave(false)) return false;
    }
    SetProject(nullptr);
    return true;
}

bool CMainFrame::OpenProject(const std::string& path) {
    if (!CloseProject()) return false;
    BoxReporter reporter(hwnd_);
    std::unique_ptr<CDazDoc> doc = qp::OpenProject(path, reporter, &texts_);
    if (!doc) {
        // A file that cannot be opened leaves the recent list.
        for (std::size_t i = 0; i < recent_.Entries().size(); ++i)
            if (recent_.Entries()[i] == path) recent_.Remove(i);
        return false;
    }
    doc->wizard_texts = &texts_;
    recent_.Add(path);
    SetProject(std::move(doc));
    opened_from_ = path;
    bar_.SelectTab(bar_.CurrentTab());
    return true;
}

void CMainFrame::OnNew() {
    // The open project stays open, unchanged, until the new one is chosen: Cancel in the
    // dialog or in the project wizard leaves it as it was.
    if (building_) return;
    NewProjectChoice choice;
    if (!RunNewProjectDialog(hwnd_, instance_, choice)) return;
    auto doc = std::make_unique<CDazDoc>();
    doc->wizard_texts = &texts_;
    doc->NewProject();
    if (choice.type == 1) {
        SheetContext ctx = SheetContextFor();
        ctx.doc = doc.get();
        ctx.pending = nullptr;
        ctx.colours_changed = nullptr;  // the open project's colours stay behind the windows
        if (!RunNewProjectWizard(ctx)) return;  // the new project goes with `doc`
    }
    // Only now the open project goes (its changes saved if the author wants): a save of it
    // cannot land on the new project's file after that file is written.
    if (!CloseProject()) return;
    BoxReporter reporter(hwnd_);
    CreateDirectoryPath(FolderOf(choice.path), reporter);
    doc->SetPathName(choice.path);
    if (!SaveProject(*doc, choice.path, reporter)) return;
    recent_.Add(choice.path);
    SetProject(std::move(doc));
    opened_from_.clear();
    bar_.SelectTab(bar_.CurrentTab());
    SetStatusText("Ready");  // nothing of the last project's build is left in sight
}

SheetContext CMainFrame::SheetContextFor() {
    SheetContext ctx;
    ctx.owner = hwnd_;
    ctx.instance = instance_;
    ctx.doc = doc_.get();
    ctx.pending = &pending_;
    ctx.program_dir = ProgramDir();
    ctx.colours_changed = [this] {
        if (!doc_) return;
        colours_[0] = COLORREF(doc_->settings_block.U32(SettingsBlock::kWindowColour1));
        colours_[1] = COLORREF(doc_->settings_block.U32(SettingsBlock::kWindowColour2));
        ::InvalidateRect(client_, nullptr, TRUE);
        ::UpdateWindow(client_);
    };
    return ctx;
}

void CMainFrame::OnSettings() {
    if (!doc_ || building_) return;
    auto languages = [this] {
        std::vector<std::int32_t> out;
        for (const auto& l : doc_->string_table.language_list) out.push_back(l->table_index);
        return out;
    };
    const std::vector<std::int32_t> before = languages();
    SheetContext ctx = SheetContextFor();
    RunProjectSettings(ctx);
    ctx.colours_changed();
    if (languages() != before) {
        // The string window lets go of its language; the trees show the project again.
        Item(ItemWindowKind::kString).ShowItem(nullptr);
        bar_.SetProject(doc_.get());
        bar_.SelectTab(bar_.CurrentTab());
    }
    for (auto& w : items_) w->Reload();
    UpdateCaption();
}

void CMainFrame::OnOpen() {
    FileDialogOptions o;
    o.filter = kProjectFilter;
    o.default_ext = "qpk";
    o.initial_file = "*.qpk";
    const std::vector<std::string> paths = OpenFileDialog(hwnd_, o);
    if (!paths.empty()) OpenProject(paths[0]);
}

bool CMainFrame::OnSave(bool ask_path) {
    if (!doc_) return false;
    // Sheets still open write what they show, so that the file holds it.
    pending_.CommitAll();
    std::string path = doc_->PathName();
    if (ask_path || path.empty()) {
        FileDialogOptions o;
        o.filter = kProjectFilter;
        o.default_ext = "qpk";
        o.initial_file = path;
        path = SaveFileDialog(hwnd_, o);
        if (path.empty()) return false;
    }
    for (auto& w : items_) w->BeforeSave();
    BoxReporter reporter(hwnd_);
    if (!SaveProject(*doc_, path, reporter)) return false;
    recent_.Add(path);
    EnterProjectFolder();
    UpdateCaption();
    return true;
}

void CMainFrame::EnterProjectFolder() {
    // Side files and bare file names are found relative to the current folder, which is the
    // project's own, as after choosing the project in the open dialog.
    const std::string& path = doc_ ? doc_->PathName() : std::string();
    const std::size_t slash = path.find_last_of("\\/");
    if (slash != std::string::npos) ::SetCurrentDirectoryA(path.substr(0, slash).c_str());
}

void CMainFrame::OnBuild() {
    if (!doc_ || building_) return;
    BoxReporter reporter(hwnd_);
    KitBuildParams params;
    params.runtime_path = RuntimeSource(ProgramDir());
    HINSTANCE instance = instance_;
    HWND owner = hwnd_;
    CDazDoc* doc = doc_.get();
    // Folders made for this build (the kit root and its missing parents): a build that makes no
    // kit does not leave them behind empty.
    std::vector<std::string> made;
    params.wizard = [instance, owner, doc, &made](KitBuildParams& p) {
        BuildPageState state = BuildPageState::Read(*doc);
        if (!RunBuildWizard(owner, instance, *doc, state, made)) return false;
        p.kit_name = state.kit_name;
        p.kit_root = state.kit_root;
        p.single_file = state.single_file != 0;
        for (const std::string& f : MissingFolders(p.kit_root, [](const std::string& d) { return IsDirectory(d); }))
            made.push_back(f);
        return true;
    };
    params.kit_root = DefaultKitRoot(*doc_);
    std::unique_ptr<BuildProgressWindow> window;
    BarProgress bar_progress(*this);
    // kitzip.dll beside the builder; its console output has nowhere to go in a GUI program.
    params.make_compressor = [](Reporter& r) { return MakeDllCompressor(r, "", nullptr); };
    params.show_kit_dir = [](const std::string& dir) {
        // A build that made no kit has no folder to show: an explorer on a missing folder
        // would only show an error, or nothing, and stay.
        if (IsDirectory(dir)) ::ShellExecuteA(nullptr, "open", "explorer.exe", dir.c_str(), nullptr, SW_SHOWNORMAL);
    };
    // The progress window appears once the wizard is done, and holds the frame still meanwhile.
    auto wizard = params.wizard;
    // The kit-build policy of qpbc too, once the author has confirmed the wizard: a project
    // imported from an ".ipr" gets the GUID derived from it, a ".qpk" keeps the one of its
    // first build, side files named without a folder come from the project's folder.
    KitPrepareOptions prepare;
    const std::string& from = opened_from_;
    const bool imported = from.size() >= 4 && EqualNoCase(from.substr(from.size() - 4), ".ipr");
    prepare.project_path = imported ? from : doc_->PathName();
    params.wizard = [&](KitBuildParams& p) {
        if (!wizard(p)) return false;
        // What the policy only tells (a GUID made or derived) goes to the status line; a box
        // would stop the build for nothing.
        struct : Reporter {
            Reporter* boxes = nullptr;
            CMainFrame* frame = nullptr;
            using Reporter::Report;
            void Report(Severity severity, const std::string& text) override {
                if (severity == Severity::Info) frame->SetStatusText(text);
                else boxes->Report(severity, text);
            }
        } policy_reporter;
        policy_reporter.boxes = &reporter;
        policy_reporter.frame = this;
        if (PrepareKitBuild(*doc_, prepare, p, policy_reporter).status != KitPrepareStatus::kReady) return false;
        window = std::make_unique<BuildProgressWindow>(hwnd_, instance_);
        window->forward = &bar_progress;
        ::EnableWindow(hwnd_, FALSE);
        return true;
    };
    struct Relay : Progress {
        std::unique_ptr<BuildProgressWindow>& to;
        BarProgress& bar;
        Relay(std::unique_ptr<BuildProgressWindow>& t, BarProgress& b) : to(t), bar(b) {}
        void Status(const std::string& text) override { to ? to->Status(text) : bar.Status(text); }
        bool Step(std::uint64_t done, std::uint64_t total) override { return to ? to->Step(done, total) : bar.Step(done, total); }
    } progress(window, bar_progress);
    building_ = true;
    ShowProgress(true);
    SetStatusText("Build");
    const KitBuildResult result = BuildMedia(*doc_, params, reporter, &progress);
    RemoveEmptyFolders(made);
    ShowProgress(false);
    ::EnableWindow(hwnd_, TRUE);
    window.reset();
    building_ = false;
    // Setup types that install nothing do not stop the kit; the publisher hears of them.
    std::string warnings;
    for (std::string w : result.complete ? SetupTypeWarnings(*doc_) : std::vector<std::string>()) {
        w[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(w[0])));
        warnings += "\n" + w + ".";
    }
    if (!warnings.empty()) reporter.Report(Severity::Warning, "The kit is built." + warnings, "Build Media");
    SetStatusText(result.complete ? "Kit complete: " + (result.program.empty() ? result.kit_dir : result.program)
                                  : result.cancelled && result.started ? "Build cancelled: the kit was not made"
                                  : (result.started ? "The kit is not complete" : "Ready"));
}

void CMainFrame::OnAbout() {
    char path[MAX_PATH * 2] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string text;
    FileVersion(path, &text);
    CAboutDialog(instance_, text).DoModal(hwnd_);
}

void CMainFrame::OnExplorer() {
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    char line[] = "explorer.exe  ";
    if (::CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
}

bool CMainFrame::OnCmdMsg(UINT id) {
    switch (id) {
    case cmd::kNew: OnNew(); return true;
    case cmd::kOpen: OnOpen(); return true;
    case cmd::kClose: CloseProject(); return true;
    case cmd::kSave: OnSave(false); return true;
    case cmd::kSaveAs: OnSave(true); return true;
    case cmd::kExit: Post(WM_CLOSE); return true;
    case cmd::kBuild: OnBuild(); return true;
    case cmd::kAbout: OnAbout(); return true;
    case cmd::kExplorer: OnExplorer(); return true;
    case cmd::kSettings: OnSettings(); return true;
    case cmd::kMakeRelative:
        if (edits_) edits_->MakeFileNamesRelative();
        return true;
    case cmd::kInsertGroup:
        return bar_.OnCmdMsg(id);
    case cmd::kViewToolbar:
        ::ShowWindow(toolbar_, ::IsWindowVisible(toolbar_) ? SW_HIDE : SW_SHOW);
        RecalcLayout();
        return true;
    case cmd::kViewStatusBar:
        status_.Show(::IsWindowVisible(status_) ? SW_HIDE : SW_SHOW);
        RecalcLayout();
        return true;
    case cmd::kWorkspaceBar:
        bar_.Show(bar_.Visible() ? SW_HIDE : SW_SHOW);
        RecalcLayout();
        return true;
    case cmd::kCascade: ::SendMessageA(client_, WM_MDICASCADE, 0, 0); return true;
    case cmd::kTile: ::SendMessageA(client_, WM_MDITILE, MDITILE_VERTICAL, 0); return true;
    case cmd::kArrange: ::SendMessageA(client_, WM_MDIICONARRANGE, 0, 0); return true;
    case cmd::kHelpTopics:
    case cmd::kContextHelp:
        ::MessageBoxA(hwnd_, "Help is not installed.", "Quillpacker", MB_OK | MB_ICONINFORMATION);
        return true;
    }
    if (id >= cmd::kRecentFirst && id <= cmd::kRecentLast) {
        const std::size_t i = id - cmd::kRecentFirst;
        if (i < recent_.Entries().size()) OpenProject(std::string(recent_.Entries()[i]));
        return true;
    }
    if (id >= cmd::kWindowFirst && id <= cmd::kWindowLast) {
        OnWindowEntry(id);
        return true;
    }
    return false;
}

}  // namespace qp
