// Project items -> setup-list records. The records are plain copies; the only facts added here
// are those of the files on disk and the built-in wizard texts for empty first values.
#include "builder/kit/kitlist.h"

#include <cstdio>

#include "builder/kit/kitcheck.h"
#include "common/fileinfo.h"
#include "common/fsprim.h"
#include "common/keytable.h"
#include "common/pathutil.h"

namespace qp {
namespace {

constexpr std::uint64_t kAllBits = ~std::uint64_t{0};

// Texts are checked while they are copied, so that the refusal can name the item; the
// writer's own check would only know the field.
class Converter {
public:
    // Files below this folder (the project's, separator included) are named relative to it.
    std::string project_dir;

    void Text(std::string& out, const std::string& in, const std::string& item, const char* field) {
        if (in.size() > kSetupTextMax) {
            throw TextTooLong("The " + std::string(field) + " of " + item + " is " + std::to_string(in.size()) +
                              " characters long; a setup list holds at most " + std::to_string(kSetupTextMax) +
                              ". Shorten it and build again.");
        }
        out = in;
    }
    void List(std::vector<std::string>& out, const std::vector<std::string>& in, const std::string& item,
              const char* field) {
        out.clear();
        for (const auto& s : in) {
            out.emplace_back();
            Text(out.back(), s, item, field);
        }
    }

    // A tree node, its file facts and its children. `member` (group trees only, empty for the
    // folder tree) is the node's path inside the archive: the runtime walks the same tree to
    // find each file's member and target, so every name on the way must be one it can use.
    void FileTree(FileNode& out, const CObListFile& in, const std::string& item, int depth, const std::string& member) {
        const bool group_tree = !member.empty();
        const bool is_root = depth == 1;
        std::string what = item;
        if (!is_root) what += in.kind == CObListFile::kFile ? ", file \"" + in.name + "\"" : ", folder \"" + in.name + "\"";
        if (depth > kMaxSetupListDepth)
            Refuse(what + " lies " + std::to_string(depth - 1) + " folders deep; a setup list holds at most " +
                   std::to_string(kMaxSetupListDepth - 1));
        if (!is_root && in.kind != CObListFile::kFolder && in.kind != CObListFile::kFile)
            Refuse(what + " is of kind " + std::to_string(in.kind) + "; below the top a tree holds folders (1) and files (2) only");
        if (in.kind == CObListFile::kFile && !in.children.empty())
            Refuse(what + " is a file but holds " + std::to_string(in.children.size()) + " node(s) of its own");
        if (in.children.size() > static_cast<std::size_t>(kMaxFileTreeChildren))
            Refuse(what + " holds " + std::to_string(in.children.size()) + " files and folders; a setup list holds at most " +
                   std::to_string(kMaxFileTreeChildren) + " in one folder. Split it into sub-folders");
        out.folder_id = in.folder_id;
        out.kind = in.kind;
        std::string here = member;
        if (in.kind == CObListFile::kFile) {
            Text(out.name, StoredFileName(KitFileName(in.name)), what, "path");
            if (group_tree) {
                const std::string file = SourceFileName(in.name);
                NameOk(file, what + ": its file name \"" + file + "\"");
                here = member + "\\" + file;
                members_.AddFile(here, what);
            }
            FileFacts f = ReadFileFacts(in.name);
            out.size = f.size_kb;
            out.version = f.version;
            out.time = f.time;
        } else {
            Text(out.name, in.name, what, "name");
            if (group_tree && !is_root) {
                NameOk(in.name, what + ": its name");
                here = member + "\\" + in.name;
                members_.AddFolder(here, what);
            }
            out.size = 0;
            out.version = kAllBits;
            out.time = 0;
        }
        out.children.clear();
        out.children.reserve(in.children.size());
        for (const auto& c : in.children) {
            out.children.emplace_back();
            FileTree(out.children.back(), *c, item, depth + 1, here);
        }
    }

    [[noreturn]] static void Refuse(const std::string& text) { throw KitRefused(text); }
    static void NameOk(const std::string& name, const std::string& what) {
        std::string why = PathPartProblem(name);
        if (!why.empty()) Refuse(what + " " + why);
    }
    static void DepthOk(int depth, const std::string& item) {
        if (depth > kMaxSetupListDepth)
            Refuse(item + " lies " + std::to_string(depth - 1) + " levels deep; a setup list holds at most " +
                   std::to_string(kMaxSetupListDepth - 1));
    }

    // The runtime uses only the file name after the last '\'; the rest is written relative to the
    // project's folder, so that the list does not change with the folder a tree is built in.
    std::string KitFileName(const std::string& source) const {
        if (project_dir.empty() || source.size() <= project_dir.size() ||
            source.compare(0, project_dir.size(), project_dir) != 0)
            return source;
        return source.substr(project_dir.size());
    }

    void Group(GroupRecord& out, const CItemGroup& g) {
        const std::string item = "group \"" + g.name + "\"";
        Text(out.name, g.name, item, "name");
        NameOk(g.name, item + ": its name");
        out.shared = g.shared;
        out.self_register = g.self_register;
        out.restart_if_locked = g.restart_if_locked;
        out.compressed = g.compressed;
        out.operating_system_mask = g.operating_system_mask;
        out.spare = g.spare;
        Text(out.ftp_location, g.ftp_location, item, "FTP location");
        Text(out.http_location, g.http_location, item, "HTTP location");
        out.group_key = OverwriteText(g.overwrite_word);
        Text(out.comment, g.comment, item, "comment");
        out.overwrite_word = g.overwrite_word;
        Text(out.destination, g.destination, item, "destination");
        Text(out.language_mask, g.language_mask, item, "language mask");
        FileTree(out.file_tree, g.file_tree, item, 1, g.name);
        // The root carries the group's name whatever the tree's root was called.
        out.file_tree.name = out.name;
    }

    void Component(ComponentRecord& out, const CItemComponent& c, int depth = 1) {
        const std::string item = c.IsRoot() ? "the component root" : "component \"" + c.Path() + "\"";
        DepthOk(depth, item);
        Text(out.name, c.name, item, "name");
        Text(out.description, c.description, item, "description");
        Text(out.status_text, c.status_text, item, "status text");
        Text(out.display_text, c.display_text, item, "display text");
        out.visible = c.visible;
        out.file_need = c.file_need;
        out.include_in_build = c.include_in_build;
        Text(out.cd_folder, c.cd_folder, item, "CD-ROM folder");
        Text(out.ftp_location, c.ftp_location, item, "FTP location");
        Text(out.http_location, c.http_location, item, "HTTP location");
        Text(out.comment, c.comment, item, "comment");
        for (std::size_t i = 0; i < 4; ++i) Text(out.functions[i], c.functions[i], item, "function name");
        out.children.clear();
        for (const auto& child : c.children) {
            out.children.emplace_back();
            Component(out.children.back(), *child, depth + 1);
        }
        out.group_names.clear();
        for (const CItemGroup* g : c.file_groups) {
            out.group_names.emplace_back();
            Text(out.group_names.back(), g->name, item, "group name");
        }
        out.required_names.clear();
        for (const CItemComponent* r : c.required_components) {
            out.required_names.emplace_back();
            Text(out.required_names.back(), r->Path(), item, "required component path");
        }
    }

    void SetupType(SetupTypeRecord& out, const CItemSetup& s) {
        const std::string item = "setup type \"" + s.name + "\"";
        Text(out.name, s.name, item, "name");
        Text(out.description, s.description, item, "description");
        Text(out.display_name, s.display_name, item, "display name");
        Text(out.comment, s.comment, item, "comment");
        out.require_component_step = s.require_component_step;
        out.component_names.clear();
        for (const CItemComponent* c : s.components) {
            out.component_names.emplace_back();
            Text(out.component_names.back(), c->Path(), item, "component path");
        }
    }

    static std::vector<std::string> GroupNames(const std::vector<CItemGroup*>& groups) {
        std::vector<std::string> names;
        for (const CItemGroup* g : groups) names.push_back(g->name);
        return names;
    }

    void Registry(RegistryNode& out, const CRegistry& r, int depth = 1) {
        const std::string item = "registry entry \"" + r.name + "\"";
        DepthOk(depth, item);
        if (r.kind < CRegistry::kRoot || r.kind > CRegistry::kDword)
            Refuse(item + " is of kind " + std::to_string(r.kind) + ", which a setup list does not know");
        out.flags = r.flags;
        out.kind = r.kind;
        Text(out.name, r.name, item, "name");
        Text(out.data, r.data, item, "data");
        List(out.group_names, GroupNames(r.file_groups), item, "group name");
        out.children.clear();
        for (const auto& c : r.children) {
            out.children.emplace_back();
            Registry(out.children.back(), *c, depth + 1);
        }
    }

    void Shortcut(ShortcutNode& out, const CObListShort& s, int depth = 1) {
        const std::string item = "shortcut \"" + s.name + "\"";
        DepthOk(depth, item);
        if (s.kind < CObListShort::kDesktop || s.kind > CObListShort::kShortcut)
            Refuse(item + " is of kind " + std::to_string(s.kind) + ", which a setup list does not know");
        out.kind = s.kind;
        out.folder_option = s.folder_option;
        Text(out.name, s.name, item, "name");
        Text(out.display_text, s.display_text, item, "display name");
        out.internet_shortcut = s.internet_shortcut;
        Text(out.target, s.target, item, "target");
        Text(out.arguments, s.parameters, item, "arguments");
        Text(out.working_folder, s.start_in, item, "working folder");
        Text(out.hotkey, s.hotkey, item, "hot key");
        out.run_mode = s.run_mode;
        Text(out.icon_file, s.icon_file, item, "icon file");
        out.icon_index = static_cast<std::int32_t>(s.icon_index);
        out.replace_existing = s.replace_existing;
        out.common = s.common;
        Text(out.comment, s.comment, item, "comment");
        List(out.group_names, GroupNames(s.file_groups), item, "group name");
        out.children.clear();
        for (const auto& c : s.children) {
            out.children.emplace_back();
            Shortcut(out.children.back(), *c, depth + 1);
        }
    }

    void String(StringRecord& out, const CStringItem& s) {
        const std::string item = "string \"" + s.key + "\"";
        Text(out.key, s.key, item, "key");
        Text(out.comment, s.comment, item, "comment");
        List(out.values, s.values, item, "text");
        if (out.values.empty() || out.values[0].empty()) {
            const char* builtin = WizardDefault(s.key);
            if (builtin && *builtin) {
                if (out.values.empty()) out.values.emplace_back();
                out.values[0] = builtin;
            }
        }
    }

    // The built-in text of a wizard key (ids 1 to 74), keys compared without regard to case.
    static const char* WizardDefault(const std::string& key) {
        if (key.empty()) return nullptr;
        for (int id = 1; id < kKeyCount; ++id) {
            const char* name = KeyName(id);
            if (name && *name && EqualNoCase(key, name)) return KeyDefault(id);
        }
        return nullptr;
    }

    void Function(FunctionRecord& out, const CItemFunction& f) {
        const std::string item = "function \"" + f.name + "\"";
        Text(out.name, f.name, item, "name");
        Text(out.internal_name, f.internal_name, item, "internal name");
        Text(out.dll_path, f.dll_path, item, "library path");
        Text(out.function_call, f.function_call, item, "function name");
        List(out.parameters, f.parameters, item, "parameter");
    }

private:
    MemberNames members_;
};

bool FileSizeBytes(const std::string& path, std::uint64_t& size) {
    const PathStat st = StatPath(path);
    if (st.kind != PathKind::kFile) return false;
    size = st.size;
    return true;
}

}  // namespace

std::string StoredFileName(const std::string& source_path) {
    std::string out = source_path;
    for (char& c : out)
        if (c == '/') c = '\\';
    return out;
}

FileFacts ReadFileFacts(const std::string& path) {
    FileFacts f;
    const std::string host = HostPath(path);
    std::uint64_t bytes = 0;
    if (FileSizeBytes(host, bytes)) {
        const std::uint64_t kb = bytes / 1024;
        f.size_kb = kb > 0x7FFFFFFFull ? 0x7FFFFFFF : static_cast<std::int32_t>(kb);
    }
    f.version = FileVersion(host);
    f.time = FileTime(host);
    return f;
}

SetupList MakeSetupList(const CDazDoc& doc) {
    Converter cv;
    const std::string& path = doc.PathName();
    const std::size_t cut = path.find_last_of("\\/");
    if (cut != std::string::npos) cv.project_dir = path.substr(0, cut + 1);
    SetupList list;
    list.settings = doc.settings_block;
    list.groups.reserve(doc.group_list.size());
    for (const auto& g : doc.group_list.items) {
        list.groups.emplace_back();
        cv.Group(list.groups.back(), *g);
    }
    cv.Component(list.components, doc.root_component);
    cv.FileTree(list.folders, doc.folder_tree, "the folder tree", 1, std::string());
    for (const auto& s : doc.setup_type_list.items) {
        list.setup_types.emplace_back();
        cv.SetupType(list.setup_types.back(), *s);
    }
    cv.Registry(list.registry, doc.registry_root);
    for (const auto& s : doc.string_table.items) {
        list.strings.emplace_back();
        cv.String(list.strings.back(), *s);
    }
    for (const auto& l : doc.string_table.language_list) list.languages.push_back({l->table_index, l->lang_value});
    cv.Shortcut(list.shortcuts, doc.shortcut_root);
    for (const auto& f : doc.function_list) {
        list.functions.emplace_back();
        cv.Function(list.functions.back(), *f);
    }
    return list;
}

}  // namespace qp
