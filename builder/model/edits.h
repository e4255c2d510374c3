// The edits the builder's windows make on a project, with the rules they share: renames keep
// names unique among siblings of the same kind (ignoring case), deletes take every reference to
// the deleted items with them, setup-type membership follows the required components. Every
// edit marks the project modified and tells the listeners, so no two windows show different
// states of one item.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "builder/model/doc.h"

namespace qp {

// What an edit touched. `item` points at the model object (a CItemGroup, CItemComponent,
// CItemSetup, CRegistry, CObListFile or CObListShort); listeners compare it with what they show.
enum class ItemKind { kGroup, kComponent, kSetupType, kRegistry, kFileNode, kShortcut, kLanguage, kProject };

class DocListener {
public:
    virtual ~DocListener() = default;
    // The item's name or content changed.
    virtual void OnItemChanged(ItemKind /*kind*/, const void* /*item*/) {}
    // The item was added below `parent` (null for the lists of the document).
    virtual void OnItemAdded(ItemKind /*kind*/, const void* /*item*/, const void* /*parent*/) {}
    // The item is about to go (called for the item and for each item of its subtree, while
    // they still exist); a window showing one of them shows none.
    virtual void OnItemRemoving(ItemKind /*kind*/, const void* /*item*/) {}
};

enum class RenameResult { kRenamed, kUnchanged, kEmpty, kDuplicate, kNotAllowed };

class ProjectEdits {
public:
    explicit ProjectEdits(CDazDoc& doc) : doc_(doc) {}
    CDazDoc& Doc() const { return doc_; }

    void AddListener(DocListener* l);
    void RemoveListener(DocListener* l);

    // --- renames: refused when empty, when a sibling of the same kind has the name (compared
    //     without regard to case), and for the items that cannot be renamed -----------------
    RenameResult RenameGroup(CItemGroup& group, const std::string& name);
    RenameResult RenameComponent(CItemComponent& component, const std::string& name);
    RenameResult RenameSetupType(CItemSetup& setup, const std::string& name);
    RenameResult RenameRegistry(CRegistry& node, const std::string& name);
    RenameResult RenameFolder(CObListFile& folder, const std::string& name);
    RenameResult RenameShortcut(CObListShort& node, const std::string& name);

    // --- may it go, may it be renamed ---------------------------------------------------
    static bool CanEdit(const CItemComponent& c) { return !c.IsRoot(); }
    static bool CanEdit(const CRegistry& r) { return r.kind != CRegistry::kRoot && r.kind != CRegistry::kHive; }
    static bool CanEdit(const CObListFile& f) { return f.kind == CObListFile::kFolder; }
    static bool CanEdit(const CObListShort& s) { return s.kind >= CObListShort::kProgramFolder; }

    // --- new items (names of the new-item rules), added last ---------------------------------
    CItemGroup* NewGroup();
    CItemComponent* NewComponent(CItemComponent& parent);
    CItemSetup* NewSetupType();
    // A registry node of `kind` (set, key or value) below `parent`.
    CRegistry* NewRegistry(CRegistry& parent, std::int32_t kind);
    CObListFile* NewFolder(CObListFile& parent);
    // File nodes holding `paths`, appended in order.
    std::vector<CObListFile*> AddFiles(CObListFile& folder, const std::vector<std::string>& paths);
    CObListShort* NewShortcut(CObListShort& parent, std::int32_t kind);

    // --- deletes: false (and nothing changed) for what cannot go -------------------------------
    bool DeleteGroup(CItemGroup& group);
    bool DeleteComponent(CItemComponent& component);
    bool DeleteSetupType(CItemSetup& setup);
    bool DeleteRegistry(CRegistry& node);
    // A folder with its subtree, or a file node.
    bool DeleteFileNode(CObListFile& node);
    bool DeleteShortcut(CObListShort& node);

    // --- setup-type membership --------------------------------------------------------------
    enum class Membership { kAdded, kRemoved, kRefused };
    // Refused while another member requires the component. A component that is not a member
    // comes in with everything it requires and its ancestors below the root (each once); a
    // member goes alone.
    Membership ToggleMembership(CItemSetup& setup, CItemComponent& component);
    static bool IsMember(const CItemSetup& setup, const CItemComponent* component);

    // --- other edits that windows show -----------------------------------------------------------
    void SetLanguageShown(CLangItem& language, bool shown);
    void MakeFileNamesRelative();
    // Something changed in `item` through a window's own editing (property lists).
    void Changed(ItemKind kind, const void* item);

private:
    void Removing(ItemKind kind, const void* item);
    void Added(ItemKind kind, const void* item, const void* parent);

    CDazDoc& doc_;
    std::vector<DocListener*> listeners_;
};

// Which sibling takes the selection when the one at `index` of `count` siblings goes, as an
// index among the siblings that stay: the next one (which moves into the place), else the one
// before; -1 when none is left (the parent takes it).
int SelectionAfterDelete(std::size_t count, std::size_t index);

}  // namespace qp
