// kitzip.dll load failures under Wine: each message box carries its caption and the error icon.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "builder/kit/win/compressor_dll.h"
#include "support/testutil.h"

namespace {

struct Shown {
    qp::Severity severity;
    std::string text, caption;
};

struct CaptionReporter : qp::Reporter {
    std::vector<Shown> shown;
    void Report(qp::Severity s, const std::string& text) override { shown.push_back({s, text, ""}); }
    void Report(qp::Severity s, const std::string& text, const std::string& caption) override {
        shown.push_back({s, text, caption});
    }
};

TEST(KitzipDllMessages, LoadFailuresCarryTheirCaptionsAndTheErrorIcon) {
    qptest::TempDir dir;
    std::FILE* console = std::tmpfile();
    CaptionReporter reporter;
    EXPECT_FALSE(qp::MakeDllCompressor(reporter, dir.Str(), console)->Load());
    ASSERT_EQ(1u, reporter.shown.size());
    EXPECT_EQ("Cannot find " + dir.Str() + "\\kitzip.dll.", reporter.shown[0].text);
    EXPECT_EQ("Error", reporter.shown[0].caption);
    EXPECT_EQ(qp::Severity::Error, reporter.shown[0].severity);

    // A library with a version resource and none of the entry points.
    std::filesystem::copy_file(QP_TEST_DLL, dir / "kitzip.dll");
    EXPECT_FALSE(qp::MakeDllCompressor(reporter, dir.Str(), console)->Load());
    ASSERT_EQ(2u, reporter.shown.size());
    EXPECT_EQ("Could not get entry point to kitzip.DLL", reporter.shown[1].text);
    EXPECT_EQ("Info-ZIP Example", reporter.shown[1].caption);
    EXPECT_EQ(qp::Severity::Error, reporter.shown[1].severity);
    std::fclose(console);
}

}  // namespace
