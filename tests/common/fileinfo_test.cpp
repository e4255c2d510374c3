// The portable file version reader against hand-assembled PE images, and the portable file
// time against times set through the C library.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/types.h>

#include <cstring>
#include <string>

#include "common/fileinfo.h"
#include "support/testutil.h"
#include "peimage.h"

#ifndef _WIN32
#include <fcntl.h>
#include <time.h>
#endif

namespace {

using namespace peimage;

std::uint64_t VersionOf(const qptest::TempDir& tmp, const Bytes& bytes, std::string* text) {
    std::string path = tmp / "image.dll";
    qptest::WriteBytes(path, bytes);
    return qp::FileVersionFromImage(path, text);
}

TEST(PortableVersion, ReadsTheFixedFileVersion) {
    qptest::TempDir tmp;
    for (bool plus : {false, true}) {
        std::string text = "unset";
        EXPECT_EQ(VersionOf(tmp, MakeImage(plus).bytes, &text), kImageVersion) << plus;
        EXPECT_EQ(text, "1.2.3.4");
    }
    EXPECT_EQ(VersionOf(tmp, MakeImage().bytes, nullptr), kImageVersion);
}

TEST(PortableVersion, FormatIsSignedDecimalOfEachHalfWord) {
    EXPECT_EQ(qp::FormatVersion(0xFFFF0000000A0001ull), "65535.0.10.1");
    EXPECT_EQ(qp::FormatVersion(0), "0.0.0.0");
}

TEST(PortableVersion, FilesWithoutOneGiveZeroAndLeaveTheTextAlone) {
    qptest::TempDir tmp;
    std::string text = "untouched";
    EXPECT_EQ(VersionOf(tmp, qptest::Str("just a text file\r\n"), &text), 0u);
    EXPECT_EQ(VersionOf(tmp, {}, &text), 0u);
    EXPECT_EQ(qp::FileVersionFromImage(tmp / "missing.dll", &text), 0u);
    EXPECT_EQ(qp::FileVersionFromImage(tmp.Str(), &text), 0u);
    // An image whose resource directory is empty.
    Image img = MakeImage();
    Put32(img.bytes, img.optional_at + 92 + 4 + 16, 0);
    EXPECT_EQ(VersionOf(tmp, img.bytes, &text), 0u);
    EXPECT_EQ(text, "untouched");
}

TEST(PortableVersion, EveryTruncationGivesZero) {
    qptest::TempDir tmp;
    Image img = MakeImage();
    std::string text = "untouched";
    // Every length inside the resource section, and the headers in steps (each one a new
    // file, which is slow under Wine).
    for (std::size_t n = 0; n < img.bytes.size(); n += n < img.rsrc ? 8 : 1) {
        Bytes cut(img.bytes.begin(), img.bytes.begin() + static_cast<std::ptrdiff_t>(n));
        ASSERT_EQ(VersionOf(tmp, cut, &text), 0u) << n;
    }
    EXPECT_EQ(text, "untouched");
}

TEST(PortableVersion, HostileFieldsGiveZero) {
    qptest::TempDir tmp;
    for (const Damage& d : kDamages) {
        Image img = MakeImage();
        d.apply(img);
        std::string text = "untouched";
        EXPECT_EQ(VersionOf(tmp, img.bytes, &text), 0u) << d.what;
        EXPECT_EQ(text, "untouched") << d.what;
    }
}

TEST(PortableVersion, FieldsTheSystemDoesNotCheckAreNotChecked) {
    qptest::TempDir tmp;
    for (const Damage& d : kIgnored) {
        Image img = MakeImage();
        d.apply(img);
        EXPECT_EQ(VersionOf(tmp, img.bytes, nullptr), kImageVersion) << d.what;
    }
}

TEST(PortableVersion, OtherLanguagesAndNamedTypesAreFound) {
    qptest::TempDir tmp;
    Image img = MakeImage();
    Put32(img.bytes, img.rsrc + Image::kLangDir + 16, 0x407);
    EXPECT_EQ(VersionOf(tmp, img.bytes, nullptr), kImageVersion);
    // A named entry before the id entries: the count covers both kinds.
    img = MakeImage();
    Put16(img.bytes, img.rsrc + Image::kTypeDir + 12, 1);
    Put16(img.bytes, img.rsrc + Image::kTypeDir + 14, 0);
    EXPECT_EQ(VersionOf(tmp, img.bytes, nullptr), kImageVersion);
}

TEST(PortableTime, UnopenableFilesGiveAllBits) {
    qptest::TempDir tmp;
    EXPECT_EQ(qp::FileTimePortable(tmp / "missing"), qp::kNoFileTime);
    EXPECT_EQ(qp::FileTimePortable(tmp.Str()), qp::kNoFileTime);
    EXPECT_EQ(qp::FileTime(tmp / "missing"), qp::kNoFileTime);
}

#ifndef _WIN32
TEST(PortableTime, IsFileTimeOfTheLastWrite) {
    qptest::TempDir tmp;
    std::string path = tmp / "stamped";
    qptest::WriteText(path, "x");
    // 2009-02-13 23:31:30.1234567 UTC.
    struct timespec times[2] = {{1234567890, 123456789}, {1234567890, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(qp::FileTimePortable(path), 128790414901234567ull);
    EXPECT_EQ(qp::FileTime(path), 128790414901234567ull);
    // Read-only files are read fine.
    chmod(path.c_str(), 0444);
    EXPECT_EQ(qp::FileTime(path), 128790414901234567ull);
}
#endif

}  // namespace
