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

// "-log FILE": every report line and every message of the run, appended.
class RunLog {
public:
    void Open(const std::string& path) { path_ = path; }
    void Line(const std::string& text) const {
        if (path_.empty()) return;
        if (FILE* f = fopen(path_.c_str(), "ab")) {
            fwrite(text.data(), 1, text.size(), f);
            fwrite("\r\n", 1, 2, f);
            fclose(f);
        }
    }

private:
    std::string path_;
};

struct Run {
    HINSTANCE instance = nullptr;
    CommandLine cl;
    RunLog log;
    SetupList list;
    RunState run;
    wiz::WizardData data;
    wiz::WizardState state;
    std::string cab_path, bmp_path, readme_path, license_path;
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
