// The setup list writer, one function per record, mirrored field by field by the reader in
// setuplist.cpp. A file of its own so that setup.exe, which only reads the list, does not carry it.
#include "common/setuplist.h"

#include "common/fileio.h"

namespace qp {

namespace {

// ---- Writer --------------------------------------------------------------------------------

void WriteList(ByteWriter& w, const std::vector<std::string>& list, const char* field) {
    w.I32(static_cast<std::int32_t>(list.size()));
    for (const auto& s : list) WriteShiftedString(w, s, field);
}

void WriteCount(ByteWriter& w, std::size_t n, const char* what) {
    if (n > 0x7FFFFFFFu) throw FormatError(std::string("too many ") + what + " for a setup list");
    w.I32(static_cast<std::int32_t>(n));
}

// The reader refuses records nested deeper than kMaxSetupListDepth and reads a folder of more
// than kMaxFileTreeChildren nodes as empty: such a list is never written.
void CheckDepth(int depth, const char* what) {
    if (depth > kMaxSetupListDepth)
        throw FormatError(std::string(what) + " nested more than " + std::to_string(kMaxSetupListDepth) +
                          " deep, deeper than a setup list reader accepts");
}

void WriteFileNode(ByteWriter& w, const FileNode& n, const std::string& name, int depth = 1) {
    CheckDepth(depth, "file nodes");
    if (n.children.size() > static_cast<std::size_t>(kMaxFileTreeChildren))
        throw FormatError("the folder \"" + name + "\" holds " + std::to_string(n.children.size()) +
                          " nodes; a setup list reader accepts at most " + std::to_string(kMaxFileTreeChildren));
    w.I32(n.folder_id);
    w.I32(n.kind);
    w.I32(n.size);
    w.U64(n.version);
    w.U64(n.time);
    WriteShiftedString(w, name, "file node name");
    WriteCount(w, n.children.size(), "file nodes");
    for (const auto& c : n.children) WriteFileNode(w, c, c.name, depth + 1);
}

void WriteGroup(ByteWriter& w, const GroupRecord& g) {
    WriteShiftedString(w, g.name, "group name");
    w.I32(g.shared);
    w.I32(g.self_register);
    w.I32(g.restart_if_locked);
    w.I32(g.compressed);
    w.I32(g.operating_system_mask);
    w.I32(g.spare);
    w.I32(g.operating_system_mask);
    WriteShiftedString(w, g.ftp_location, "group FTP location");
    WriteShiftedString(w, g.http_location, "group HTTP location");
    WriteShiftedString(w, g.group_key, "group key");
    WriteShiftedString(w, g.comment, "group comment");
    w.I32(g.overwrite_word);
    WriteShiftedString(w, g.destination, "group destination");
    WriteShiftedString(w, g.language_mask, "group language mask");
    // The root of a group's tree always carries the group's name: the archive member names
    // of the group's files begin with it.
    WriteFileNode(w, g.file_tree, g.name);
}

void WriteComponent(ByteWriter& w, const ComponentRecord& c, int depth = 1) {
    CheckDepth(depth, "components");
    WriteShiftedString(w, c.name, "component name");
    WriteShiftedString(w, c.description, "component description");
    WriteShiftedString(w, c.status_text, "component status text");
    WriteShiftedString(w, c.display_text, "component display text");
    w.I32(c.visible);
    w.I32(c.file_need);
    w.I32(c.include_in_build);
    WriteShiftedString(w, c.cd_folder, "component CD-ROM folder");
    WriteShiftedString(w, c.ftp_location, "component FTP location");
    WriteShiftedString(w, c.http_location, "component HTTP location");
    WriteShiftedString(w, c.comment, "component comment");
    for (const auto& f : c.functions) WriteShiftedString(w, f, "component function name");
    WriteCount(w, c.children.size(), "components");
    for (const auto& child : c.children) WriteComponent(w, child, depth + 1);
    WriteList(w, c.group_names, "component group name");
    WriteList(w, c.required_names, "required component path");
}

void WriteSetupType(ByteWriter& w, const SetupTypeRecord& t) {
    WriteShiftedString(w, t.name, "setup type name");
    WriteShiftedString(w, t.description, "setup type description");
    WriteShiftedString(w, t.display_name, "setup type display name");
    WriteShiftedString(w, t.comment, "setup type comment");
    w.I32(t.require_component_step);
    WriteList(w, t.component_names, "setup type component path");
}

void WriteRegistry(ByteWriter& w, const RegistryNode& n, int depth = 1) {
    CheckDepth(depth, "registry nodes");
    w.I32(n.flags);
    w.I32(n.kind);
    WriteShiftedString(w, n.name, "registry name");
    WriteShiftedString(w, n.data, "registry data");
    WriteList(w, n.group_names, "registry group name");
    WriteCount(w, n.children.size(), "registry nodes");
    for (const auto& c : n.children) WriteRegistry(w, c, depth + 1);
}

void WriteStringRecord(ByteWriter& w, const StringRecord& s) {
    WriteShiftedString(w, s.key, "string key");
    WriteShiftedString(w, s.comment, "string comment");
    WriteList(w, s.values, "string value");
}

void WriteShortcut(ByteWriter& w, const ShortcutNode& n, int depth = 1) {
    CheckDepth(depth, "shortcut nodes");
    w.I32(n.kind);
    w.I32(n.folder_option);
    WriteShiftedString(w, n.name, "shortcut name");
    WriteShiftedString(w, n.display_text, "shortcut display name");
    w.I32(n.internet_shortcut);
    WriteShiftedString(w, n.target, "shortcut target");
    WriteShiftedString(w, n.arguments, "shortcut arguments");
    WriteShiftedString(w, n.working_folder, "shortcut working folder");
    WriteShiftedString(w, n.hotkey, "shortcut hot key");
    w.I32(n.run_mode);
    WriteShiftedString(w, n.icon_file, "shortcut icon file");
    w.I32(n.icon_index);
    w.I32(n.replace_existing);
    w.I32(n.common);
    WriteShiftedString(w, n.comment, "shortcut comment");
    WriteList(w, n.group_names, "shortcut group name");
    WriteCount(w, n.children.size(), "shortcut nodes");
    for (const auto& c : n.children) WriteShortcut(w, c, depth + 1);
}

void WriteFunction(ByteWriter& w, const FunctionRecord& f) {
    WriteShiftedString(w, f.name, "function name");
    WriteShiftedString(w, f.internal_name, "function internal name");
    WriteShiftedString(w, f.dll_path, "function library path");
    WriteShiftedString(w, f.function_call, "function call");
    WriteList(w, f.parameters, "function parameter");
}

}  // namespace

// ---- Shifted strings -------------------------------------------------------------------------

void WriteShiftedString(ByteWriter& w, const std::string& text, const char* field) {
    if (text.size() > kSetupTextMax) {
        throw FormatError(std::string("the ") + field + " \"" + text.substr(0, 40) + "...\" is " +
                          std::to_string(text.size()) + " characters long; a setup list text holds at most " +
                          std::to_string(kSetupTextMax));
    }
    if (text.find('\0') != std::string::npos)
        throw FormatError(std::string("the ") + field + " holds a zero byte, which a setup list text cannot carry");
    w.I32(static_cast<std::int32_t>(text.size() + 1));
    for (char c : text) w.U8(static_cast<std::uint8_t>(static_cast<std::uint8_t>(c) - kShiftK));
    w.U8(static_cast<std::uint8_t>(0 - kShiftK));
}

// ---- Whole file ------------------------------------------------------------------------------

std::vector<std::uint8_t> WriteSetupList(const SetupList& list) {
    ByteWriter w;
    w.Bytes(kSetupListMagic, kSetupListMagicSize);
    w.I32(kSetupListVersion);
    w.Bytes(list.settings.bytes.data(), list.settings.bytes.size());
    WriteCount(w, list.groups.size(), "file groups");
    for (const auto& g : list.groups) WriteGroup(w, g);
    WriteComponent(w, list.components);
    WriteFileNode(w, list.folders, list.folders.name);
    WriteCount(w, list.setup_types.size(), "setup types");
    for (const auto& t : list.setup_types) WriteSetupType(w, t);
    WriteRegistry(w, list.registry);
    WriteCount(w, list.strings.size(), "strings");
    for (const auto& s : list.strings) WriteStringRecord(w, s);
    WriteCount(w, list.languages.size(), "languages");
    for (const auto& l : list.languages) {
        w.I32(l.table_index);
        w.I32(l.lang_value);
    }
    WriteShortcut(w, list.shortcuts);
    WriteCount(w, list.functions.size(), "function calls");
    for (const auto& f : list.functions) WriteFunction(w, f);
    w.I32(kSetupListEndMarker);
    return std::move(w.Data());
}

void SaveSetupList(const SetupList& list, const std::string& path) {
    // Encode first: a text that does not fit must not leave a half-written file behind.
    std::vector<std::uint8_t> bytes = WriteSetupList(list);
    switch (WriteFileReplacing(path, bytes.data(), bytes.size(), ".tmp")) {
    case FileResult::kOk: return;
    case FileResult::kCannotOpen: throw IoError("cannot create " + path + ".tmp");
    case FileResult::kCannotReplace: throw IoError("cannot replace " + path);
    default: throw IoError("cannot write " + path + ".tmp");
    }
}

}  // namespace qp
