// Run modes, the group decision that ties registry values and shortcuts to file groups, and the
// install and remove lists of components.
#pragma once
#include <string>
#include <vector>

namespace qp {

// A first installation has no uninstall key; the others are the maintenance modes.
enum class RunMode { FirstInstall = -2, Choose = -1, Modify = 0, Repair = 1, Remove = 2 };

inline bool IsMaintenance(RunMode m) { return m != RunMode::FirstInstall; }

// Case-insensitive membership of a name list.
bool ContainsNoCase(const std::vector<std::string>& list, const std::string& name);
// Adds `name` unless it is there (case-insensitive); removes every copy of it.
void AddUnique(std::vector<std::string>& list, const std::string& name);
void RemoveName(std::vector<std::string>& list, const std::string& name);

enum class GroupAction { LeaveAlone, Install, Remove };

// What happens to a registry or shortcut node tied to `groups`, given the groups the log named
// (`earlier`) and the groups installed after this run's file phase (`installed`).
GroupAction DecideGroups(const std::vector<std::string>& groups, RunMode mode, const std::vector<std::string>& earlier,
                         const std::vector<std::string>& installed);

}  // namespace qp
