// The setup list's byte layout against hand-assembled bytes: header, settings block, every
// record kind in file order, string lists, shifted strings and the end marker.
#include <gtest/gtest.h>

#include <sstream>

#include "common/setuplist.h"
#include "setuplist_bytes.h"

using namespace lsttest;

namespace {

// One of each record, with distinct values in every field so that a swapped field shows.
qp::SetupList PopulatedList() {
    qp::SetupList l;
    for (std::size_t i = 0; i < l.settings.bytes.size(); ++i) l.settings.bytes[i] = static_cast<std::uint8_t>(i * 7);

    qp::GroupRecord g;
    g.name = "Program Files";
    g.shared = 0;
    g.self_register = 1;
    g.restart_if_locked = 2;
    g.compressed = 3;
    g.operating_system_mask = 0x10;
    g.spare = 5;
    g.ftp_location = "ftp://f";
    g.http_location = "http://h";
    g.group_key = "K1";
    g.comment = "c";
    g.overwrite_word = 0x241;
    g.destination = "<TARGETDIR>\\bin";
    g.language_mask = "01";
    g.file_tree.name = "stale name";
    g.file_tree.version = ~0ull;
    qp::FileNode sub;
    sub.kind = qp::FileNode::kFolder;
    sub.name = "sub";
    sub.version = ~0ull;
    qp::FileNode file;
    file.kind = qp::FileNode::kFile;
    file.size = 3;
    file.version = 0x0001000200030004ull;
    file.time = 0x01D0000012345678ull;
    file.name = "C:\\src\\a.exe";
    sub.children.push_back(file);
    g.file_tree.children.push_back(sub);
    l.groups.push_back(g);

    l.components.name = "Components";
    l.components.cd_folder = "cd";
    l.components.functions = {"f1", "", "", "f4"};
    qp::ComponentRecord main;
    main.name = "Main";
    main.description = "DescKey";
    main.status_text = "st";
    main.display_text = "Main prog";
    main.visible = 0;
    main.file_need = 0;
    main.include_in_build = 1;
    main.group_names = {"Program Files"};
    main.required_names = {"Other\\Sub"};
    l.components.children.push_back(main);

    l.folders.name = "Folders";
    qp::FileNode windows;
    windows.folder_id = 1;
    windows.kind = qp::FileNode::kFolder;
    windows.name = "Windows";
    windows.version = ~0ull;
    l.folders.children.push_back(windows);

    qp::SetupTypeRecord t;
    t.name = "Typical";
    t.description = "TYPICAL_DESC";
    t.comment = "cm";
    t.require_component_step = 0;
    t.component_names = {"Main"};
    l.setup_types.push_back(t);

    l.registry.name = "Registry";
    qp::RegistryNode set, hive, key1, key2, value;
    set.kind = qp::RegistryNode::kSet;
    set.name = "RegEntry1";
    set.group_names = {"Program Files"};
    hive.kind = qp::RegistryNode::kHive;
    hive.name = "HKEY_LOCAL_MACHINE";
    key1.kind = qp::RegistryNode::kKey;
    key1.name = "Software";
    key2.kind = qp::RegistryNode::kKey;
    key2.name = "Veltor";
    value.kind = qp::RegistryNode::kString;
    value.flags = 7;
    value.name = "Path";
    value.data = "<TARGETDIR>";
    key2.children.push_back(value);
    key1.children.push_back(key2);
    hive.children.push_back(key1);
    set.children.push_back(hive);
    l.registry.children.push_back(set);

    l.strings.push_back({"PRODUCT_NAME", "", {"Quill", "Plume"}});
    l.strings.push_back({"DLG_WELCOME_TITLE", "c", {"Welcome %P", ""}});
    l.languages.push_back({0, 200});
    l.languages.push_back({5, 150});

    l.shortcuts.name = "Desktop";
    l.shortcuts.folder_option = 1;
    qp::ShortcutNode programs, folder, sc;
    programs.kind = qp::ShortcutNode::kPrograms;
    programs.name = "Programs";
    folder.kind = qp::ShortcutNode::kFolder;
    folder.name = "<SHELL_OBJECT_FOLDER>";
    folder.folder_option = 2;
    sc.kind = qp::ShortcutNode::kShortcut;
    sc.name = "SC_KEY";
    sc.display_text = "Run Me";
    sc.target = "<TARGETDIR>\\a.exe";
    sc.arguments = "-x";
    sc.working_folder = "C:\\w";
    sc.hotkey = "Ctrl+A";
    sc.run_mode = 1;
    sc.icon_file = "i.ico";
    sc.icon_index = 2;
    sc.replace_existing = 0;
    sc.common = 0;
    sc.comment = "desc";
    sc.group_names = {"Program Files"};
    folder.children.push_back(sc);
    programs.children.push_back(folder);
    l.shortcuts.children.push_back(programs);

    l.functions.push_back({"F1", "int", "x.dll", "Go", {"a", "b"}});
    return l;
}

Bytes PopulatedBytes() {
    Bytes settings;
    for (std::size_t i = 0; i < 2188; ++i) settings.push_back(static_cast<std::uint8_t>(i * 7));

    Bytes groups = I(1) + S("Program Files") + I(0) + I(1) + I(2) + I(3) + I(0x10) + I(5) + I(0x10) + S("ftp://f") +
                   S("http://h") + S("K1") + S("c") + I(0x241) + S("<TARGETDIR>\\bin") + S("01") +
                   // the root carries the group's name, not whatever the node held
                   I(0) + I(0) + I(0) + LE32(0xFFFFFFFF) + LE32(0xFFFFFFFF) + Q(0) + S("Program Files") + I(1) +
                   I(0) + I(1) + I(0) + LE32(0xFFFFFFFF) + LE32(0xFFFFFFFF) + Q(0) + S("sub") + I(1) +
                   I(0) + I(2) + I(3) + LE32(0x00030004) + LE32(0x00010002) + LE32(0x12345678) + LE32(0x01D00000) +
                   S("C:\\src\\a.exe") + I(0);

    Bytes components = S("Components") + S("") + S("") + S("") + I(1) + I(2) + I(1) + S("cd") + S("") + S("") +
                       S("") + S("f1") + S("") + S("") + S("f4") + I(1) +
                       S("Main") + S("DescKey") + S("st") + S("Main prog") + I(0) + I(0) + I(1) + S("") + S("") +
                       S("") + S("") + S("") + S("") + S("") + S("") + I(0) + L({"Program Files"}) + L({"Other\\Sub"}) +
                       L({}) + L({});

    Bytes folders = I(0) + I(0) + I(0) + Q(0) + Q(0) + S("Folders") + I(1) +
                    I(1) + I(1) + I(0) + Q(~0ull) + Q(0) + S("Windows") + I(0);

    Bytes types = I(1) + S("Typical") + S("TYPICAL_DESC") + S("") + S("cm") + I(0) + L({"Main"});

    Bytes registry = I(0) + I(0) + S("Registry") + S("") + L({}) + I(1) +
                     I(0) + I(1) + S("RegEntry1") + S("") + L({"Program Files"}) + I(1) +
                     I(0) + I(2) + S("HKEY_LOCAL_MACHINE") + S("") + L({}) + I(1) +
                     I(0) + I(3) + S("Software") + S("") + L({}) + I(1) +
                     I(0) + I(3) + S("Veltor") + S("") + L({}) + I(1) +
                     I(7) + I(4) + S("Path") + S("<TARGETDIR>") + L({}) + I(0);

    Bytes strings = I(2) + S("PRODUCT_NAME") + S("") + L({"Quill", "Plume"}) +
                    S("DLG_WELCOME_TITLE") + S("c") + L({"Welcome %P", ""}) +
                    I(2) + I(0) + I(200) + I(5) + I(150);

    Bytes shortcuts = I(0) + I(1) + S("Desktop") + S("") + I(0) + S("") + S("") + S("") + S("") + I(0) + S("") +
                      I(0) + I(1) + I(1) + S("") + L({}) + I(1) +
                      I(2) + I(0) + S("Programs") + S("") + I(0) + S("") + S("") + S("") + S("") + I(0) + S("") +
                      I(0) + I(1) + I(1) + S("") + L({}) + I(1) +
                      I(4) + I(2) + S("<SHELL_OBJECT_FOLDER>") + S("") + I(0) + S("") + S("") + S("") + S("") + I(0) +
                      S("") + I(0) + I(1) + I(1) + S("") + L({}) + I(1) +
                      I(5) + I(0) + S("SC_KEY") + S("Run Me") + I(0) + S("<TARGETDIR>\\a.exe") + S("-x") + S("C:\\w") +
                      S("Ctrl+A") + I(1) + S("i.ico") + I(2) + I(0) + I(0) + S("desc") + L({"Program Files"}) + I(0);

    Bytes functions = I(1) + S("F1") + S("int") + S("x.dll") + S("Go") + L({"a", "b"});

    return Magic() + I(1) + settings + groups + components + folders + types + registry + strings + shortcuts +
           functions + I(78);
}

}  // namespace

TEST(SetupListFormat, ShiftedStringsAndTheEmptyText) {
    qp::ByteWriter w;
    qp::WriteShiftedString(w, "", "test");
    qp::WriteShiftedString(w, "Az", "test");
    EXPECT_EQ(w.Data(), Bytes({1, 0, 0, 0, 0xD6, 3, 0, 0, 0, 0x17, 0x50, 0xD6}));

    // High bytes wrap around modulo 256 both ways.
    qp::ByteWriter hi;
    qp::WriteShiftedString(hi, "\xFF\x10", "test");
    EXPECT_EQ(hi.Data(), Bytes({3, 0, 0, 0, 0xD5, 0xE6, 0xD6}));
    qp::ByteReader r(hi.Data());
    EXPECT_EQ(qp::ReadShiftedString(r), "\xFF\x10");
    EXPECT_TRUE(r.AtEnd());
}

TEST(SetupListFormat, SmallestListIsHeaderSettingsRootsAndEndMarker) {
    qp::SetupList l;
    // Default-built records: no groups, yet the four roots are written.
    EXPECT_EQ(qp::WriteSetupList(l), SmallestFile());
    EXPECT_EQ(SmallestFile().size(), 2479u);
    qp::SetupList back = qp::ReadSetupList(SmallestFile());
    EXPECT_TRUE(back.groups.empty());
    EXPECT_TRUE(back.components.children.empty());
    EXPECT_EQ(back.shortcuts.common, 1);
}

TEST(SetupListFormat, EveryRecordKindInFileOrder) {
    EXPECT_EQ(qp::WriteSetupList(PopulatedList()), PopulatedBytes());
}

TEST(SetupListFormat, ReaderFillsEveryFieldFromHandAssembledBytes) {
    qp::SetupList l = qp::ReadSetupList(PopulatedBytes());

    EXPECT_EQ(l.settings.bytes[1564], static_cast<std::uint8_t>(1564 * 7));
    EXPECT_EQ(l.settings.bytes[2187], static_cast<std::uint8_t>(2187 * 7));

    ASSERT_EQ(l.groups.size(), 1u);
    const qp::GroupRecord& g = l.groups[0];
    EXPECT_EQ(g.name, "Program Files");
    EXPECT_EQ(g.shared, 0);
    EXPECT_EQ(g.self_register, 1);
    EXPECT_EQ(g.restart_if_locked, 2);
    EXPECT_EQ(g.compressed, 3);
    EXPECT_EQ(g.operating_system_mask, 0x10);
    EXPECT_EQ(g.spare, 5);
    EXPECT_EQ(g.ftp_location, "ftp://f");
    EXPECT_EQ(g.http_location, "http://h");
    EXPECT_EQ(g.group_key, "K1");
    EXPECT_EQ(g.comment, "c");
    EXPECT_EQ(g.overwrite_word, 0x241);
    EXPECT_EQ(g.destination, "<TARGETDIR>\\bin");
    EXPECT_EQ(g.language_mask, "01");
    EXPECT_EQ(g.file_tree.name, "Program Files");
    ASSERT_EQ(g.file_tree.children.size(), 1u);
    ASSERT_EQ(g.file_tree.children[0].children.size(), 1u);
    const qp::FileNode& f = g.file_tree.children[0].children[0];
    EXPECT_EQ(f.kind, qp::FileNode::kFile);
    EXPECT_EQ(f.size, 3);
    EXPECT_EQ(f.version, 0x0001000200030004ull);
    EXPECT_EQ(f.time, 0x01D0000012345678ull);
    EXPECT_EQ(f.name, "C:\\src\\a.exe");

    ASSERT_EQ(l.components.children.size(), 1u);
    const qp::ComponentRecord& c = l.components.children[0];
    EXPECT_EQ(l.components.functions[3], "f4");
    EXPECT_EQ(l.components.cd_folder, "cd");
    EXPECT_EQ(c.description, "DescKey");
    EXPECT_EQ(c.status_text, "st");
    EXPECT_EQ(c.display_text, "Main prog");
    EXPECT_EQ(c.visible, 0);
    EXPECT_EQ(c.file_need, 0);
    EXPECT_EQ(c.group_names, std::vector<std::string>({"Program Files"}));
    EXPECT_EQ(c.required_names, std::vector<std::string>({"Other\\Sub"}));

    ASSERT_EQ(l.folders.children.size(), 1u);
    EXPECT_EQ(l.folders.children[0].folder_id, 1);
    EXPECT_EQ(l.folders.children[0].name, "Windows");

    ASSERT_EQ(l.setup_types.size(), 1u);
    EXPECT_EQ(l.setup_types[0].description, "TYPICAL_DESC");
    EXPECT_EQ(l.setup_types[0].comment, "cm");
    EXPECT_EQ(l.setup_types[0].require_component_step, 0);
    EXPECT_EQ(l.setup_types[0].component_names, std::vector<std::string>({"Main"}));

    const qp::RegistryNode& value = l.registry.children[0].children[0].children[0].children[0].children[0];
    EXPECT_EQ(value.flags, 7);
    EXPECT_EQ(value.kind, qp::RegistryNode::kString);
    EXPECT_EQ(value.data, "<TARGETDIR>");
    EXPECT_EQ(l.registry.children[0].group_names, std::vector<std::string>({"Program Files"}));

    ASSERT_EQ(l.strings.size(), 2u);
    EXPECT_EQ(l.strings[1].comment, "c");
    EXPECT_EQ(l.strings[0].values, std::vector<std::string>({"Quill", "Plume"}));
    ASSERT_EQ(l.languages.size(), 2u);
    EXPECT_EQ(l.languages[1].table_index, 5);
    EXPECT_EQ(l.languages[1].lang_value, 150);

    EXPECT_EQ(l.shortcuts.folder_option, 1);
    const qp::ShortcutNode& sc = l.shortcuts.children[0].children[0].children[0];
    EXPECT_EQ(sc.display_text, "Run Me");
    EXPECT_EQ(sc.target, "<TARGETDIR>\\a.exe");
    EXPECT_EQ(sc.arguments, "-x");
    EXPECT_EQ(sc.working_folder, "C:\\w");
    EXPECT_EQ(sc.hotkey, "Ctrl+A");
    EXPECT_EQ(sc.run_mode, 1);
    EXPECT_EQ(sc.icon_file, "i.ico");
    EXPECT_EQ(sc.icon_index, 2);
    EXPECT_EQ(sc.replace_existing, 0);
    EXPECT_EQ(sc.common, 0);
    EXPECT_EQ(sc.comment, "desc");

    ASSERT_EQ(l.functions.size(), 1u);
    EXPECT_EQ(l.functions[0].dll_path, "x.dll");
    EXPECT_EQ(l.functions[0].function_call, "Go");
    EXPECT_EQ(l.functions[0].parameters, std::vector<std::string>({"a", "b"}));
}

TEST(SetupListFormat, SecondOperatingSystemMaskWins) {
    Bytes group = S("G") + I(1) + I(0) + I(0) + I(1) + I(4) + I(0) + I(8) + S("") + S("") + S("") + S("") + I(1) +
                  S("<TARGETDIR>") + S("") + EmptyFileNode();
    Bytes rest = EmptyBody();
    rest.erase(rest.begin(), rest.begin() + 4);  // its group count of 0
    qp::SetupList l = qp::ReadSetupList(Magic() + I(1) + Zeros(2188) + I(1) + group + rest + I(78));
    ASSERT_EQ(l.groups.size(), 1u);
    EXPECT_EQ(l.groups[0].operating_system_mask, 8);
    EXPECT_EQ(l.groups[0].spare, 0);
}

TEST(SetupListFormat, SaveReplacesTheFileOnlyWhenComplete) {
    qptest::TempDir dir;
    std::string path = dir / "setup.lst";
    qp::SaveSetupList(qp::SetupList(), path);
    EXPECT_EQ(qptest::ReadBytes(path), SmallestFile());
    qp::SaveSetupList(PopulatedList(), path);  // over an existing list
    EXPECT_EQ(qptest::ReadBytes(path), PopulatedBytes());
    EXPECT_EQ(qp::LoadSetupList(path).functions.at(0).name, "F1");

    // A text too long for its field is refused before the old file is touched.
    qp::SetupList bad = PopulatedList();
    bad.shortcuts.children[0].children[0].children[0].target = std::string(260, 'x');
    try {
        qp::SaveSetupList(bad, path);
        FAIL() << "an over-long text was written";
    } catch (const qp::FormatError& e) {
        EXPECT_NE(std::string(e.what()).find("shortcut target"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("260"), std::string::npos) << e.what();
    }
    EXPECT_EQ(qptest::ReadBytes(path), PopulatedBytes());
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    EXPECT_THROW(qp::LoadSetupList(dir / "missing.lst"), qp::IoError);
    EXPECT_THROW(qp::SaveSetupList(PopulatedList(), dir / "no-such-dir/setup.lst"), qp::IoError);
}

TEST(SetupListFormat, LongestTextFitsTheField) {
    qp::SetupList l;
    l.components.name = std::string(259, 'n');
    qp::SetupList back = qp::ReadSetupList(qp::WriteSetupList(l));
    EXPECT_EQ(back.components.name, l.components.name);
}

TEST(SetupListFormat, DumpListsEveryRecord) {
    std::ostringstream out;
    qp::DumpSetupList(qp::ReadSetupList(PopulatedBytes()), out);
    std::string d = out.str();
    for (const char* expected :
         {"group \"Program Files\"", "file \"C:\\\\src\\\\a.exe\" size=3KB version=1.2.3.4", "component \"Main\"",
          "setup type \"Typical\"", "string \"Path\" = \"<TARGETDIR>\" flags=7", "\"PRODUCT_NAME\" = [\"Quill\", \"Plume\"]",
          "shortcut \"SC_KEY\"", "function \"F1\"", "languages (table index/value): 2 0/200 5/150", "end marker 78"}) {
        EXPECT_NE(d.find(expected), std::string::npos) << expected << "\n" << d;
    }
}
