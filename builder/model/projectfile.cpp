// The project file: one writer and one reader per record, mirroring each other; the plain fields
// of a record are listed once, for both.
// The reader treats the file as hostile: every count is checked against the bytes left before
// anything is allocated, and trees are read only to a bounded depth.
#include "builder/model/projectfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <unordered_map>
#include <unordered_set>

#include "common/byteio.h"
#include "common/fileio.h"
#include "common/fsprim.h"
#include "common/languages.h"

namespace qp {

namespace {

// Deeper than any real project (a path of 260 characters holds at most 130 folders); bounds the
// reader's recursion on a hostile file.
constexpr int kMaxDepth = 400;

// The smallest size each record can have, for checking counts against the bytes left.
constexpr std::size_t kMinFileNode = 13;
constexpr std::size_t kMinGroup = 34 + kMinFileNode;
constexpr std::size_t kMinComponent = 36;
constexpr std::size_t kMinSetup = 12;
constexpr std::size_t kMinRegistry = 18;
constexpr std::size_t kMinString = 11;
constexpr std::size_t kMinLanguage = 12;
constexpr std::size_t kMinShortcut = 44;
constexpr std::size_t kMinFunction = 10;  // tag and record

constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTag = 0x8000;
constexpr std::uint16_t kBigObjectTag = 0x7FFF;
constexpr std::uint32_t kBigClassTag = 0x80000000u;
constexpr char kFunctionClass[] = "CItemFunction";

// --- primitives -------------------------------------------------------------------------------

void PutText(ByteWriter& w, const std::string& s) {
    std::size_t n = s.size();
    if (n < 0xFF) {
        w.U8(static_cast<std::uint8_t>(n));
    } else if (n < 0xFFFE) {
        w.U8(0xFF);
        w.U16(static_cast<std::uint16_t>(n));
    } else {
        w.U8(0xFF);
        w.U16(0xFFFF);
        w.U32(static_cast<std::uint32_t>(n));
    }
    w.Bytes(s);
}

std::string GetText(ByteReader& r) {
    std::uint32_t n = r.U8();
    if (n == 0xFF) {
        n = r.U16();
        if (n == 0xFFFF) n = r.U32();
    }
    return r.Bytes(n);  // checked against what is left before the copy
}

void PutInt(ByteWriter& w, std::int32_t v) { w.I32(v); }
std::int32_t GetInt(ByteReader& r) { return r.I32(); }

std::uint32_t GetCount(ByteReader& r, std::size_t min_item) {
    std::int32_t n = r.I32();
    if (n < 0) throw FormatError("negative count");
    r.NeedItems(static_cast<std::uint64_t>(n), min_item);
    return static_cast<std::uint32_t>(n);
}

void PutTexts(ByteWriter& w, const std::vector<std::string>& v) {
    PutInt(w, static_cast<std::int32_t>(v.size()));
    for (const auto& s : v) PutText(w, s);
}

void GetTexts(ByteReader& r, std::vector<std::string>& out) {
    std::uint32_t n = GetCount(r, 1);
    out.clear();
    for (std::uint32_t i = 0; i < n; ++i) out.push_back(GetText(r));
}

void CheckDepth(int depth) {
    if (depth > kMaxDepth) throw FormatError("tree nested too deeply");
}

// --- records ----------------------------------------------------------------------------------

// The plain fields of each record are listed once, in file order, for the writer and the
// reader alike: Put writes each field it is given, Get reads each in turn.
struct Put {
    ByteWriter& w;
    void operator()(const std::string& s) const { PutText(w, s); }
    void operator()(std::int32_t v) const { PutInt(w, v); }
    void operator()(std::uint32_t v) const { w.U32(v); }
};

struct Get {
    ByteReader& r;
    void operator()(std::string& s) const { s = GetText(r); }
    void operator()(std::int32_t& v) const { v = GetInt(r); }
    void operator()(std::uint32_t& v) const { v = r.U32(); }
};

template <class Io, class Node>
void FileNodeFields(const Io& io, Node& n) {
    io(n.kind);
    io(n.name);
    io(n.folder_id);
}

template <class Io, class Group>
void GroupFields(const Io& io, Group& g) {
    io(g.name);
    io(g.shared);
    io(g.self_register);
    io(g.restart_if_locked);
    io(g.compressed);
    io(g.operating_system_mask);
    io(g.spare);
    io(g.ftp_location);
    io(g.http_location);
    io(g.comment);
    io(g.overwrite_word);
    io(g.destination);
    io(g.language_mask);
}

template <class Io, class Component>
void ComponentFields(const Io& io, Component& c) {
    io(c.name);
    io(c.description);
    io(c.status_text);
    io(c.display_text);
    io(c.visible);
    io(c.file_need);
    io(c.include_in_build);
    io(c.cd_folder);
    io(c.ftp_location);
    io(c.http_location);
    io(c.comment);
    for (auto& f : c.functions) io(f);
}

template <class Io, class Setup>
void SetupFields(const Io& io, Setup& s) {
    io(s.name);
    io(s.description);
    io(s.display_name);
    io(s.comment);
    io(s.require_component_step);
}

struct RegistryFields {
    template <class Io, class Node>
    void operator()(const Io& io, Node& n) const {
        io(n.kind);
        io(n.name);
        io(n.data);
        io(n.flags);
    }
};

template <class Io, class Item>
void StringItemFields(const Io& io, Item& s) {
    io(s.key);
    io(s.comment);
    io(s.category);
}

struct ShortcutFields {
    template <class Io, class Node>
    void operator()(const Io& io, Node& n) const {
        io(n.kind);
        io(n.folder_option);
        io(n.name);
        io(n.display_text);
        io(n.internet_shortcut);
        io(n.target);
        io(n.parameters);
        io(n.start_in);
        io(n.hotkey);
        io(n.run_mode);
        io(n.icon_file);
        io(n.icon_index);
        io(n.replace_existing);
        io(n.common);
        io(n.comment);
    }
};

template <class Io, class Function>
void FunctionFields(const Io& io, Function& f) {
    io(f.name);
    io(f.internal_name);
    io(f.dll_path);
    io(f.function_call);
}

void PutFileNode(ByteWriter& w, const CObListFile& n) {
    FileNodeFields(Put{w}, n);
    PutInt(w, static_cast<std::int32_t>(n.children.size()));
    for (const auto& c : n.children) PutFileNode(w, *c);
}

void GetFileNode(ByteReader& r, CObListFile& n, int depth) {
    CheckDepth(depth);
    FileNodeFields(Get{r}, n);
    std::uint32_t count = GetCount(r, kMinFileNode);
    for (std::uint32_t i = 0; i < count; ++i) GetFileNode(r, *n.Add(std::make_unique<CObListFile>()), depth + 1);
}

void PutGroup(ByteWriter& w, const CItemGroup& g) {
    GroupFields(Put{w}, g);
    PutFileNode(w, g.file_tree);
}

void GetGroup(ByteReader& r, CItemGroup& g) {
    GroupFields(Get{r}, g);
    GetFileNode(r, g.file_tree, 1);
}

void PutComponent(ByteWriter& w, const CItemComponent& c) {
    ComponentFields(Put{w}, c);
    PutInt(w, static_cast<std::int32_t>(c.children.size()));
    for (const auto& child : c.children) PutComponent(w, *child);
    PutInt(w, static_cast<std::int32_t>(c.file_groups.size()));
    for (const CItemGroup* g : c.file_groups) PutText(w, g->name);
    std::vector<std::string> required;
    for (const CItemComponent* rc : c.required_components) {
        std::string path = rc->Path();
        if (!path.empty()) required.push_back(path);
    }
    PutTexts(w, required);
}

void GetComponent(ByteReader& r, CItemComponent& c, int depth) {
    CheckDepth(depth);
    ComponentFields(Get{r}, c);
    std::uint32_t count = GetCount(r, kMinComponent);
    for (std::uint32_t i = 0; i < count; ++i) GetComponent(r, *c.Add(std::make_unique<CItemComponent>()), depth + 1);
    GetTexts(r, c.group_names);
    GetTexts(r, c.required_names);
}

void PutSetup(ByteWriter& w, const CItemSetup& s) {
    SetupFields(Put{w}, s);
    std::vector<std::string> paths;
    for (const CItemComponent* c : s.components) {
        std::string path = c->Path();
        if (!path.empty()) paths.push_back(path);
    }
    PutTexts(w, paths);
}

void GetSetup(ByteReader& r, CItemSetup& s) {
    SetupFields(Get{r}, s);
    GetTexts(r, s.component_names);
}

void PutGroupRefs(ByteWriter& w, const std::vector<CItemGroup*>& groups) {
    PutInt(w, static_cast<std::int32_t>(groups.size()));
    for (const CItemGroup* g : groups) PutText(w, g->name);
}

// The registry and the shortcut tree share one layout: a node's own fields, the names of its
// file groups, then its children.
template <class Node, class Fields>
void PutTree(ByteWriter& w, const Node& n, Fields fields) {
    fields(Put{w}, n);
    PutGroupRefs(w, n.file_groups);
    PutInt(w, static_cast<std::int32_t>(n.children.size()));
    for (const auto& c : n.children) PutTree(w, *c, fields);
}

template <class Node, class Fields>
void GetTree(ByteReader& r, Node& n, int depth, std::size_t min_node, Fields fields) {
    CheckDepth(depth);
    fields(Get{r}, n);
    GetTexts(r, n.group_names);
    std::uint32_t count = GetCount(r, min_node);
    for (std::uint32_t i = 0; i < count; ++i)
        GetTree(r, *n.Add(std::make_unique<Node>()), depth + 1, min_node, fields);
}

void PutStringItem(ByteWriter& w, const CStringItem& s) {
    StringItemFields(Put{w}, s);
    PutTexts(w, s.values);
}

void GetStringItem(ByteReader& r, CStringItem& s) {
    StringItemFields(Get{r}, s);
    // Values beyond the file's count keep what they had.
    std::uint32_t n = GetCount(r, 1);
    for (std::uint32_t i = 0; i < n; ++i) s.SetValue(i, GetText(r));
}

void PutStringTable(ByteWriter& w, const CStringItemList& t) {
    PutInt(w, static_cast<std::int32_t>(t.items.size()));
    for (const auto& s : t.items) {
        PutText(w, s->key);
        PutStringItem(w, *s);
    }
    PutText(w, t.title);
    PutInt(w, t.spare);
    PutInt(w, static_cast<std::int32_t>(t.language_list.size()));
    for (const auto& l : t.language_list) {
        PutInt(w, l->table_index);
        PutInt(w, l->lang_value);
        PutInt(w, l->shown);
    }
}

// Strings read from the file merge by key into those the document already has.
void GetStringTable(ByteReader& r, CStringItemList& t) {
    std::unordered_map<std::string, CStringItem*> by_key;
    for (auto& s : t.items) by_key.emplace(LowerAscii(s->key), s.get());
    std::uint32_t count = GetCount(r, kMinString);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string key = LowerAscii(GetText(r));
        auto it = by_key.find(key);
        CStringItem* s = it != by_key.end() ? it->second : t.Add(std::make_unique<CStringItem>());
        GetStringItem(r, *s);
        std::string now = LowerAscii(s->key);
        if (now != key && it != by_key.end()) by_key.erase(it);
        by_key.emplace(now, s);
    }
    t.title = GetText(r);
    t.spare = GetInt(r);
    std::uint32_t langs = GetCount(r, kMinLanguage);
    for (std::uint32_t i = 0; i < langs; ++i) {
        auto l = std::make_unique<CLangItem>();
        l->table_index = GetInt(r);
        if (!LanguageAt(l->table_index))
            throw FormatError("language index " + std::to_string(l->table_index) + " outside the table");
        l->lang_value = GetInt(r);
        l->shown = GetInt(r);
        t.language_list.push_back(std::move(l));
    }
}

void PutFunction(ByteWriter& w, const CItemFunction& f) {
    FunctionFields(Put{w}, f);
    PutTexts(w, f.parameters);
}

void GetFunction(ByteReader& r, CItemFunction& f) {
    FunctionFields(Get{r}, f);
    GetTexts(r, f.parameters);
}

// The function list in the generic class-tagged object format: the class is introduced once
// by name and schema, later objects refer to it by its index (always 1 in our files).
void PutFunctionList(ByteWriter& w, const std::vector<std::unique_ptr<CItemFunction>>& list) {
    if (list.size() < 0xFFFF) {
        w.U16(static_cast<std::uint16_t>(list.size()));
    } else {
        w.U16(0xFFFF);
        w.U32(static_cast<std::uint32_t>(list.size()));
    }
    bool class_written = false;
    for (const auto& f : list) {
        if (!class_written) {
            w.U16(kNewClassTag);
            w.U16(1);
            w.U16(static_cast<std::uint16_t>(std::strlen(kFunctionClass)));
            w.Bytes(kFunctionClass, std::strlen(kFunctionClass));
            class_written = true;
        } else {
            w.U16(kClassTag | 1);
        }
        PutFunction(w, *f);
    }
}

void GetFunctionList(ByteReader& r, std::vector<std::unique_ptr<CItemFunction>>& list) {
    std::uint32_t count = r.U16();
    if (count == 0xFFFF) count = r.U32();
    r.NeedItems(count, 2);  // a null entry is a 2-byte tag alone
    // Indices are handed out to classes and objects alike in order of appearance, from 1.
    std::uint32_t next_index = 1;
    // A hostile file may name the class again and again; each naming hands out a new index.
    std::unordered_set<std::uint32_t> function_class_indices;
    auto is_function_class = [&](std::uint32_t index) { return function_class_indices.count(index) != 0; };
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint16_t tag = r.U16();
        if (tag == 0) continue;  // a null entry holds no object
        if (tag == kNewClassTag) {
            std::uint16_t schema = r.U16();
            std::uint16_t len = r.U16();
            std::string name = r.Bytes(len);
            if (name != kFunctionClass) throw FormatError("unknown class " + name);
            if (schema != 1) throw FormatError("wrong schema number");
            function_class_indices.insert(next_index++);
        } else {
            std::uint32_t index;
            if (tag == kBigObjectTag) {
                std::uint32_t big = r.U32();
                if (!(big & kBigClassTag)) throw FormatError("object reference in the function list");
                index = big & ~kBigClassTag;
            } else if (tag & kClassTag) {
                index = tag & ~kClassTag;
            } else {
                // A reference to an object already read would put one object in the list twice.
                throw FormatError("object reference in the function list");
            }
            if (!is_function_class(index)) throw FormatError("unknown class reference");
        }
        auto f = std::make_unique<CItemFunction>();
        GetFunction(r, *f);
        ++next_index;
        list.push_back(std::move(f));
    }
}

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && EqualNoCase(s.substr(s.size() - tail.size()), tail);
}

// Writes the whole file; `flush` is called between top-level records so that a large project
// need not sit in memory twice.
template <class Flush>
void PutProject(ByteWriter& w, const CDazDoc& doc, Flush&& flush) {
    PutText(w, kProjectMagic);
    PutInt(w, kProjectVersion);
    w.Bytes(doc.settings_block.bytes.data(), doc.settings_block.bytes.size());
    for (int i = 0; i < 3; ++i) PutText(w, doc.side_file_paths[i]);
    PutInt(w, static_cast<std::int32_t>(doc.group_list.items.size()));
    for (const auto& g : doc.group_list.items) {
        PutGroup(w, *g);
        flush(w);
    }
    PutComponent(w, doc.root_component);
    flush(w);
    PutFileNode(w, doc.folder_tree);
    PutInt(w, static_cast<std::int32_t>(doc.setup_type_list.items.size()));
    for (const auto& s : doc.setup_type_list.items) PutSetup(w, *s);
    PutTree(w, doc.registry_root, RegistryFields{});
    PutStringTable(w, doc.string_table);
    PutTree(w, doc.shortcut_root, ShortcutFields{});
    PutFunctionList(w, doc.function_list);
    flush(w);
}

// Streams the project into a file through a small buffer.
bool WriteProjectFile(const std::string& path, const CDazDoc& doc) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = true;
    ByteWriter w;
    PutProject(w, doc, [&](ByteWriter& out) {
        if (out.Size() < (1u << 20)) return;
        ok = ok && std::fwrite(out.Data().data(), 1, out.Size(), f) == out.Size();
        out.Data().clear();
    });
    ok = ok && (w.Size() == 0 || std::fwrite(w.Data().data(), 1, w.Size(), f) == w.Size());
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

void ReadProject(CDazDoc& doc, ByteReader& r, const std::string& project_path);

// A project file is read whole; one this large is no project.
constexpr std::size_t kMaxProjectFileSize = std::size_t{1} << 30;

// Why `path` is no regular file ("a folder", ...); empty when it is one or cannot be looked at
// (opening it then says why).
std::string NotRegularFile(const std::string& path) {
    switch (StatPath(path).kind) {
    case PathKind::kMissing:
    case PathKind::kFile: return std::string();
    case PathKind::kDirectory: return "it is a folder";
    default: return "it is not a regular file (a pipe or a device)";
    }
}

}  // namespace

std::vector<std::uint8_t> WriteProjectBytes(const CDazDoc& doc) {
    ByteWriter w;
    PutProject(w, doc, [](ByteWriter&) {});
    return std::move(w.Data());
}

void ReadProjectBytes(CDazDoc& doc, const std::uint8_t* data, std::size_t size, const std::string& project_path) {
    ByteReader r(data, size);
    try {
        ReadProject(doc, r, project_path);
    } catch (const ProjectFileRefusal&) {
        throw;
    } catch (const FormatError& e) {
        // Where it went wrong, for whoever has to look at the file.
        const std::string what = e.what();
        if (what == "unexpected end of data")
            throw FormatError("the file ends early (truncated) at offset " + std::to_string(r.Pos()) + " of " +
                              std::to_string(size) + " bytes");
        throw FormatError(what + " at offset " + std::to_string(r.Pos()));
    }
}

namespace {

void ReadProject(CDazDoc& doc, ByteReader& r, const std::string& project_path) {
    std::string magic;
    try {
        magic = GetText(r);
    } catch (const FormatError&) {
        throw ProjectFileRefusal(kMsgUnknownFormat);  // not even a text: not our file
    }
    if (magic != kProjectMagic) throw ProjectFileRefusal(kMsgUnknownFormat);
    if (GetInt(r) > kProjectVersion) throw ProjectFileRefusal(kMsgNewerVersion);
    r.Read(doc.settings_block.bytes.data(), doc.settings_block.bytes.size());
    for (int i = 0; i < 3; ++i) doc.side_file_paths[i] = GetText(r);
    std::uint32_t groups = GetCount(r, kMinGroup);
    for (std::uint32_t i = 0; i < groups; ++i) GetGroup(r, *doc.group_list.Add(std::make_unique<CItemGroup>()));
    if (!project_path.empty()) doc.ExpandBareFileNames(project_path);
    GetComponent(r, doc.root_component, 0);
    GetFileNode(r, doc.folder_tree, 0);
    std::uint32_t setups = GetCount(r, kMinSetup);
    for (std::uint32_t i = 0; i < setups; ++i) GetSetup(r, *doc.setup_type_list.Add(std::make_unique<CItemSetup>()));
    GetTree(r, doc.registry_root, 0, kMinRegistry, RegistryFields{});
    GetStringTable(r, doc.string_table);
    GetTree(r, doc.shortcut_root, 0, kMinShortcut, ShortcutFields{});
    GetFunctionList(r, doc.function_list);
    doc.ResolveReferences();
    doc.read_ok = 1;
}

}  // namespace

bool LoadProject(CDazDoc& doc, const std::string& path, Reporter& reporter) {
    doc.read_ok = 0;
    if (EndsWithNoCase(path, ".ipr")) {
        if (!ImportDirectoryProject(doc, path, reporter)) return false;
        doc.ResolveReferences();
        doc.read_ok = 1;
        doc.SetPathName(path.substr(0, path.rfind('.')) + ".qpk");
        doc.SetModifiedFlag(true);
        return true;
    }
    // Each failure names the file and says why, then gives the load failure itself.
    auto failed = [&](const std::string& why, const char* message) {
        reporter.Report(Severity::Error, "cannot read the project " + path + ": " + why);
        reporter.Report(Severity::Error, message);
        return false;
    };
    // A pipe would be waited on and a device read without end: only a regular file is read.
    std::string kind = NotRegularFile(path);
    if (!kind.empty()) return failed(kind, kMsgLoadFailed);
    std::vector<std::uint8_t> bytes;
    errno = 0;
    switch (ReadWholeFile(path, bytes, kMaxProjectFileSize)) {
    case FileResult::kOk: break;
    case FileResult::kCannotOpen:
        return failed(errno ? std::strerror(errno) : "it cannot be opened", kMsgLoadFailed);
    default:
        // A read that fails sets errno; one refused for its size does not.
        return failed(errno ? std::strerror(errno)
                            : "it is larger than " + std::to_string(kMaxProjectFileSize >> 20) + " MB",
                      kMsgLoadFailed);
    }
    try {
        ReadProjectBytes(doc, bytes.data(), bytes.size(), path);
    } catch (const ProjectFileRefusal& e) {
        // The file's own refusal says all there is to say, in its fixed words.
        reporter.Report(Severity::Error, e.what());
        return false;
    } catch (const FormatError& e) {
        return failed(e.what(), kMsgLoadFailed);
    } catch (const std::bad_alloc&) {
        return failed("not enough memory", kMsgLoadFailed);
    }
    doc.SetPathName(path);
    doc.SetModifiedFlag(false);
    return true;
}

std::unique_ptr<CDazDoc> OpenProject(const std::string& path, Reporter& reporter, WizardTextSource* wizard_texts) {
    auto doc = std::make_unique<CDazDoc>();
    doc->wizard_texts = wizard_texts;
    if (!LoadProject(*doc, path, reporter)) return nullptr;
    return doc;
}

bool SaveProject(CDazDoc& doc, const std::string& path, Reporter& reporter) {
    // The new file is complete before it replaces the old one.
    const std::string temp = path + ".qptmp";
    bool written = false;
    try {
        written = WriteProjectFile(temp, doc);
    } catch (const std::bad_alloc&) {
        written = false;
    }
    if (!written || !RenameOver(temp, path)) {
        RemoveFile(temp);
        reporter.Report(Severity::Error, kMsgSaveFailed);
        return false;
    }
    doc.SetPathName(path);
    doc.SetModifiedFlag(false);
    return true;
}

}  // namespace qp
