// The component and group property lists and the states of their sheet pages.
#include "builder/ui/logic/pages.h"

#include <algorithm>

#include "common/languages.h"

namespace qp {

namespace {

const char* YesNo(std::int32_t flag) { return flag ? "Yes" : "No"; }

std::string JoinNames(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += (out.empty() ? "" : " && ") + n;
    return out;
}

}  // namespace

std::int32_t NormalFileNeed(std::int32_t need) { return need == 0 || need == 1 ? need : 2; }

const char* FileNeedText(std::int32_t need) {
    static const char* const kTexts[3] = {"CRITICAL", "RECOMENDED", "STANDARD"};
    return kTexts[NormalFileNeed(need)];
}

std::vector<PropertyRow> ComponentRows(const CItemComponent* c) {
    std::vector<PropertyRow> rows = {
        {"Description", 0, "", 0}, {"Status Text", 1, "", 1},         {"Display", 2, "", 2},
        {"Visible", 3, "", 3},     {"File need", 4, "", 4},           {"Include File Group", 9, "", 5},
        {"Required Component", 10, "", 6}, {"Comment", 11, "", 7},
    };
    if (!c) return rows;
    std::vector<std::string> groups, required;
    for (const CItemGroup* g : c->file_groups) groups.push_back(g->name);
    for (const CItemComponent* r : c->required_components) required.push_back(r->name);
    rows[0].value = c->description;
    rows[1].value = c->status_text;
    rows[2].value = c->display_text;
    rows[3].value = YesNo(c->visible);
    rows[4].value = FileNeedText(c->file_need);
    rows[5].value = JoinNames(groups);
    rows[6].value = JoinNames(required);
    rows[7].value = c->comment;
    return rows;
}

std::vector<PropertyRow> GroupRows(const CItemGroup* g) {
    std::vector<PropertyRow> rows = {
        {"Shared", 0, "", 0}, {"SelfRegistered", 1, "", 1}, {"PotentialLock", 2, "", 2}, {"OS", 3, "", 3},
        {"Overwrite", 4, "", 4}, {"Destination", 5, "", 5}, {"Language", 6, "", 6}, {"Comment", 7, "", 7},
    };
    if (!g) return rows;
    rows[0].value = YesNo(g->shared);
    rows[1].value = YesNo(g->self_register);
    rows[2].value = YesNo(g->restart_if_locked);
    rows[3].value = OperatingSystemText(g->operating_system_mask);
    rows[4].value = OverwriteText(g->overwrite_word);
    rows[5].value = g->destination;
    rows[6].value = LanguageMaskText(g->language_mask);
    rows[7].value = g->comment;
    return rows;
}

bool ComponentRowRightClick(CItemComponent& c, int row) {
    if (row == 3) {
        c.visible = c.visible ? 0 : 1;
        return true;
    }
    if (row == 4) {
        c.file_need = (NormalFileNeed(c.file_need) + 1) % 3;
        return true;
    }
    return false;
}

bool GroupRowRightClick(CItemGroup& g, int row) {
    std::int32_t* flags[3] = {&g.shared, &g.self_register, &g.restart_if_locked};
    if (row < 0 || row > 2) return false;
    *flags[row] = *flags[row] ? 0 : 1;
    return true;
}

// ---- Os ------------------------------------------------------------------------------------

const char* const kOsBoxTexts[OsPageState::kBoxes] = {"OS Independent", "WIN95", "WIN98", "WINME",
                                                      "WINNT",          "WIN2000", "XP"};

OsPageState OsPageState::Read(std::int32_t mask) {
    OsPageState s;
    for (int i = 0; i < kBoxes; ++i) s.boxes[std::size_t(i)] = (mask >> i) & 1;
    return s;
}

std::int32_t OsPageState::Mask() const {
    std::int32_t mask = 0;
    for (int i = 0; i < kBoxes; ++i)
        if (boxes[std::size_t(i)]) mask |= 1 << i;
    return mask;
}

// ---- OverWrite Type --------------------------------------------------------------------------

const char* const kOverwriteModeTexts[5] = {"ALLWAYS", "NEVER", "ByDATE", "ByVERSION", "By VERSION and by DATE"};
const char* const kOverwriteVersionTexts[3] = {"The distributed files have a NEWER version",
                                               "The distributed files have either a NEWER or the SAME version",
                                               "The files have an OLDER version"};
const char* const kOverwriteDateTexts[3] = {"The distributed files have a NEWER date/time",
                                            "The distributed files have either a NEWER or the SAME date/time",
                                            "The distributed files have an OLDER date/time"};

namespace {
// The index of the highest set bit among `count` bits starting at `first`; `none` if none is.
int HighestOf(std::int32_t word, int first, int count, int none) {
    int found = none;
    for (int i = 0; i < count; ++i)
        if ((word >> (first + i)) & 1) found = i;
    return found;
}
}  // namespace

OverwritePageState OverwritePageState::Read(std::int32_t word) {
    OverwritePageState s;
    s.mode = HighestOf(word, 0, 5, -1);
    s.version = HighestOf(word, 6, 3, 0);
    s.date = HighestOf(word, 9, 3, 0);
    return s;
}

std::int32_t OverwritePageState::Word() const {
    std::int32_t word = mode >= 0 && mode <= 4 ? 1 << mode : 0;
    word |= overwrite::kNewerVersion << std::clamp(version, 0, 2);
    word |= overwrite::kNewerDate << std::clamp(date, 0, 2);
    return word;
}

// ---- Languages Group -----------------------------------------------------------------------

LanguageMaskPage::LanguageMaskPage(const std::string& mask, const std::vector<int>* used) {
    rows_.push_back({-1, "Independent", mask.empty()});
    for (int i = 0; i < kLanguageCount; ++i) {
        if (used && std::find(used->begin(), used->end(), i) == used->end()) continue;
        const bool checked = std::size_t(i) < mask.size() && mask[std::size_t(i)] != '0';
        rows_.push_back({i, LanguageName(i), checked});
    }
}

void LanguageMaskPage::Toggle(std::size_t row) {
    if (row < rows_.size()) rows_[row].checked = !rows_[row].checked;
}

void LanguageMaskPage::Set(std::size_t row, bool checked) {
    if (row < rows_.size()) rows_[row].checked = checked;
}

std::string LanguageMaskPage::Mask() const {
    if (rows_.empty() || rows_[0].checked) return std::string();
    std::string mask(kLanguageMaskLength, '0');
    for (const Row& r : rows_)
        if (r.table_index >= 0 && r.checked) mask[std::size_t(r.table_index)] = '1';
    return mask;
}

// ---- Destination -----------------------------------------------------------------------------

std::string DestinationOf(const CObListFile& folder) { return folder.FullPath(); }

const CObListFile* FindDestinationNode(const CObListFile& tree, const std::string& destination) {
    std::vector<const CObListFile*> stack{&tree};
    while (!stack.empty()) {
        const CObListFile* n = stack.back();
        stack.pop_back();
        if (n->kind == CObListFile::kFolder && DestinationOf(*n) == destination) return n;
        for (auto it = n->children.rbegin(); it != n->children.rend(); ++it)
            if ((*it)->kind != CObListFile::kFile) stack.push_back(it->get());
    }
    return nullptr;
}

// ---- component pages -------------------------------------------------------------------------

std::vector<std::string> AuthorStringKeys(const CDazDoc& doc) {
    std::vector<std::string> keys;
    for (const auto& s : doc.string_table.items)
        if (s->category == CStringItem::kAuthor) keys.push_back(s->key);
    return keys;
}

GroupChoice::GroupChoice(const CDazDoc& doc, const std::vector<CItemGroup*>& chosen) {
    for (const auto& g : doc.group_list.items) {
        const bool in = std::find(chosen.begin(), chosen.end(), g.get()) != chosen.end();
        rows_.push_back({g.get(), in});
    }
}

void GroupChoice::Apply(std::vector<CItemGroup*>& chosen) const {
    chosen.clear();
    for (const Row& r : rows_)
        if (r.checked) chosen.push_back(r.group);
}

RequiredPage::RequiredPage(const CDazDoc& doc, const CItemComponent& edited) {
    std::vector<std::pair<CItemComponent*, int>> stack;
    for (auto it = doc.root_component.children.rbegin(); it != doc.root_component.children.rend(); ++it)
        stack.push_back({it->get(), 0});
    while (!stack.empty()) {
        auto [c, depth] = stack.back();
        stack.pop_back();
        State state = kFree;
        if (c == &edited)
            state = kSelf;
        else if (doc.IsRequiredBy(&edited, c))
            state = kLocked;
        else if (std::find(edited.required_components.begin(), edited.required_components.end(), c) !=
                 edited.required_components.end())
            state = kRequired;
        nodes_.push_back({c, depth, state});
        for (auto it = c->children.rbegin(); it != c->children.rend(); ++it) stack.push_back({it->get(), depth + 1});
    }
}

bool RequiredPage::Toggle(std::size_t index) {
    if (index >= nodes_.size()) return false;
    State& s = nodes_[index].state;
    if (s == kFree)
        s = kRequired;
    else if (s == kRequired)
        s = kFree;
    else
        return false;
    return true;
}

void RequiredPage::Apply(CItemComponent& edited) const {
    edited.required_components.clear();
    for (const Node& n : nodes_)
        if (n.state == kRequired) edited.required_components.push_back(n.component);
}

SetupTypeFields SetupTypeFields::Read(const CItemSetup& s) {
    return {s.description, s.display_name, s.comment, s.require_component_step != 0};
}

void SetupTypeFields::Apply(CItemSetup& s) const {
    s.description = description;
    s.display_name = display_name;
    s.comment = comment;
    s.require_component_step = require_component_step ? 1 : 0;
}

}  // namespace qp
