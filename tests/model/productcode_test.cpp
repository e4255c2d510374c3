// The product GUID as builds set it: the GUID text forms, name-based GUIDs, the GUID a build
// gives a project, the GUID stored into a project file, and product strings for one build
// (the command-line tests cover the derivation for imported trees and the key refusals).
#include <gtest/gtest.h>

#include "builder/model/productcode.h"
#include "builder/model/projectfile.h"
#include "support/testutil.h"

namespace {

TEST(ProductCode, GuidTextIsReadInEitherCaseAndWrittenInTheBuildersForm) {
    std::string out;
    ASSERT_TRUE(qp::ParseGuidText("{8a3e5f10-2b7c-4D19-9e62-5c0f1a2b3c4d}", out));
    EXPECT_EQ("{8A3E5F10-2B7C-4d19-9E62-5C0F1A2B3C4D}", out);
    ASSERT_TRUE(qp::ParseGuidText("8A3E5F10-2B7C-4D19-9E62-5C0F1A2B3C4D", out));
    EXPECT_EQ("{8A3E5F10-2B7C-4d19-9E62-5C0F1A2B3C4D}", out);
    for (const char* bad : {"", "{}", "{8A3E5F10-2B7C-4D19-9E62-5C0F1A2B3C4D", "{8A3E5F10-2B7C-4D19-9E62+5C0F1A2B3C4D}",
                            "{8A3E5F10-2B7C-4D19-9E62-5C0F1A2B3C4G}", "{8A3E5F10-2B7C-4D19-9E6-25C0F1A2B3C4D}",
                            "{8A3E5F10-2B7C-4D19-9E62-5C0F1A2B3C4D}x"})
        EXPECT_FALSE(qp::ParseGuidText(bad, out)) << bad;
}

TEST(ProductCode, NameBasedGuidsFollowTheStandardDerivation) {
    // Values computed independently (Python's uuid.uuid5 with the same namespace).
    EXPECT_EQ("{AC1E0094-86BA-5b6c-A358-5B81B6C3BB99}", qp::NameBasedGuid(""));
    EXPECT_EQ("{29EB070C-B175-53d2-98E7-B4154F1C21D0}", qp::NameBasedGuid("Quillpacker"));
    // Namespace and name fill one hash block exactly up to the padding (39), spill the
    // padding into a second block (40), and take two blocks (60, 61).
    EXPECT_EQ("{207CB899-6AA5-5c7f-9291-3B5F99BD92C4}", qp::NameBasedGuid(std::string(39, 'x')));
    EXPECT_EQ("{2E8771AA-0A7A-5988-8500-D45EC4948D43}", qp::NameBasedGuid(std::string(40, 'x')));
    EXPECT_EQ("{740C463C-78EB-5924-8B38-63E454E1EA2A}", qp::NameBasedGuid(std::string(60, 'x')));
    EXPECT_EQ("{C51DAD77-FACA-5ded-93A5-EF34B62F6870}", qp::NameBasedGuid(std::string(61, 'x')));
}

// The builder's window build calls this through the kit build: the GUID must survive a save.
TEST(ProductCode, BuildGivesAProjectWithoutGuidOneAndMarksItModified) {
    qp::CDazDoc doc;
    ASSERT_EQ("", doc.settings_block.product_guid());
    bool told = false;
    doc.on_modified_changed = [&](bool m) { told = m; };
    ASSERT_TRUE(doc.EnsureProductGuid());
    const std::string guid = doc.settings_block.product_guid();
    EXPECT_EQ(38u, guid.size());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(told);
    // A project that has one keeps it and stays as it was.
    doc.SetModifiedFlag(false);
    ASSERT_TRUE(doc.EnsureProductGuid());
    EXPECT_EQ(guid, doc.settings_block.product_guid());
    EXPECT_FALSE(doc.IsModified());
}

TEST(ProductCode, StoredGuidIsReadBackAndNeverReplacesOne) {
    qptest::TempDir dir;
    qp::CDazDoc doc;
    doc.AddLanguage(0);
    qptest::RecordingReporter rec;
    const std::string path = dir / "p.qpk";
    ASSERT_TRUE(qp::SaveProject(doc, path, rec));
    const std::string guid = "{8A3E5F10-2B7C-4d19-9E62-5C0F1A2B3C4D}";
    ASSERT_TRUE(qp::StoreProductGuid(path, guid, rec)) << rec.All();
    const auto after = qptest::ReadBytes(path);
    auto loaded = qp::OpenProject(path, rec);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(guid, loaded->settings_block.product_guid());

    EXPECT_FALSE(qp::StoreProductGuid(path, "{00000000-0000-0000-0000-000000000001}", rec)) << "a GUID is never replaced";
    EXPECT_EQ(after, qptest::ReadBytes(path));
    qptest::WriteText(dir / "junk.qpk", std::string(400, 'x'));
    EXPECT_FALSE(qp::StoreProductGuid(dir / "junk.qpk", guid, rec));
    EXPECT_EQ(std::string(400, 'x'), qptest::ReadText(dir / "junk.qpk"));
}

TEST(ProductCode, BuildStringsReachEveryLanguageAndRefuseWizardTexts) {
    qp::CDazDoc doc;
    doc.AddLanguage(0);
    doc.AddLanguage(2);
    EXPECT_EQ(qp::BuildStringResult::kAdded, qp::SetBuildString(doc, "DisplayVersion", "2.1"));
    EXPECT_EQ((std::vector<std::string>{"2.1", "2.1"}), doc.FindString("DisplayVersion")->values);
    EXPECT_EQ(qp::BuildStringResult::kChanged, qp::SetBuildString(doc, "product_version", "3"));
    EXPECT_EQ("3", doc.FindString("PRODUCT_VERSION")->Value(1));
    EXPECT_EQ(qp::BuildStringResult::kWizardText, qp::SetBuildString(doc, "dlg_welcome_title", "x"));
    EXPECT_EQ(qp::BuildStringResult::kTooLong, qp::SetBuildString(doc, "LONG", std::string(260, 'v')));
    EXPECT_EQ(qp::BuildStringResult::kAdded, qp::SetBuildString(doc, "LONG", std::string(259, 'v')));
    EXPECT_NE("x", doc.FindString("DLG_WELCOME_TITLE")->Value(0));
    // A project without languages still carries the value (as language 0's).
    qp::CDazDoc bare;
    qp::SetBuildString(bare, "DisplayVersion", "1.0");
    EXPECT_EQ("1.0", bare.FindString("DisplayVersion")->Value(0));
}

}  // namespace
