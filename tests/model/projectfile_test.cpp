// The project file against hand-assembled bytes, its merge and expansion rules on reading, and
// its refusals: a damaged file never loads and a failed save keeps the previous file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "builder/model/projectfile.h"
#include "support/testutil.h"

using namespace qptest;

namespace {

Bytes Text(const std::string& s) { return Bytes{static_cast<std::uint8_t>(s.size())} + Str(s); }
Bytes Zero4() { return LE32(0); }

// The bytes that precede the side file paths: magic, version, settings block.
Bytes Head(const qp::CDazDoc& doc) {
    Bytes settings(doc.settings_block.bytes.begin(), doc.settings_block.bytes.end());
    return Text("HeaderFile Quillpack CopyRight 2001") + LE32(1) + settings;
}

// A document with nothing in it but what every record must carry.
void Empty(qp::CDazDoc& doc) { doc.string_table.items.clear(); }

Bytes EmptyBody() {
    Bytes root_component = Text("Components") + Text("") + Text("") + Text("") + LE32(1) + LE32(2) + LE32(1);
    for (int i = 0; i < 8; ++i) root_component = root_component + Text("");
    root_component = root_component + Zero4() + Zero4() + Zero4();
    Bytes folder_root = Zero4() + Text("") + Zero4() + Zero4();
    Bytes registry_root = Zero4() + Text("") + Text("") + Zero4() + Zero4() + Zero4();
    Bytes strings = Zero4() + Text("") + Zero4() + Zero4();
    Bytes desktop = Zero4() + LE32(1) + Text("Desktop") + Text("") + Zero4() + Text("") + Text("") + Text("") +
                    Text("") + Zero4() + Text("") + Zero4() + LE32(1) + LE32(1) + Text("") + Zero4() + Zero4();
    return Text("") + Text("") + Text("") + Zero4() + root_component + folder_root + Zero4() + registry_root + strings +
           desktop;
}

Bytes Save(const qp::CDazDoc& doc) { return qp::WriteProjectBytes(doc); }

std::unique_ptr<qp::CDazDoc> Load(const Bytes& b, const std::string& path = std::string()) {
    auto doc = std::make_unique<qp::CDazDoc>();
    qp::ReadProjectBytes(*doc, b.data(), b.size(), path);
    return doc;
}

}  // namespace

TEST(ProjectFileLayout, EmptyProjectIsHeaderRecordsAndTwoByteFunctionCount) {
    qp::CDazDoc doc;
    Empty(doc);
    Bytes b = Save(doc);
    ASSERT_FALSE(b.empty());
    EXPECT_EQ(b[0], 0x23);
    EXPECT_EQ(b, Head(doc) + EmptyBody() + LE16(0));
}

TEST(ProjectFileLayout, TextPrefixesSwitchAt255And65534) {
    struct Case {
        std::size_t len;
        Bytes prefix;
    } cases[] = {
        {254, {254}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        qp::CDazDoc doc;
        Empty(doc);
        doc.side_file_paths[0] = std::string(c.len, 'x');
        Bytes b = Save(doc);
        std::size_t at = Head(doc).size();
        ASSERT_GT(b.size(), at + c.prefix.size() + c.len);
        EXPECT_EQ(Bytes(b.begin() + at, b.begin() + at + c.prefix.size()), c.prefix) << c.len;
        EXPECT_EQ(b[at + c.prefix.size()], 'x');
        EXPECT_EQ(b[at + c.prefix.size() + c.len], 0) << "readme path follows the text";
        EXPECT_EQ(Load(b)->side_file_paths[0], doc.side_file_paths[0]) << c.len;
    }
}

TEST(ProjectFileLayout, TwoFunctionsIntroduceTheClassOnceThenReferToIt) {
    qp::CDazDoc doc;
    Empty(doc);
    for (const char* n : {"f1", "f2"}) {
        auto f = std::make_unique<qp::CItemFunction>();
        f->name = n;
        f->dll_path = "my.dll";
        f->parameters = {"a"};
        doc.function_list.push_back(std::move(f));
    }
    auto record = [](const std::string& n) { return Text(n) + Text("") + Text("my.dll") + Text("") + LE32(1) + Text("a"); };
    Bytes tail = LE16(2) + LE16(0xFFFF) + LE16(1) + LE16(13) + Str("CItemFunction") + record("f1") + LE16(0x8001) +
                 record("f2");
    EXPECT_EQ(Save(doc), Head(doc) + EmptyBody() + tail);

    auto back = Load(Save(doc));
    ASSERT_EQ(back->function_list.size(), 2u);
    EXPECT_EQ(back->function_list[1]->name, "f2");
    EXPECT_EQ(back->function_list[1]->parameters, std::vector<std::string>{"a"});
}

TEST(ProjectFileLayout, RecordsCarryReferencesByNameAndPath) {
    qp::CDazDoc doc;
    Empty(doc);
    qp::CItemGroup* g = doc.group_list.Add("G");
    g->file_tree.AddFolder("sub")->AddFile("C:\\a.exe");
    qp::CItemComponent* a = doc.root_component.AddChild("A");
    qp::CItemComponent* b = a->AddChild("B");
    a->file_groups.push_back(g);
    a->required_components.push_back(b);
    a->required_components.push_back(&doc.root_component);  // the root never appears by path
    Bytes group = Text("G") + LE32(1) + Zero4() + Zero4() + LE32(1) + LE32(1) + Zero4() + Text("") + Text("") +
                  Text("") + LE32(0x241) + Text("<TARGETDIR>") + Text("") +
                  (Zero4() + Text("") + Zero4() + LE32(1)) +              // file tree root
                  (LE32(1) + Text("sub") + Zero4() + LE32(1)) +           // folder
                  (LE32(2) + Text("C:\\a.exe") + Zero4() + Zero4());      // file
    Bytes b_rec = Text("B") + Text("") + Text("") + Text("") + LE32(1) + LE32(2) + LE32(1);
    for (int i = 0; i < 8; ++i) b_rec = b_rec + Text("");
    b_rec = b_rec + Zero4() + Zero4() + Zero4();
    Bytes a_rec = Text("A") + Text("") + Text("") + Text("") + LE32(1) + LE32(2) + LE32(1);
    for (int i = 0; i < 8; ++i) a_rec = a_rec + Text("");
    a_rec = a_rec + LE32(1) + b_rec + LE32(1) + Text("G") + LE32(1) + Text("A\\B");

    Bytes b_all = Save(doc);
    Bytes expect_start = Head(doc) + Text("") + Text("") + Text("") + LE32(1) + group + Text("Components");
    ASSERT_GE(b_all.size(), expect_start.size());
    EXPECT_EQ(Bytes(b_all.begin(), b_all.begin() + expect_start.size()), expect_start);
    std::size_t comp_at = expect_start.size() - 11;
    Bytes root_fields = Text("Components") + Text("") + Text("") + Text("") + LE32(1) + LE32(2) + LE32(1);
    for (int i = 0; i < 8; ++i) root_fields = root_fields + Text("");
    Bytes expect_root = root_fields + LE32(1) + a_rec + Zero4() + Zero4();
    EXPECT_EQ(Bytes(b_all.begin() + comp_at, b_all.begin() + comp_at + expect_root.size()), expect_root);
}

// Reader and writer take their field lists from one place, so a field out of order would still
// read back: every field gets a value of its own and the bytes are checked where each record lies.
TEST(ProjectFileLayout, SetupRegistryShortcutAndFunctionFieldsInFileOrder) {
    qp::CDazDoc doc;
    Empty(doc);
    qp::CItemSetup* setup = doc.setup_type_list.Add("S");
    setup->description = "de";
    setup->display_name = "dn";
    setup->comment = "co";
    setup->require_component_step = 9;
    doc.registry_root.AddChild(qp::CRegistry::kKey, "K", "D")->flags = 7;
    qp::CObListShort* link = doc.shortcut_root.AddChild(qp::CObListShort::kShortcut, "N");
    link->folder_option = 2;
    link->display_text = "dt";
    link->internet_shortcut = 3;
    link->target = "t";
    link->parameters = "p";
    link->start_in = "s";
    link->hotkey = "h";
    link->run_mode = 4;
    link->icon_file = "i";
    link->icon_index = 5;
    link->replace_existing = 6;
    link->common = 8;
    link->comment = "c";
    auto f = std::make_unique<qp::CItemFunction>();
    f->name = "f";
    f->internal_name = "in";
    f->dll_path = "d";
    f->function_call = "fc";
    doc.function_list.push_back(std::move(f));

    const Bytes saved = Save(doc);
    const struct {
        const char* record;
        Bytes bytes;
    } cases[] = {
        {"setup type", Text("S") + Text("de") + Text("dn") + Text("co") + LE32(9) + Zero4()},
        {"registry key", LE32(3) + Text("K") + Text("D") + LE32(7) + Zero4() + Zero4()},
        {"shortcut", LE32(5) + LE32(2) + Text("N") + Text("dt") + LE32(3) + Text("t") + Text("p") + Text("s") +
                         Text("h") + LE32(4) + Text("i") + LE32(5) + LE32(6) + LE32(8) + Text("c") + Zero4() + Zero4()},
        {"function", Text("f") + Text("in") + Text("d") + Text("fc") + Zero4()},
    };
    for (const auto& c : cases)
        EXPECT_NE(std::search(saved.begin(), saved.end(), c.bytes.begin(), c.bytes.end()), saved.end()) << c.record;
}

TEST(ProjectFileRead, KeyInOtherLetterCaseOverwritesTheDefaultString) {
    qp::CDazDoc src;
    src.string_table.items.clear();
    auto s = std::make_unique<qp::CStringItem>("company_name", 1);
    s->values = {"Acme"};
    src.string_table.Add(std::move(s));
    qp::CDazDoc fresh;
    std::size_t defaults = fresh.string_table.size();

    auto doc = Load(Save(src));
    EXPECT_EQ(doc->string_table.size(), defaults);
    qp::CStringItem* found = doc->FindString("COMPANY_NAME");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->key, "company_name");
    EXPECT_EQ(found->Value(0), "Acme");
    // The billboards and wizard keys are there although the file holds none of them.
    EXPECT_NE(doc->FindString("M19"), nullptr);
    EXPECT_NE(doc->FindString("DLG_WELCOME_TITLE"), nullptr);
}

TEST(ProjectFileRead, ValuesBeyondTheFilesCountKeepWhatTheyHad) {
    qp::CDazDoc src;
    src.string_table.items.clear();
    auto s = std::make_unique<qp::CStringItem>("PRODUCT_NAME", 1);
    s->values = {"New"};
    src.string_table.Add(std::move(s));
    Bytes b = Save(src);
    qp::CDazDoc doc;
    doc.FindString("PRODUCT_NAME")->values = {"Old", "Alt"};
    qp::ReadProjectBytes(doc, b.data(), b.size(), "");
    EXPECT_EQ(doc.FindString("PRODUCT_NAME")->values, (std::vector<std::string>{"New", "Alt"}));
}

TEST(ProjectFileRead, NewProjectSavedOpenedAndSavedAgainGivesTheSameBytes) {
    TempDir dir;
    qp::EnglishDefaultTexts english;
    qp::CDazDoc doc;
    doc.wizard_texts = &english;
    doc.NewProject();
    doc.group_list.items[0]->file_tree.AddFolder("bin")->AddFile(dir / "app.exe");
    doc.root_component.children[0]->required_components.push_back(doc.root_component.children[1].get());
    doc.setup_type_list.items[1]->components.push_back(doc.root_component.children[0].get());
    doc.registry_root.children[0]->file_groups.push_back(doc.group_list.items[2].get());
    doc.shortcut_root.children[0]->file_groups.push_back(doc.group_list.items[3].get());
    RecordingReporter rep;
    std::string path = dir / "p.qpk";
    ASSERT_TRUE(qp::SaveProject(doc, path, rep)) << rep.All();
    EXPECT_FALSE(doc.IsModified());
    Bytes first = ReadBytes(path);
    EXPECT_EQ(first, Save(doc));

    auto back = qp::OpenProject(path, rep);
    ASSERT_TRUE(back) << rep.All();
    EXPECT_EQ(back->read_ok, 1);
    EXPECT_EQ(back->PathName(), path);
    EXPECT_EQ(back->settings_block.bytes, doc.settings_block.bytes);
    ASSERT_EQ(back->root_component.children[0]->required_components.size(), 1u);
    EXPECT_EQ(back->root_component.children[0]->required_components[0], back->root_component.children[1].get());
    EXPECT_EQ(back->setup_type_list.items[1]->components.at(0), back->root_component.children[0].get());
    EXPECT_EQ(back->registry_root.children[0]->file_groups.at(0), back->group_list.items[2].get());
    EXPECT_EQ(back->shortcut_root.children[0]->file_groups.at(0), back->group_list.items[3].get());
    ASSERT_TRUE(qp::SaveProject(*back, path, rep));
    EXPECT_EQ(ReadBytes(path), first);
    EXPECT_TRUE(rep.entries.empty());
}

TEST(ProjectFileRead, UnresolvableReferencesAreDroppedOthersKept) {
    // A file whose component names a group that is gone and a required component that was
    // renamed: those references vanish, the rest stay.
    qp::CDazDoc src;
    src.group_list.Add("Two");
    qp::CItemComponent* a = src.root_component.AddChild("A");
    src.root_component.AddChild("Renamed");
    a->required_components = {src.root_component.children[1].get()};
    Bytes b = Save(src);
    // The required component's own record comes last: rename it in the file.
    std::string text(b.begin(), b.end());
    std::size_t at = text.rfind("Renamed");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 7, "Before!");
    Bytes patched(text.begin(), text.end());
    auto back = Load(patched);
    EXPECT_TRUE(back->FindComponent("A")->required_components.empty());
    EXPECT_EQ(back->FindComponent("A")->required_names, std::vector<std::string>{"Renamed"});
    EXPECT_NE(back->FindComponent("Before!"), nullptr);

    qp::CDazDoc mixed;
    mixed.group_list.Add("Two");
    mixed.root_component.AddChild("A")->group_names = {"One", "Two"};
    mixed.root_component.children[0]->required_names = {"B", "A"};
    mixed.ResolveReferences();
    ASSERT_EQ(mixed.root_component.children[0]->file_groups.size(), 1u);
    EXPECT_EQ(mixed.root_component.children[0]->file_groups[0]->name, "Two");
    ASSERT_EQ(mixed.root_component.children[0]->required_components.size(), 1u);
}

TEST(ProjectFileRead, PathsResolveLikeTheSegmentLookup) {
    // Of two siblings with one name only the first is searched; a name holding "\" is never
    // one segment; a sub-component is found only below its own parent.
    qp::CDazDoc doc;
    qp::CItemComponent* first = doc.root_component.AddChild("A");
    qp::CItemComponent* second = doc.root_component.AddChild("A");
    second->AddChild("X");
    first->AddChild("Y");
    doc.root_component.AddChild("A\\Y");
    doc.root_component.AddChild("Y");
    qp::CItemSetup* s = doc.setup_type_list.Add("T");
    s->component_names = {"A\\X", "A\\Y", "Y", "A"};
    doc.ResolveReferences();
    std::vector<qp::CItemComponent*> expect = {first->children[0].get(), doc.root_component.children[3].get(), first};
    EXPECT_EQ(s->components, expect);
    for (const auto& n : s->component_names) {
        qp::CItemComponent* c = doc.FindComponent(n);
        EXPECT_EQ(c != nullptr, n != "A\\X") << n;
    }
}

TEST(ProjectFileRead, BareFileNamesAreExpandedUnderTheDataDirectory) {
    TempDir dir;
    qp::CDazDoc doc;
    qp::CItemGroup* g = doc.group_list.Add("Help Files");
    g->file_tree.AddFile(dir / "top.hlp");
    g->file_tree.AddFolder("en")->AddFolder("sub")->AddFile(dir / "deep.hlp");
    doc.MakeFileNamesRelative();
    EXPECT_EQ(g->file_tree.children[0]->name, "top.hlp");
    RecordingReporter rep;
    std::string path = dir / "proj.qpk";
    ASSERT_TRUE(qp::SaveProject(doc, path, rep));
    auto back = qp::OpenProject(path, rep);
    ASSERT_TRUE(back);
    std::string d = dir.Str();
    char sep = d.find('\\') != std::string::npos ? '\\' : '/';
    std::string data = d + sep + "DATA" + sep + "Help Files" + sep;
    auto& tree = back->group_list.items[0]->file_tree;
    EXPECT_EQ(tree.children[0]->name, data + "top.hlp");
    EXPECT_EQ(tree.children[1]->children[0]->children[0]->name, data + "en" + sep + "sub" + sep + "deep.hlp");
}

TEST(ProjectFileRead, NamesWithEitherSeparatorAreNotBare) {
    qp::CDazDoc doc;
    qp::CItemGroup* g = doc.group_list.Add("G");
    g->file_tree.AddFile("C:\\x\\a.exe");
    g->file_tree.AddFile("/srv/b.exe");
    g->file_tree.AddFile("c.exe");
    auto back = Load(Save(doc), "C:\\proj\\p.qpk");
    auto& t = back->group_list.items[0]->file_tree;
    EXPECT_EQ(t.children[0]->name, "C:\\x\\a.exe");
    EXPECT_EQ(t.children[1]->name, "/srv/b.exe");
    EXPECT_EQ(t.children[2]->name, "C:\\proj\\DATA\\G\\c.exe");
}

TEST(ProjectFileRead, DirectoryProjectOpensWithDefaultFoldersAndTakesAQpkPath) {
    TempDir dir;
    RecordingReporter rep;
    std::string ipr = dir / "Old.IPR";
    auto doc = qp::OpenProject(ipr, rep);
    ASSERT_TRUE(doc) << rep.All();
    EXPECT_EQ(doc->read_ok, 1);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->PathName(), dir / "Old.qpk");
    EXPECT_EQ(doc->group_list.size(), 0u);
    ASSERT_EQ(doc->folder_tree.children.size(), 3u);
    qp::CObListShort* folder = doc->shortcut_root.children[0]->children[0]->children[1].get();
    ASSERT_EQ(folder->children.size(), 1u);
    EXPECT_EQ(folder->children[0]->name, "Link");
    EXPECT_TRUE(folder->children[0]->target.empty());
    ASSERT_TRUE(qp::SaveProject(*doc, doc->PathName(), rep));
    EXPECT_FALSE(std::filesystem::exists(ipr));
}

// --- refusals ---------------------------------------------------------------------------------

TEST(ProjectFileRefusal, WrongMagicAndNewerVersionHaveTheirOwnMessages) {
    TempDir dir;
    qp::CDazDoc doc;
    Bytes good = Save(doc);
    Bytes bad_magic = good;
    bad_magic[1] = 'h';
    Bytes v2 = good;
    v2[36] = 2;
    struct Case {
        Bytes bytes;
        const char* message;
    } cases[] = {
        {bad_magic, "Unknown file format"},
        {Bytes{}, "Unknown file format"},
        {Bytes{0xFF, 0xFF}, "Unknown file format"},
        {v2, "Version is newer than program"},
    };
    for (const auto& c : cases) {
        std::string path = dir / "x.qpk";
        WriteBytes(path, c.bytes);
        RecordingReporter rep;
        EXPECT_FALSE(qp::OpenProject(path, rep));
        ASSERT_EQ(rep.entries.size(), 1u);
        EXPECT_EQ(rep.entries[0].text, c.message);
    }
    // Version 0 and below read like version 1.
    Bytes v0 = good;
    v0[36] = 0;
    EXPECT_EQ(Load(v0)->read_ok, 1);
}

TEST(ProjectFileRefusal, EveryTruncationIsRefusedWithTheLoadFailure) {
    qp::CDazDoc doc;
    doc.NewProject();
    auto f = std::make_unique<qp::CItemFunction>();
    f->name = "fn";
    doc.function_list.push_back(std::move(f));
    Bytes good = Save(doc);
    for (std::size_t n = 37; n < good.size(); ++n) {
        qp::CDazDoc d;
        EXPECT_THROW(qp::ReadProjectBytes(d, good.data(), n, ""), qp::FormatError) << n;
        EXPECT_EQ(d.read_ok, 0);
    }
    TempDir dir;
    WriteBytes(dir / "t.qpk", Bytes(good.begin(), good.begin() + good.size() / 2));
    RecordingReporter rep;
    EXPECT_FALSE(qp::OpenProject(dir / "t.qpk", rep));
    EXPECT_TRUE(rep.Has("Failed to open document.")) << rep.All();
    RecordingReporter missing;
    EXPECT_FALSE(qp::OpenProject(dir / "none.qpk", missing));
    EXPECT_TRUE(missing.Has("Failed to open document."));
}

TEST(ProjectFileRefusal, HostileCountsTagsAndDepthAreRefused) {
    qp::CDazDoc empty;
    Empty(empty);
    Bytes head = Head(empty) + Text("") + Text("") + Text("");
    auto refused = [](const Bytes& b) {
        qp::CDazDoc d;
        try {
            qp::ReadProjectBytes(d, b.data(), b.size(), "");
        } catch (const qp::FormatError&) {
            return true;
        }
        return false;
    };
    EXPECT_TRUE(refused(head + LE32(0x7FFFFFFF)));  // groups
    EXPECT_TRUE(refused(head + LE32(0xFFFFFFFF)));  // negative
    // A chain of nested folders far deeper than any real tree.
    Bytes deep = head + LE32(1) + Text("G") + Bytes(24, 0) + Text("") + Text("") + Text("") + Zero4() + Text("") + Text("");
    for (int i = 0; i < 5000; ++i) deep = deep + LE32(1) + Text("") + Zero4() + LE32(1);
    EXPECT_TRUE(refused(deep));

    Bytes body = EmptyBody();
    Bytes fn = Text("f") + Text("") + Text("") + Text("") + Zero4();
    Bytes base = Head(empty) + body;
    EXPECT_FALSE(refused(base + LE16(1) + LE16(0xFFFF) + LE16(1) + LE16(13) + Str("CItemFunction") + fn));
    EXPECT_TRUE(refused(base + LE16(1) + LE16(0xFFFF) + LE16(1) + LE16(9) + Str("CItemOther") + fn));
    EXPECT_TRUE(refused(base + LE16(1) + LE16(0xFFFF) + LE16(2) + LE16(13) + Str("CItemFunction") + fn));
    EXPECT_TRUE(refused(base + LE16(1) + LE16(0x8001) + fn));  // class used before it is named
    // A back reference to the first object (index 2) would list one object twice.
    EXPECT_TRUE(refused(base + LE16(2) + LE16(0xFFFF) + LE16(1) + LE16(13) + Str("CItemFunction") + fn + LE16(2)));
    EXPECT_TRUE(refused(base + LE16(0xFFFF) + LE32(0x40000000)));
    // A null entry holds no object.
    auto d = Load(base + LE16(2) + LE16(0) + LE16(0xFFFF) + LE16(1) + LE16(13) + Str("CItemFunction") + fn);
    EXPECT_EQ(d->function_list.size(), 1u);
}

TEST(ProjectFileSave, FailedSaveLeavesThePreviousFileIntact) {
    TempDir dir;
    RecordingReporter rep;
    qp::CDazDoc doc;
    doc.NewProject();
    std::string path = dir / "keep.qpk";
    ASSERT_TRUE(qp::SaveProject(doc, path, rep));
    Bytes before = ReadBytes(path);
    doc.group_list.Add("More");
    doc.SetModifiedFlag();
    // The temporary file beside the target cannot be made: a folder holds its name.
    std::filesystem::create_directory(path + ".qptmp");
    EXPECT_FALSE(qp::SaveProject(doc, path, rep));
    EXPECT_TRUE(rep.Has("Failed to save document."));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(ReadBytes(path), before);
    std::filesystem::remove(path + ".qptmp");
    EXPECT_FALSE(qp::SaveProject(doc, (dir.Path() / "no" / "such" / "dir.qpk").string(), rep));
    ASSERT_TRUE(qp::SaveProject(doc, path, rep));
    EXPECT_NE(ReadBytes(path), before);
    EXPECT_FALSE(std::filesystem::exists(path + ".qptmp"));
}
