// Text lookup and language preselection.
#include <gtest/gtest.h>

#include "setup/wizard/language_choice.h"
#include "setup/wizard/texts.h"

using namespace qp::wiz;

namespace {
Texts Sample() {
    Texts t({{"PRODUCT_NAME", {"Gizmo", "Gizmo DE"}},
             {"TITLE", {"  Setup of %P  ", ""}},
             {"TWO", {" %P and %P ", "x"}},
             {"LOWER", {"%p\\nnext", "y"}},
             {"ONLYFIRST", {"first"}},
             {"EMPTY", {"", ""}}});
    t.ResolveProductName();
    return t;
}
}  // namespace

TEST(Texts, TrimsOneTrailingBlankAndAllLeading) {
    Texts t = Sample();
    EXPECT_EQ(t.Get("title"), "Setup of Gizmo ");
    EXPECT_EQ(t.Get("TWO"), "Gizmo and %P");
    EXPECT_EQ(t.Get("LOWER"), "Gizmo\r\nnext");
}

TEST(Texts, LanguageFallbackAndMisses) {
    Texts t = Sample();
    t.SetLanguage(1);
    EXPECT_EQ(t.Get("TITLE"), "Setup of Gizmo ");  // empty value falls back to language 0
    std::string out = "junk";
    EXPECT_FALSE(t.Lookup("ONLYFIRST", out));  // no value for language 1 at all
    EXPECT_EQ(out, "");
    EXPECT_FALSE(t.Lookup("", out));
    EXPECT_FALSE(t.Lookup("NOPE", out));
    EXPECT_TRUE(t.Lookup("EMPTY", out));
    EXPECT_EQ(t.Get("NOPE", "dflt"), "dflt");
}

TEST(LanguageChoice, Preselection) {
    // English 0009, English (US) 0409, English(U.K.) 0809, German 0007
    std::vector<std::uint16_t> ids = {0x0009, 0x0409, 0x0809, 0x0007};
    EXPECT_EQ(PreselectLanguage(ids, 0x0409), 1u);
    EXPECT_EQ(PreselectLanguage(ids, 0x0C09), 2u);  // sub-language missing: last English
    EXPECT_EQ(PreselectLanguage(ids, 0x0407), 3u);
    EXPECT_EQ(PreselectLanguage(ids, 0x040C), 0u);  // no French at all: first entry
    EXPECT_EQ(PreselectLanguage({0x1809, 0x1809, 0x0009}, 0x1809), 1u);  // last exact match
    EXPECT_EQ(PreselectLanguage({}, 0x0409), 0u);
}
