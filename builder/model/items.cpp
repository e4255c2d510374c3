// Item classes: tree paths and macros, lookups by name, the overwrite and system texts.
#include "builder/model/items.h"

#include <algorithm>

namespace qp {

// --- file tree --------------------------------------------------------------------------------

CObListFile* CObListFile::AddFolder(const std::string& folder_name, std::int32_t id) {
    return Add(std::make_unique<CObListFile>(kFolder, folder_name, id));
}

CObListFile* CObListFile::AddFile(const std::string& source_path) {
    return Add(std::make_unique<CObListFile>(kFile, source_path, 0));
}

std::string CObListFile::Macro() const {
    switch (folder_id) {
        case kWindowsDir: return "<WINDIR>";
        case kSystemDir: return "<WINSYSDIR>";
        case kTargetDir: return "<TARGETDIR>";
        case kProgramFilesDir: return "<PROGRAM FILES>";
        default: return name;
    }
}

std::string CObListFile::FullPath() const {
    // Built from the top down so that deep trees cost one pass.
    std::vector<const CObListFile*> chain;
    for (const CObListFile* n = this; n; n = n->parent) {
        chain.push_back(n);
        if (!n->parent || n->parent->kind < kFolder) break;
    }
    std::string out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin()) out += '\\';
        out += (*it)->Macro();
    }
    return out;
}

std::string CObListFile::RelativeDir() const {
    std::vector<const std::string*> names;
    for (const CObListFile* n = this; n; n = n->parent)
        if (n->kind == kFolder) names.push_back(&n->name);
    std::string out;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (it != names.rbegin()) out += '\\';
        out += **it;
    }
    return out;
}

// --- groups -----------------------------------------------------------------------------------

std::string OverwriteText(std::int32_t w) {
    using namespace overwrite;
    if (w & kAlways) return "ALLWAYSOVERWRITE";
    if (w & kNever) return "NEVEROVERWRITE";
    if (w & kByDate) {
        if (w & kNewerDate) return "NEWERDATE";
        if (w & kNewerOrSameDate) return "NEWERORSAMEDATE";
        if (w & kOlderDate) return "OLDERDATE";
    }
    if (w & kByVersion) {
        if (w & kNewerVersion) return "NEWERVERSION";
        if (w & kNewerOrSameVersion) return "NEWERORSAMEVERSION";
        if (w & kOlderVersion) return "OLDERVERSION";
    }
    if (!(w & kByVersionAndDate)) return std::string();
    std::string out;
    if (w & kNewerVersion) out = "NEWERVERSION";
    if (w & kNewerOrSameVersion) out = "NEWERORSAMEVERSION";
    if (w & kOlderVersion) out = "OLDERVERSION";
    out += '\\';
    if (w & kNewerDate) out += "NEWERDATE";
    if (w & kNewerOrSameDate) out += "NEWERORSAMEDATE";
    if (w & kOlderDate) out += "OLDERDATE";
    return out;
}

std::string OperatingSystemText(std::int32_t m) {
    using namespace osmask;
    if (m & kIndependent) return "OS Independent ";
    std::string out;
    if (m & kWin95) out += "Win95 ";
    if (m & kWin98) out += "&& Win98 ";
    if (m & kWinMe) out += "&& WinME";
    if (m & kWinNt) out += "&& WinNT";
    if (m & kWin2000) out += "&& Win2000 ";
    if (m & kWinXp) out += "&& WinXP ";
    if (!out.empty() && out[0] == '&') out.erase(0, 2);
    return out;
}

CItemGroup* CFileGroup::Add(std::unique_ptr<CItemGroup> group) {
    items.push_back(std::move(group));
    return items.back().get();
}

CItemGroup* CFileGroup::Find(const std::string& name) const {
    for (const auto& g : items)
        if (g->name == name) return g.get();
    return nullptr;
}

// --- components -------------------------------------------------------------------------------

std::string CItemComponent::Path() const {
    std::vector<const std::string*> names;
    for (const CItemComponent* c = this; c && c->parent; c = c->parent) names.push_back(&c->name);
    std::string out;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (it != names.rbegin()) out += '\\';
        out += **it;
    }
    return out;
}

CItemComponent* CItemComponent::FindPath(const std::string& path) const {
    const CItemComponent* at = this;
    std::size_t start = 0;
    for (;;) {
        std::size_t cut = path.find('\\', start);
        std::size_t len = (cut == std::string::npos ? path.size() : cut) - start;
        const CItemComponent* found = nullptr;
        for (const auto& child : at->children) {
            if (child->name.size() == len && path.compare(start, len, child->name) == 0) {
                found = child.get();
                break;
            }
        }
        if (!found) return nullptr;
        if (cut == std::string::npos) return const_cast<CItemComponent*>(found);
        at = found;
        start = cut + 1;
    }
}

CItemSetup* CFileSetup::Add(std::unique_ptr<CItemSetup> setup) {
    items.push_back(std::move(setup));
    return items.back().get();
}

// --- registry and shortcuts -------------------------------------------------------------------

CRegistry* CRegistry::AddSet(const std::string& set_name) {
    CRegistry* set = AddChild(kSet, set_name);
    for (const char* hive : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"})
        set->AddChild(kHive, hive);
    return set;
}

std::string CObListShort::Macro() const {
    switch (kind) {
        case kDesktop: return "<FOLDER_DESKTOP>";
        case kStartMenu: return "<FOLDER_STARTMENU>";
        case kPrograms: return "<FOLDER_PROGRAMS>";
        case kStartup: return "<FOLDER_STARTUP>";
        default: return name;
    }
}

// --- strings ----------------------------------------------------------------------------------

const std::string& CStringItem::Value(std::size_t i) const {
    static const std::string empty;
    return i < values.size() ? values[i] : empty;
}

void CStringItem::SetValue(std::size_t i, const std::string& text) {
    if (values.size() <= i) values.resize(i + 1);
    values[i] = text;
}

CStringItem* CStringItemList::Add(std::unique_ptr<CStringItem> item) {
    items.push_back(std::move(item));
    return items.back().get();
}

CStringItem* CStringItemList::Find(const std::string& key) const {
    for (const auto& s : items)
        if (EqualNoCase(s->key, key)) return s.get();
    return nullptr;
}

}  // namespace qp
