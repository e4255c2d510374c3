// Component tree rules and disk-space sums of the component page.
#include "setup/wizard/components.h"

#include <cctype>
#include <set>
#include "common/strutil.h"

namespace qp::wiz {

Component* Component::AddChild(const std::string& child_name) {
    children.push_back(std::make_unique<Component>());
    children.back()->name = child_name;
    children.back()->parent = this;
    return children.back().get();
}

std::string FullName(const Component& c) {
    if (!c.parent || !c.parent->parent) return c.name;
    return FullName(*c.parent) + "\\" + c.name;
}

namespace {

void LinkParents(Component& c) {
    for (auto& child : c.children) {
        child->parent = &c;
        LinkParents(*child);
    }
}

void LinkDependents(Component& root, Component& c) {
    for (auto& child : c.children) LinkDependents(root, *child);
    for (const auto& name : c.includes) {
        if (Component* p = FindComponent(root, name)) p->dependents.push_back(&c);
    }
}

void ClearDependents(Component& c) {
    c.dependents.clear();
    for (auto& child : c.children) ClearDependents(*child);
}

bool InList(const std::vector<std::string>& list, const std::string& name) {
    for (const auto& s : list)
        if (EqualNoCase(s, name)) return true;
    return false;
}

void SetShownSubtree(Component& c, int state) {
    for (auto& child : c.children) {
        if (!child->visible) continue;
        child->selected = state;
        SetShownSubtree(*child, state);
    }
}

void VisitInstall(Component& root, Component& c, std::set<const Component*>& seen,
                  std::vector<Component*>& out) {
    // `seen` also stops include cycles, which would otherwise recurse without end.
    if (!seen.insert(&c).second) return;
    for (auto& child : c.children) VisitInstall(root, *child, seen, out);
    if (c.selected) {
        for (const auto& name : c.includes) {
            if (Component* inc = FindComponent(root, name)) VisitInstall(root, *inc, seen, out);
        }
        if (c.parent) out.push_back(&c);
    }
}

}  // namespace

void LinkTree(Component& root) {
    root.parent = nullptr;
    LinkParents(root);
    ClearDependents(root);
    LinkDependents(root, root);
}

Component* FindComponent(Component& root, const std::string& full_name) {
    if (EqualNoCase(FullName(root), full_name)) return &root;
    for (auto& child : root.children) {
        if (Component* found = FindComponent(*child, full_name)) return found;
    }
    return nullptr;
}

bool IsRequired(const Component& c) {
    for (const Component* d : c.dependents)
        if (d->selected) return true;
    return false;
}

int ImageIndex(const Component& c) {
    if (!c.dependents.empty() && IsRequired(c)) return 2;
    return c.selected ? 1 : 0;
}

void ApplyTreeStates(Component& c, const SetupType* type, bool type_changed, bool maintenance) {
    if (!c.visible) return;
    if (type) {
        if (type_changed) c.selected = InList(type->components, FullName(c)) ? 1 : 0;
    } else if (!maintenance) {
        c.selected = 1;
    }
    for (auto& child : c.children) ApplyTreeStates(*child, type, type_changed, maintenance);
}

int UnattendedSetupType(Component& root, const std::vector<SetupType>& types) {
    for (std::size_t i = 0; i < types.size(); ++i) {
        for (const auto& name : types[i].components) {
            if (FindComponent(root, name)) return static_cast<int>(i);
        }
    }
    return -1;
}

bool Toggle(Component& c) {
    if (IsRequired(c)) return false;
    const int state = c.selected ? 0 : 1;
    c.selected = state;
    SetShownSubtree(c, state);
    for (auto& child : c.children) child->selected = state;
    if (state) {
        Component* root = &c;
        while (root->parent) root = root->parent;
        for (const auto& name : c.includes) {
            if (Component* inc = FindComponent(*root, name)) inc->selected = 1;
        }
    }
    return true;
}

std::vector<Component*> SelectedInstallOrder(Component& root) {
    std::vector<Component*> out;
    std::set<const Component*> seen;
    VisitInstall(root, root, seen, out);
    return out;
}

std::int32_t RequiredKilobytes(const std::vector<Component*>& install_list,
                               const GroupFiles& files, const std::string& target_dir) {
    const std::string root = DriveRoot(target_dir);
    std::uint32_t sum = 0;  // unsigned so that a wrap is defined; shown as the signed figure
    for (const Component* c : install_list) {
        for (const auto& group : c->groups) {
            const std::vector<FileSize>* list = files(group);
            if (!list) continue;
            for (const auto& f : *list) {
                if (EqualNoCase(DriveRoot(f.destination), root))
                    sum += static_cast<std::uint32_t>(f.kilobytes);
            }
        }
    }
    return static_cast<std::int32_t>(sum);
}

std::string DriveRoot(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0])))
        return path.substr(0, 2) + "\\";
    int seen = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '\\' && ++seen == 4) return path.substr(0, i) + "\\";
    }
    return path + "\\";
}

std::string DisplayRoot(const std::string& root) {
    if (root.size() > 1 && root.back() == '\\') return root.substr(0, root.size() - 1);
    return root;
}

std::string RequiredText(const std::string& label, const std::string& root, std::int32_t kb) {
    return label + " " + root + " " + std::to_string(kb) + " k";
}

std::string AvailableText(const std::string& label, const std::string& root, std::int64_t kb) {
    return label + " " + root + " " + std::to_string(kb) + " K";
}

}  // namespace qp::wiz
