// Temporary files of a run that was killed half-way. The runtime writes a few files beside
// their final name and renames them when complete: a file replacing an existing one
// ("<name>.qz<n>", n from 0 to 99, beside its target), the log and the record of written files
// ("uninst.lst.new", "written.lst.new") and the information folder's runtime and setup list
// ("setup.exe.qpnew", "setup.lst.qpnew"). A run killed between the write and the rename leaves
// them behind; the next run of a kit of the product removes them (win/leftovers_win.h): only
// names of that form, beside the files the product's record names, in the product's folders.
#pragma once
#include <string>
#include <vector>

#include "setup/engine/written.h"

namespace qp {

// True when `name` is `base` + ".qz" + a number from 0 to 99 as the extractor writes it (no
// leading zeros), compared without regard to case.
bool IsExtractionTempOf(const std::string& name, const std::string& base);

// The temporary names in the information folder, beside the files kept there.
std::vector<std::string> InfoFolderTempNames();

// The record's files by folder: each folder once (in the record's order), with the names of
// its files.
struct RecordedFolder {
    std::string folder;
    std::vector<std::string> names;
};
std::vector<RecordedFolder> RecordedFolders(const WrittenRecord& record);

}  // namespace qp
