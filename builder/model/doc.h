// The project document: the settings block and every collection of a project, the lookups and
// edits that several windows share, reference resolution after a load, and the defaults of a
// new project. Portable: the GUI, qpbc, the kit build and the import all work on this class.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "builder/model/items.h"
#include "common/settings.h"

namespace qp {

// Where "Add language" finds the wizard texts of a new language: the builder's language file
// in the GUI. `language` is the display name from the language table.
class WizardTextSource {
public:
    virtual ~WizardTextSource() = default;
    // The text, or the empty text when the source has none.
    virtual std::string WizardText(const std::string& key, const std::string& language) = 0;
};

// The key table's default texts as the entries of "English"; nothing for other languages.
class EnglishDefaultTexts : public WizardTextSource {
public:
    std::string WizardText(const std::string& key, const std::string& language) override;
};

class CDazDoc {
public:
    // The constructor leaves the document as every open finds it: settings defaults and the
    // default string keys, no other items.
    CDazDoc();
    ~CDazDoc();
    CDazDoc(const CDazDoc&) = delete;
    CDazDoc& operator=(const CDazDoc&) = delete;

    std::int32_t read_ok = 0;
    SettingsBlock settings_block;
    CFileGroup group_list;
    CItemComponent root_component{"Components"};
    CObListFile folder_tree;
    CFileSetup setup_type_list;
    CRegistry registry_root;
    CStringItemList string_table;
    CObListShort shortcut_root{CObListShort::kDesktop, "Desktop"};
    std::vector<std::unique_ptr<CItemFunction>> function_list;
    std::array<std::string, 10> side_file_paths;  // 0 bitmap, 1 readme, 2 licence
    std::string kit_root;

    // Where Add language reads wizard texts; null = they stay empty. Not owned.
    WizardTextSource* wizard_texts = nullptr;

    // --- document state -------------------------------------------------------------------
    const std::string& PathName() const { return path_name_; }
    void SetPathName(const std::string& path) { path_name_ = path; }
    bool IsModified() const { return modified_; }
    // Every edit calls this; the GUI hooks on_modified_changed to put "*" in the title.
    void SetModifiedFlag(bool modified = true);
    std::function<void(bool)> on_modified_changed;

    // --- new project --------------------------------------------------------------------
    // The default string table; a key that exists is kept, except the billboard keys.
    void CreateDefaultStrings();
    // Groups, components, folder tree, setup types, registry set, shortcut tree, language 0.
    void CreateDefaultContent();
    // What "New" does after construction: mark modified, make a GUID if there is none,
    // create the default content.
    void NewProject();
    // The default folder tree and shortcut tree alone (also the start of an import).
    void CreateDefaultFolders();
    void CreateDefaultShortcuts(const std::string& program_link = "Uninstall");

    // --- lookups --------------------------------------------------------------------------
    CItemGroup* FindGroup(const std::string& name) const { return group_list.Find(name); }
    CItemComponent* FindComponent(const std::string& path) const { return root_component.FindPath(path); }
    CStringItem* FindString(const std::string& key) const { return string_table.Find(key); }
    bool IsLanguagePresent(int table_index) const;
    int LanguageCount() const { return static_cast<int>(string_table.language_list.size()); }

    // --- edits ----------------------------------------------------------------------------
    // Creates the string (category 1) when the key is new, then gives every language the value.
    CStringItem* SetString(const std::string& key, const std::string& value);
    // Appends a language with the given table index; every string's new value starts as its
    // language-0 text, then the wizard keys receive the text source's texts. Returns the
    // language's position, or -1 for an index outside the language table.
    int AddLanguage(int table_index);
    // Drops the language at `position` and the value at that position of every string.
    bool RemoveLanguage(int position);
    // Removes a group, a component (with its subtree) or a setup type and every reference to it.
    void RemoveGroup(CItemGroup* group);
    void RemoveComponent(CItemComponent* component);
    void RemoveSetupType(CItemSetup* setup);

    // Turns the name lists read from a file into references; names that match nothing are
    // dropped. The name lists stay as they are.
    void ResolveReferences();

    // Every component reachable through required components, depth first, each once, with
    // each one's ancestors below the root.
    std::vector<CItemComponent*> RequiredClosure(const CItemComponent* component) const;
    // True when `component` is in the required closure of `by`.
    bool IsRequiredBy(const CItemComponent* component, const CItemComponent* by) const;

    // "Make File relative": every file node keeps only the part after its last "\".
    void MakeFileNamesRelative();
    // Gives every bare file name (no "\" and no "/") the full path under the project's data
    // directory: <project dir>\DATA\<group>\<relative dir>\<name>.
    void ExpandBareFileNames(const std::string& project_path);
    // Source paths of file nodes whose file does not exist, in group and tree order.
    std::vector<std::string> MissingFiles() const;

    // Writes a new GUID text into the settings block; false (and the field unchanged) when the
    // system cannot make one.
    bool MakeProductGuid();
    // What a build does before it writes the setup list: a project without a product GUID gets
    // one, and is marked modified so that a save keeps it (every kit of the project is then the
    // same product). False when there is none and none could be made.
    bool EnsureProductGuid();

    // --- names for new items (first free "pattern%d", n = 1..999, else "???") -----------------
    std::string NewGroupName() const;
    std::string NewSetupTypeName() const;
    std::string NewStringKey() const;
    static std::string NewComponentName(const CItemComponent& parent);
    static std::string NewRegistryName(const CRegistry& parent);
    static std::string NewFolderName(const CObListFile& parent);
    static std::string NewShortcutFolderName(const CObListShort& parent);
    // A shortcut below `parent`: "New shortcut#%d" among its children.
    static std::string NewShortcutName(const CObListShort& parent);

private:
    std::string path_name_;
    bool modified_ = false;
};

// The first text of `pattern` (holding one "%d") for n = 1 .. 999 that none of `taken` carries,
// compared without regard to case; "???" when all are taken.
std::string UniqueName(const std::string& pattern, const std::vector<std::string>& taken);

// A new GUID as "{XXXXXXXX-XXXX-xxxx-XXXX-XXXXXXXXXXXX}" (38 characters, third group in lower
// case). False leaves `text` unchanged.
bool MakeGuidText(std::string& text);
// The text form of 16 GUID bytes in the system's memory order (Data1, Data2, Data3 little-endian).
std::string FormatGuid(const std::uint8_t bytes[16]);

}  // namespace qp
