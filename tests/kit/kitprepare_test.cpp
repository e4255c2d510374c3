// The kit-build policy that qpbc and qpb share: which product GUID a kit gets (given, kept,
// derived for an ".ipr", made once and kept in the ".qpk"), where side files named without a
// folder are taken from, and the refused product strings.
#include <gtest/gtest.h>

#include "builder/kit/kitprepare.h"
#include "builder/model/productcode.h"
#include "builder/model/projectfile.h"
#include "common/pathutil.h"
#include "kit_fixture.h"
#include "support/testutil.h"

namespace {

constexpr char kGiven[] = "{8A3E5F10-2B7C-4D19-9E62-5C0F1A2B3C4D}";
constexpr char kStored[] = "{11111111-2222-3333-4444-555555555555}";

enum class Path { kSavedQpk, kIpr, kMissingQpk, kNone };

struct GuidCase {
    const char* what;
    Path path;
    const char* stored;  // the project's GUID before the build ("" none)
    const char* given;   // the GUID given for the build ("" none)
    qp::KitPrepareStatus status;
    // "stored", "given", "derived", "made" (a new one, kept in the file when there is one)
    const char* gets;
};

const GuidCase kGuidCases[] = {
    {"a .qpk keeps its GUID", Path::kSavedQpk, kStored, "", qp::KitPrepareStatus::kReady, "stored"},
    {"a given GUID wins over the project's", Path::kSavedQpk, kStored, kGiven, qp::KitPrepareStatus::kReady, "given"},
    {"an .ipr without one gets the derived GUID", Path::kIpr, "", "", qp::KitPrepareStatus::kReady, "derived"},
    {"an .ipr with a given GUID takes it", Path::kIpr, "", kGiven, qp::KitPrepareStatus::kReady, "given"},
    {"a .qpk without one gets one, kept in the file", Path::kSavedQpk, "", "", qp::KitPrepareStatus::kReady, "made"},
    {"a project never saved keeps the new one in the document", Path::kNone, "", "", qp::KitPrepareStatus::kReady, "made"},
    {"a GUID that cannot be kept stops the build", Path::kMissingQpk, "", "", qp::KitPrepareStatus::kFailed, ""},
};

TEST(KitPrepare, ProductGuid) {
    for (const GuidCase& c : kGuidCases) {
        SCOPED_TRACE(c.what);
        qptest::TempDir dir;
        auto doc = kittest::SmallProject(dir);
        doc->settings_block.set_product_guid(c.stored);
        qp::KitPrepareOptions options;
        if (c.path == Path::kSavedQpk) options.project_path = kittest::SaveSmallProject(dir);
        if (c.path == Path::kIpr) options.project_path = dir / "Tree.IPR";
        if (c.path == Path::kMissingQpk) options.project_path = dir / "gone/proj.qpk";
        if (c.path == Path::kSavedQpk) kittest::SaveProjectTo(*doc, options.project_path);
        options.product_code = c.given;
        options.guid_advice = "give one with --product-code";
        doc->SetModifiedFlag(false);
        qp::KitBuildParams params;
        qptest::RecordingReporter reporter;
        const qp::KitPreparation p = qp::PrepareKitBuild(*doc, options, params, reporter);
        ASSERT_EQ(p.status, c.status) << reporter.All();
        if (c.status != qp::KitPrepareStatus::kReady) {
            EXPECT_TRUE(reporter.Has("the project has no product GUID and the new one could not be kept; give one with --product-code"))
                << reporter.All();
            continue;
        }
        const std::string gets = c.gets, guid = doc->settings_block.product_guid();
        EXPECT_EQ(p.product_code, guid);
        EXPECT_EQ(guid.size(), 38u) << guid;
        if (gets == "stored") { EXPECT_EQ(guid, kStored); }
        if (gets == "given") { EXPECT_EQ(guid, kGiven); }
        if (gets == "derived") {
            EXPECT_EQ(guid, qp::ImportedProductGuid(*doc, options.project_path));
            EXPECT_TRUE(doc->IsModified()) << "a save would lose the derived GUID";
        }
        if (gets == "made") {
            EXPECT_NE(guid, kStored);
            EXPECT_TRUE(doc->IsModified());
            if (!options.project_path.empty()) {
                qp::NullReporter quiet;
                auto again = qp::OpenProject(options.project_path, quiet);
                ASSERT_TRUE(again);
                EXPECT_EQ(again->settings_block.product_guid(), guid) << "the next build would be another product";
            }
        }
    }
}

TEST(KitPrepare, SideFilesComeFromTheProjectFolderAndTheDocumentKeepsItsOwn) {
    qptest::TempDir dir;
    auto doc = kittest::SmallProject(dir);
    doc->settings_block.set_product_guid(kStored);
    const std::string absolute = dir / "art/setup.bmp";
    doc->side_file_paths[0] = absolute;
    doc->side_file_paths[1] = "readme.txt";
    doc->side_file_paths[2] = "";
    qp::KitPrepareOptions options;
    options.project_path = dir / "proj.qpk";
    qp::KitBuildParams params;
    qptest::RecordingReporter reporter;
    ASSERT_EQ(qp::PrepareKitBuild(*doc, options, params, reporter).status, qp::KitPrepareStatus::kReady);
    ASSERT_EQ(params.side_files.size(), 3u);
    EXPECT_EQ(params.side_files[0], absolute);
    EXPECT_EQ(params.side_files[1], qp::JoinPath(qp::FolderOf(options.project_path), "readme.txt"));
    EXPECT_EQ(params.side_files[2], "");
    EXPECT_EQ(doc->side_file_paths[1], "readme.txt") << "the project file would be saved with the resolved path";
}

TEST(KitPrepare, RefusedProductStringsChangeNothing) {
    const struct {
        const char* key;
        const char* refusal;
    } cases[] = {
        {"DLG_WELCOME_TITLE", "--set DLG_WELCOME_TITLE: DLG_WELCOME_TITLE is a wizard text, not a product string"},
        {"1BAD", "--set 1BAD: \"1BAD\" is not a valid key (letters, digits and _, not starting with a digit)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        qptest::TempDir dir;
        auto doc = kittest::SmallProject(dir);
        qp::KitPrepareOptions options;
        options.project_path = kittest::SaveSmallProject(dir);
        options.sets = {{c.key, "x"}};
        qp::KitBuildParams params;
        qptest::RecordingReporter reporter;
        const qp::KitPreparation p = qp::PrepareKitBuild(*doc, options, params, reporter);
        EXPECT_EQ(p.status, qp::KitPrepareStatus::kRefused);
        EXPECT_EQ(p.refusal, c.refusal);
        EXPECT_TRUE(doc->settings_block.product_guid().empty()) << "a refused build made a GUID";
        qp::NullReporter quiet;
        auto saved = qp::OpenProject(options.project_path, quiet);
        ASSERT_TRUE(saved);
        EXPECT_TRUE(saved->settings_block.product_guid().empty()) << "a refused build wrote into the project file";
    }
}

}  // namespace
