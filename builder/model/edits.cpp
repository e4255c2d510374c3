// The windows' edits of a project and the rules they share.
#include "builder/model/edits.h"

#include <algorithm>

#include "common/strutil.h"

namespace qp {

namespace {

template <class T, class Fn>
void Walk(T& node, Fn&& fn) {
    fn(node);
    for (auto& c : node.children) Walk(*c, fn);
}

// Checks a new name against the other items of a sibling list; `same_kind` picks the siblings
// that share the name space.
template <class List, class Item, class Same>
RenameResult CheckName(const List& siblings, const Item& self, const std::string& name, Same&& same_kind) {
    if (name.empty()) return RenameResult::kEmpty;
    if (name == self.name) return RenameResult::kUnchanged;
    for (const auto& s : siblings)
        if (s.get() != &self && same_kind(*s) && EqualNoCase(s->name, name)) return RenameResult::kDuplicate;
    return RenameResult::kRenamed;
}

const auto kAny = [](const auto&) { return true; };

}  // namespace

void ProjectEdits::AddListener(DocListener* l) {
    if (l && std::find(listeners_.begin(), listeners_.end(), l) == listeners_.end()) listeners_.push_back(l);
}

void ProjectEdits::RemoveListener(DocListener* l) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), l), listeners_.end());
}

void ProjectEdits::Changed(ItemKind kind, const void* item) {
    doc_.SetModifiedFlag();
    for (DocListener* l : std::vector<DocListener*>(listeners_)) l->OnItemChanged(kind, item);
}

void ProjectEdits::Removing(ItemKind kind, const void* item) {
    for (DocListener* l : std::vector<DocListener*>(listeners_)) l->OnItemRemoving(kind, item);
}

void ProjectEdits::Added(ItemKind kind, const void* item, const void* parent) {
    doc_.SetModifiedFlag();
    for (DocListener* l : std::vector<DocListener*>(listeners_)) l->OnItemAdded(kind, item, parent);
}

// --- renames -------------------------------------------------------------------------------

#define QP_APPLY_RENAME(KIND, ITEM, RESULT)   \
    if ((RESULT) == RenameResult::kRenamed) { \
        (ITEM).name = name;                   \
        Changed(KIND, &(ITEM));               \
    }                                         \
    return RESULT

RenameResult ProjectEdits::RenameGroup(CItemGroup& group, const std::string& name) {
    const RenameResult r = CheckName(doc_.group_list.items, group, name, kAny);
    QP_APPLY_RENAME(ItemKind::kGroup, group, r);
}

RenameResult ProjectEdits::RenameComponent(CItemComponent& component, const std::string& name) {
    if (!CanEdit(component)) return RenameResult::kNotAllowed;
    const RenameResult r = CheckName(component.parent->children, component, name, kAny);
    QP_APPLY_RENAME(ItemKind::kComponent, component, r);
}

RenameResult ProjectEdits::RenameSetupType(CItemSetup& setup, const std::string& name) {
    const RenameResult r = CheckName(doc_.setup_type_list.items, setup, name, kAny);
    QP_APPLY_RENAME(ItemKind::kSetupType, setup, r);
}

RenameResult ProjectEdits::RenameRegistry(CRegistry& node, const std::string& name) {
    if (!CanEdit(node) || !node.parent) return RenameResult::kNotAllowed;
    const RenameResult r =
        CheckName(node.parent->children, node, name, [&](const CRegistry& s) {
            // Values of every type share one name space in a key: two values of one name would
            // overwrite each other at install time.
            return s.kind == node.kind || (s.kind >= CRegistry::kString && node.kind >= CRegistry::kString);
        });
    QP_APPLY_RENAME(ItemKind::kRegistry, node, r);
}

RenameResult ProjectEdits::RenameFolder(CObListFile& folder, const std::string& name) {
    if (!CanEdit(folder) || !folder.parent) return RenameResult::kNotAllowed;
    const RenameResult r = CheckName(folder.parent->children, folder, name,
                                     [](const CObListFile& s) { return s.kind == CObListFile::kFolder; });
    QP_APPLY_RENAME(ItemKind::kFileNode, folder, r);
}

RenameResult ProjectEdits::RenameShortcut(CObListShort& node, const std::string& name) {
    if (!CanEdit(node) || !node.parent) return RenameResult::kNotAllowed;
    const RenameResult r =
        CheckName(node.parent->children, node, name, [&](const CObListShort& s) { return s.kind == node.kind; });
    QP_APPLY_RENAME(ItemKind::kShortcut, node, r);
}

#undef QP_APPLY_RENAME

// --- new items --------------------------------------------------------------------------

CItemGroup* ProjectEdits::NewGroup() {
    CItemGroup* g = doc_.group_list.Add(doc_.NewGroupName());
    Added(ItemKind::kGroup, g, nullptr);
    return g;
}

CItemComponent* ProjectEdits::NewComponent(CItemComponent& parent) {
    CItemComponent* c = parent.AddChild(CDazDoc::NewComponentName(parent));
    Added(ItemKind::kComponent, c, &parent);
    return c;
}

CItemSetup* ProjectEdits::NewSetupType() {
    CItemSetup* s = doc_.setup_type_list.Add(doc_.NewSetupTypeName());
    Added(ItemKind::kSetupType, s, nullptr);
    return s;
}

CRegistry* ProjectEdits::NewRegistry(CRegistry& parent, std::int32_t kind) {
    CRegistry* r = kind == CRegistry::kSet ? parent.AddSet(CDazDoc::NewRegistryName(parent))
                                           : parent.AddChild(kind, CDazDoc::NewRegistryName(parent));
    Added(ItemKind::kRegistry, r, &parent);
    return r;
}

CObListFile* ProjectEdits::NewFolder(CObListFile& parent) {
    CObListFile* f = parent.AddFolder(CDazDoc::NewFolderName(parent));
    Added(ItemKind::kFileNode, f, &parent);
    return f;
}

std::vector<CObListFile*> ProjectEdits::AddFiles(CObListFile& folder, const std::vector<std::string>& paths) {
    std::vector<CObListFile*> out;
    for (const std::string& p : paths) {
        if (p.empty()) continue;
        out.push_back(folder.AddFile(p));
        Added(ItemKind::kFileNode, out.back(), &folder);
    }
    return out;
}

CObListShort* ProjectEdits::NewShortcut(CObListShort& parent, std::int32_t kind) {
    // A shortcut is not called a folder.
    CObListShort* s = parent.AddChild(kind, kind == CObListShort::kShortcut ? CDazDoc::NewShortcutName(parent)
                                                                            : CDazDoc::NewShortcutFolderName(parent));
    Added(ItemKind::kShortcut, s, &parent);
    return s;
}

// --- deletes -----------------------------------------------------------------------------

bool ProjectEdits::DeleteGroup(CItemGroup& group) {
    bool found = false;
    for (auto& g : doc_.group_list.items) found = found || g.get() == &group;
    if (!found) return false;
    Walk(group.file_tree, [&](CObListFile& f) { Removing(ItemKind::kFileNode, &f); });
    Removing(ItemKind::kGroup, &group);
    doc_.RemoveGroup(&group);
    return true;
}

bool ProjectEdits::DeleteComponent(CItemComponent& component) {
    if (!CanEdit(component)) return false;
    Walk(component, [&](CItemComponent& c) { Removing(ItemKind::kComponent, &c); });
    doc_.RemoveComponent(&component);
    return true;
}

bool ProjectEdits::DeleteSetupType(CItemSetup& setup) {
    bool found = false;
    for (auto& s : doc_.setup_type_list.items) found = found || s.get() == &setup;
    if (!found) return false;
    Removing(ItemKind::kSetupType, &setup);
    doc_.RemoveSetupType(&setup);
    return true;
}

bool ProjectEdits::DeleteRegistry(CRegistry& node) {
    if (!CanEdit(node) || !node.parent) return false;
    Walk(node, [&](CRegistry& r) { Removing(ItemKind::kRegistry, &r); });
    node.parent->Detach(&node);
    doc_.SetModifiedFlag();
    return true;
}

bool ProjectEdits::DeleteFileNode(CObListFile& node) {
    if (node.kind == CObListFile::kRoot || !node.parent) return false;
    Walk(node, [&](CObListFile& f) { Removing(ItemKind::kFileNode, &f); });
    node.parent->Detach(&node);
    doc_.SetModifiedFlag();
    return true;
}

bool ProjectEdits::DeleteShortcut(CObListShort& node) {
    if (!CanEdit(node) || !node.parent) return false;
    Walk(node, [&](CObListShort& s) { Removing(ItemKind::kShortcut, &s); });
    node.parent->Detach(&node);
    doc_.SetModifiedFlag();
    return true;
}

// --- membership --------------------------------------------------------------------------

bool ProjectEdits::IsMember(const CItemSetup& setup, const CItemComponent* component) {
    return std::find(setup.components.begin(), setup.components.end(), component) != setup.components.end();
}

ProjectEdits::Membership ProjectEdits::ToggleMembership(CItemSetup& setup, CItemComponent& component) {
    if (component.IsRoot()) return Membership::kRefused;
    for (const CItemComponent* member : setup.components)
        if (member != &component && doc_.IsRequiredBy(&component, member)) return Membership::kRefused;
    if (IsMember(setup, &component)) {
        setup.components.erase(std::find(setup.components.begin(), setup.components.end(), &component));
        Changed(ItemKind::kSetupType, &setup);
        return Membership::kRemoved;
    }
    auto add = [&](CItemComponent* c) {
        if (c && !c->IsRoot() && !IsMember(setup, c)) setup.components.push_back(c);
    };
    add(&component);
    for (CItemComponent* r : doc_.RequiredClosure(&component)) add(r);
    for (CItemComponent* a = component.parent; a && !a->IsRoot(); a = a->parent) add(a);
    Changed(ItemKind::kSetupType, &setup);
    return Membership::kAdded;
}

// --- other edits ---------------------------------------------------------------------------

void ProjectEdits::SetLanguageShown(CLangItem& language, bool shown) {
    language.shown = shown ? 1 : 0;
    Changed(ItemKind::kLanguage, &language);
}

void ProjectEdits::MakeFileNamesRelative() {
    doc_.MakeFileNamesRelative();
    Changed(ItemKind::kProject, &doc_);
}

int SelectionAfterDelete(std::size_t count, std::size_t index) {
    if (index >= count || count <= 1) return -1;
    if (index + 1 < count) return int(index);  // the next sibling moves into the place
    return int(index) - 1;
}

}  // namespace qp
