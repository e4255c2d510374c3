// The viewer text: blank lines vanish, CR LF after every line, 32760 input bytes at most.
#include <gtest/gtest.h>

#include <string>

#include "common/textload.h"
#include "support/testutil.h"

namespace {

TEST(ViewerText, RunsOfLineEndsCollapse) {
    EXPECT_EQ(qp::ConvertViewerText("a\nb"), "a\r\nb\r\n");
    EXPECT_EQ(qp::ConvertViewerText("a\r\n\r\n\n\rb\r"), "a\r\nb\r\n");
    EXPECT_EQ(qp::ConvertViewerText("\r\n\nfirst\n\n\nsecond\n\n"), "first\r\nsecond\r\n");
    EXPECT_EQ(qp::ConvertViewerText(""), "");
    EXPECT_EQ(qp::ConvertViewerText("\r\n\r\n"), "");
    // Spaces make a line that is not empty.
    EXPECT_EQ(qp::ConvertViewerText("x\n \ny"), "x\r\n \r\ny\r\n");
    // The window's text ends at a zero byte.
    EXPECT_EQ(qp::ConvertViewerText(std::string("ab\ncd\0ef\n", 9)), "ab\r\ncd\r\n");
}

TEST(ViewerText, LoadsAtMostTheLimitAndNeverCutsALine) {
    qptest::TempDir tmp;
    // 40000 bytes of 9-byte lines "NNNNNNNN\n" followed by blank lines now and then.
    std::string input;
    for (int i = 0; input.size() < 40000; ++i) {
        char line[16];
        std::snprintf(line, sizeof line, "%08d\n", i);
        input += line;
        if (i % 7 == 0) input += "\n\r\n";
    }
    input.resize(40000);
    qptest::WriteText(tmp / "big.txt", input);
    std::string out;
    ASSERT_TRUE(qp::LoadViewerText(tmp / "big.txt", &out));
    EXPECT_EQ(out, qp::ConvertViewerText(input.substr(0, qp::kViewerTextLimit)));
    // The output holds every line of the first 32760 bytes whole, which passes 32760 bytes.
    EXPECT_GT(out.size(), qp::kViewerTextLimit);
    EXPECT_EQ(out.find("\r\n\r\n"), std::string::npos);
    EXPECT_EQ(out.substr(out.size() - 2), "\r\n");
    // The output ends with the last line of the input's first 32760 bytes, whole.
    std::string head = input.substr(0, qp::kViewerTextLimit);
    std::size_t end = head.find_last_not_of("\r\n");
    std::size_t start = head.find_last_of("\r\n", end) + 1;
    std::string last_line = head.substr(start, end + 1 - start);
    EXPECT_EQ(out.substr(out.size() - 2 - last_line.size()), last_line + "\r\n");
}

TEST(ViewerText, OneLongLineIsKeptWhole) {
    qptest::TempDir tmp;
    std::string input(qp::kViewerTextLimit - 1, 'x');
    qptest::WriteText(tmp / "long.txt", input + "\n");
    std::string out;
    ASSERT_TRUE(qp::LoadViewerText(tmp / "long.txt", &out));
    EXPECT_EQ(out, input + "\r\n");
}

TEST(ViewerText, RefusesWhatCannotBeRead) {
    qptest::TempDir tmp;
    std::string out = "untouched";
    EXPECT_FALSE(qp::LoadViewerText("", &out));
    EXPECT_FALSE(qp::LoadViewerText(tmp / "missing.txt", &out));
    EXPECT_FALSE(qp::LoadViewerText(tmp.Str(), &out));
    EXPECT_EQ(out, "untouched");
    qptest::WriteText(tmp / "empty.txt", "");
    EXPECT_TRUE(qp::LoadViewerText(tmp / "empty.txt", &out));
    EXPECT_EQ(out, "");
}

}  // namespace
