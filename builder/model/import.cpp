// The import of a directory-style project (".ipr"): a folder tree of profile files describing
// groups, components, setup types, strings, shortcuts, registry entries and destination folders,
// read into a freshly constructed document. The import shows no messages of its own: whatever
// is missing reads as empty, and names that do not resolve are dropped later.
#include "builder/model/import.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <unordered_map>
#include <memory>
#include <new>
#include <vector>

#include "builder/model/doc.h"
#include "builder/model/profile.h"
#include "builder/model/projectfile.h"
#include "common/fsprim.h"
#include "common/languages.h"

namespace qp {

namespace {

// The names of a "\\"-separated path; empty segments ("a\\\\b", a trailing "\\") are skipped.
std::vector<std::string> PathSegments(const std::string& path) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t cut = path.find('\\', start);
        if (cut == std::string::npos) cut = path.size();
        if (cut > start) names.push_back(path.substr(start, cut - start));
        start = cut + 1;
    }
    return names;
}

// Buffer sizes of the profile reads: the text limit plus the terminating zero.
constexpr std::size_t kValue = 300;         // every value unless a read says otherwise
constexpr std::size_t kGroupValue = 200;    // the properties of a group
constexpr std::size_t kGroupName = 1000;    // a component's file group names
constexpr std::size_t kShellText = 260;     // display texts and comments of shell folders
constexpr std::size_t kSection = 10000;     // a section read whole

// A file list nested deeper than this cannot come from a real folder tree (Windows paths stop
// at 260 characters); the bound keeps a hostile file from exhausting the stack.
constexpr int kMaxTreeDepth = 128;
// Shell folders nest no deeper than this below the desktop: a deeper chain is refused, as the
// trees' recursive walks would exhaust the stack of a Windows program (1 MB) long before it could
// be built into a kit (which holds 199 levels at most).
constexpr int kMaxShellDepth = 1000;

// A definition file that is there but cannot be read: what() names it and says why.
class ImportError : public std::runtime_error {
public:
    explicit ImportError(const std::string& what) : std::runtime_error(what) {}
};

const char* const kHiveAbbreviations[4] = {"HKCR", "HKCU", "HKLM", "HKUS"};

std::string Numbered(const char* prefix, int n) { return prefix + std::to_string(n); }

bool IsYes(const std::string& text) { return EqualNoCase(text, "Yes"); }

// Every numbered key from 0 up to the first empty value.
template <class Fn>
void ForEachNumbered(const ProfileFile& file, const std::string& section, const char* prefix, std::size_t size,
                     Fn&& fn) {
    for (int n = 0;; ++n) {
        std::string value = file.GetString(section, Numbered(prefix, n), size);
        if (value.empty()) return;
        fn(value, n);
    }
}

class Importer {
public:
    Importer(CDazDoc& doc, const std::string& ipr_path) : doc_(doc) {
        std::size_t cut = ipr_path.find_last_of("\\/");
        dir_ = cut == std::string::npos ? std::string() : ipr_path.substr(0, cut);
    }

    void Run() {
        doc_.CreateDefaultFolders();
        doc_.CreateDefaultShortcuts("Link");
        ImportGroups();
        ImportComponents();
        ImportSetupTypes();
        ImportLanguages();
        ImportStrings();
        LoadWizardTexts();
        ImportShellObjects();
        ImportRegistry();
        FillTree(File(kImportFolderTreeFile), "TOPDIR", doc_.folder_tree, 0);
        ImportRequirements(doc_.root_component);
    }

private:
    // Each definition file is read once, however often the import consults it. A missing file
    // reads as empty; one that is there but cannot be read stops the import with its name.
    const ProfileFile& File(const std::string& relative) {
        auto it = files_.find(relative);
        if (it == files_.end()) {
            const std::string path = ResolvePathNoCase(dir_, relative);
            CheckReadable(path);
            ProfileFile file = ProfileFile::Load(path);
            if (!file.Loaded() && Exists(path)) throw ImportError("cannot read the definition file " + path);
            it = files_.emplace(relative, std::move(file)).first;
        }
        return it->second;
    }

    static bool Exists(const std::string& path) { return StatPath(path).Exists(); }

    // A folder, pipe or device where a definition file belongs, or a file too large for the
    // profile reader, is an error: read as empty it would quietly drop the groups it lists.
    static void CheckReadable(const std::string& path) {
        const PathStat st = StatPath(path);
        if (!st.Exists()) return;
        if (st.kind != PathKind::kFile) throw ImportError("the definition file " + path + " is not a regular file");
        if (st.size > ProfileFile::kMaxFileSize)
            throw ImportError("the definition file " + path + " is too large to read (" + std::to_string(st.size) +
                              " bytes; at most " + std::to_string(ProfileFile::kMaxFileSize) + ")");
    }

    // A boolean entry changes the field only when the section has it. Treating a missing entry as
    // "No" would hide components and drop them from the kit, and clear "replace existing"
    // shortcuts, whenever a hand-written file leaves an entry out.
    static void ReadBool(const ProfileFile& file, const std::string& section, const char* key,
                         std::int32_t& field) {
        for (const ProfileEntry& e : file.GetSection(section, kSection)) {
            if (ProfileNameEquals(e.name, key)) {
                field = IsYes(file.GetString(section, key, kValue)) ? 1 : 0;
                return;
            }
        }
    }

    void ImportGroups() {
        const ProfileFile& fdf = File(kImportGroupsFile);
        ForEachNumbered(fdf, "FILEGROUPS", "GROUP", kValue, [&](const std::string& name, int) {
            CItemGroup* group = doc_.group_list.Add(name);
            for (const ProfileEntry& e : fdf.GetSection(name, kSection)) ReadGroupEntry(fdf, *group, e.name);
            std::string list = std::string(kImportGroupsDir) + "\\" + name + ".fgl";
            FillTree(File(list), "TOPDIR", group->file_tree, 0);
        });
    }

    static void ReadGroupEntry(const ProfileFile& fdf, CItemGroup& group, const std::string& key) {
        std::string value = fdf.GetString(group.name, key, kGroupValue);
        auto is = [&](const char* name) { return EqualNoCase(key, name); };
        if (is("SELFREGISTERING")) group.self_register = IsYes(value);
        else if (is("FILETYPE")) group.shared = IsYes(value);
        else if (is("POTENTIALLY")) group.restart_if_locked = IsYes(value);
        else if (is("TARGET")) group.destination = value;
        else if (is("HTTPLOCATION")) group.http_location = value;
        else if (is("FTPLOCATION")) group.ftp_location = value;
        else if (is("INSTALLATION")) group.overwrite_word = ParseOverwriteWord(value);
        else if (is("COMMENT")) group.comment = value;
        else if (is("COMPRESS")) group.compressed = IsYes(value);
        // "LANGUAGE", "OPERATINGSYSTEM", "COMPRESSDLL" and unknown entries change nothing.
    }

    // Files first, then folders, then each folder child in turn, its section named by its full
    // path. In the folder tree the predefined folders are children too and are filled the same
    // way, under their path macros.
    void FillTree(const ProfileFile& file, const std::string& section, CObListFile& node, int depth) {
        if (!file.Loaded() || depth > kMaxTreeDepth) return;
        ForEachNumbered(file, section, "FILE", kValue, [&](const std::string& path, int) { node.AddFile(path); });
        // A folder is named by the last part of its path, whichever separator the path uses.
        ForEachNumbered(file, section, "SUBDIR", kValue, [&](const std::string& path, int) {
            std::size_t cut = path.find_last_of("\\/");
            node.AddFolder(cut == std::string::npos ? path : path.substr(cut + 1));
        });
        for (std::size_t i = 0; i < node.children.size(); ++i) {
            CObListFile& child = *node.children[i];
            if (child.kind == CObListFile::kFolder) FillTree(file, child.FullPath(), child, depth + 1);
        }
    }

    // The component at `path`, created with default fields where missing, parents included.
    CItemComponent* ComponentAt(const std::string& path) {
        CItemComponent* at = &doc_.root_component;
        for (const std::string& name : PathSegments(path)) {
            CItemComponent* next = nullptr;
            for (auto& c : at->children) {
                if (c->name == name) {
                    next = c.get();
                    break;
                }
            }
            at = next ? next : at->AddChild(name);
        }
        return at == &doc_.root_component ? nullptr : at;
    }

    void ImportComponents() {
        const ProfileFile& cdf = File(kImportComponentsFile);
        ForEachNumbered(cdf, "COMPONENTS", "COMPONENT", kValue, [&](const std::string& path, int) {
            CItemComponent* c = ComponentAt(path);
            if (!c) return;
            c->description = cdf.GetString(path, "DESCRIPTION", kValue);
            c->status_text = cdf.GetString(path, "STATUS", kValue);
            c->display_text = cdf.GetString(path, "DISPLAYTEXT", kValue);
            ReadBool(cdf, path, "VISIBLE", c->visible);
            std::string need = cdf.GetString(path, "FILENEED", kValue);
            if (EqualNoCase(need, "CRITICAL")) c->file_need = CItemComponent::kCritical;
            else if (EqualNoCase(need, "RECOMENDED")) c->file_need = CItemComponent::kRecommended;
            else if (EqualNoCase(need, "STANDARD")) c->file_need = CItemComponent::kStandard;
            ReadBool(cdf, path, "INCLUDEINBUILD", c->include_in_build);
            ForEachNumbered(cdf, path, "FILEGROUP", kGroupName,
                            [&](const std::string& group, int) { c->group_names.push_back(group); });
        });
    }

    void ImportSetupTypes() {
        const ProfileFile& cdf = File(kImportComponentsFile);
        ForEachNumbered(cdf, "SETUPTYPE", "SETUPTYPE", kValue, [&](const std::string& name, int) {
            CItemSetup* setup = doc_.setup_type_list.Add(name);
            ForEachNumbered(cdf, "SETUPTYPEITEM-" + name, "ITEM", kValue,
                            [&](const std::string& path, int) { setup->component_names.push_back(path); });
        });
    }

    void ImportLanguages() {
        ForEachNumbered(File(kImportStringsFile), "LANGUAGE", "LANG", kValue, [&](const std::string& value, int) {
            doc_.string_table.language_list.push_back(std::make_unique<CLangItem>(ImportLanguageIndex(value)));
        });
    }

    void ImportStrings() {
        const auto& langs = doc_.string_table.language_list;
        ForEachNumbered(File(kImportStringsFile), "DATA", "ENTRY", kValue, [&](const std::string& key, int) {
            CStringItem* s = doc_.FindString(key);
            if (!s) s = doc_.string_table.Add(std::make_unique<CStringItem>(key, CStringItem::kAuthor));
            for (std::size_t i = 0; i < langs.size(); ++i) {
                std::string values = std::string(kImportStringsDir) + "\\" + ImportLanguageFolder(langs[i]->table_index) +
                                     "\\" + kImportValuesFile;
                s->SetValue(i, File(values).GetString("DATA", key, kValue));
            }
        });
    }

    // The builder's wizard texts for the imported languages. They fill only what the project's
    // own value files left empty: a project that carries its own text for a key keeps it.
    void LoadWizardTexts() {
        if (!doc_.wizard_texts) return;
        const auto& langs = doc_.string_table.language_list;
        for (std::size_t i = 0; i < langs.size(); ++i) {
            const std::string language = LanguageName(langs[i]->table_index);
            for (auto& s : doc_.string_table.items) {
                if (!s->Value(i).empty()) continue;
                std::string text = doc_.wizard_texts->WizardText(s->key, language);
                if (text.empty()) continue;
                s->SetValue(i, text);
                doc_.SetModifiedFlag();
            }
        }
    }

    // The first node, in tree order, whose shell macro equals `path` without regard to case.
    // Looked up in an index of the tree by macro, so that a long chain of folders, each named
    // below the one before, imports in time linear in its length.
    CObListShort* FindShell(const std::string& path) {
        if (!shell_indexed_) {
            IndexShell(doc_.shortcut_root);
            shell_indexed_ = true;
        }
        auto it = shell_index_.find(LowerAscii(path));
        if (it == shell_index_.end()) return nullptr;
        CObListShort* first = it->second.front();
        for (std::size_t i = 1; i < it->second.size(); ++i)
            if (BeforeInTree(it->second[i], first)) first = it->second[i];
        return first;
    }

    int ShellDepth(const CObListShort* node) {
        auto it = shell_depth_.find(node);
        if (it != shell_depth_.end()) return it->second;
        int depth = 0;
        for (const CObListShort* n = node->parent; n; n = n->parent) ++depth;
        return shell_depth_[node] = depth;
    }

    void IndexShell(CObListShort& node) {
        shell_index_[LowerAscii(node.Macro())].push_back(&node);
        for (auto& c : node.children) IndexShell(*c);
    }

    // Whether `a` comes before `b` when the tree is walked a node before its children.
    static bool BeforeInTree(const CObListShort* a, const CObListShort* b) {
        std::vector<const CObListShort*> pa, pb;
        for (const CObListShort* n = a; n; n = n->parent) pa.push_back(n);
        for (const CObListShort* n = b; n; n = n->parent) pb.push_back(n);
        std::size_t i = pa.size(), j = pb.size();
        while (i > 0 && j > 0 && pa[i - 1] == pb[j - 1]) --i, --j;
        if (i == 0) return true;  // a is b or an ancestor of it
        if (j == 0) return false;
        for (const auto& c : pa[i]->children) {  // pa[i] is the common ancestor
            if (c.get() == pa[i - 1]) return true;
            if (c.get() == pb[j - 1]) return false;
        }
        return false;
    }

    // An existing node named by `path`, or a new one below the parent named before the first
    // "\"; null when neither resolves. Only new nodes remember the key that listed them, so only
    // they receive the fields of that key's section.
    CObListShort* ShellNode(const std::string& path, std::int32_t kind, const std::string& key) {
        if (FindShell(path)) return nullptr;
        std::size_t cut = path.find('\\');
        if (cut == std::string::npos) return nullptr;
        CObListShort* parent = FindShell(path.substr(0, cut));
        if (!parent) return nullptr;
        const int depth = ShellDepth(parent) + 1;
        if (depth > kMaxShellDepth)
            throw ImportError(std::string(kImportShellFile) + ": \"" + path + "\" (" + key + ") lies more than " +
                              std::to_string(kMaxShellDepth) + " folders deep");
        CObListShort* node = parent->AddChild(kind, path.substr(cut + 1));
        node->import_key = key;
        shell_index_[LowerAscii(node->Macro())].push_back(node);
        shell_depth_[node] = depth;
        return node;
    }

    void ImportShellObjects() {
        const ProfileFile& shl = File(kImportShellFile);
        ForEachNumbered(shl, "DATA", "FOLDER", kValue, [&](const std::string& path, int n) {
            CObListShort* folder = ShellNode(path, CObListShort::kProgramFolder, Numbered("FOLDER", n));
            if (!folder) return;
            folder->display_text = shl.GetString(folder->import_key, "DISPLAYTEXT", kShellText);
            folder->comment = shl.GetString(folder->import_key, "COMMENTS", kShellText);
        });
        ForEachNumbered(shl, "DATA", "SHORTCUT", kValue, [&](const std::string& path, int n) {
            CObListShort* link = ShellNode(path, CObListShort::kShortcut, Numbered("SHORTCUT", n));
            if (!link) return;
            const std::string& section = link->import_key;
            link->display_text = shl.GetString(section, "DISPLAYTEXT", kValue);
            link->comment = shl.GetString(section, "COMMENTS", kValue);
            link->target = shl.GetString(section, "TARGET", kValue);
            link->start_in = shl.GetString(section, "STARTIN", kValue);
            link->icon_file = shl.GetString(section, "ICONFILE", kValue);
            link->parameters = shl.GetString(section, "parameters", kValue);
            ReadBool(shl, section, "REPLACE", link->replace_existing);
            ReadBool(shl, section, "INTERNETSHORTCUT", link->internet_shortcut);
            // "TYPE" names the kind of link in the source format; nothing in a shortcut holds it.
            ForEachNumbered(shl, section, "FILEGROUP", kValue,
                            [&](const std::string& group, int) { link->group_names.push_back(group); });
        });
        // "ICON%d" entries describe icons of the source format that no shortcut field holds.
    }

    static void AddKeyPath(CRegistry& hive, const std::string& path) {
        CRegistry* at = &hive;
        for (const std::string& name : PathSegments(path)) {
            CRegistry* next = nullptr;
            for (auto& c : at->children) {
                // Registry key names ignore case on Windows, so two spellings are one key.
                if (c->kind == CRegistry::kKey && EqualNoCase(c->name, name)) {
                    next = c.get();
                    break;
                }
            }
            at = next ? next : at->AddChild(CRegistry::kKey, name);
        }
    }

    // "HKLM:Software\Veltor" for a key node: the hive's abbreviation, ":", the path below it.
    static std::string KeySection(const CRegistry& key) {
        std::string path;
        const CRegistry* at = &key;
        for (; at && at->kind == CRegistry::kKey; at = at->parent)
            path = path.empty() ? at->name : at->name + "\\" + path;
        if (!at || at->kind != CRegistry::kHive || !at->parent) return std::string();
        const auto& hives = at->parent->children;
        for (std::size_t h = 0; h < hives.size() && h < 4; ++h)
            if (hives[h].get() == at) return std::string(kHiveAbbreviations[h]) + ":" + path;
        return std::string();
    }

    static void AddValues(const ProfileFile& rge, CRegistry& node) {
        // Values are appended to the node being walked; only the keys present now are visited.
        std::size_t count = node.children.size();
        if (node.kind == CRegistry::kKey) {
            std::string section = KeySection(node);
            if (!section.empty()) {
                for (const ProfileEntry& e : rge.GetSection(section, kSection)) {
                    std::size_t comma = e.value.find(',');
                    std::string type = comma == std::string::npos ? e.value : e.value.substr(0, comma);
                    std::string data = comma == std::string::npos ? e.value : e.value.substr(comma + 1);
                    std::int32_t kind = EqualNoCase(type, "N")   ? CRegistry::kDword
                                        : EqualNoCase(type, "B") ? CRegistry::kBinary
                                                                 : CRegistry::kString;
                    node.AddChild(kind, e.name, data);
                }
            }
        }
        for (std::size_t i = 0; i < count; ++i) AddValues(rge, *node.children[i]);
    }

    void ImportRegistry() {
        const ProfileFile& rge = File(kImportRegistryFile);
        ForEachNumbered(rge, "DATA", "SET", kValue, [&](const std::string& name, int) {
            CRegistry* set = doc_.registry_root.AddSet(name);
            ForEachNumbered(rge, name, "FILEGROUP", kValue,
                            [&](const std::string& group, int) { set->group_names.push_back(group); });
            for (std::size_t h = 0; h < 4 && h < set->children.size(); ++h) {
                CRegistry& hive = *set->children[h];
                ForEachNumbered(rge, name, kHiveAbbreviations[h], kValue,
                                [&](const std::string& path, int) { AddKeyPath(hive, path); });
            }
        });
        AddValues(rge, doc_.registry_root);
    }

    // "REQUIREDBY%d" in a component's section names the components that require it.
    void ImportRequirements(CItemComponent& node) {
        const ProfileFile& cdf = File(kImportComponentsFile);
        if (!node.IsRoot()) {
            const std::string path = node.Path();
            ForEachNumbered(cdf, path, "REQUIREDBY", kValue, [&](const std::string& by, int) {
                if (CItemComponent* x = doc_.FindComponent(by)) x->required_names.push_back(path);
            });
        }
        for (auto& c : node.children) ImportRequirements(*c);
    }

    CDazDoc& doc_;
    std::string dir_;
    std::map<std::string, ProfileFile> files_;
    std::unordered_map<std::string, std::vector<CObListShort*>> shell_index_;
    bool shell_indexed_ = false;
    std::unordered_map<const CObListShort*, int> shell_depth_;
};

}  // namespace

std::int32_t ParseOverwriteWord(const std::string& text) {
    std::int32_t word = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t cut = text.find('\\', start);
        if (cut == std::string::npos) cut = text.size();
        const std::string token = text.substr(start, cut - start);
        start = cut + 1;
        auto is = [&](const char* name) { return EqualNoCase(token, name); };
        if (is("ALWAYSOVERWRITE")) return 1;
        if (is("NEVEROVERWRITE")) return 2;
        if (is("NEWERVERSION")) word |= 8 | 64;
        else if (is("SAMEORNEWERVERSION")) word |= 8 | 128;
        else if (is("OLDERVERSION")) word |= 8 | 256;
        else if (is("NEWERDATE")) word |= 4 | 512;
        else if (is("SAMEORNEWERDATE")) word |= 4 | 1024;
        else if (is("OLDERDATE")) word |= 4 | 2048;
        if ((word & 4) && (word & 8)) word = (word | 16) & ~(4 | 8);
    }
    return word;
}

int ImportLanguageIndex(const std::string& text) {
    // strtoul reads as "%x" does: leading blanks, an optional "0x", then hexadecimal digits.
    unsigned long id = std::strtoul(text.c_str(), nullptr, 16);
    if (id > 0xFFFF) return 0;
    int index = LanguageIndexOfId(static_cast<std::uint16_t>(id));
    return index < 0 ? 0 : index;
}

std::string ImportLanguageFolder(int table_index) {
    const LanguageEntry* entry = LanguageAt(table_index);
    if (!entry) return std::string();
    char id[8];
    std::snprintf(id, sizeof id, "%04X", static_cast<unsigned>(entry->id));
    return std::string(id) + "-" + entry->name;
}

bool ImportDirectoryProject(CDazDoc& doc, const std::string& ipr_path, Reporter& reporter) {
    try {
        Importer(doc, ipr_path).Run();
    } catch (const ImportError& e) {
        reporter.Report(Severity::Error, "cannot import " + ipr_path + ": " + e.what());
        reporter.Report(Severity::Error, kMsgLoadFailed);
        return false;
    } catch (const std::bad_alloc&) {
        reporter.Report(Severity::Error, "cannot import " + ipr_path + ": not enough memory");
        reporter.Report(Severity::Error, kMsgLoadFailed);
        return false;
    }
    return true;
}

}  // namespace qp
