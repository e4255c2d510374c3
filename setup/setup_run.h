// What setup.exe's start-up hands to the interactive and the unattended run, and what they
// hand back for the exit steps.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/setuplist.h"
#include "setup/engine/driver.h"
#include "setup/engine/installphase.h"
#include "setup/engine/runstate.h"
#include "setup/wizard/setup_data.h"
#include "setup/wizard/wizard_state.h"

namespace qp::setup {

// "-log FILE": every report line and every message of the run, appended. Lines are gathered
// in memory and written at once when the run flushes (after each phase, and at exit), not with
// an open of the file per line.
class RunLog {
public:
    RunLog() = default;
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;
    ~RunLog() { Flush(); }
    void Open(const std::string& path) { path_ = path; }
    void Line(const std::string& text) {
        if (path_.empty()) return;
        pending_ += text;
        pending_ += "\r\n";
    }
    void Flush() {
        if (path_.empty() || pending_.empty()) return;
        if (FILE* f = fopen(path_.c_str(), "ab")) {
            fwrite(pending_.data(), 1, pending_.size(), f);
            fclose(f);
        }
        pending_.clear();
    }

private:
    std::string path_;
    std::string pending_;
};

struct Run {
    HINSTANCE instance = nullptr;
    CommandLine cl;
    RunLog log;
    SetupList list;
    SetupList earlier_list;  // the information folder's copy, in an upgrade
    RunState run;
    wiz::WizardData data;
    wiz::WizardState state;
    std::string cab_path, bmp_path, readme_path, license_path;
    // A one-file kit: the side files come from inside it instead of from those paths.
    bool side_files_inside = false;
    std::vector<std::uint8_t> bmp_bytes;
    std::string readme_text, license_text;
    bool files_failed = false;  // a file could not be copied
    bool phase_completed = false;  // the install or removal phase ran to its end: nothing undoes it
    Outcome outcome = Outcome::Completed;
};

// Shows (or, unattended, logs) a message of the start-up or exit steps.
void Say(Run& r, const std::string& text, const std::string& caption, UINT flags);

// The interactive run: splash, language dialog, wizard and its message loop.
void RunInteractive(Run& r);
// The unattended run ("-s"): every page's default, safe answers, no window.
void RunUnattended(Run& r);

// Copies the wizard's choices into the engine's run state before a phase.
void PrepareRunState(Run& r);
// After a phase: the report, the restart and the copy failures back into the wizard's state.
void TakePhaseResult(Run& r);
// Runs the install (or, with `remove`, the removal) phase with this system's effects.
bool RunPhase(Run& r, Questions& questions, EngineEvents& events, bool remove);

}  // namespace qp::setup
