// The builder's SHA-256 against the standard's test vectors, and the manifest values that do
// not need a program: identifiers derived from names, the options refused.
#include <gtest/gtest.h>

#include <string>

#include "builder/kit/sha256.h"
#include "builder/kit/winget.h"

namespace {

std::string Sha(const std::string& text, std::size_t piece = 0) {
    qp::Sha256 s;
    if (piece == 0) {
        s.Update(text.data(), text.size());
    } else {
        for (std::size_t i = 0; i < text.size(); i += piece) s.Update(text.data() + i, std::min(piece, text.size() - i));
    }
    return s.FinalHex();
}

TEST(Sha256, StandardVectorsWholeAndInPieces) {
    const struct {
        std::string text;
        const char* digest;
    } vectors[] = {
        {"", "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855"},
        {"abc", "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248D6A61D20638B8E5C026930C3E6039A33CE45964FF2167F6ECEDD419DB06C1"},
        {std::string(1000000, 'a'), "CDC76E5C9914FB9281A1C7E284D73E67F1809A48A497200E046D39CCC7112CD0"},
        {std::string(55, 'x'), "D5E285683CD4EFC02D021A5C62014694958901005D6F71E89E0989FAC77E4072"},  // padding fits one block
        {std::string(56, 'x'), nullptr},  // padding needs a second block
    };
    for (const auto& v : vectors) {
        const std::string whole = Sha(v.text);
        if (v.digest) {
            EXPECT_EQ(v.digest, whole) << v.text.size() << " bytes";
        }
        for (std::size_t piece : {1u, 7u, 63u, 64u, 65u}) EXPECT_EQ(whole, Sha(v.text, piece)) << piece;
    }
}

TEST(Winget, IdentifierKeepsOnlyWhatTheSchemaAllows) {
    EXPECT_EQ("VeltorSoft.Notepadish", qp::DerivedPackageIdentifier("Veltor Soft", "Notepadish"));
    EXPECT_EQ("ACME.Tool20", qp::DerivedPackageIdentifier("A.C.M.E.", "Tool 2.0")) << "dots would split parts";
    EXPECT_EQ("Co.NameWithoutBadChars", qp::DerivedPackageIdentifier("Co", "Name<With>out:Bad\\Chars?"));
    EXPECT_EQ(std::string(32, 'p') + ".x", qp::DerivedPackageIdentifier(std::string(40, 'p'), "x")) << "parts of 32 at most";
    EXPECT_EQ("", qp::DerivedPackageIdentifier("", "Product"));
    EXPECT_EQ("", qp::DerivedPackageIdentifier("\xC9" "diteur", "...")) << "nothing left of the product name";
}

TEST(Winget, OptionsProblemsNameTheOption) {
    qp::WingetOptions good;
    good.installer_url = "https://example.com/a.exe";
    good.license = "MIT";
    EXPECT_EQ("", qp::WingetOptionsProblem(good));
    const struct {
        void (*change)(qp::WingetOptions&);
        const char* names;
    } cases[] = {
        {[](qp::WingetOptions& o) { o.installer_url.clear(); }, "--installer-url"},
        {[](qp::WingetOptions& o) { o.installer_url = "file:///a.exe"; }, "--installer-url"},
        {[](qp::WingetOptions& o) { o.license.clear(); }, "--license"},
        {[](qp::WingetOptions& o) { o.license = "no"; }, "--license"},
        {[](qp::WingetOptions& o) { o.locale = "english"; }, "--locale"},
        {[](qp::WingetOptions& o) { o.locale = "en-"; }, "--locale"},
        {[](qp::WingetOptions& o) { o.package_identifier = "One"; }, "--package-identifier"},
        {[](qp::WingetOptions& o) { o.package_identifier = "Has Blank.Id"; }, "--package-identifier"},
        {[](qp::WingetOptions& o) { o.package_identifier = "a.b.c.d.e.f.g.h.i"; }, "--package-identifier"},
    };
    for (const auto& c : cases) {
        qp::WingetOptions o = good;
        c.change(o);
        EXPECT_NE(std::string::npos, qp::WingetOptionsProblem(o).find(c.names)) << c.names;
    }
    for (const char* locale : {"en-US", "de", "zh-Hant-TW", "x-klingon", "fil-PH"}) {
        qp::WingetOptions o = good;
        o.locale = locale;
        EXPECT_EQ("", qp::WingetOptionsProblem(o)) << locale;
    }
}

}  // namespace
