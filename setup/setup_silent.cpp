// The unattended run ("-s"): no window and no message box. The language is the dialog's
// preselection, every page takes its default as if Next were pressed (the setup type is the
// first one with components), and every question gets its safe answer (a locked file aborts, a missing archive is not searched for).
#include <windows.h>

#include "common/fsprim.h"
#include "common/pathutil.h"
#include "setup/engine/copyfailure.h"
#include "setup/setup_run.h"
#include "setup/wizard/win/wizard_ui.h"

namespace qp::setup {
namespace {

class SilentQuestions : public Questions {
public:
    explicit SilentQuestions(Run& r) : r_(r) {}
    int AbortRetryIgnore(const std::string& text, const std::string& caption) override {
        r_.log.Line(caption + ": " + text);
        return kAbort;
    }
    // Every failure goes to the log (its report line too) and the run goes on to its end: the
    // status then says that files are missing.
    int CopyFailed(const std::string& text) override {
        r_.log.Line("Failed to copy file: " + text);
        r_.files_failed = true;
        return kIgnore;
    }
    void Message(const std::string& text, const std::string& caption, Icon) override {
        r_.log.Line(caption + ": " + text);
        if (caption == "Failed to copy file") r_.files_failed = true;
    }
    bool PickFolder(const std::string& title, std::string&) override {
        r_.log.Line(title + ": not asked in an unattended run");
        return false;
    }

private:
    Run& r_;
};

class LogReporter : public Reporter {
public:
    explicit LogReporter(Run& r) : r_(r) {}
    void Report(Severity, const std::string& text) override {
        r_.log.Line("Failed to create directory: " + text);
    }

private:
    Run& r_;
};

}  // namespace

void RunUnattended(Run& r) {
    wiz::WizardState& s = r.state;
    s.language_position = wiz::DefaultLanguage(r.data);
    s.language_index = s.language_position < r.data.language_indices.size()
                           ? r.data.language_indices[s.language_position]
                           : 0;
    r.data.texts.SetLanguage(s.language_position);
    r.data.texts.ResolveProductName();

    bool remove = false;
    if (!s.maintenance) {
        // An upgrade keeps the earlier choice. A first installation takes the first setup type
        // with components (a type without any would install nothing and still report success),
        // else every component.
        if (!s.upgrade) {
            s.setup_type = wiz::UnattendedSetupType(r.data.root, r.data.types);
            if (s.setup_type >= 0) {
                wiz::TakeSetupType(s, r.data.root, r.data.types);
            } else {
                wiz::ApplyTreeStates(r.data.root, nullptr, false, false);
            }
        }
        LogReporter reporter(r);
        NoteMissingFolders([](const std::string& p) { return PathExists(p); },
                           s.target_dir, s.created_folders);
        if (!CreateDirectoryPath(s.target_dir, reporter)) {
            r.outcome = Outcome::Cancelled;
            s.abort = true;
            return;
        }
    } else {
        // Without an action the maintenance page's default is Modify with the earlier choice.
        if (s.action < 0) s.action = wiz::kActionModify;
        remove = s.action == wiz::kActionRemove;
    }
    SilentQuestions q(r);
    EngineEvents events;
    if (!RunPhase(r, q, events, remove) || r.run.abort) {
        r.outcome = Outcome::Cancelled;
        s.abort = true;
    }
    s.restart_now = false;  // never restart unattended
}

}  // namespace qp::setup
