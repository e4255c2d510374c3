// Group decision and the component lists of an install phase.
#include "setup/engine/lists.h"

#include <algorithm>

#include "setup/engine/context.h"

namespace qp {

bool ContainsNoCase(const std::vector<std::string>& list, const std::string& name) {
    return std::any_of(list.begin(), list.end(), [&](const std::string& s) { return EqualNoCase(s, name); });
}

void AddUnique(std::vector<std::string>& list, const std::string& name) {
    if (!ContainsNoCase(list, name)) list.push_back(name);
}

void RemoveName(std::vector<std::string>& list, const std::string& name) {
    list.erase(std::remove_if(list.begin(), list.end(), [&](const std::string& s) { return EqualNoCase(s, name); }),
               list.end());
}

namespace {

bool AnyIn(const std::vector<std::string>& groups, const std::vector<std::string>& list) {
    return std::any_of(groups.begin(), groups.end(), [&](const std::string& g) { return ContainsNoCase(list, g); });
}

bool BroughtIn(const std::vector<std::string>& groups, RunMode mode, const std::vector<std::string>& earlier,
               const std::vector<std::string>& installed) {
    if (groups.empty()) return mode == RunMode::FirstInstall || mode == RunMode::Repair;
    if (AnyIn(groups, earlier)) return mode == RunMode::Repair;
    return AnyIn(groups, installed);
}

bool TakenAway(const std::vector<std::string>& groups, RunMode mode, const std::vector<std::string>& earlier,
               const std::vector<std::string>& installed) {
    if (groups.empty()) return mode == RunMode::Remove;
    if (AnyIn(groups, installed)) return false;
    return AnyIn(groups, earlier);
}

}  // namespace

GroupAction DecideGroups(const std::vector<std::string>& groups, RunMode mode, const std::vector<std::string>& earlier,
                         const std::vector<std::string>& installed) {
    const bool in = BroughtIn(groups, mode, earlier, installed);
    const bool away = TakenAway(groups, mode, earlier, installed);
    if (in && !away) return GroupAction::Install;
    if (away && !in) return GroupAction::Remove;
    return GroupAction::LeaveAlone;
}

}  // namespace qp
