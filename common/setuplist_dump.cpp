// A readable listing of a setup list, for "qpbc dump setup.lst": every record and field in file
// order, indented by nesting, texts quoted as they are after unshifting.
#include "common/setuplist.h"

#include <cstdio>
#include <ostream>

namespace qp {

namespace {

class Dumper {
public:
    explicit Dumper(std::ostream& out) : out_(out) {}

    void Line(int depth, const std::string& text) { out_ << std::string(2 * depth, ' ') << text << '\n'; }

    static std::string Quote(const std::string& s) {
        std::string q = "\"";
        for (unsigned char c : s) {
            if (c == '"' || c == '\\') {
                q += '\\';
                q += static_cast<char>(c);
            } else if (c < 0x20 || c == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02X", c);
                q += buf;
            } else {
                q += static_cast<char>(c);
            }
        }
        return q + "\"";
    }

    static std::string Hex(std::uint64_t v, int digits) {
        char buf[24];
        std::snprintf(buf, sizeof buf, "0x%0*llX", digits, static_cast<unsigned long long>(v));
        return buf;
    }

    static std::string List(const std::vector<std::string>& v) {
        std::string s = "[";
        for (std::size_t i = 0; i < v.size(); ++i) s += (i ? ", " : "") + Quote(v[i]);
        return s + "]";
    }

    void Field(int depth, const char* name, const std::string& text) { Line(depth, std::string(name) + ": " + Quote(text)); }
    void Field(int depth, const char* name, std::int32_t v) { Line(depth, std::string(name) + ": " + std::to_string(v)); }
    void Field(int depth, const char* name, const std::vector<std::string>& v) {
        Line(depth, std::string(name) + ": " + List(v));
    }

    void FileTree(int depth, const FileNode& n) {
        static const char* const kKinds[] = {"root", "folder", "file"};
        std::string kind = n.kind >= 0 && n.kind <= 2 ? kKinds[n.kind] : "kind " + std::to_string(n.kind);
        std::string line = kind + " " + Quote(n.name);
        if (n.folder_id) line += " folder_id=" + std::to_string(n.folder_id);
        if (n.kind == FileNode::kFile) {
            line += " size=" + std::to_string(n.size) + "KB version=" + Version(n.version) + " time=" + Hex(n.time, 16);
        } else if (n.size != 0 || n.version != ~0ull || n.time != 0) {
            line += " size=" + std::to_string(n.size) + " version=" + Hex(n.version, 16) + " time=" + Hex(n.time, 16);
        }
        Line(depth, line);
        for (const auto& c : n.children) FileTree(depth + 1, c);
    }

    static std::string Version(std::uint64_t v) {
        if (v == 0) return "none";
        return std::to_string(v >> 48) + "." + std::to_string((v >> 32) & 0xFFFF) + "." +
               std::to_string((v >> 16) & 0xFFFF) + "." + std::to_string(v & 0xFFFF);
    }

    void Group(int depth, const GroupRecord& g) {
        Line(depth, "group " + Quote(g.name));
        ++depth;
        Field(depth, "shared", g.shared);
        Field(depth, "self_register", g.self_register);
        Field(depth, "restart_if_locked", g.restart_if_locked);
        Field(depth, "compressed", g.compressed);
        Line(depth, "operating_system_mask: " + Hex(static_cast<std::uint32_t>(g.operating_system_mask), 2));
        Field(depth, "spare", g.spare);
        Field(depth, "ftp_location", g.ftp_location);
        Field(depth, "http_location", g.http_location);
        Field(depth, "group_key", g.group_key);
        Field(depth, "comment", g.comment);
        Line(depth, "overwrite_word: " + Hex(static_cast<std::uint32_t>(g.overwrite_word), 3));
        Field(depth, "destination", g.destination);
        Field(depth, "language_mask", g.language_mask);
        Line(depth, "files: " + std::to_string(CountFileNodes(g.file_tree)));
        FileTree(depth, g.file_tree);
    }

    void Component(int depth, const ComponentRecord& c) {
        Line(depth, "component " + Quote(c.name));
        ++depth;
        Field(depth, "description", c.description);
        Field(depth, "status_text", c.status_text);
        Field(depth, "display_text", c.display_text);
        Field(depth, "visible", c.visible);
        Field(depth, "file_need", c.file_need);
        Field(depth, "include_in_build", c.include_in_build);
        Field(depth, "cd_folder", c.cd_folder);
        Field(depth, "ftp_location", c.ftp_location);
        Field(depth, "http_location", c.http_location);
        Field(depth, "comment", c.comment);
        Field(depth, "functions", std::vector<std::string>(c.functions.begin(), c.functions.end()));
        Field(depth, "groups", c.group_names);
        Field(depth, "required", c.required_names);
        for (const auto& child : c.children) Component(depth, child);
    }

    void Registry(int depth, const RegistryNode& n) {
        static const char* const kKinds[] = {"root", "set", "hive", "key", "string", "binary", "dword"};
        std::string kind = n.kind >= 0 && n.kind <= 6 ? kKinds[n.kind] : "kind " + std::to_string(n.kind);
        std::string line = kind + " " + Quote(n.name);
        if (n.kind >= RegistryNode::kString || !n.data.empty()) line += " = " + Quote(n.data);
        if (n.flags) line += " flags=" + std::to_string(n.flags);
        if (!n.group_names.empty()) line += " groups=" + List(n.group_names);
        Line(depth, line);
        for (const auto& c : n.children) Registry(depth + 1, c);
    }

    void Shortcut(int depth, const ShortcutNode& n) {
        static const char* const kKinds[] = {"desktop", "start menu", "programs", "startup", "folder", "shortcut"};
        std::string kind = n.kind >= 0 && n.kind <= 5 ? kKinds[n.kind] : "kind " + std::to_string(n.kind);
        Line(depth, kind + " " + Quote(n.name));
        int d = depth + 1;
        if (!n.display_text.empty()) Field(d, "display_text", n.display_text);
        Field(d, "folder_option", n.folder_option);
        if (n.kind == ShortcutNode::kShortcut || !n.target.empty()) {
            Field(d, "internet_shortcut", n.internet_shortcut);
            Field(d, "target", n.target);
            Field(d, "arguments", n.arguments);
            Field(d, "working_folder", n.working_folder);
            Field(d, "hotkey", n.hotkey);
            Field(d, "run_mode", n.run_mode);
            Field(d, "icon_file", n.icon_file);
            Field(d, "icon_index", n.icon_index);
            Field(d, "replace_existing", n.replace_existing);
        }
        Field(d, "common", n.common);
        if (!n.comment.empty()) Field(d, "comment", n.comment);
        if (!n.group_names.empty()) Field(d, "groups", n.group_names);
        for (const auto& c : n.children) Shortcut(d, c);
    }

private:
    std::ostream& out_;
};

}  // namespace

void DumpSetupList(const SetupList& list, std::ostream& out) {
    Dumper d(out);
    const SettingsBlock& s = list.settings;
    d.Line(0, "setup list, format version " + std::to_string(kSetupListVersion));
    d.Line(0, "settings");
    d.Line(1, "page_mask: " + Dumper::Hex(s.page_mask(), 4));
    d.Field(1, "product_guid", s.product_guid());
    d.Line(1, "operating_system_mask: " + Dumper::Hex(s.os_mask(), 2));
    std::string colours;
    for (std::size_t off = SettingsBlock::kTitleTextColour; off <= SettingsBlock::kRightBottomShadowColour; off += 4)
        colours += (colours.empty() ? "" : " ") + Dumper::Hex(s.U32(off), 6);
    d.Line(1, "colours: " + colours);

    d.Line(0, "file groups: " + std::to_string(list.groups.size()));
    for (const auto& g : list.groups) d.Group(1, g);
    d.Line(0, "component tree");
    d.Component(1, list.components);
    d.Line(0, "folder tree");
    d.FileTree(1, list.folders);
    d.Line(0, "setup types: " + std::to_string(list.setup_types.size()));
    for (const auto& t : list.setup_types) {
        d.Line(1, "setup type " + Dumper::Quote(t.name));
        d.Field(2, "description", t.description);
        d.Field(2, "display_name", t.display_name);
        d.Field(2, "comment", t.comment);
        d.Field(2, "require_component_step", t.require_component_step);
        d.Field(2, "components", t.component_names);
    }
    d.Line(0, "registry tree");
    d.Registry(1, list.registry);
    std::string langs;
    for (const auto& l : list.languages)
        langs += (langs.empty() ? "" : " ") + std::to_string(l.table_index) + "/" + std::to_string(l.lang_value);
    d.Line(0, "languages (table index/value): " + std::to_string(list.languages.size()) + (langs.empty() ? "" : " " + langs));
    d.Line(0, "strings: " + std::to_string(list.strings.size()));
    for (const auto& str : list.strings) {
        d.Line(1, Dumper::Quote(str.key) + " = " + Dumper::List(str.values) +
                      (str.comment.empty() ? "" : "  // " + Dumper::Quote(str.comment)));
    }
    d.Line(0, "shortcut tree");
    d.Shortcut(1, list.shortcuts);
    d.Line(0, "function calls: " + std::to_string(list.functions.size()));
    for (const auto& f : list.functions) {
        d.Line(1, "function " + Dumper::Quote(f.name));
        d.Field(2, "internal_name", f.internal_name);
        d.Field(2, "dll_path", f.dll_path);
        d.Field(2, "function_call", f.function_call);
        d.Field(2, "parameters", f.parameters);
    }
    d.Line(0, "end marker " + std::to_string(kSetupListEndMarker));
}

}  // namespace qp
