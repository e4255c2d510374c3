// The string-table window's and the link window's rules, without the windows: which strings
// the grid lists, how the grid is filled, which cell edits are taken, what Delete removes,
// the column widths kept in the project, and the link window's property rows.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "builder/model/doc.h"
#include "builder/ui/logic/gridmodel.h"

namespace qp {

// The category check boxes, as the window opens.
struct StringFilter {
    bool user = true;        // category 0
    bool project = true;     // category 1
    bool resources = false;  // category 2
    bool billboard = false;  // category 3
    bool Shows(int category) const;
};

// The strings the grid lists, in string-table order.
std::vector<CStringItem*> ListedStrings(const CStringItemList& table, const StringFilter& filter);

// Fills `grid` with the listed strings: one header row, the narrow column 0, "ID", then one
// column per shown language. Row data is the string, column data the language (CLangItem*).
// `id_fixed` makes the "ID" column fixed too.
void FillStringGrid(GridModel& grid, const CStringItemList& table, const StringFilter& filter, bool id_fixed);
// The grid column of language position `position`, or -1 when it has none.
int ColumnOfLanguage(const GridModel& grid, const CStringItemList& table, int position);

// Whether a cell may be edited: rows without a string never; the "ID" column (1) only for
// the author's strings (category 0).
bool MayEditCell(const GridModel& grid, int row, int col);
// Stores an accepted edit of a cell in the string table; false when refused (a key that is
// empty or already another string's, compared without regard to case), and the cell keeps
// its old text then.
bool StoreCell(const GridModel& grid, CStringItemList& table, int row, int col, const std::string& text);
// "Delete": the author's strings among rows `first` to `last` go; the others stay. Returns
// how many went.
int DeleteAuthorStrings(const GridModel& grid, CStringItemList& table, int first, int last);
// "New": a string of category 0 with a new key and an empty value for every language.
CStringItem* NewAuthorString(CDazDoc& doc);
// The widths of the language columns back into each language's `lang_value`; without a grid
// every language gets 200.
void StoreColumnWidths(const GridModel* grid, CStringItemList& table);
// Clipboard text as a cell edit takes it: at most 255 characters.
std::string PastedCellText(const std::string& clipboard);

// The link window's rows (property, value) for a program folder (2) or a shortcut (13).
std::vector<std::pair<std::string, std::string>> LinkRows(const CObListShort& node);

// A new shortcut is called after the file it points at: once its target names a file, a
// shortcut still carrying the name it was made with ("New shortcut#N") takes the file's name
// without its folder and extension, e.g. "notepad" for "<TARGETDIR>\\notepad.exe"; its text
// follows when that was empty or the generated name. Empty when the name stays: the name is
// the author's, or the target names no file (empty, or only a folder or a macro).
std::string NameFromTarget(const CObListShort& shortcut);

}  // namespace qp
