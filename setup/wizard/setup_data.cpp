// Conversions between the setup list's records and the wizard's working data.
#include "setup/wizard/setup_data.h"

#include "common/languages.h"
#include "common/setuplist.h"
#include "setup/engine/context.h"
#include "setup/engine/macros.h"
#include "setup/engine/osmask.h"

namespace qp::wiz {
namespace {

void CopyComponent(const ComponentRecord& rec, Component& c) {
    c.name = rec.name;
    c.description = rec.description;
    c.display_name = rec.display_text;
    c.status_text = rec.status_text;
    c.visible = rec.visible != 0;
    c.groups = rec.group_names;
    c.includes = rec.required_names;
    c.selected = 1;
    for (const auto& child : rec.children) CopyComponent(child, *c.AddChild(child.name));
}

void CollectSelected(Component& c, std::vector<std::string>& out) {
    for (auto& child : c.children) {
        if (child->selected) out.push_back(FullName(*child));
        CollectSelected(*child, out);
    }
}

void Mark(Component& c, const std::vector<std::string>& paths) {
    for (auto& child : c.children) {
        child->selected = 0;
        for (const auto& p : paths)
            if (EqualNoCase(p, FullName(*child))) child->selected = 1;
        Mark(*child, paths);
    }
}

void CollectFiles(const FileNode& node, const std::string& dest, std::vector<FileSize>& out) {
    if (node.IsFile()) out.push_back({dest, node.size});
    for (const auto& child : node.children) CollectFiles(child, dest, out);
}

}  // namespace

void LoadWizardData(const SetupList& list, WizardData& data) {
    data.root = Component();
    CopyComponent(list.components, data.root);
    LinkTree(data.root);

    data.types.clear();
    for (const auto& t : list.setup_types) {
        SetupType type;
        type.name = t.name;
        type.description = t.description;
        type.display_name = t.display_name;
        type.component_step = t.require_component_step != 0;
        type.components = t.component_names;
        data.types.push_back(std::move(type));
    }

    std::vector<StringEntry> table;
    for (const auto& s : list.strings) table.push_back({s.key, s.values});
    data.texts.SetTable(std::move(table));
    data.texts.SetLanguage(0);
    data.texts.ResolveProductName();

    data.language_indices.clear();
    data.language_ids.clear();
    data.language_names.clear();
    for (const auto& l : list.languages) {
        data.language_indices.push_back(l.table_index);
        data.language_ids.push_back(LanguageIdAt(l.table_index));
        data.language_names.push_back(LanguageNameAt(l.table_index));
    }
}

std::uint16_t LanguageIdAt(int table_index) {
    const LanguageEntry* e = LanguageAt(table_index);
    return e ? e->id : 0;
}

std::string LanguageNameAt(int table_index) { return LanguageName(table_index); }

std::vector<std::string> SelectedPaths(Component& root) {
    std::vector<std::string> out;
    CollectSelected(root, out);
    return out;
}

void MarkSelected(Component& root, const std::vector<std::string>& paths) { Mark(root, paths); }

GroupSizes::GroupSizes(const SetupList& list, const InstallContext& ctx,
                       std::int32_t language_index) {
    for (const auto& g : list.groups) {
        if (!SystemAllowed(static_cast<std::uint32_t>(g.operating_system_mask), ctx.os_code))
            continue;
        if (!g.InstallsForLanguage(language_index)) continue;
        std::vector<FileSize> files;
        CollectFiles(g.file_tree, ExpandMacros(g.destination, ctx), files);
        groups_.emplace_back(g.name, std::move(files));
    }
}

const std::vector<FileSize>* GroupSizes::Files(const std::string& group) const {
    for (const auto& g : groups_)
        if (g.first == group) return &g.second;
    for (const auto& g : groups_)
        if (EqualNoCase(g.first, group)) return &g.second;
    return nullptr;
}

}  // namespace qp::wiz
