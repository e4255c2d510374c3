// The project document: construction, languages and strings, removal with its references,
// reference resolution, the required closure, file-name commands and the product GUID.
#include "builder/model/doc.h"

#include <cstdio>
#include <unordered_map>
#include <unordered_set>

#include "builder/model/platform.h"
#include "common/fileio.h"
#include "common/fsprim.h"
#include "common/keytable.h"
#include "common/languages.h"
#include "common/pathutil.h"

namespace qp {

namespace {

template <class T, class Fn>
void ForEachNode(T& node, Fn&& fn) {
    fn(node);
    for (auto& c : node.children) ForEachNode(*c, fn);
}

template <class T>
void EraseValue(std::vector<T*>& v, const std::unordered_set<const T*>& gone) {
    std::vector<T*> kept;
    kept.reserve(v.size());
    for (T* p : v)
        if (!gone.count(p)) kept.push_back(p);
    v.swap(kept);
}

// Component paths as the path lookup finds them: only the first of equally named siblings is
// reachable, and a name holding "\" can never be one segment.
void CollectPaths(CItemComponent& at, const std::string& prefix,
                  std::unordered_map<std::string, CItemComponent*>& out) {
    std::unordered_set<std::string> seen;
    for (auto& child : at.children) {
        if (!seen.insert(child->name).second) continue;
        if (child->name.find('\\') != std::string::npos) continue;
        std::string path = prefix + child->name;
        out.emplace(path, child.get());
        CollectPaths(*child, path + "\\", out);
    }
}

}  // namespace

std::string EnglishDefaultTexts::WizardText(const std::string& key, const std::string& language) {
    if (language != "English") return std::string();
    int id = KeyId(key.c_str());
    const char* text = id > 0 ? KeyDefault(id) : nullptr;
    return text ? text : std::string();
}

CDazDoc::CDazDoc() {
    settings_block.set_page_mask(0xFFFF);
    settings_block.set_os_mask(1);
    DefaultSettings(settings_block);
    shortcut_root.folder_option = 1;
    CreateDefaultStrings();
}

CDazDoc::~CDazDoc() = default;

void CDazDoc::SetModifiedFlag(bool modified) {
    bool changed = modified != modified_;
    modified_ = modified;
    if (changed && on_modified_changed) on_modified_changed(modified);
}

bool CDazDoc::IsLanguagePresent(int table_index) const {
    for (const auto& l : string_table.language_list)
        if (l->table_index == table_index) return true;
    return false;
}

CStringItem* CDazDoc::SetString(const std::string& key, const std::string& value) {
    CStringItem* s = FindString(key);
    if (!s) s = string_table.Add(std::make_unique<CStringItem>(key, CStringItem::kProductInfo));
    for (std::size_t i = 0; i < string_table.language_list.size(); ++i) s->SetValue(i, value);
    SetModifiedFlag();
    return s;
}

int CDazDoc::AddLanguage(int table_index) {
    if (!LanguageAt(table_index)) return -1;
    const std::size_t n = string_table.language_list.size();
    string_table.language_list.push_back(std::make_unique<CLangItem>(table_index));
    for (auto& s : string_table.items) {
        std::string first = s->Value(0);
        s->SetValue(n, first);
    }
    const std::string language = LanguageName(table_index);
    for (int id = 1; id < kKeyCount; ++id) {
        const char* key = KeyName(id);
        if (!key || !*key) continue;  // the reserved slot
        CStringItem* s = FindString(key);
        if (!s) s = string_table.Add(std::make_unique<CStringItem>(key, CStringItem::kWizardText));
        std::string text = wizard_texts ? wizard_texts->WizardText(key, language) : std::string();
        if (text.size() > 259) text.resize(259);
        s->SetValue(n, text);
    }
    SetModifiedFlag();
    return static_cast<int>(n);
}

bool CDazDoc::RemoveLanguage(int position) {
    auto& langs = string_table.language_list;
    if (position < 0 || static_cast<std::size_t>(position) >= langs.size()) return false;
    langs.erase(langs.begin() + position);
    for (auto& s : string_table.items)
        if (s->values.size() > static_cast<std::size_t>(position)) s->values.erase(s->values.begin() + position);
    SetModifiedFlag();
    return true;
}

void CDazDoc::RemoveGroup(CItemGroup* group) {
    std::unordered_set<const CItemGroup*> gone{group};
    ForEachNode(root_component, [&](CItemComponent& c) { EraseValue(c.file_groups, gone); });
    ForEachNode(registry_root, [&](CRegistry& r) { EraseValue(r.file_groups, gone); });
    ForEachNode(shortcut_root, [&](CObListShort& s) { EraseValue(s.file_groups, gone); });
    auto& items = group_list.items;
    for (auto it = items.begin(); it != items.end(); ++it) {
        if (it->get() == group) {
            items.erase(it);
            break;
        }
    }
    SetModifiedFlag();
}

void CDazDoc::RemoveComponent(CItemComponent* component) {
    if (!component || !component->parent) return;  // the root stays
    std::unordered_set<const CItemComponent*> gone;
    ForEachNode(*component, [&](CItemComponent& c) { gone.insert(&c); });
    ForEachNode(root_component, [&](CItemComponent& c) { EraseValue(c.required_components, gone); });
    for (auto& s : setup_type_list.items) EraseValue(s->components, gone);
    component->parent->Detach(component);
    SetModifiedFlag();
}

void CDazDoc::RemoveSetupType(CItemSetup* setup) {
    auto& items = setup_type_list.items;
    for (auto it = items.begin(); it != items.end(); ++it) {
        if (it->get() == setup) {
            items.erase(it);
            break;
        }
    }
    SetModifiedFlag();
}

void CDazDoc::ResolveReferences() {
    std::unordered_map<std::string, CItemGroup*> groups;
    for (auto& g : group_list.items) groups.emplace(g->name, g.get());
    std::unordered_map<std::string, CItemComponent*> paths;
    CollectPaths(root_component, std::string(), paths);

    auto group_refs = [&](const std::vector<std::string>& names, std::vector<CItemGroup*>& out) {
        for (const auto& n : names) {
            auto it = groups.find(n);
            if (it != groups.end()) out.push_back(it->second);
        }
    };
    auto component_refs = [&](const std::vector<std::string>& names, std::vector<CItemComponent*>& out) {
        for (const auto& n : names) {
            auto it = paths.find(n);
            if (it != paths.end()) out.push_back(it->second);
        }
    };
    ForEachNode(root_component, [&](CItemComponent& c) { group_refs(c.group_names, c.file_groups); });
    ForEachNode(root_component, [&](CItemComponent& c) { component_refs(c.required_names, c.required_components); });
    for (auto& s : setup_type_list.items) component_refs(s->component_names, s->components);
    ForEachNode(shortcut_root, [&](CObListShort& s) { group_refs(s.group_names, s.file_groups); });
    ForEachNode(registry_root, [&](CRegistry& r) { group_refs(r.group_names, r.file_groups); });
}

std::vector<CItemComponent*> CDazDoc::RequiredClosure(const CItemComponent* component) const {
    std::vector<CItemComponent*> result;
    std::unordered_set<const CItemComponent*> in_result;
    std::unordered_set<const CItemComponent*> expanded{component};
    // An explicit stack: a long chain of requirements must not exhaust the call stack.
    std::vector<std::pair<const CItemComponent*, std::size_t>> stack{{component, 0}};
    while (!stack.empty()) {
        auto& [at, next] = stack.back();
        if (next >= at->required_components.size()) {
            stack.pop_back();
            continue;
        }
        CItemComponent* r = at->required_components[next++];
        if (in_result.insert(r).second) result.push_back(r);
        for (CItemComponent* a = r->parent; a && a->parent; a = a->parent)
            if (in_result.insert(a).second) result.push_back(a);
        if (expanded.insert(r).second) stack.push_back({r, 0});
    }
    return result;
}

bool CDazDoc::IsRequiredBy(const CItemComponent* component, const CItemComponent* by) const {
    for (const CItemComponent* c : RequiredClosure(by))
        if (c == component) return true;
    return false;
}

void CDazDoc::MakeFileNamesRelative() {
    for (auto& g : group_list.items) {
        g->file_tree.ForEachFile([](CObListFile& f) {
            std::size_t cut = f.name.find_last_of("\\/");
            if (cut != std::string::npos) f.name.erase(0, cut + 1);
        });
    }
    SetModifiedFlag();
}

void CDazDoc::ExpandBareFileNames(const std::string& project_path) {
    std::size_t cut = project_path.find_last_of("\\/");
    char sep = cut == std::string::npos ? kPathSeparator : project_path[cut];
    std::string data = (cut == std::string::npos ? std::string() : project_path.substr(0, cut) + sep) + "DATA" + sep;
    for (auto& g : group_list.items) {
        std::string base = data + g->name + sep;
        g->file_tree.ForEachFile([&](CObListFile& f) {
            if (f.name.empty() || f.name.find_first_of("\\/") != std::string::npos) return;
            std::string rel = f.RelativeDir();
            if (sep != '\\')
                for (char& c : rel)
                    if (c == '\\') c = sep;
            f.name = base + (rel.empty() ? std::string() : rel + sep) + f.name;
        });
    }
}

std::vector<std::string> CDazDoc::MissingFiles() const {
    std::vector<std::string> missing;
    for (const auto& g : group_list.items) {
        static_cast<const CObListFile&>(g->file_tree).ForEachFile([&](const CObListFile& f) {
            if (!IsFile(f.name)) missing.push_back(f.name);
        });
    }
    return missing;
}

std::string FormatGuid(const std::uint8_t b[16]) {
    unsigned long d1 = static_cast<unsigned long>(b[0]) | (static_cast<unsigned long>(b[1]) << 8) |
                       (static_cast<unsigned long>(b[2]) << 16) | (static_cast<unsigned long>(b[3]) << 24);
    unsigned d2 = b[4] | (b[5] << 8);
    unsigned d3 = b[6] | (b[7] << 8);
    char text[64];
    std::snprintf(text, sizeof text, "{%08lX-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X}", d1, d2, d3, b[8], b[9],
                  b[10], b[11], b[12], b[13], b[14], b[15]);
    return text;
}

bool MakeGuidText(std::string& text) {
    std::uint8_t b[16] = {};
    if (!sys::NewGuidBytes(b)) return false;
    bool zero = true;
    for (std::uint8_t x : b) zero = zero && x == 0;
    if (zero) return false;
    text = FormatGuid(b);
    return true;
}

bool CDazDoc::MakeProductGuid() {
    std::string text;
    if (!MakeGuidText(text)) return false;
    settings_block.set_product_guid(text);
    return true;
}

bool CDazDoc::EnsureProductGuid() {
    if (!settings_block.product_guid().empty()) return true;
    if (!MakeProductGuid()) return false;
    SetModifiedFlag();
    return true;
}

}  // namespace qp
