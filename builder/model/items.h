// The item classes of a project: file groups with their file trees, components, setup types,
// the registry tree, the shortcut tree, the string table and function-call items. Children are
// owned through unique_ptr; references to items owned elsewhere are plain pointers that the
// document keeps valid (it drops them when the referenced item is removed).
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include "common/groupbits.h"  // overwrite:: and osmask:: bits
#include "common/strutil.h"

namespace qp {

// Owning child list shared by the tree node classes: adding sets the child's parent.
template <class T>
class NodeList {
public:
    std::vector<std::unique_ptr<T>> children;
    T* parent = nullptr;

    T* Add(std::unique_ptr<T> child) {
        child->parent = static_cast<T*>(this);
        children.push_back(std::move(child));
        return children.back().get();
    }
    // Hands the child back to the caller (null when it is not a child of this node).
    std::unique_ptr<T> Detach(const T* child) {
        for (auto it = children.begin(); it != children.end(); ++it) {
            if (it->get() == child) {
                std::unique_ptr<T> out = std::move(*it);
                children.erase(it);
                out->parent = nullptr;
                return out;
            }
        }
        return nullptr;
    }
};

// A node of a group's file tree or of the document's folder tree.
class CObListFile : public NodeList<CObListFile> {
public:
    static constexpr std::int32_t kRoot = 0;
    static constexpr std::int32_t kFolder = 1;
    static constexpr std::int32_t kFile = 2;
    // Folder ids of the predefined destinations in the folder tree.
    static constexpr std::int32_t kWindowsDir = 1;
    static constexpr std::int32_t kSystemDir = 2;
    static constexpr std::int32_t kTargetDir = 3;
    static constexpr std::int32_t kProgramFilesDir = 4;

    CObListFile() = default;
    CObListFile(std::int32_t kind_, std::string name_, std::int32_t folder_id_ = 0)
        : folder_id(folder_id_), kind(kind_), name(std::move(name_)) {}
    CObListFile(const CObListFile&) = delete;
    CObListFile& operator=(const CObListFile&) = delete;

    std::int32_t folder_id = 0;
    std::int32_t kind = kRoot;
    std::string name;  // folder name, or a file's source path

    CObListFile* AddFolder(const std::string& folder_name, std::int32_t id = 0);
    CObListFile* AddFile(const std::string& source_path);

    // "<WINDIR>", "<WINSYSDIR>", "<TARGETDIR>", "<PROGRAM FILES>" for the predefined folder ids,
    // the node's name otherwise.
    std::string Macro() const;
    // The parent's full path (only when the parent is a folder or file, never the root), "\",
    // then this node's macro.
    std::string FullPath() const;
    // The names of the folder nodes from the top of the tree down to this node, joined with "\";
    // a file node's own name is not part of it.
    std::string RelativeDir() const;
    // Calls fn(node) for every file node of the subtree, in tree order.
    template <class Fn>
    void ForEachFile(Fn&& fn);
    template <class Fn>
    void ForEachFile(Fn&& fn) const;
};

// A file group (owned by the document's group list).
class CItemGroup {
public:
    explicit CItemGroup(std::string name_ = std::string()) : name(std::move(name_)) {}
    CItemGroup(const CItemGroup&) = delete;
    CItemGroup& operator=(const CItemGroup&) = delete;

    std::string name;
    std::int32_t shared = 1;
    std::int32_t self_register = 0;
    std::int32_t restart_if_locked = 0;
    std::int32_t compressed = 1;
    std::int32_t operating_system_mask = 1;
    std::int32_t spare = 0;
    std::string ftp_location;
    std::string http_location;
    std::string comment;
    std::int32_t overwrite_word = 0x241;
    std::string destination = "<TARGETDIR>";
    std::string language_mask;  // empty = every language; else one '0'/'1' per language table entry
    CObListFile file_tree;
};

// The keyword of an overwrite word ("ALLWAYSOVERWRITE", "NEWERVERSION\NEWERDATE", ...).
std::string OverwriteText(std::int32_t word);
// The display text of an operating-system mask ("OS Independent ", "Win95 && Win98 ", ...).
std::string OperatingSystemText(std::int32_t mask);

// The owning list of file groups, in display order.
class CFileGroup {
public:
    std::vector<std::unique_ptr<CItemGroup>> items;

    CItemGroup* Add(std::unique_ptr<CItemGroup> group);
    CItemGroup* Add(const std::string& name) { return Add(std::make_unique<CItemGroup>(name)); }
    // The first group whose name matches exactly, or null.
    CItemGroup* Find(const std::string& name) const;
    std::size_t size() const { return items.size(); }
};

// A component; the root component "Components" holds the top-level ones.
class CItemComponent : public NodeList<CItemComponent> {
public:
    static constexpr std::int32_t kCritical = 0, kRecommended = 1, kStandard = 2;

    explicit CItemComponent(std::string name_ = std::string()) : name(std::move(name_)) {}
    CItemComponent(const CItemComponent&) = delete;
    CItemComponent& operator=(const CItemComponent&) = delete;

    std::string name;
    std::string description;
    std::string status_text;
    std::string display_text;
    std::int32_t visible = 1;
    std::int32_t file_need = kStandard;
    std::int32_t include_in_build = 1;
    std::string cd_folder;
    std::string ftp_location;
    std::string http_location;
    std::string comment;
    std::array<std::string, 4> functions;  // names of function-call items; empty = none
    std::vector<CItemGroup*> file_groups;               // references
    std::vector<CItemComponent*> required_components;   // references
    std::vector<std::string> group_names;     // as read from a file, before resolution
    std::vector<std::string> required_names;  // component paths, before resolution

    CItemComponent* AddChild(const std::string& child_name) {
        return Add(std::make_unique<CItemComponent>(child_name));
    }
    // Names from the top-level ancestor down to this one, joined with "\"; empty for the root.
    std::string Path() const;
    // Follows `path` segment by segment below this component, each segment matching the first
    // child of that name exactly; null when a segment is missing.
    CItemComponent* FindPath(const std::string& path) const;
    bool IsRoot() const { return parent == nullptr; }
};

// A setup type ("Compact", "Typical", "Custom", ...).
class CItemSetup {
public:
    explicit CItemSetup(std::string name_ = std::string()) : name(std::move(name_)) {}
    CItemSetup(const CItemSetup&) = delete;
    CItemSetup& operator=(const CItemSetup&) = delete;

    std::string name;
    std::string description;   // a string-table key
    std::string display_name;  // a string-table key
    std::string comment;
    std::int32_t require_component_step = 1;
    std::vector<std::string> component_names;  // component paths, before resolution
    std::vector<CItemComponent*> components;   // references
};

class CFileSetup {
public:
    std::vector<std::unique_ptr<CItemSetup>> items;

    CItemSetup* Add(std::unique_ptr<CItemSetup> setup);
    CItemSetup* Add(const std::string& name) { return Add(std::make_unique<CItemSetup>(name)); }
    std::size_t size() const { return items.size(); }
};

// A node of the registry tree.
class CRegistry : public NodeList<CRegistry> {
public:
    static constexpr std::int32_t kRoot = 0, kSet = 1, kHive = 2, kKey = 3;
    static constexpr std::int32_t kString = 4, kBinary = 5, kDword = 6;

    CRegistry() = default;
    CRegistry(std::int32_t kind_, std::string name_, std::string data_ = std::string())
        : kind(kind_), name(std::move(name_)), data(std::move(data_)) {}
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    std::int32_t flags = 0;
    std::int32_t kind = kRoot;
    std::string name;
    std::string data;
    std::vector<CItemGroup*> file_groups;  // references
    std::vector<std::string> group_names;  // before resolution

    CRegistry* AddChild(std::int32_t child_kind, const std::string& child_name, const std::string& child_data = std::string()) {
        return Add(std::make_unique<CRegistry>(child_kind, child_name, child_data));
    }
    // A registry set with its four hives, appended below this node.
    CRegistry* AddSet(const std::string& set_name);
};

// A node of the shortcut tree: the desktop root, shell folders, program folders, shortcuts.
class CObListShort : public NodeList<CObListShort> {
public:
    static constexpr std::int32_t kDesktop = 0, kStartMenu = 1, kPrograms = 2, kStartup = 3;
    static constexpr std::int32_t kProgramFolder = 4, kShortcut = 5;

    CObListShort() = default;
    CObListShort(std::int32_t kind_, std::string name_) : kind(kind_), name(std::move(name_)) {}
    CObListShort(const CObListShort&) = delete;
    CObListShort& operator=(const CObListShort&) = delete;

    std::string import_key;  // not stored
    std::int32_t kind = kDesktop;
    std::int32_t folder_option = 0;
    std::string name;
    std::string display_text;
    std::int32_t internet_shortcut = 0;
    std::string target;
    std::string parameters;
    std::string start_in;
    std::string hotkey;
    std::int32_t run_mode = 0;
    std::string icon_file;
    std::uint32_t icon_index = 0;
    std::int32_t replace_existing = 1;
    std::int32_t common = 1;
    std::string comment;
    std::vector<CItemGroup*> file_groups;  // references
    std::vector<std::string> group_names;  // before resolution

    CObListShort* AddChild(std::int32_t child_kind, const std::string& child_name) {
        return Add(std::make_unique<CObListShort>(child_kind, child_name));
    }
    // "<FOLDER_DESKTOP>", "<FOLDER_STARTMENU>", "<FOLDER_PROGRAMS>", "<FOLDER_STARTUP>" for the
    // shell folder kinds, the node's name otherwise.
    std::string Macro() const;
};

// One string of the string table: one value per language of the language list.
class CStringItem {
public:
    static constexpr std::int32_t kAuthor = 0, kProductInfo = 1, kWizardText = 2, kBillboard = 3;

    CStringItem() = default;
    CStringItem(std::string key_, std::int32_t category_) : key(std::move(key_)), category(category_) {}

    std::vector<std::string> values;
    std::string key;  // unique, compared without regard to case
    std::string comment;
    std::int32_t category = kAuthor;

    // The value of language position `i`, empty when the string has none there.
    const std::string& Value(std::size_t i) const;
    void SetValue(std::size_t i, const std::string& text);
};

class CLangItem {
public:
    CLangItem() = default;
    explicit CLangItem(std::int32_t index) : table_index(index) {}

    std::int32_t table_index = 0;  // index into the language table
    std::int32_t lang_value = 200;  // column width in the string grid
    std::int32_t shown = 0;          // 1 = the language has a column in the string grid
};

class CStringItemList {
public:
    std::vector<std::unique_ptr<CStringItem>> items;
    std::string title;
    std::int32_t spare = 0;
    std::vector<std::unique_ptr<CLangItem>> language_list;

    CStringItem* Add(std::unique_ptr<CStringItem> item);
    // The first string whose key equals `key` without regard to case, or null.
    CStringItem* Find(const std::string& key) const;
    std::size_t size() const { return items.size(); }
};

// A function-call item: a DLL function that components may name.
class CItemFunction {
public:
    std::string name;
    std::string internal_name;
    std::string dll_path;
    std::string function_call;
    std::vector<std::string> parameters;
};

template <class Fn>
void CObListFile::ForEachFile(Fn&& fn) {
    if (kind == kFile) fn(*this);
    for (auto& c : children) c->ForEachFile(fn);
}

template <class Fn>
void CObListFile::ForEachFile(Fn&& fn) const {
    if (kind == kFile) fn(*this);
    for (const auto& c : children) static_cast<const CObListFile&>(*c).ForEachFile(fn);
}

}  // namespace qp
