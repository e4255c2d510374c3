// A kit that finds its product registered: whether it upgrades, maintains or is refused, which
// components an upgrade installs, and what of the earlier version an upgrade removes after
// installing (files, shortcuts and registry values that this version no longer brings).
#pragma once
#include <string>
#include <vector>

#include "common/setuplist.h"

namespace qp {

struct RunState;
class FileEffects;
class RegistryEffects;
class ShortcutEffects;
class EngineEvents;

enum class KitRun {
    FirstInstall,  // the product is not registered
    Maintenance,   // the same version, or the uninstaller copy in the information folder
    Upgrade,       // this kit is newer than the registered version
    Older,         // this kit is older: refused ("another version is already installed")
};

// `from_info_folder`: the running program is the copy in the product's information folder,
// which always maintains what is installed.
KitRun DecideKitRun(bool registered, bool from_info_folder, const std::string& kit_version,
                    const std::string& registered_version);

// The product's version: the text of "DisplayVersion" when the list has one, else the text of
// "PRODUCT_VERSION" (language 0).
std::string ProductVersion(const SetupList& list);

// The components an upgrade selects: the earlier choice where the component still exists
// (matched by component path, without regard to case), and the components new in this version
// (not in `earlier_list`) that the first setup type with components selects. Without the
// earlier list nothing counts as new. Paths in this list's tree order.
std::vector<std::string> UpgradeSelection(const SetupList& list, const SetupList* earlier_list,
                                          const std::vector<std::string>& earlier_components);

// The targets of every file of `groups` in `list`, destinations expanded for `run`.
std::vector<std::string> GroupTargets(const SetupList& list, const std::vector<std::string>& groups,
                                      const RunState& run);

// A file of the earlier version that this one does not ship.
struct StaleFile {
    std::string path;
    // No record said who wrote it: it came from a shared group, and stays unless its use count
    // says the product is its last user.
    bool shared_without_record = false;
};

// After an upgrade's file phase: what the earlier version wrote (the record, or without one every
// target of its installed groups by its own list) that is not among this run's targets.
std::vector<StaleFile> StaleFiles(const RunState& run);

// After an upgrade's file phase, before this version's shortcuts and registry values are
// applied: deletes the stale files, and the earlier version's shortcuts and registry values
// that this version does not write again.
void RemoveEarlierLeftovers(RunState& run, FileEffects& files, RegistryEffects& registry,
                            ShortcutEffects& shortcuts, EngineEvents& events);

}  // namespace qp
