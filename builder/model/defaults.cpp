// What a project starts with: the default string table of every document, the default content
// of a new project, and the names given to items the author creates.
#include <cstdio>
#include <unordered_set>

#include "builder/model/doc.h"
#include "common/keytable.h"

namespace qp {

namespace {

struct ProductString {
    const char* key;
    const char* text;
};

const ProductString kProductStrings[] = {
    {"COMPANY_NAME", "CompanyName"},
    {"FOLDER_NAME", "FolderName"},
    {"PRODUCT_NAME", "Product"},
    {"TITLE_CAPTIONBAR", "Product Setup"},
    {"TITLE_MAIN", "Product Setup"},
    {"UNINST_DISPLAY_NAME", "Product"},
    {"PUBLISHER", "Veltor"},
    {"PRODUCT_VERSION", ""},
    {"CONTACT", ""},
    {"HELPLINK", ""},
    {"HelpTelephone", ""},
    {"README", "README"},
    {"URLUpdateInfo", ""},
    {"InstallLocation", ""},
    {"Comments", ""},
    {"MBLINK", "http://www.veltor.com/quillpacker"},
};

template <class List>
std::vector<std::string> ChildNames(const List& children) {
    std::vector<std::string> names;
    names.reserve(children.size());
    for (const auto& c : children) names.push_back(c->name);
    return names;
}

}  // namespace

void CDazDoc::CreateDefaultStrings() {
    auto add = [&](const std::string& key, std::int32_t category, const std::string& text) {
        if (FindString(key)) return;  // keys stay unique, billboards included
        CStringItem* s = string_table.Add(std::make_unique<CStringItem>(key, category));
        s->values.push_back(text);
    };
    for (const auto& p : kProductStrings) add(p.key, CStringItem::kProductInfo, p.text);
    for (int i = 0; i < 20; ++i) add("M" + std::to_string(i), CStringItem::kBillboard, std::string());
    for (int id = 1; id < kKeyCount; ++id) {
        const char* key = KeyName(id);
        if (key && *key) add(key, CStringItem::kWizardText, std::string());
    }
}

void CDazDoc::CreateDefaultFolders() {
    folder_tree.children.clear();
    CObListFile* windows = folder_tree.AddFolder("Windows Operating system", CObListFile::kWindowsDir);
    windows->AddFolder("Windows System Folder", CObListFile::kSystemDir);
    folder_tree.AddFolder("App Destination", CObListFile::kTargetDir);
    folder_tree.AddFolder("Program Files Folder", CObListFile::kProgramFilesDir);
}

void CDazDoc::CreateDefaultShortcuts(const std::string& program_link) {
    shortcut_root.children.clear();
    CObListShort* start = shortcut_root.AddChild(CObListShort::kStartMenu, "Start Menu");
    CObListShort* programs = start->AddChild(CObListShort::kPrograms, "Programs");
    programs->AddChild(CObListShort::kStartup, "Startup");
    CObListShort* folder = programs->AddChild(CObListShort::kProgramFolder, "Program Folder");
    folder->display_text = "<SHELL_OBJECT_FOLDER>";
    folder->comment = "Remove if not necessary";
    folder->folder_option = 2;
    CObListShort* link = folder->AddChild(CObListShort::kShortcut, program_link);
    if (program_link == "Uninstall") {
        link->display_text = "Uninstall";
        link->target = "<UNINSTALLDIR>\\setup.exe";
    }
}

void CDazDoc::CreateDefaultContent() {
    static const char* const kGroups[] = {"Program Executable Files", "Program DLLs", "Shared DLLs", "Help Files",
                                          "Example Files"};
    static const char* const kComponents[] = {"Program Files", "DLL", "Shared DLLs", "Help Files", "Example Files"};
    std::vector<CItemGroup*> groups;
    for (const char* g : kGroups) groups.push_back(group_list.Add(g));
    for (int k = 0; k < 5; ++k) root_component.AddChild(kComponents[k])->file_groups.push_back(groups[k]);
    CreateDefaultFolders();
    for (const char* s : {"Compact", "Typical", "Custom"}) setup_type_list.Add(s);
    registry_root.AddSet("RegEntry1");
    CreateDefaultShortcuts();
    if (string_table.language_list.empty()) AddLanguage(0);
    SetModifiedFlag();
}

void CDazDoc::NewProject() {
    SetModifiedFlag();
    if (settings_block.product_guid().empty()) MakeProductGuid();
    CreateDefaultContent();
}

std::string UniqueName(const std::string& pattern, const std::vector<std::string>& taken) {
    std::unordered_set<std::string> lower;
    for (const auto& t : taken) lower.insert(LowerAscii(t));
    std::size_t at = pattern.find("%d");
    for (int n = 1; n <= 999; ++n) {
        std::string name = at == std::string::npos ? pattern : pattern.substr(0, at) + std::to_string(n) + pattern.substr(at + 2);
        if (!lower.count(LowerAscii(name))) return name;
    }
    return "???";
}

std::string CDazDoc::NewGroupName() const { return UniqueName("New group#%d", ChildNames(group_list.items)); }

std::string CDazDoc::NewSetupTypeName() const { return UniqueName("New setup#%d", ChildNames(setup_type_list.items)); }

std::string CDazDoc::NewStringKey() const {
    std::vector<std::string> keys;
    for (const auto& s : string_table.items) keys.push_back(s->key);
    return UniqueName("NEW_STRING%d", keys);
}

std::string CDazDoc::NewComponentName(const CItemComponent& parent) {
    return UniqueName("component%d", ChildNames(parent.children));
}

std::string CDazDoc::NewRegistryName(const CRegistry& parent) { return UniqueName("New reg#%d", ChildNames(parent.children)); }

std::string CDazDoc::NewFolderName(const CObListFile& parent) {
    return UniqueName("New folder#%d", ChildNames(parent.children));
}

std::string CDazDoc::NewShortcutFolderName(const CObListShort& parent) {
    return UniqueName("New folder#%d", ChildNames(parent.children));
}

std::string CDazDoc::NewShortcutName(const CObListShort& parent) {
    return UniqueName("New shortcut#%d", ChildNames(parent.children));
}

}  // namespace qp
