// Run modes, the group decision that ties registry values and shortcuts to file groups, and the
// install and remove lists of components.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace qp {

// A first installation has no uninstall key; the others are the maintenance modes, and an
// upgrade: a newer kit installing over the registered version as a first installation would,
// with the earlier version's leftovers removed after it.
enum class RunMode { FirstInstall = -2, Choose = -1, Modify = 0, Repair = 1, Remove = 2, Upgrade = 3 };

inline bool IsMaintenance(RunMode m) { return m != RunMode::FirstInstall && m != RunMode::Upgrade; }
// The runs that install the whole selection and register the product afterwards.
inline bool InstallsAfresh(RunMode m) { return m == RunMode::FirstInstall || m == RunMode::Upgrade; }

// Case-insensitive membership of a name list.
bool ContainsNoCase(const std::vector<std::string>& list, const std::string& name);
// Adds `name` unless it is there (case-insensitive); removes every copy of it.
void AddUnique(std::vector<std::string>& list, const std::string& name);
void RemoveName(std::vector<std::string>& list, const std::string& name);

enum class GroupAction { LeaveAlone, Install, Remove };

// What happens to a registry or shortcut node tied to `groups`, given the groups the log named
// (`earlier`) and the groups installed after this run's file phase (`installed`). An upgrade
// decides as a first installation does: the earlier version's nodes are taken away apart.
GroupAction DecideGroups(const std::vector<std::string>& groups, RunMode mode, const std::vector<std::string>& earlier,
                         const std::vector<std::string>& installed);

struct RunState;
struct ComponentRecord;

// Builds the install and remove lists and the chosen components from the component tree, the
// selection and the mode: depth first, children, then required components, then the component.
void BuildComponentLists(RunState& run);

// Marks selected exactly the components whose paths the log named (maintenance start).
void MarkEarlierComponents(RunState& run);

// The component path of every component below the root, in tree order (paired with the record).
std::vector<std::pair<std::string, const ComponentRecord*>> ComponentPaths(const ComponentRecord& root);

}  // namespace qp
