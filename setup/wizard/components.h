// The component choice of the wizard: the tree of components with its selected states, the
// rules that tie them together (a subtree follows its parent, a component pulls in the ones it
// includes, an included component of a selected one cannot be cleared), and the disk figures.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "common/strutil.h"

namespace qp::wiz {

struct Component {
    std::string name;
    std::string description;   // a string key, or the text itself
    std::string display_name;  // a string key, or the caption itself; empty: the name
    std::string status_text;
    bool visible = true;
    std::vector<std::string> groups;    // file-group names, matched exactly
    std::vector<std::string> includes;  // full names of components selected together with this one
    std::vector<std::unique_ptr<Component>> children;

    // Run-time state.
    int selected = 1;
    Component* parent = nullptr;
    std::vector<Component*> dependents;  // components whose include list names this one

    Component* AddChild(const std::string& child_name);
};

struct SetupType {
    std::string name;
    std::string description;
    std::string display_name;
    bool component_step = false;          // the user may pick components after this type
    std::vector<std::string> components;  // full names
};

// The names below the root joined by backslashes; the root and top-level components give their
// own name.
std::string FullName(const Component& c);

// Sets every parent pointer and fills every dependents list (children before their parent).
void LinkTree(Component& root);
Component* FindComponent(Component& root, const std::string& full_name);

// Whether some selected component includes `c`; such a component cannot be cleared.
bool IsRequired(const Component& c);
// Image of the tree item: 0 not selected, 1 selected, 2 selected because it is required.
int ImageIndex(const Component& c);

// The states the tree shows when the component page is built. `type` is the selected setup
// type (null when none); `type_changed` tells whether it differs from the one selected when the
// setup-type page was last opened. Hidden components and their subtrees are left alone.
void ApplyTreeStates(Component& root, const SetupType* type, bool type_changed, bool maintenance);

// The setup type an unattended first install takes: the first that names a component of the
// tree, so that a kit with components never installs nothing; -1 when no type names one (the
// preselection of a first install, every component, then stands).
int UnattendedSetupType(Component& root, const std::vector<SetupType>& types);

// Toggles `c` as a click on its icon does; false when nothing changed (a required component).
bool Toggle(Component& c);

// Every selected component reached from the root through child and include lists, each once,
// in the order the engine installs them (children, then included ones, then the component).
std::vector<Component*> SelectedInstallOrder(Component& root);

// A file of a group, with its destination already expanded.
struct FileSize {
    std::string destination;
    std::int32_t kilobytes = 0;
};
// The files of an installable group (it exists, suits the system and the chosen language), or
// null for a group that does not count.
using GroupFiles = std::function<const std::vector<FileSize>*(const std::string& group)>;

// Kilobytes the components need on the target directory's drive. A group named by two
// components counts twice; the sum wraps like the 32-bit figure it is shown as.
std::int32_t RequiredKilobytes(const std::vector<Component*>& install_list,
                               const GroupFiles& files, const std::string& target_dir);

// "C:\" for a path on drive C; "\\server\share\" for a path on a network share.
std::string DriveRoot(const std::string& path);
// The root as the page shows it: without its trailing backslash when longer than one character.
std::string DisplayRoot(const std::string& root);

// "%s %s %d k" and "%s %s %d K" of the component page.
std::string RequiredText(const std::string& label, const std::string& root, std::int32_t kb);
std::string AvailableText(const std::string& label, const std::string& root, std::int64_t kb);

}  // namespace qp::wiz
