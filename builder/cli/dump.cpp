// The dump of a project: settings block, side files, groups with their files, components,
// folder tree, setup types, registry tree, strings per language, shortcuts and functions.
#include "builder/cli/dump.h"

#include <cstdio>
#include <ostream>

#include "builder/model/language.h"
#include "common/languages.h"

namespace qp {
namespace cli {

namespace {

// Windows-1252 0x80..0x9F as Unicode; 0 marks the five unassigned bytes.
const unsigned short kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Hex32(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(v));
    return buf;
}

std::string Pad(int depth) { return std::string(static_cast<std::size_t>(depth) * 2, ' '); }

const char* const kSteps[10] = {"Welcome", "Soft Agree", "Read me", "User", "Choose destination", "Setup type",
                                "Custom setup", "Select program folder", "Start copying file", "Setup Complete"};

std::string Steps(std::uint32_t mask) {
    std::string out;
    for (int i = 0; i < 10; ++i) {
        if (!(mask & (1u << i))) continue;
        if (!out.empty()) out += ", ";
        out += kSteps[i];
    }
    return out.empty() ? "none" : out;
}

const char* FileNeedName(std::int32_t v) {
    switch (v) {
    case 0: return "CRITICAL";
    case 1: return "RECOMENDED";
    case 2: return "STANDARD";
    default: return "?";
    }
}

std::string KindName(const char* const* names, int count, std::int32_t kind) {
    if (kind >= 0 && kind < count) return names[kind];
    return "kind " + std::to_string(kind);
}

class Dumper {
public:
    Dumper(const CDazDoc& doc, std::ostream& out, bool utf8) : doc_(doc), out_(out), utf8_(utf8) {}

    void All() {
        Settings();
        SideFiles();
        Groups();
        Components();
        FolderTree();
        SetupTypes();
        Registry();
        Strings();
        Shortcuts();
        Functions();
    }

private:
    std::string Q(const std::string& s) const { return Quote(s, utf8_); }

    template <class List>
    std::string Names(const List& items) const {
        std::string out;
        for (const auto* item : items) {
            if (!out.empty()) out += ", ";
            out += Q(item->name);
        }
        return out.empty() ? "none" : out;
    }

    std::string Paths(const std::vector<CItemComponent*>& items) const {
        std::string out;
        for (const auto* c : items) {
            if (!out.empty()) out += ", ";
            out += Q(c->Path());
        }
        return out.empty() ? "none" : out;
    }

    void Settings() {
        const SettingsBlock& s = doc_.settings_block;
        out_ << "Settings block (" << kSettingsSize << " bytes)\n";
        out_ << "  page mask: " << Hex32(s.page_mask()) << " (" << Steps(s.page_mask()) << ")\n";
        out_ << "  product GUID: " << Q(s.product_guid()) << "\n";
        out_ << "  operating-system mask: " << s.os_mask() << " (" << Q(OperatingSystemText(static_cast<std::int32_t>(s.os_mask())))
             << ")\n";
        struct Colour { const char* name; std::size_t offset; };
        const Colour colours[] = {
            {"title text colour", SettingsBlock::kTitleTextColour},
            {"title shadow colour", SettingsBlock::kTitleShadowColour},
            {"bottom message text colour", SettingsBlock::kBottomTextColour},
            {"bottom message shadow colour", SettingsBlock::kBottomShadowColour},
            {"window colour 1 (gradient start)", SettingsBlock::kWindowColour1},
            {"window colour 2 (gradient end)", SettingsBlock::kWindowColour2},
            {"right-bottom message text colour", SettingsBlock::kRightBottomTextColour},
            {"right-bottom message shadow colour", SettingsBlock::kRightBottomShadowColour},
        };
        for (const auto& c : colours) out_ << "  " << c.name << ": " << Hex32(s.U32(c.offset)) << "\n";
        out_ << "  further colour slots:";
        for (int i = 0; i < 7; ++i) out_ << " " << Hex32(s.U32(SettingsBlock::kFurtherColours + 4 * i));
        out_ << "\n";
        // Reserved bytes travel unchanged; say whether any of them is set.
        auto reserved = [](std::size_t at) {
            return (at >= 264 && at < 1564) || (at >= 1568 && at < 1588) || at >= 1648;
        };
        std::size_t set = 0;
        for (std::size_t i = 0; i < kSettingsSize; ++i)
            if (reserved(i) && s.bytes[i] != 0) ++set;
        out_ << "  reserved bytes not zero: " << set << "\n";
    }

    void SideFiles() {
        out_ << "Side files\n";
        out_ << "  bitmap: " << Q(doc_.side_file_paths[0]) << "\n";
        out_ << "  readme: " << Q(doc_.side_file_paths[1]) << "\n";
        out_ << "  licence: " << Q(doc_.side_file_paths[2]) << "\n";
    }

    void FileTree(const CObListFile& node, int depth) {
        for (const auto& child : node.children) {
            const CObListFile& c = *child;
            const char* kind = c.kind == CObListFile::kFolder ? "folder" : c.kind == CObListFile::kFile ? "file" : "node";
            out_ << Pad(depth) << kind << " " << Q(c.name);
            if (c.folder_id != 0) out_ << " (folder id " << c.folder_id << ", " << Q(c.FullPath()) << ")";
            if (c.kind != CObListFile::kFolder && c.kind != CObListFile::kFile) out_ << " (kind " << c.kind << ")";
            out_ << "\n";
            FileTree(c, depth + 1);
        }
    }

    void Groups() {
        out_ << "File groups (" << doc_.group_list.size() << ")\n";
        for (const auto& g : doc_.group_list.items) {
            out_ << "  group " << Q(g->name) << "\n";
            out_ << "    destination: " << Q(g->destination) << "\n";
            out_ << "    shared: " << g->shared << ", self-register: " << g->self_register
                 << ", restart if locked: " << g->restart_if_locked << ", compressed: " << g->compressed
                 << ", spare: " << g->spare << "\n";
            out_ << "    operating systems: " << g->operating_system_mask << " ("
                 << Q(OperatingSystemText(g->operating_system_mask)) << ")\n";
            out_ << "    overwrite: " << Hex32(static_cast<std::uint32_t>(g->overwrite_word)) << " ("
                 << Q(OverwriteText(g->overwrite_word)) << ")\n";
            out_ << "    languages: " << Q(LanguageMaskText(g->language_mask)) << "\n";
            if (!g->ftp_location.empty()) out_ << "    FTP location: " << Q(g->ftp_location) << "\n";
            if (!g->http_location.empty()) out_ << "    HTTP location: " << Q(g->http_location) << "\n";
            if (!g->comment.empty()) out_ << "    comment: " << Q(g->comment) << "\n";
            std::size_t files = 0;
            g->file_tree.ForEachFile([&](const CObListFile&) { ++files; });
            out_ << "    files (" << files << ")\n";
            FileTree(g->file_tree, 3);
        }
    }

    void Component(const CItemComponent& c, int depth) {
        out_ << Pad(depth) << "component " << Q(c.name) << " (path " << Q(c.Path()) << ")\n";
        std::string p = Pad(depth + 1);
        if (!c.display_text.empty()) out_ << p << "display text: " << Q(c.display_text) << "\n";
        if (!c.description.empty()) out_ << p << "description: " << Q(c.description) << "\n";
        if (!c.status_text.empty()) out_ << p << "status text: " << Q(c.status_text) << "\n";
        out_ << p << "visible: " << c.visible << ", file need: " << FileNeedName(c.file_need)
             << ", include in build: " << c.include_in_build << "\n";
        if (!c.cd_folder.empty()) out_ << p << "CD folder: " << Q(c.cd_folder) << "\n";
        if (!c.ftp_location.empty()) out_ << p << "FTP location: " << Q(c.ftp_location) << "\n";
        if (!c.http_location.empty()) out_ << p << "HTTP location: " << Q(c.http_location) << "\n";
        if (!c.comment.empty()) out_ << p << "comment: " << Q(c.comment) << "\n";
        for (int i = 0; i < 4; ++i)
            if (!c.functions[i].empty()) out_ << p << "function " << (i + 1) << ": " << Q(c.functions[i]) << "\n";
        out_ << p << "file groups: " << Names(c.file_groups) << "\n";
        out_ << p << "required components: " << Paths(c.required_components) << "\n";
        for (const auto& child : c.children) Component(*child, depth + 1);
    }

    void Components() {
        out_ << "Components (root " << Q(doc_.root_component.name) << ")\n";
        for (const auto& c : doc_.root_component.children) Component(*c, 1);
    }

    void FolderTree() {
        out_ << "Folder tree\n";
        FileTree(doc_.folder_tree, 1);
    }

    void SetupTypes() {
        out_ << "Setup types (" << doc_.setup_type_list.size() << ")\n";
        for (const auto& s : doc_.setup_type_list.items) {
            out_ << "  setup type " << Q(s->name) << "\n";
            if (!s->display_name.empty()) out_ << "    display name key: " << Q(s->display_name) << "\n";
            if (!s->description.empty()) out_ << "    description key: " << Q(s->description) << "\n";
            if (!s->comment.empty()) out_ << "    comment: " << Q(s->comment) << "\n";
            out_ << "    require component step: " << s->require_component_step << "\n";
            out_ << "    components: " << Paths(s->components) << "\n";
        }
    }

    void RegistryNode(const CRegistry& r, int depth) {
        static const char* const kKinds[] = {"root", "set", "hive", "key", "string", "binary", "dword"};
        out_ << Pad(depth) << KindName(kKinds, 7, r.kind) << " " << Q(r.name);
        if (r.kind >= CRegistry::kString) out_ << " = " << Q(r.data);
        if (r.flags != 0) out_ << " (flags " << r.flags << ")";
        if (!r.file_groups.empty()) out_ << " [groups: " << Names(r.file_groups) << "]";
        out_ << "\n";
        for (const auto& c : r.children) RegistryNode(*c, depth + 1);
    }

    void Registry() {
        out_ << "Registry\n";
        for (const auto& c : doc_.registry_root.children) RegistryNode(*c, 1);
    }

    void Strings() {
        const auto& table = doc_.string_table;
        std::vector<std::string> langs;
        for (const auto& l : table.language_list) {
            const char* name = LanguageName(l->table_index);
            langs.push_back(*name ? name : "language #" + std::to_string(l->table_index));
        }
        out_ << "Languages (" << langs.size() << ")\n";
        for (std::size_t i = 0; i < table.language_list.size(); ++i) {
            const auto& l = *table.language_list[i];
            out_ << "  " << i << ": " << Q(langs[i]) << " (table index " << l.table_index << ", column width "
                 << l.lang_value << ", shown " << l.shown << ")\n";
        }
        static const char* const kCategories[] = {"author", "product information", "wizard text", "billboard"};
        out_ << "Strings (" << table.size() << ")";
        if (!table.title.empty()) out_ << " title " << Q(table.title);
        if (table.spare != 0) out_ << " spare " << table.spare;
        out_ << "\n";
        for (const auto& s : table.items) {
            out_ << "  " << s->key << " (" << KindName(kCategories, 4, s->category) << ")";
            if (!s->comment.empty()) out_ << " comment " << Q(s->comment);
            out_ << "\n";
            std::size_t n = std::max(s->values.size(), langs.size());
            for (std::size_t i = 0; i < n; ++i) {
                std::string lang = i < langs.size() ? langs[i] : "(no language " + std::to_string(i) + ")";
                out_ << "    " << lang << ": " << Q(s->Value(i)) << "\n";
            }
        }
    }

    void Shortcut(const CObListShort& s, int depth) {
        static const char* const kKinds[] = {"desktop", "start menu", "programs", "startup", "program folder", "shortcut"};
        std::string p = Pad(depth + 1);
        out_ << Pad(depth) << KindName(kKinds, 6, s.kind) << " " << Q(s.name) << "\n";
        if (!s.display_text.empty()) out_ << p << "display text: " << Q(s.display_text) << "\n";
        if (s.folder_option != 0) out_ << p << "folder option: " << s.folder_option << "\n";
        if (s.kind == CObListShort::kShortcut || !s.target.empty()) {
            out_ << p << "target: " << Q(s.target) << "\n";
            if (!s.parameters.empty()) out_ << p << "parameters: " << Q(s.parameters) << "\n";
            if (!s.start_in.empty()) out_ << p << "start in: " << Q(s.start_in) << "\n";
            if (!s.hotkey.empty()) out_ << p << "hotkey: " << Q(s.hotkey) << "\n";
            if (!s.icon_file.empty()) out_ << p << "icon: " << Q(s.icon_file) << ", index " << s.icon_index << "\n";
            out_ << p << "run mode: " << s.run_mode << ", internet shortcut: " << s.internet_shortcut
                 << ", replace existing: " << s.replace_existing << ", common: " << s.common << "\n";
            out_ << p << "file groups: " << Names(s.file_groups) << "\n";
        }
        if (!s.comment.empty()) out_ << p << "comment: " << Q(s.comment) << "\n";
        for (const auto& c : s.children) Shortcut(*c, depth + 1);
    }

    void Shortcuts() {
        out_ << "Shortcuts\n";
        Shortcut(doc_.shortcut_root, 1);
    }

    void Functions() {
        out_ << "Functions (" << doc_.function_list.size() << ")\n";
        for (const auto& f : doc_.function_list) {
            out_ << "  function " << Q(f->name) << "\n";
            out_ << "    internal name: " << Q(f->internal_name) << "\n";
            out_ << "    DLL: " << Q(f->dll_path) << "\n";
            out_ << "    call: " << Q(f->function_call) << "\n";
            out_ << "    parameters:";
            if (f->parameters.empty()) out_ << " none";
            for (const auto& p : f->parameters) out_ << " " << Q(p);
            out_ << "\n";
        }
    }

    const CDazDoc& doc_;
    std::ostream& out_;
    bool utf8_;
};

}  // namespace

std::string Quote(const std::string& text, bool utf8) {
    std::string out = "\"";
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else if (c >= 0x80 && utf8) {
            unsigned cp = c < 0xA0 ? kCp1252High[c - 0x80] : c;
            if (cp == 0) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02X", c);
                out += buf;
            } else {
                AppendUtf8(out, cp);
            }
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

void DumpProject(const CDazDoc& doc, std::ostream& out, bool utf8) { Dumper(doc, out, utf8).All(); }

}  // namespace cli
}  // namespace qp
