// The import of a directory-style project (".ipr"): the pieces that are worth reaching from
// outside the import itself. The import proper, ImportDirectoryProject, is declared beside the
// project file's load, which dispatches to it.
#pragma once
#include <cstdint>
#include <string>

namespace qp {

// The definition files of a directory-style project, relative to the folder of the ".ipr".
constexpr char kImportGroupsFile[] = "FILE GROUPS\\default.fdf";
constexpr char kImportGroupsDir[] = "FILE GROUPS";
constexpr char kImportComponentsFile[] = "COMPONENT DEFINITIONS\\default.cdf";
constexpr char kImportFolderTreeFile[] = "COMPONENT DEFINITIONS\\default.fgl";
constexpr char kImportShellFile[] = "SHELL OBJECTS\\default.shl";
constexpr char kImportRegistryFile[] = "REGISTRY ENTRIES\\default.rge";
constexpr char kImportStringsFile[] = "STRING TABLES\\default.shl";
constexpr char kImportStringsDir[] = "STRING TABLES";
constexpr char kImportValuesFile[] = "value.shl";

// The overwrite word of an "INSTALLATION" text: tokens between "\" compared without regard to
// case, "ALWAYSOVERWRITE" and "NEVEROVERWRITE" ending the parse, the version and date tokens
// adding their bits, and both kinds of condition together turning into "version and date".
std::int32_t ParseOverwriteWord(const std::string& text);

// The language table index of a "LANG%d" value: the text read as hexadecimal (as "%x" reads it)
// and the first table entry with that identifier; 0 when nothing matches.
int ImportLanguageIndex(const std::string& text);

// The folder of one language below "STRING TABLES": "%04X-%s" from the identifier and display
// name of the table entry.
std::string ImportLanguageFolder(int table_index);

// `relative` (names separated by "\" or "/") below `base`, each name matched one folder level at
// a time without regard to letter case, as Windows finds it. A name that matches exactly wins;
// otherwise the first matching entry in byte order. From the first name that matches nothing,
// the rest is appended as written, so the result names a file that does not exist. The result
// uses the separator that `base` uses (the native one when `base` has none).
std::string ResolvePathNoCase(const std::string& base, const std::string& relative);

}  // namespace qp
