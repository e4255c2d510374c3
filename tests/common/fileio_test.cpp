// Whole-file reading and replacing writes: the failure paths and the replace-over-existing that
// the C runtime's rename refuses on Windows.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/fileio.h"
#include "common/fsprim.h"
#include "support/testutil.h"

namespace {

using qp::FileResult;

TEST(FileIo, ReadWholeFileIsBoundedAndRefusesWhatItCannotRead) {
    qptest::TempDir tmp;
    const std::string path = tmp / "data.bin";
    // Larger than one read chunk, with zero bytes inside.
    std::vector<std::uint8_t> bytes(40000);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    qptest::WriteBytes(path, bytes);

    std::vector<std::uint8_t> out{1, 2, 3};
    EXPECT_EQ(qp::ReadWholeFile(path, out), FileResult::kOk);
    EXPECT_EQ(out, bytes);
    EXPECT_EQ(qp::ReadWholeFile(path, out, bytes.size()), FileResult::kOk);
    EXPECT_EQ(out.size(), bytes.size());
    // One byte over the limit is refused whole, not handed back cut.
    EXPECT_EQ(qp::ReadWholeFile(path, out, bytes.size() - 1), FileResult::kCannotRead);
    EXPECT_TRUE(out.empty());

    qptest::WriteBytes(tmp / "empty", {});
    out = {9};
    EXPECT_EQ(qp::ReadWholeFile(tmp / "empty", out), FileResult::kOk);
    EXPECT_TRUE(out.empty());

    EXPECT_EQ(qp::ReadWholeFile(tmp / "missing", out), FileResult::kCannotOpen);
    EXPECT_EQ(qp::ReadWholeFile(tmp.Str(), out), FileResult::kCannotOpen);  // a folder
    EXPECT_EQ(qp::ReadWholeFile("", out), FileResult::kCannotOpen);
}

TEST(FileIo, WriteReplacesAnExistingFileAndLeavesNoTemporary) {
    qptest::TempDir tmp;
    const std::string path = tmp / "list.lst";
    qptest::WriteBytes(path, std::vector<std::uint8_t>(100, 0xAA));
    const std::string text = "new contents";
    ASSERT_EQ(qp::WriteFileReplacing(path, text.data(), text.size(), ".new"), FileResult::kOk);
    EXPECT_EQ(qptest::ReadBytes(path), std::vector<std::uint8_t>(text.begin(), text.end()));
    EXPECT_FALSE(qp::IsFile(path + ".new"));
    EXPECT_TRUE(qp::IsFile(path));
    EXPECT_FALSE(qp::IsFile(tmp.Str()));

    ASSERT_EQ(qp::WriteFileReplacing(path, nullptr, 0), FileResult::kOk);
    EXPECT_TRUE(qptest::ReadBytes(path).empty());
    EXPECT_TRUE(qp::RemoveFile(path));
    EXPECT_FALSE(qp::IsFile(path));
    EXPECT_FALSE(qp::RemoveFile(path));
}

TEST(FileIo, FailedWritesLeaveTheTargetAlone) {
    qptest::TempDir tmp;
    // No folder for the temporary.
    const std::string text = "x";
    EXPECT_EQ(qp::WriteFileReplacing(tmp / "nowhere" + "/f", text.data(), 1), FileResult::kCannotOpen);

    // A folder in the target's place cannot be replaced by a file; the temporary goes again.
    const std::string folder = tmp / "sub";
    std::filesystem::create_directory(folder);
    qptest::WriteBytes(tmp / "sub" + "/inner", {1});
    EXPECT_EQ(qp::WriteFileReplacing(folder, text.data(), 1, ".tmp"), FileResult::kCannotReplace);
    EXPECT_FALSE(qp::IsFile(folder + ".tmp"));
    EXPECT_EQ(qptest::ReadBytes(tmp / "sub" + "/inner"), std::vector<std::uint8_t>{1});
}

// A new file is made only where nothing is: a taken name is told apart from a name that cannot
// be made, the time set through the handle is the one the file keeps, and a read-only file is
// still removed.
TEST(FsPrim, NewFileOnlyWhereNothingIsAndRemoveAnyFile) {
    qptest::TempDir tmp;
    const std::string path = tmp / "new.bin", taken_path = tmp / "taken.txt";
    qptest::WriteText(taken_path, "MINE");
    struct Case {
        std::string path;
        bool made, taken;
    } cases[] = {
        {path, true, false},
        {taken_path, false, true},
        {(std::filesystem::path(tmp.Str()) / "no folder" / "x.bin").string(), false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        qp::NewFile f;
        bool taken = !c.taken;
        EXPECT_EQ(f.Create(c.path, &taken), c.made) << c.path;
        EXPECT_EQ(taken, c.taken) << c.path;
        EXPECT_TRUE(f.Close());
    }
    EXPECT_EQ(qptest::ReadText(taken_path), "MINE");

    qp::NewFile again;
    ASSERT_FALSE(again.Create(path)) << "made once already";
    ASSERT_TRUE(qp::RemoveAnyFile(path));
    ASSERT_TRUE(again.Create(path));
    const std::string text = "data through the handle";
    EXPECT_TRUE(again.Write(text.data(), text.size()));
    const std::int64_t when = 1200000000;  // 2008, in whole seconds as zip times are
    EXPECT_TRUE(again.SetTime(when));
    EXPECT_TRUE(again.Close());
    EXPECT_TRUE(again.Close()) << "a second close does nothing";
    EXPECT_EQ(qptest::ReadText(path), text);
    EXPECT_EQ(qp::StatPath(path).mtime, when);

    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_TRUE(qp::RemoveAnyFile(path)) << "read-only";
    EXPECT_FALSE(qp::IsFile(path));
    EXPECT_TRUE(qp::RemoveAnyFile(path)) << "nothing left: nothing to do";
}

}  // namespace
