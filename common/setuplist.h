// The setup list ("setup.lst"): the one file through which the builder hands a project to the
// setup runtime. These plain records are the contract on both sides: the kit builder fills them
// from the project and writes them, the runtime reads them back. The byte layout is fixed;
// in memory every text is a std::string, but the writer refuses any text that would not fit
// the runtime's 260-byte field, and the reader refuses any that claims to be longer.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "common/byteio.h"
#include "common/errors.h"
#include "common/settings.h"

namespace qp {

// ---- Format constants -------------------------------------------------------------------

// The 40 magic bytes at the start of the file, written without a terminating zero.
constexpr char kSetupListMagic[] = "HeaderSetupInfo Quillpack CopyRight 2001";
constexpr std::size_t kSetupListMagicSize = sizeof(kSetupListMagic) - 1;  // 40
constexpr std::int32_t kSetupListVersion = 1;
constexpr std::int32_t kSetupListEndMarker = 78;
// Every text of the setup list is stored shifted: each byte (text and terminating zero) as
// (byte - kShiftK) mod 256. The offset only has to match between writer and reader.
constexpr std::uint8_t kShiftK = 0x2A;
// The runtime's text field: at most 259 characters and the terminating zero.
constexpr std::size_t kSetupTextField = 260;
constexpr std::size_t kSetupTextMax = kSetupTextField - 1;
// File-tree child counts outside 0..kMaxFileTreeChildren are read as 0.
constexpr std::int32_t kMaxFileTreeChildren = 10000;

// What the runtime shows when a setup list is refused; all under kSetupListErrorCaption.
constexpr char kSetupListErrorCaption[] = "Fatal Error !";
constexpr char kMsgUnknownFormat[] = "Unknow file format";
constexpr char kMsgNewerVersion[] = "Version is newer than program";
constexpr char kMsgBadInstallFile[] = "Bad Instalation file \n Installation abort !";

// A refused setup list. what() is the exact message the runtime shows (one of the kMsg...
// texts above, with the caption kSetupListErrorCaption); detail() says, for a developer,
// what exactly was wrong and where.
class SetupListError : public FormatError {
public:
    SetupListError(const std::string& message, const std::string& detail)
        : FormatError(message), detail_(detail) {}
    const std::string& detail() const { return detail_; }
    static const char* caption() { return kSetupListErrorCaption; }

private:
    std::string detail_;
};

// ---- Records ------------------------------------------------------------------------------

// A node of a group's file tree, or of the folder tree.
struct FileNode {
    static constexpr std::int32_t kRoot = 0;
    static constexpr std::int32_t kFolder = 1;
    static constexpr std::int32_t kFile = 2;  // the runtime treats every other kind as a folder

    // Folder tree only: 1 Windows folder, 2 system folder, 3 destination, 4 program files.
    std::int32_t folder_id = 0;
    std::int32_t kind = kRoot;
    std::int32_t size = 0;          // kilobytes (bytes / 1024), recorded at build time
    std::uint64_t version = 0;      // high word = most significant 32 bits; all ones for a folder
    std::uint64_t time = 0;         // FILETIME of the last write; all ones when unreadable
    std::string name;               // folder name, or the builder's source path of a file
    std::vector<FileNode> children;

    bool IsFile() const { return kind == kFile; }
};

struct GroupRecord {
    std::string name;
    std::int32_t shared = 1;
    std::int32_t self_register = 0;
    std::int32_t restart_if_locked = 0;
    std::int32_t compressed = 1;
    std::int32_t operating_system_mask = 1;  // written twice; the second copy wins on reading
    std::int32_t spare = 0;
    std::string ftp_location;
    std::string http_location;
    std::string group_key;  // the builder's own text; no installation step depends on it
    std::string comment;
    std::int32_t overwrite_word = 0x241;
    std::string destination = "<TARGETDIR>";
    std::string language_mask;  // '0'/'1' per language-table index; empty = every language
    FileNode file_tree;         // the root; the writer names it after the group

    // Whether the group installs for the language with this language-table index: an empty
    // mask means every language; a mask too short for the index, or '0' there, means no.
    bool InstallsForLanguage(std::int32_t table_index) const;
};

struct ComponentRecord {
    static constexpr std::int32_t kCritical = 0;
    static constexpr std::int32_t kRecommended = 1;
    static constexpr std::int32_t kStandard = 2;

    std::string name;
    std::string description;
    std::string status_text;
    std::string display_text;
    std::int32_t visible = 1;
    std::int32_t file_need = kStandard;
    std::int32_t include_in_build = 1;
    std::string cd_folder;
    std::string ftp_location;
    std::string http_location;
    std::string comment;
    std::array<std::string, 4> functions;  // names of function calls 1 to 4
    std::vector<ComponentRecord> children;
    std::vector<std::string> group_names;     // exact, case-sensitive group names
    std::vector<std::string> required_names;  // component paths ("Top\\Sub")
};

struct SetupTypeRecord {
    std::string name;
    std::string description;   // a string-table key, or the text itself
    std::string display_name;  // a string-table key; empty = show the name
    std::string comment;
    std::int32_t require_component_step = 1;
    std::vector<std::string> component_names;  // component paths
};

struct RegistryNode {
    static constexpr std::int32_t kRoot = 0;
    static constexpr std::int32_t kSet = 1;     // a top-level registry set ("RegEntry1")
    static constexpr std::int32_t kHive = 2;    // "HKEY_CLASSES_ROOT", ...
    static constexpr std::int32_t kKey = 3;
    static constexpr std::int32_t kString = 4;  // REG_SZ
    static constexpr std::int32_t kBinary = 5;  // REG_BINARY, hex digit pairs
    static constexpr std::int32_t kDword = 6;   // REG_DWORD, one hex number

    std::int32_t flags = 0;
    std::int32_t kind = kRoot;
    std::string name;
    std::string data;
    std::vector<std::string> group_names;  // empty = with the first installation
    std::vector<RegistryNode> children;
};

struct StringRecord {
    std::string key;  // compared without regard to case
    std::string comment;
    std::vector<std::string> values;  // one per entry of the language list, in its order
};

struct LanguageRecord {
    std::int32_t table_index = 0;  // index into the 103-entry language table
    std::int32_t lang_value = 200;
};

struct ShortcutNode {
    static constexpr std::int32_t kDesktop = 0;
    static constexpr std::int32_t kStartMenu = 1;
    static constexpr std::int32_t kPrograms = 2;
    static constexpr std::int32_t kStartup = 3;
    static constexpr std::int32_t kFolder = 4;
    static constexpr std::int32_t kShortcut = 5;

    std::int32_t kind = kDesktop;
    std::int32_t folder_option = 0;
    std::string name;          // folder name (may be "<SHELL_OBJECT_FOLDER>") or caption key
    std::string display_text;  // used instead of the name when not empty
    std::int32_t internet_shortcut = 0;
    std::string target;
    std::string arguments;
    std::string working_folder;  // used as it stands, no macro expansion
    std::string hotkey;
    std::int32_t run_mode = 0;   // 0 normal, 1 maximised, 2 minimised without activation
    std::string icon_file;       // empty = the target
    std::int32_t icon_index = 0;
    std::int32_t replace_existing = 1;
    std::int32_t common = 1;
    std::string comment;  // the link's description
    std::vector<std::string> group_names;
    std::vector<ShortcutNode> children;
};

struct FunctionRecord {
    std::string name;
    std::string internal_name;
    std::string dll_path;
    std::string function_call;
    std::vector<std::string> parameters;
};

// The whole setup list, in file order.
struct SetupList {
    SettingsBlock settings;
    std::vector<GroupRecord> groups;
    ComponentRecord components;  // the root ("Components"); its children are the top level
    FileNode folders;            // the root of the folder tree
    std::vector<SetupTypeRecord> setup_types;
    RegistryNode registry;       // the root of the registry tree
    std::vector<StringRecord> strings;
    std::vector<LanguageRecord> languages;
    ShortcutNode shortcuts;      // the root ("Desktop", kind 0)
    std::vector<FunctionRecord> functions;

    // The group of this name: the exact spelling first, else the first that differs only in
    // case (components name their groups as the author typed them); null when none.
    const GroupRecord* FindGroup(const std::string& name) const;
    // First string whose key equals `key` without regard to case; null when none.
    const StringRecord* FindString(const std::string& key) const;
};

// ---- Reading and writing ----------------------------------------------------------------

// The whole file as bytes. Throws FormatError when a text does not fit its 260-byte field
// (the message names the field), never cutting it.
std::vector<std::uint8_t> WriteSetupList(const SetupList& list);
// Writes the file beside `path` first and renames it over `path` only when complete.
// Throws IoError when the file cannot be written, FormatError as above (nothing is written then).
void SaveSetupList(const SetupList& list, const std::string& path);

// Reads a whole setup list. Throws SetupListError with the runtime's message: a wrong magic,
// a newer version, and any damage (a bad end marker, a text longer than its field, a count
// larger than the bytes left, nesting deeper than kMaxSetupListDepth, a short file) as
// kMsgBadInstallFile. Bytes after the end marker are ignored. Never reads past the input.
SetupList ReadSetupList(const std::uint8_t* data, std::size_t size);
SetupList ReadSetupList(const std::vector<std::uint8_t>& bytes);
// Reads the file at `path`; IoError when it cannot be opened or read.
// Only an ordinary file of at most kMaxSetupListSize bytes is read; anything else is an IoError.
SetupList LoadSetupList(const std::string& path);
constexpr std::size_t kMaxSetupListSize = 64u << 20;

// Recursive records nest at most this deep; a deeper file is refused rather than allowed to
// exhaust the stack.
constexpr int kMaxSetupListDepth = 200;

// The shifted-string primitive on its own (for tests and tools).
void WriteShiftedString(ByteWriter& w, const std::string& text, const char* field);
std::string ReadShiftedString(ByteReader& r);

// ---- Text lookup ----------------------------------------------------------------------------

// Looks up the text of a string-table key for the language at position `language` of the
// language list: falls back to language 0 when that value is empty, drops one trailing blank
// and then all leading blanks, replaces the first "%P" (or, failing that, the first "%p") with
// `product_name`, and turns every backslash-n pair into "\r\n". Returns false with an empty
// `out` when the key is empty or missing or the string has no value at `language`.
bool LookupText(const SetupList& list, const std::string& key, std::size_t language,
                const std::string& product_name, std::string& out);
// The same steps on the values of one string, for callers that keep the strings elsewhere.
bool ResolveText(const std::vector<std::string>& values, std::size_t language, const std::string& product_name,
                 std::string& out);
// The same, giving the text (empty when not found).
std::string LookupText(const SetupList& list, const std::string& key, std::size_t language,
                       const std::string& product_name);

// ---- Registry and file-tree helpers -------------------------------------------------------------

// The registry nodes from the tree's root down to one node (root first, the node last); it
// stands in for the parent pointers of the runtime's linked records.
using RegistryLineage = std::vector<const RegistryNode*>;

// Fills `out` with the chain from `root` to `node` (compared by address); false when `node`
// is not in the tree.
bool FindRegistryLineage(const RegistryNode& root, const RegistryNode* node, RegistryLineage& out);

constexpr std::uint32_t kHkeyClassesRoot = 0x80000000u;
constexpr std::uint32_t kHkeyCurrentUser = 0x80000001u;
constexpr std::uint32_t kHkeyLocalMachine = 0x80000002u;
constexpr std::uint32_t kHkeyUsers = 0x80000003u;

// The predefined key of the nearest ancestor of kind 2 (hive), by its name compared without
// regard to case; 0 for any other name or when there is no such ancestor.
std::uint32_t RegistryRoot(const RegistryLineage& lineage);
// The key path of the last node of the lineage: its own name when its parent is of kind below
// 3; otherwise the parent's key path, plus "\" and its own name for a key (kind 3). `out` is left
// unchanged for a node without parent.
void RegistryKeyPath(const RegistryLineage& lineage, std::string& out);
std::string RegistryKeyPath(const RegistryLineage& lineage);

// The number of file nodes (kind 2) in the subtree, the node itself included.
std::size_t CountFileNodes(const FileNode& node);

// ---- Dump ---------------------------------------------------------------------------------------

// A readable, indented listing of every record and field (texts as they are, without shift).
void DumpSetupList(const SetupList& list, std::ostream& out);

}  // namespace qp
