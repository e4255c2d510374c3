// The string-table and link windows' rules (see stringview.h).
#include "builder/ui/logic/stringview.h"

#include <cctype>

#include <algorithm>

#include "builder/ui/logic/regvalue.h"
#include "common/languages.h"

namespace qp {

bool StringFilter::Shows(int category) const {
    switch (category) {
    case CStringItem::kAuthor: return user;
    case CStringItem::kProductInfo: return project;
    case CStringItem::kWizardText: return resources;
    case CStringItem::kBillboard: return billboard;
    }
    return false;  // category 4 and others are never listed
}

std::vector<CStringItem*> ListedStrings(const CStringItemList& table, const StringFilter& filter) {
    std::vector<CStringItem*> out;
    for (const auto& s : table.items)
        if (filter.Shows(s->category)) out.push_back(s.get());
    return out;
}

void FillStringGrid(GridModel& grid, const CStringItemList& table, const StringFilter& filter, bool id_fixed) {
    const std::vector<CStringItem*> strings = ListedStrings(table, filter);
    std::vector<CLangItem*> langs;
    for (const auto& l : table.language_list)
        if (l->shown) langs.push_back(l.get());
    grid.SetSize(int(strings.size()) + 1, int(langs.size()) + 2);
    grid.SetFixed(1, id_fixed ? 2 : 1);
    grid.SetColWidth(0, 20);
    grid.SetColData(0, 0);
    grid.SetColData(1, 0);
    for (int c = 1; c < grid.Cols(); ++c) grid.SetColWidth(c, 150);
    grid.SetText(0, 0, "");
    grid.SetText(0, 1, "ID");
    for (std::size_t i = 0; i < langs.size(); ++i) {
        const int c = int(i) + 2;
        grid.SetColWidth(c, langs[i]->lang_value > 0 ? langs[i]->lang_value : 200);
        grid.SetColData(c, reinterpret_cast<std::intptr_t>(langs[i]));
        grid.SetText(0, c, LanguageName(langs[i]->table_index));
    }
    grid.SetRowData(0, 0);
    for (std::size_t r = 0; r < strings.size(); ++r) {
        const int row = int(r) + 1;
        grid.SetRowData(row, reinterpret_cast<std::intptr_t>(strings[r]));
        grid.SetText(row, 0, "");
        grid.SetText(row, 1, strings[r]->key);
        for (std::size_t i = 0; i < langs.size(); ++i) {
            const auto pos = std::size_t(std::find_if(table.language_list.begin(), table.language_list.end(),
                                                      [&](const auto& l) { return l.get() == langs[i]; }) -
                                         table.language_list.begin());
            grid.SetText(row, int(i) + 2, strings[r]->Value(pos));
        }
    }
}

namespace {
// The language position of a grid column, -1 for none.
int PositionOfColumn(const GridModel& grid, const CStringItemList& table, int col) {
    const auto* lang = reinterpret_cast<const CLangItem*>(grid.ColData(col));
    if (!lang || col < 2) return -1;
    for (std::size_t i = 0; i < table.language_list.size(); ++i)
        if (table.language_list[i].get() == lang) return int(i);
    return -1;
}
}  // namespace

int ColumnOfLanguage(const GridModel& grid, const CStringItemList& table, int position) {
    for (int c = 2; c < grid.Cols(); ++c)
        if (PositionOfColumn(grid, table, c) == position) return c;
    return -1;
}

bool MayEditCell(const GridModel& grid, int row, int col) {
    const auto* s = reinterpret_cast<const CStringItem*>(grid.RowData(row));
    if (!s || row < grid.FixedRows() || col < 1) return false;
    if (col == 1) return s->category == CStringItem::kAuthor;
    return true;
}

bool StoreCell(const GridModel& grid, CStringItemList& table, int row, int col, const std::string& text) {
    if (!MayEditCell(grid, row, col)) return false;
    auto* s = reinterpret_cast<CStringItem*>(grid.RowData(row));
    if (col == 1) {
        const CStringItem* other = table.Find(text);
        if (text.empty() || (other && other != s)) return false;
        s->key = text;
        return true;
    }
    const int pos = PositionOfColumn(grid, table, col);
    if (pos < 0) return false;
    s->SetValue(std::size_t(pos), text);
    return true;
}

int DeleteAuthorStrings(const GridModel& grid, CStringItemList& table, int first, int last) {
    std::vector<const CStringItem*> doomed;
    for (int r = std::max(first, grid.FixedRows()); r <= last && r < grid.Rows(); ++r) {
        const auto* s = reinterpret_cast<const CStringItem*>(grid.RowData(r));
        if (s && s->category == CStringItem::kAuthor) doomed.push_back(s);
    }
    const std::size_t before = table.items.size();
    table.items.erase(std::remove_if(table.items.begin(), table.items.end(),
                                     [&](const std::unique_ptr<CStringItem>& s) {
                                         return std::find(doomed.begin(), doomed.end(), s.get()) != doomed.end();
                                     }),
                      table.items.end());
    return int(before - table.items.size());
}

CStringItem* NewAuthorString(CDazDoc& doc) {
    auto s = std::make_unique<CStringItem>(doc.NewStringKey(), CStringItem::kAuthor);
    s->values.assign(doc.string_table.language_list.size(), std::string());
    return doc.string_table.Add(std::move(s));
}

void StoreColumnWidths(const GridModel* grid, CStringItemList& table) {
    for (std::size_t i = 0; i < table.language_list.size(); ++i) {
        if (!grid) {
            table.language_list[i]->lang_value = 200;
            continue;
        }
        const int c = ColumnOfLanguage(*grid, table, int(i));
        if (c >= 0) table.language_list[i]->lang_value = grid->ColWidth(c);
    }
}

std::string PastedCellText(const std::string& clipboard) { return clipboard.substr(0, 255); }

std::vector<std::pair<std::string, std::string>> LinkRows(const CObListShort& n) {
    if (n.kind == CObListShort::kProgramFolder) return {{"Display Folder Name", n.display_text}, {"Comment", n.comment}};
    if (n.kind != CObListShort::kShortcut) return {};
    std::string groups;
    for (const CItemGroup* g : n.file_groups) groups += (groups.empty() ? "" : " && ") + g->name;
    return {{"Shortcut Text", n.display_text},
            {"Internet Shortcut", n.internet_shortcut ? "Yes" : "No"},
            {"Target", n.target},
            {"Parameters", n.parameters},
            {"Start in", n.start_in},
            {"Shortcut key", n.hotkey},
            {"Run", RunModeText(n.run_mode)},
            {"IconFile", n.icon_file},
            {"Icon Index", std::to_string(n.icon_index)},
            {"Replace shortcut if found?", n.replace_existing ? "Yes" : "No"},
            {"File group", groups},
            {"Type", n.common ? "Common" : "Personal"},
            {"Comment", n.comment}};
}

namespace {
// "New shortcut#" and 1 to 3 digits, the names new shortcuts get, in any case.
bool IsMadeShortcutName(const std::string& name) {
    static const char kStem[] = "new shortcut#";
    const std::size_t stem = sizeof(kStem) - 1;
    if (name.size() <= stem || name.size() > stem + 3) return false;
    for (std::size_t i = 0; i < stem; ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != kStem[i]) return false;
    for (std::size_t i = stem; i < name.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
    return true;
}
}  // namespace

std::string NameFromTarget(const CObListShort& shortcut) {
    if (shortcut.kind != CObListShort::kShortcut || !IsMadeShortcutName(shortcut.name)) return {};
    std::string file = shortcut.target;
    // A quoted target: the text between the quotes.
    if (!file.empty() && file.front() == '"') {
        const std::size_t close = file.find('"', 1);
        file = file.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    while (!file.empty() && (file.back() == ' ' || file.back() == '\\' || file.back() == '/')) {
        if (file.back() != ' ') return {};  // a folder
        file.pop_back();
    }
    const std::size_t slash = file.find_last_of("\\/");
    if (slash != std::string::npos) file = file.substr(slash + 1);
    if (file.empty() || file.back() == '>') return {};  // a macro alone: a folder
    const std::size_t dot = file.rfind('.');
    if (dot != std::string::npos && dot > 0) file.resize(dot);
    return file;
}

}  // namespace qp
