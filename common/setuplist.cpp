// Reading and writing of the setup list, one function per record, the reader mirroring the
// writer field by field. The reader treats the file as hostile: a count is checked against the
// bytes left before anything is allocated for it, texts are bounded by the runtime's 260-byte
// field, and nesting is bounded so that a crafted file cannot exhaust the stack.
#include "common/setuplist.h"

#include <cctype>
#include <cstdio>

#include "common/fileio.h"
#include "common/languages.h"
#include "common/strutil.h"

namespace qp {

namespace {

// The fewest bytes each record can take, used to bound counts before reading the items.
constexpr std::size_t kMinString = 4;  // a length of 0 is read as the empty text
constexpr std::size_t kMinFileNode = 4 + 4 + 4 + 8 + 8 + kMinString + 4;
constexpr std::size_t kMinGroup = kMinString + 7 * 4 + 4 * kMinString + 4 + 2 * kMinString + kMinFileNode;
constexpr std::size_t kMinComponent = 4 * kMinString + 3 * 4 + 8 * kMinString + 4 + 4 + 4;
constexpr std::size_t kMinSetupType = 4 * kMinString + 4 + 4;
constexpr std::size_t kMinRegistry = 4 + 4 + 2 * kMinString + 4 + 4;
constexpr std::size_t kMinStringRecord = 2 * kMinString + 4;
constexpr std::size_t kMinLanguage = 8;
constexpr std::size_t kMinShortcut = 7 * 4 + 8 * kMinString + 4 + 4;
constexpr std::size_t kMinFunction = 4 * kMinString + 4;

// ---- Reader --------------------------------------------------------------------------------

// Lists grow as their items are read rather than being sized from their counts up front: a
// count is only a claim, and nested claims would otherwise multiply into far more memory than
// the file could ever fill.
class Reader {
public:
    explicit Reader(ByteReader& r) : r_(r) {}

    [[noreturn]] void Bad(const std::string& detail) const {
        throw SetupListError(kMsgBadInstallFile, detail + " (at byte " + std::to_string(r_.Pos()) + ")");
    }

    std::int32_t Int() {
        if (r_.Remaining() < 4) Bad("unexpected end of the file");
        return r_.I32();
    }
    std::uint64_t U64() {
        if (r_.Remaining() < 8) Bad("unexpected end of the file");
        return r_.U64();
    }
    std::string Str() {
        try {
            return ReadShiftedString(r_);
        } catch (const FormatError& e) {
            Bad(e.what());
        }
    }

    // A count of items of at least `min_item` bytes each; it must fit what is left.
    std::size_t Count(std::size_t min_item, const char* what) {
        std::int32_t n = Int();
        if (n < 0) Bad(std::string("negative count of ") + what);
        if (static_cast<std::uint64_t>(n) > r_.Remaining() / min_item)
            Bad(std::string("count of ") + what + " (" + std::to_string(n) + ") larger than the file");
        return static_cast<std::size_t>(n);
    }

    std::vector<std::string> List(const char* what) {
        std::size_t n = Count(kMinString, what);
        std::vector<std::string> v;
        for (std::size_t i = 0; i < n; ++i) v.push_back(Str());
        return v;
    }

    void Enter() {
        if (++depth_ > kMaxSetupListDepth) Bad("records nested too deeply");
    }
    void Leave() { --depth_; }

    void FileTree(FileNode& n) {
        Enter();
        n.folder_id = Int();
        n.kind = Int();
        n.size = Int();
        n.version = U64();
        n.time = U64();
        n.name = Str();
        std::int32_t count = Int();
        // A damaged count in a file tree is read as none: the reader stays bounded and the
        // misplaced rest of the stream fails the end-marker check.
        if (count < 0 || count > kMaxFileTreeChildren) count = 0;
        if (static_cast<std::uint64_t>(count) > r_.Remaining() / kMinFileNode)
            Bad("count of file nodes (" + std::to_string(count) + ") larger than the file");
        n.children.clear();
        for (std::size_t i = 0, e = static_cast<std::size_t>(count); i < e; ++i) {
            auto& c = n.children.emplace_back();
            FileTree(c);
        }
        Leave();
    }

    void Group(GroupRecord& g) {
        g.name = Str();
        g.shared = Int();
        g.self_register = Int();
        g.restart_if_locked = Int();
        g.compressed = Int();
        g.operating_system_mask = Int();
        g.spare = Int();
        g.operating_system_mask = Int();  // the second copy is the one that counts
        g.ftp_location = Str();
        g.http_location = Str();
        g.group_key = Str();
        g.comment = Str();
        g.overwrite_word = Int();
        g.destination = Str();
        g.language_mask = Str();
        FileTree(g.file_tree);
    }

    void Component(ComponentRecord& c) {
        Enter();
        c.name = Str();
        c.description = Str();
        c.status_text = Str();
        c.display_text = Str();
        c.visible = Int();
        c.file_need = Int();
        c.include_in_build = Int();
        c.cd_folder = Str();
        c.ftp_location = Str();
        c.http_location = Str();
        c.comment = Str();
        for (auto& f : c.functions) f = Str();
        std::size_t n = Count(kMinComponent, "components");
        c.children.clear();
        for (std::size_t i = 0; i < n; ++i) {
            auto& child = c.children.emplace_back();
            Component(child);
        }
        c.group_names = List("component group names");
        c.required_names = List("required components");
        Leave();
    }

    void SetupType(SetupTypeRecord& t) {
        t.name = Str();
        t.description = Str();
        t.display_name = Str();
        t.comment = Str();
        t.require_component_step = Int();
        t.component_names = List("setup type components");
    }

    void Registry(RegistryNode& n) {
        Enter();
        n.flags = Int();
        n.kind = Int();
        n.name = Str();
        n.data = Str();
        n.group_names = List("registry group names");
        std::size_t count = Count(kMinRegistry, "registry nodes");
        n.children.clear();
        for (std::size_t i = 0; i < count; ++i) {
            auto& c = n.children.emplace_back();
            Registry(c);
        }
        Leave();
    }

    void String(StringRecord& s) {
        s.key = Str();
        s.comment = Str();
        s.values = List("string values");
    }

    void Shortcut(ShortcutNode& n) {
        Enter();
        n.kind = Int();
        n.folder_option = Int();
        n.name = Str();
        n.display_text = Str();
        n.internet_shortcut = Int();
        n.target = Str();
        n.arguments = Str();
        n.working_folder = Str();
        n.hotkey = Str();
        n.run_mode = Int();
        n.icon_file = Str();
        n.icon_index = Int();
        n.replace_existing = Int();
        n.common = Int();
        n.comment = Str();
        n.group_names = List("shortcut group names");
        std::size_t count = Count(kMinShortcut, "shortcut nodes");
        n.children.clear();
        for (std::size_t i = 0; i < count; ++i) {
            auto& c = n.children.emplace_back();
            Shortcut(c);
        }
        Leave();
    }

    void Function(FunctionRecord& f) {
        f.name = Str();
        f.internal_name = Str();
        f.dll_path = Str();
        f.function_call = Str();
        f.parameters = List("function parameters");
    }

private:
    ByteReader& r_;
    int depth_ = 0;
};

}  // namespace

// ---- Shifted strings -------------------------------------------------------------------------

std::string ReadShiftedString(ByteReader& r) {
    std::int32_t n = r.I32();
    if (n < 0 || static_cast<std::size_t>(n) > kSetupTextField) {
        throw FormatError("a text of " + std::to_string(n) + " bytes does not fit a field of " +
                          std::to_string(kSetupTextField));
    }
    std::string raw = r.Bytes(static_cast<std::size_t>(n));
    std::string text;
    for (char c : raw) {
        char plain = static_cast<char>(static_cast<std::uint8_t>(c) + kShiftK);
        if (plain == '\0') break;  // the text ends at its zero, wherever the length put it
        text.push_back(plain);
    }
    // 260 bytes without a zero among them would leave the runtime's field unterminated.
    if (text.size() > kSetupTextMax)
        throw FormatError("a text of " + std::to_string(text.size()) + " characters without its terminating zero");
    return text;
}

// ---- Whole file ------------------------------------------------------------------------------

SetupList ReadSetupList(const std::uint8_t* data, std::size_t size) {
    ByteReader r(data, size);
    if (size < kSetupListMagicSize || r.Bytes(kSetupListMagicSize) != std::string(kSetupListMagic, kSetupListMagicSize))
        throw SetupListError(kMsgUnknownFormat, "the file does not begin with the setup list magic");
    Reader in(r);
    std::int32_t version = in.Int();
    if (version >= 2)
        throw SetupListError(kMsgNewerVersion, "format version " + std::to_string(version));

    SetupList list;
    if (r.Remaining() < list.settings.bytes.size()) in.Bad("the settings block is cut short");
    r.Read(list.settings.bytes.data(), list.settings.bytes.size());

    std::size_t n = in.Count(kMinGroup, "file groups");
    list.groups.clear();
    for (std::size_t i = 0; i < n; ++i) {
        auto& g = list.groups.emplace_back();
        in.Group(g);
    }
    in.Component(list.components);
    in.FileTree(list.folders);
    n = in.Count(kMinSetupType, "setup types");
    list.setup_types.clear();
    for (std::size_t i = 0; i < n; ++i) {
        auto& t = list.setup_types.emplace_back();
        in.SetupType(t);
    }
    in.Registry(list.registry);
    n = in.Count(kMinStringRecord, "strings");
    list.strings.clear();
    for (std::size_t i = 0; i < n; ++i) {
        auto& s = list.strings.emplace_back();
        in.String(s);
    }
    n = in.Count(kMinLanguage, "languages");
    list.languages.resize(n);
    for (auto& l : list.languages) {
        l.table_index = in.Int();
        l.lang_value = in.Int();
        // The index picks the language's name and identifier and a character of every group's
        // language mask; one outside the table would pick nothing meaningful.
        if (!LanguageAt(l.table_index)) in.Bad("language index " + std::to_string(l.table_index) + " outside the table");
    }
    in.Shortcut(list.shortcuts);
    n = in.Count(kMinFunction, "function calls");
    list.functions.clear();
    for (std::size_t i = 0; i < n; ++i) {
        auto& f = list.functions.emplace_back();
        in.Function(f);
    }

    if (r.Remaining() < 4) in.Bad("the end marker is missing");
    std::int32_t marker = r.I32();
    if (marker != kSetupListEndMarker) in.Bad("end marker " + std::to_string(marker) + " instead of 78");
    return list;
}

SetupList ReadSetupList(const std::vector<std::uint8_t>& bytes) {
    return ReadSetupList(bytes.data(), bytes.size());
}

SetupList LoadSetupList(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    FileResult r = ReadWholeFile(path, bytes, kMaxSetupListSize);
    if (r == FileResult::kCannotOpen) throw IoError("cannot open " + path);
    if (r != FileResult::kOk) throw IoError("cannot read " + path);
    return ReadSetupList(bytes);
}

// ---- Record helpers ----------------------------------------------------------------------------

bool GroupRecord::InstallsForLanguage(std::int32_t table_index) const {
    if (language_mask.empty()) return true;
    if (table_index < 0 || static_cast<std::size_t>(table_index) >= language_mask.size()) return false;
    return language_mask[static_cast<std::size_t>(table_index)] != '0';
}

const GroupRecord* SetupList::FindGroup(const std::string& name) const {
    for (const auto& g : groups) {
        if (g.name == name) return &g;
    }
    for (const auto& g : groups) {
        if (EqualNoCase(g.name, name)) return &g;
    }
    return nullptr;
}

const StringRecord* SetupList::FindString(const std::string& key) const {
    for (const auto& s : strings) {
        if (EqualNoCase(s.key, key)) return &s;
    }
    return nullptr;
}

}  // namespace qp
