// Path helpers and directory creation, on the real file system of each build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/pathutil.h"
#include "support/testutil.h"

namespace fs = std::filesystem;

namespace {

// Keeps the caption too, which the shared recorder drops.
struct CaptionRecorder : qp::Reporter {
    struct Entry {
        qp::Severity severity;
        std::string text, caption;
    };
    std::vector<Entry> entries;
    void Report(qp::Severity s, const std::string& text) override { entries.push_back({s, text, ""}); }
    void Report(qp::Severity s, const std::string& text, const std::string& caption) override {
        entries.push_back({s, text, caption});
    }
};

// A stored-style path: backslashes between the parts, whatever the build.
std::string Stored(const std::string& base, const std::vector<std::string>& parts) {
    std::string p = base;
    for (const auto& part : parts) p += "\\" + part;
    return p;
}

TEST(Backslashes, NthPositionCountsFromOne) {
    EXPECT_EQ(qp::NthBackslash("C:\\a\\bc\\d", 1), 2);
    EXPECT_EQ(qp::NthBackslash("C:\\a\\bc\\d", 2), 4);
    EXPECT_EQ(qp::NthBackslash("C:\\a\\bc\\d", 3), 7);
    EXPECT_EQ(qp::NthBackslash("C:\\a\\bc\\d", 4), -1);
    EXPECT_EQ(qp::NthBackslash("\\\\", 2), 1);
    EXPECT_EQ(qp::NthBackslash("a/b/c", 1), -1);  // a text helper: only backslashes count
    EXPECT_EQ(qp::NthBackslash("", 1), -1);
    EXPECT_EQ(qp::NthBackslash("C:\\a", 0), -1);
    EXPECT_EQ(qp::NthBackslash(static_cast<const char*>(nullptr), 1), -1);
}

TEST(Backslashes, StripRemovesEveryTrailingOne) {
    std::string s = "C:\\dir\\\\\\";
    qp::StripTrailingBackslashes(s);
    EXPECT_EQ(s, "C:\\dir");
    s = "\\\\";
    qp::StripTrailingBackslashes(s);
    EXPECT_EQ(s, "");
    s = "";
    qp::StripTrailingBackslashes(s);
    EXPECT_EQ(s, "");
    char buf[260] = "C:\\x\\y\\\\";
    qp::StripTrailingBackslashes(buf);
    EXPECT_STREQ(buf, "C:\\x\\y");
    char slash[] = "a/";
    qp::StripTrailingBackslashes(slash);
    EXPECT_STREQ(slash, "a/");
}

TEST(FolderAndName, BothSeparatorsSplit) {
    std::string folder, name;
    qp::SplitFolderName("C:\\Program Files\\app.exe", &folder, &name);
    EXPECT_EQ(folder, "C:\\Program Files");
    EXPECT_EQ(name, "app.exe");
    qp::SplitFolderName("/home/kit/setup.lst", &folder, &name);
    EXPECT_EQ(folder, "/home/kit");
    EXPECT_EQ(name, "setup.lst");
    qp::SplitFolderName("src\\sub/file.txt", &folder, &name);
    EXPECT_EQ(folder, "src\\sub");
    EXPECT_EQ(name, "file.txt");
    qp::SplitFolderName("plain.txt", &folder, &name);
    EXPECT_EQ(folder, "");
    EXPECT_EQ(name, "plain.txt");
    qp::SplitFolderName("dir\\", &folder, &name);
    EXPECT_EQ(folder, "dir");
    EXPECT_EQ(name, "");
    // The output may be the input.
    std::string p = "a\\b\\c";
    qp::SplitFolderName(p, &p, nullptr);
    EXPECT_EQ(p, "a\\b");
    EXPECT_EQ(qp::NameOf("x/y\\z"), "z");
    EXPECT_EQ(qp::FolderOf("x/y\\z"), "x/y");
}

TEST(FolderAndName, JoinUsesThisPlatformsSeparatorOnce) {
    const std::string sep(1, qp::kPathSeparator);
    EXPECT_EQ(qp::JoinPath("kit", "setup.lst"), "kit" + sep + "setup.lst");
    EXPECT_EQ(qp::JoinPath("kit/", "setup.lst"), "kit/setup.lst");
    EXPECT_EQ(qp::JoinPath("kit\\", "\\setup.lst"), "kit\\setup.lst");
    EXPECT_EQ(qp::JoinPath("", "setup.lst"), "setup.lst");
#ifdef _WIN32
    EXPECT_EQ(qp::HostPath("C:\\a/b"), "C:\\a/b");
#else
    EXPECT_EQ(qp::HostPath("kit\\sub\\file"), "kit/sub/file");
#endif
}

TEST(CreateDirectoryPath, CreatesEveryMissingLevel) {
    qptest::TempDir tmp;
    CaptionRecorder rec;
    std::string path = Stored(tmp.Str(), {"one", "two", "three"});
    EXPECT_TRUE(qp::CreateDirectoryPath(path, rec));
    EXPECT_TRUE(fs::is_directory(tmp.Path() / "one" / "two" / "three"));
    EXPECT_TRUE(rec.entries.empty());
}

TEST(CreateDirectoryPath, ExistingPathSucceedsSilently) {
    qptest::TempDir tmp;
    CaptionRecorder rec;
    EXPECT_TRUE(qp::CreateDirectoryPath(tmp.Str(), rec));
    fs::create_directories(tmp.Path() / "a" / "b");
    EXPECT_TRUE(qp::CreateDirectoryPath(Stored(tmp.Str(), {"a", "b"}), rec));
    EXPECT_TRUE(rec.entries.empty());
}

TEST(CreateDirectoryPath, TrailingBackslashCountsAsCreated) {
    qptest::TempDir tmp;
    CaptionRecorder rec;
    std::string path = Stored(tmp.Str(), {"new", "leaf"}) + "\\";
    EXPECT_TRUE(qp::CreateDirectoryPath(path, rec));
    EXPECT_TRUE(fs::is_directory(tmp.Path() / "new" / "leaf"));
    EXPECT_TRUE(rec.entries.empty());
    // And again, now that it exists.
    EXPECT_TRUE(qp::CreateDirectoryPath(path + "\\", rec));
    EXPECT_TRUE(rec.entries.empty());
}

TEST(CreateDirectoryPath, FailureIsReportedWithPathAndCaption) {
    qptest::TempDir tmp;
    qptest::WriteText(tmp / "blocker", "a file where a folder should go");
    CaptionRecorder rec;
    std::string path = Stored(tmp.Str(), {"blocker", "sub"});
    EXPECT_FALSE(qp::CreateDirectoryPath(path, rec));
    ASSERT_EQ(rec.entries.size(), 1u);
    EXPECT_EQ(rec.entries[0].text, path);
    EXPECT_EQ(rec.entries[0].caption, "Failed to create directory");
    EXPECT_EQ(rec.entries[0].severity, qp::Severity::Error);

    // A file at the path itself is no directory either.
    rec.entries.clear();
    EXPECT_FALSE(qp::CreateDirectoryPath(Stored(tmp.Str(), {"blocker"}), rec));
    EXPECT_EQ(rec.entries.size(), 1u);
}

// Where a folder browser opens for a destination that may not exist yet.
TEST(NearestExistingFolder, IsThePathOrItsNearestExistingParent) {
    const std::vector<std::string> present = {"C:\\", "C:\\p", "\\\\srv\\share"};
    auto exists = [&](const std::string& d) { return std::find(present.begin(), present.end(), d) != present.end(); };
    const struct {
        const char* path;
        const char* nearest;
    } rows[] = {
        {"C:\\p", "C:\\p"},
        {"C:\\p\\", "C:\\p"},
        {"C:\\p\\a\\b", "C:\\p"},
        {"C:\\new", "C:\\"},  // a drive's root keeps its backslash
        {"C:\\", "C:\\"},
        {"D:\\new\\x", ""},  // no such drive
        {"\\\\srv\\share\\kits\\x", "\\\\srv\\share"},
        {"relative", ""},
        {"", ""},
    };
    for (const auto& r : rows) EXPECT_EQ(qp::NearestExistingFolder(r.path, exists), r.nearest) << r.path;
}

#ifdef _WIN32
// Below a real drive root the first round tries to create the bare drive ("C:"), which
// fails, and the two levels come after it.
TEST(CreateDirectoryPath, TwoLevelsBelowDriveRoot) {
    std::string top = "C:\\qp-mkdir-" + std::to_string(std::random_device{}());
    std::string path = top + "\\second";
    CaptionRecorder rec;
    EXPECT_TRUE(qp::CreateDirectoryPath(path, rec));
    EXPECT_TRUE(rec.entries.empty());
    EXPECT_TRUE(fs::is_directory(path));
    std::error_code ec;
    fs::remove_all(top, ec);
}

TEST(CreateDirectoryPath, ForwardSlashesCreateAncestorsToo) {
    qptest::TempDir tmp;
    CaptionRecorder rec;
    EXPECT_TRUE(qp::CreateDirectoryPath(tmp.Str() + "/x/y", rec));
    EXPECT_TRUE(fs::is_directory(tmp.Path() / "x" / "y"));
}
#endif

}  // namespace
