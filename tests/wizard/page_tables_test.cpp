// Page tables and the in-memory dialog template, against hand-assembled bytes.
#include <gtest/gtest.h>

#include "setup/wizard/page_tables.h"
#include "support/testutil.h"

using namespace qp::wiz;
using qptest::Bytes;
using qptest::LE16;
using qptest::LE32;
using qptest::operator+;

namespace {

Bytes W(const std::string& s) {
    Bytes b;
    for (char ch : s) b = b + LE16(static_cast<unsigned char>(ch));
    return b + LE16(0);
}

std::u16string Key(const std::string& key) {
    std::u16string out;
    for (char ch : "[" + key + "]") out += static_cast<char16_t>(ch);
    return out;
}

}  // namespace

TEST(PageTables, InteriorPagesStartWithTheSharedControls) {
    auto c = PageControls(3);
    ASSERT_EQ(c.size(), 10u);
    EXPECT_EQ(c[0].id, 1003);
    EXPECT_EQ(c[6].id, 1033);
    EXPECT_STREQ(c[6].key, "DLG_README_TITLE");
    EXPECT_STREQ(c[7].key, "DLG_README_COMMENT");
    EXPECT_EQ(c[9].id, 1031);
    auto p18 = PageControls(18);
    EXPECT_STREQ(p18[6].key, "DLG_ADDREMOVE_TITLE");
    EXPECT_EQ(p18.size(), PageControls(10).size());
    EXPECT_EQ(PageControls(1).size(), 8u);  // exterior: its own controls only
    EXPECT_EQ(PageControls(13).size(), 8u);
    EXPECT_TRUE(PageControls(14).empty());
    EXPECT_EQ(PageControls(7)[11].cls, kClassNamed);
}

TEST(PageTables, TemplateBytes) {
    std::vector<ControlRecord> controls = {
        {"NEXTBUT", kClassButton, nullptr, 1003, 215, 195, 265, 209, 0x50010001, 0},
        {"", kClassNamed, "SysTreeView32", -1, 25, 40, 151, 150, 0x50810007, 0x200},
    };
    Bytes header = LE16(1) + LE16(0xFFFF) + LE32(0) + LE32(0) + LE32(0x80C800C4) + LE16(2) +
                   LE16(20) + LE16(10) + LE16(332) + LE16(220) + LE16(0) + LE16(0) + W("Setup") +
                   LE16(8) + LE16(0) + Bytes{0, 0} + W("MS Sans Serif");
    Bytes expected = header;
    while (expected.size() % 4) expected.push_back(0);
    expected = expected + LE32(0) + LE32(0) + LE32(0x50010001 | 0x40000000) + LE16(215) +
               LE16(195) + LE16(50) + LE16(14) + LE32(1003) + LE16(0xFFFF) + LE16(0x80) +
               W("[NEXTBUT]") + LE16(0);
    while (expected.size() % 4) expected.push_back(0);
    expected = expected + LE32(0) + LE32(0x200) + LE32(0x50810007 | 0x40000000) + LE16(25) +
               LE16(40) + LE16(126) + LE16(110) + LE32(0xFFFFFFFF) + W("SysTreeView32") +
               W("") + LE16(0);
    while (expected.size() % 4) expected.push_back(0);
    EXPECT_EQ(BuildTemplate(controls, Key), expected);
}
