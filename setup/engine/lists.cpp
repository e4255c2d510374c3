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
    if (groups.empty()) return InstallsAfresh(mode) || mode == RunMode::Repair;
    if (mode == RunMode::Upgrade) return AnyIn(groups, installed);
    if (AnyIn(groups, earlier)) return mode == RunMode::Repair;
    return AnyIn(groups, installed);
}

bool TakenAway(const std::vector<std::string>& groups, RunMode mode, const std::vector<std::string>& earlier,
               const std::vector<std::string>& installed) {
    if (groups.empty()) return mode == RunMode::Remove;
    if (mode == RunMode::Upgrade) return false;
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

#include "setup/engine/runstate.h"

namespace qp {

namespace {

void CollectPaths(const ComponentRecord& c, const std::string& prefix,
                  std::vector<std::pair<std::string, const ComponentRecord*>>& out) {
    for (const auto& child : c.children) {
        std::string path = prefix.empty() ? child.name : prefix + "\\" + child.name;
        out.emplace_back(path, &child);
        CollectPaths(child, path, out);
    }
}

class ListBuilder {
public:
    explicit ListBuilder(RunState& run) : run_(run), paths_(ComponentPaths(run.list->components)) {}

    void VisitChildren(const ComponentRecord& c) {
        for (const auto& child : c.children) Visit(child);
    }

private:
    std::string PathOf(const ComponentRecord* c) const {
        for (const auto& p : paths_)
            if (p.second == c) return p.first;
        return "";
    }

    const ComponentRecord* Find(const std::string& path) const {
        for (const auto& p : paths_)
            if (EqualNoCase(p.first, path)) return p.second;
        return nullptr;
    }

    static void AddOnce(std::vector<const ComponentRecord*>& list, const ComponentRecord* c) {
        for (auto* x : list)
            if (x == c) return;
        list.push_back(c);
    }

    void Visit(const ComponentRecord& c) {
        // Required components may require each other; a component already on the way down is
        // not entered again, so a cycle cannot recurse without end.
        for (auto* x : stack_)
            if (x == &c) return;
        stack_.push_back(&c);
        VisitChildren(c);
        for (const auto& req : c.required_names)
            if (const ComponentRecord* r = Find(req)) Visit(*r);
        Decide(c);
        stack_.pop_back();
    }

    void Decide(const ComponentRecord& c) {
        const std::string path = PathOf(&c);
        const bool selected = ContainsNoCase(run_.selected, path);
        const bool earlier = ContainsNoCase(run_.earlier_components, path);
        switch (run_.mode) {
            case RunMode::Remove:
                if (earlier) AddOnce(run_.remove_list, &c);
                break;
            case RunMode::Repair:
                // What a repair installs is what the log must name afterwards; recording the
                // selection instead would leave installed components out of the log, and a
                // later removal would leave their files behind.
                if (earlier) {
                    AddUnique(run_.chosen_components, path);
                    AddOnce(run_.install_list, &c);
                }
                break;
            default:
                if (selected) AddUnique(run_.chosen_components, path);
                if (!IsMaintenance(run_.mode)) {
                    if (selected) AddOnce(run_.install_list, &c);
                } else if (selected && !earlier) {
                    AddOnce(run_.install_list, &c);
                } else if (!selected && earlier) {
                    AddOnce(run_.remove_list, &c);
                }
                break;
        }
    }

    RunState& run_;
    std::vector<std::pair<std::string, const ComponentRecord*>> paths_;
    std::vector<const ComponentRecord*> stack_;
};

}  // namespace

std::vector<std::pair<std::string, const ComponentRecord*>> ComponentPaths(const ComponentRecord& root) {
    std::vector<std::pair<std::string, const ComponentRecord*>> out;
    CollectPaths(root, "", out);
    return out;
}

void BuildComponentLists(RunState& run) {
    run.install_list.clear();
    run.remove_list.clear();
    run.chosen_components.clear();
    ListBuilder(run).VisitChildren(run.list->components);
}

void MarkEarlierComponents(RunState& run) {
    run.selected.clear();
    for (const auto& p : ComponentPaths(run.list->components))
        if (ContainsNoCase(run.earlier_components, p.first)) run.selected.push_back(p.first);
}

}  // namespace qp
