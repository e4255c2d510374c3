// The editors' portable rules: the hex buffer, the registry value conversions, the window-state
// choice, the string grid's filter, edits and deletes.
#include <gtest/gtest.h>

#include "builder/model/edits.h"
#include "builder/ui/logic/gridmodel.h"
#include "builder/ui/logic/hexbuffer.h"
#include "builder/ui/logic/regvalue.h"
#include "builder/ui/logic/stringview.h"

using Bytes = std::vector<std::uint8_t>;

namespace {
qp::HexBuffer Buffer(const Bytes& bytes, int digits = 2) {
    qp::HexBuffer b;
    b.SetDigitsInData(digits);
    qp::HexDataArg arg;
    arg.size = bytes.size();
    arg.data = bytes.data();
    EXPECT_EQ(b.SetData(arg, 0), qp::kHexOk);
    return b;
}
void TypeText(qp::HexBuffer& b, const char* text) {
    for (; *text; ++text) b.Type(*text);
}
}  // namespace

TEST(HexBuffer, TypingFillsOneUnitOfEachSize) {
    struct Row {
        int digits;
        const char* typed;
        Bytes expected;
        int caret_unit;
    } rows[] = {
        {2, "A5", {0xA5, 0x22, 0x33, 0x44}, 1},
        {2, "7", {0x71, 0x22, 0x33, 0x44}, 0},      // first digit is the high nibble
        {4, "BEEF", {0xEF, 0xBE, 0x33, 0x44}, 1},   // a 16-bit unit, little-endian
        {8, "01020304", {0x04, 0x03, 0x02, 0x01}, 1},
    };
    for (const Row& r : rows) {
        qp::HexBuffer b = Buffer({0x11, 0x22, 0x33, 0x44}, r.digits);
        TypeText(b, r.typed);
        EXPECT_EQ(b.Data(), r.expected) << r.digits << " " << r.typed;
        EXPECT_EQ(b.CaretUnit(), r.caret_unit) << r.typed;
        EXPECT_TRUE(b.data_modified);
    }
}

TEST(HexBuffer, InsertOverwriteAndEndOfData) {
    qp::HexBuffer over = Buffer({0x11, 0x22});
    EXPECT_FALSE(over.Type('x'));  // not a digit: passed on
    over.PlaceCaret(2, 0, false, false);
    TypeText(over, "FF");  // past the end, fixed size: ignored
    EXPECT_EQ(over.Data(), (Bytes{0x11, 0x22}));
    EXPECT_FALSE(over.data_modified);

    qp::HexBuffer ins = Buffer({0x11, 0x22});
    ins.insert_mode = true;
    ins.PlaceCaret(1, 0, false, false);
    TypeText(ins, "AB");
    EXPECT_EQ(ins.Data(), (Bytes{0x11, 0xAB, 0x22}));
    ins.PlaceCaret(3, 0, false, false);
    TypeText(ins, "C");
    EXPECT_EQ(ins.Data(), (Bytes{0x11, 0xAB, 0x22, 0xC0}));

    // A selection typed over: replaced by one unit when the size may change, else only cleared.
    qp::HexBuffer grow = Buffer({1, 2, 3, 4});
    grow.allow_change_size = true;
    grow.PlaceCaret(1, 0, false, false);
    grow.PlaceCaret(2, 0, false, true);
    TypeText(grow, "9");
    EXPECT_EQ(grow.Data(), (Bytes{1, 0x90, 4}));
    qp::HexBuffer fixed = Buffer({1, 2, 3, 4});
    fixed.PlaceCaret(3, 0, false, false);
    fixed.PlaceCaret(1, 0, false, true);
    TypeText(fixed, "9");
    EXPECT_EQ(fixed.Data(), (Bytes{1, 0x92, 3, 4}));  // at the caret, where the drag ended

    qp::HexBuffer chars = Buffer({0, 0});
    ASSERT_TRUE(chars.SwitchArea());
    TypeText(chars, "Hi!");  // the third has no room
    EXPECT_EQ(chars.Data(), (Bytes{'H', 'i'}));
    EXPECT_EQ(chars.RowText(0), "0000  48 69                    Hi      ");
}

TEST(HexBuffer, PasteRules) {
    struct Row {
        bool insert, allow_size;
        int caret, sel_first, sel_last;
        Bytes pasted, expected;
    } rows[] = {
        {false, false, 3, -1, -1, {0xAA, 0xBB}, {1, 2, 3, 0xAA}},           // cut at the end
        {false, true, 3, -1, -1, {0xAA, 0xBB}, {1, 2, 3, 0xAA, 0xBB}},      // grows
        {false, false, 0, 1, 2, {0xAA, 0xBB, 0xCC}, {1, 0xAA, 0xBB, 4}},    // cut to the selection
        {true, false, 1, -1, -1, {0xAA}, {1, 0xAA, 2, 3, 4}},
    };
    for (const Row& r : rows) {
        qp::HexBuffer b = Buffer({1, 2, 3, 4});
        b.insert_mode = r.insert;
        b.allow_change_size = r.allow_size;
        b.PlaceCaret(r.sel_first >= 0 ? r.sel_first : r.caret, 0, false, false);
        if (r.sel_first >= 0) b.PlaceCaret(r.sel_last, 0, false, true);
        b.Paste(r.pasted);
        EXPECT_EQ(b.Data(), r.expected) << r.caret << " insert " << r.insert;
    }
    // In insert mode with 16-bit units room is made in whole units.
    qp::HexBuffer wide = Buffer({1, 2}, 4);
    wide.insert_mode = true;
    wide.Paste({0xAA});
    EXPECT_EQ(wide.Data(), (Bytes{0xAA, 0, 1, 2}));
}

TEST(HexBuffer, SelectionCopyCutAndSelectAll) {
    qp::HexBuffer b = Buffer({1, 2, 3, 4, 5});
    EXPECT_TRUE(b.Copy().empty());
    b.PlaceCaret(1, 0, false, false);
    b.Move(qp::HexKey::kRight, true, 1);
    b.Move(qp::HexKey::kRight, true, 1);
    EXPECT_EQ(b.Copy(), (Bytes{2, 3}));
    Bytes cut;
    EXPECT_FALSE(b.Cut(cut));  // fixed size
    b.allow_change_size = true;
    ASSERT_TRUE(b.Cut(cut));
    EXPECT_EQ(cut, (Bytes{2, 3}));
    EXPECT_EQ(b.Data(), (Bytes{1, 4, 5}));
    b.SelectAll();
    EXPECT_EQ(b.Copy(), (Bytes{1, 4, 5}));
    EXPECT_EQ(b.CaretUnit(), 0);
}

TEST(HexBuffer, PropertiesAndSetDataRefusals) {
    qp::HexBuffer b = Buffer({7});
    EXPECT_FALSE(b.SetDigitsInAddress(6));
    EXPECT_EQ(b.DigitsInAddress(), 4);
    EXPECT_TRUE(b.SetDigitsInAddress(8));
    EXPECT_FALSE(b.SetDigitsInData(3));
    EXPECT_FALSE(b.SetColumns(-1));
    EXPECT_FALSE(b.SetFontHeight(7));
    EXPECT_EQ(b.Columns(), 8);
    EXPECT_EQ(b.FontHeight(), 14);

    const Bytes other{1, 2};
    qp::HexDataArg two_d;
    two_d.dimensions = 2;
    two_d.size = 2;
    two_d.data = other.data();
    EXPECT_EQ(b.SetData(two_d, 0), qp::kHexInvalidArg);
    qp::HexDataArg words = two_d;
    words.dimensions = 1;
    words.bytes = false;
    EXPECT_EQ(b.SetData(words, 0), qp::kHexInvalidArg);
    qp::HexDataArg huge = two_d;
    huge.dimensions = 1;
    huge.size = 0x80000000ull;
    EXPECT_EQ(b.SetData(huge, 0), qp::kHexOutOfMemory);
    EXPECT_EQ(b.Data(), (Bytes{7}));  // kept
    EXPECT_EQ(b.DataText(), "07");
    huge.size = 2;
    EXPECT_EQ(b.SetData(huge, 0x1000), qp::kHexOk);
    EXPECT_EQ(b.RowText(0).substr(0, 10), "00001000  ");
}

TEST(RegistryValues, DwordAndBinaryConversions) {
    EXPECT_EQ(qp::SwitchDwordBase("ff", true), "255");
    EXPECT_EQ(qp::SwitchDwordBase("255", false), "ff");
    EXPECT_EQ(qp::DwordData("300", true), "12c");
    EXPECT_EQ(qp::DwordData("-1", true), "ffffffff");
    EXPECT_EQ(qp::DwordData("00FF", false), "ff");
    EXPECT_EQ(qp::DwordData("", false), "0");
    EXPECT_EQ(qp::SwitchDwordBase("ffffffff", true), "4294967295");

    EXPECT_EQ(qp::BinaryBytes("0A1"), (Bytes{0x0A}));
    EXPECT_EQ(qp::BinaryData(qp::BinaryBytes("0A1")), "0A");
    EXPECT_EQ(qp::BinaryBytes("ffG1"), (Bytes{0xFF, 0}));
    EXPECT_EQ(qp::BinaryData({}), "");
}

TEST(RunMode, ChoicesMapOntoWhatTheRuntimeReads) {
    // 0 normal, 1 maximised, 2 minimised at install time.
    EXPECT_EQ(qp::RunModeOfChoice(0), 1);  // "Maximized Window"
    EXPECT_EQ(qp::RunModeOfChoice(1), 2);  // "Minimized Window"
    EXPECT_EQ(qp::RunModeOfChoice(2), 0);  // "Normal Window"
    for (int choice = 0; choice < qp::kRunChoiceCount; ++choice)
        EXPECT_EQ(qp::ChoiceOfRunMode(qp::RunModeOfChoice(choice)), choice);
    EXPECT_STREQ(qp::RunModeText(0), "Normal Window");
    EXPECT_STREQ(qp::RunModeText(7), "Normal Window");  // unknown values run normal
    EXPECT_STREQ(qp::RunModeText(-1), "Normal Window");
}

namespace {
struct Table {
    qp::CDazDoc doc;
    Table() {
        for (int lang : {0, 1, 2}) {
            doc.string_table.language_list.push_back(std::make_unique<qp::CLangItem>(lang));
            doc.string_table.language_list.back()->shown = 1;
        }
        doc.string_table.items.clear();
        Add("MY_A", 0);
        Add("PRODUCT_NAME", 1);
        Add("DLG_TITLE", 2);
        Add("MY_B", 0);
        Add("HIDDEN", 4);
    }
    void Add(const char* key, int category) {
        auto s = std::make_unique<qp::CStringItem>(key, category);
        s->values = {std::string(key) + "0", std::string(key) + "1", std::string(key) + "2"};
        doc.string_table.Add(std::move(s));
    }
};
}  // namespace

TEST(StringGrid, CategoryFilterAndColumns) {
    Table t;
    qp::GridModel g;
    qp::StringFilter f;
    qp::FillStringGrid(g, t.doc.string_table, f, false);
    ASSERT_EQ(g.Rows(), 4);  // header, MY_A, PRODUCT_NAME, MY_B
    EXPECT_EQ(g.Text(3, 1), "MY_B");
    f.user = false;
    f.project = false;
    f.resources = true;
    qp::FillStringGrid(g, t.doc.string_table, f, true);
    ASSERT_EQ(g.Rows(), 2);
    EXPECT_EQ(g.Text(1, 1), "DLG_TITLE");
    EXPECT_FALSE(qp::MayEditCell(g, 1, 1));  // key of a wizard text: read-only
    EXPECT_TRUE(qp::MayEditCell(g, 1, 2));
    EXPECT_EQ(g.FixedCols(), 2);

    // Language 1 hidden: the column after "ID" is language 0, the next language 2.
    t.doc.string_table.language_list[1]->shown = 0;
    t.doc.string_table.language_list[2]->lang_value = 333;
    qp::FillStringGrid(g, t.doc.string_table, qp::StringFilter{}, false);
    ASSERT_EQ(g.Cols(), 4);
    EXPECT_EQ(g.ColWidth(3), 333);
    ASSERT_TRUE(qp::StoreCell(g, t.doc.string_table, 1, 3, "third"));
    EXPECT_EQ(t.doc.string_table.items[0]->Value(2), "third");
    EXPECT_EQ(t.doc.string_table.items[0]->Value(1), "MY_A1");
    g.SetColWidth(3, 120);
    qp::StoreColumnWidths(&g, t.doc.string_table);
    EXPECT_EQ(t.doc.string_table.language_list[2]->lang_value, 120);
    qp::StoreColumnWidths(nullptr, t.doc.string_table);
    EXPECT_EQ(t.doc.string_table.language_list[2]->lang_value, 200);
}

TEST(StringGrid, KeyEditsRefuseDuplicatesAndDeleteTakesOnlyAuthorStrings) {
    Table t;
    qp::GridModel g;
    qp::FillStringGrid(g, t.doc.string_table, qp::StringFilter{}, false);
    struct Row {
        const char* key;
        bool stored;
    } rows[] = {{"product_name", false}, {"my_b", false}, {"", false}, {"my_a", true}, {"NEW_KEY", true}};
    for (const Row& r : rows) EXPECT_EQ(qp::StoreCell(g, t.doc.string_table, 1, 1, r.key), r.stored) << r.key;
    EXPECT_EQ(t.doc.string_table.items[0]->key, "NEW_KEY");
    EXPECT_FALSE(qp::StoreCell(g, t.doc.string_table, 2, 1, "OTHER"));  // category 1: key fixed

    // Rows 1..3 span MY_A, PRODUCT_NAME and MY_B: only the author's two go.
    EXPECT_EQ(qp::DeleteAuthorStrings(g, t.doc.string_table, 1, 3), 2);
    ASSERT_EQ(t.doc.string_table.items.size(), 3u);
    EXPECT_EQ(t.doc.string_table.items[0]->key, "PRODUCT_NAME");
    qp::CStringItem* s = qp::NewAuthorString(t.doc);
    EXPECT_EQ(s->category, 0);
    EXPECT_EQ(s->values.size(), 3u);
    EXPECT_EQ(qp::PastedCellText(std::string(300, 'x')).size(), 255u);
}

TEST(GridModel, NavigationStaysInScrollableCellsAndScrolls) {
    qp::GridModel g;
    g.SetSize(2001, 10);
    g.SetFixed(1, 2);
    for (int c = 0; c < 10; ++c) g.SetColWidth(c, 100);
    g.SetCursor(0, 0);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.Col(), 2);
    g.Navigate(qp::GridNav::kPageDown, false, 20);
    g.Navigate(qp::GridNav::kDown, true, 20);
    EXPECT_EQ(g.SelStartRow(), 21);
    EXPECT_EQ(g.SelEndRow(), 22);
    g.Navigate(qp::GridNav::kLast, false, 20);
    g.EnsureVisible(20, 500);
    EXPECT_EQ(g.Row(), 2000);
    EXPECT_EQ(g.TopRow(), 1981);
    EXPECT_EQ(g.LeftCol(), 7);  // 2 fixed + 3 scrollable columns of 100 fit in 500
    int row = 0, col = 0;
    ASSERT_TRUE(g.HitTest(250, 5, 18, row, col));
    EXPECT_EQ(row, 0);
    EXPECT_EQ(col, 7);
    ASSERT_TRUE(g.HitTest(50, 20, 18, row, col));
    EXPECT_EQ(row, 1981);
    EXPECT_EQ(col, 0);
}

TEST(RegistryValues, RenameRefusesANameAnyValueOfTheKeyHas) {
    qp::CDazDoc doc;
    qp::ProjectEdits edits(doc);
    qp::CRegistry* key = doc.registry_root.AddChild(qp::CRegistry::kKey, "Software");
    key->AddChild(qp::CRegistry::kDword, "FontSize");
    key->AddChild(qp::CRegistry::kKey, "Sub");
    qp::CRegistry* text = key->AddChild(qp::CRegistry::kString, "Name");
    EXPECT_EQ(edits.RenameRegistry(*text, "fontsize"), qp::RenameResult::kDuplicate);
    EXPECT_EQ(edits.RenameRegistry(*text, "Sub"), qp::RenameResult::kRenamed);  // a key's name is another name space
    EXPECT_EQ(edits.RenameRegistry(*text, ""), qp::RenameResult::kEmpty);
}

// A shortcut still called as it was made takes the name of the file its target names; a name
// of the author's, or a target that names no file, leaves the name.
TEST(LinkWindow, NewShortcutIsNamedAfterItsTarget) {
    struct Row {
        const char* name;
        const char* target;
        const char* wanted;  // "" : the name stays
    } rows[] = {
        {"New shortcut#1", "<TARGETDIR>\\notepad.exe", "notepad"},
        {"new SHORTCUT#12", "<TARGETDIR>\\bin\\tool.v2.cmd", "tool.v2"},
        {"New shortcut#3", "\"<TARGETDIR>\\My App.exe\" -x", "My App"},
        {"New shortcut#4", "C:/Tools/readme", "readme"},
        {"New shortcut#5", ".profile", ".profile"},
        {"New shortcut#6", "", ""},
        {"New shortcut#7", "<TARGETDIR>", ""},
        {"New shortcut#8", "<TARGETDIR>\\Docs\\", ""},
        {"Editor", "<TARGETDIR>\\notepad.exe", ""},
        {"New shortcut#", "<TARGETDIR>\\notepad.exe", ""},
        {"New shortcut#1x", "<TARGETDIR>\\notepad.exe", ""},
        {"New folder#1", "<TARGETDIR>\\notepad.exe", ""},
    };
    for (const Row& r : rows) {
        qp::CObListShort s(qp::CObListShort::kShortcut, r.name);
        s.target = r.target;
        EXPECT_EQ(qp::NameFromTarget(s), r.wanted) << r.name << " / " << r.target;
    }
    qp::CObListShort folder(qp::CObListShort::kProgramFolder, "New shortcut#1");
    folder.target = "<TARGETDIR>\\notepad.exe";
    EXPECT_EQ(qp::NameFromTarget(folder), "") << "a program folder keeps its name";
}
