// The install phase: the one entry that the wizard's install and remove pages (and tests) drive.
// It builds the install and remove lists, installs or removes the file groups of each component,
// applies shortcuts and registry values, registers a first installation for removal and writes
// the installation log.
#pragma once
#include <string>

#include "setup/engine/filerules.h"
#include "setup/engine/questions.h"
#include "setup/engine/registry.h"
#include "setup/engine/runstate.h"
#include "setup/engine/shortcuts.h"

namespace qp {

// The effects an install phase works through.
struct Platform {
    FileEffects& files;
    RegistryEffects& registry;
    ShortcutEffects& shortcuts;
};

// The number of files the phase will handle: those of the groups of the install list, or in a
// remove run those of the remove list (the progress bar's range). Builds the lists.
int CountPhaseFiles(RunState& run);

// Makes sure the kit archive is there, asking for its folder while it is not. False = cancelled.
bool EnsureArchive(RunState& run, FileEffects& files, Questions& questions);

// Runs the phase for run.mode. False when it was aborted (the abort flag is then set).
bool RunInstallPhase(RunState& run, Platform& platform, Questions& questions, EngineEvents& events);

// The remove page: the phase in remove mode, then the uninstall key, the log and the copied list.
bool RemoveProduct(RunState& run, Platform& platform, Questions& questions, EngineEvents& events);

// At exit of an aborted run: deletes every file this run wrote and puts back the use counts of
// shared files that it raised.
void DeleteWrittenFiles(RunState& run, FileEffects& files);

}  // namespace qp
