// Readers and things that are not ordinary files: a pipe with no writer would block a reader
// for ever, a device like /dev/zero would feed it without end. They are refused before any
// byte is read; an over-long file is refused instead of being read in part.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "common/errors.h"
#include "common/fileio.h"
#include "common/setuplist.h"
#include "common/textload.h"
#include "support/testutil.h"

using namespace qp;

TEST(SpecialFiles, PipesDevicesAndFoldersAreNeverRead) {
    qptest::TempDir dir;
    const std::string fifo = dir / "setup.lst";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), std::string("/dev/null"), dir.Str()}) {
        SCOPED_TRACE(path);
        std::vector<std::uint8_t> bytes;
        EXPECT_EQ(ReadWholeFile(path, bytes), FileResult::kCannotOpen);
        EXPECT_THROW(LoadSetupList(path), IoError);
        std::string text;
        EXPECT_FALSE(LoadViewerText(path, &text));
    }
}

TEST(SpecialFiles, SetupListOverTheLimitIsRefusedUnread) {
    qptest::TempDir dir;
    const std::string path = dir / "setup.lst";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    ASSERT_EQ(std::fseek(f, static_cast<long>(kMaxSetupListSize), SEEK_SET), 0);  // sparse: one byte too many
    std::fputc(0, f);
    std::fclose(f);
    EXPECT_THROW(LoadSetupList(path), IoError);
}
