// The portable file version reader against hand-assembled PE images, and the portable file
// time against times set through the C library.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/types.h>

#include <cstring>
#include <string>

#include "common/fileinfo.h"
#include "support/testutil.h"

#ifndef _WIN32
#include <fcntl.h>
#include <time.h>
#endif

namespace {

using qptest::Bytes;
using qptest::LE16;
using qptest::LE32;
using qptest::operator+;

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Layout of the image that MakeImage assembles, so tests can damage single fields.
struct Image {
    Bytes bytes;
    std::size_t optional_at = 0x58;  // after the 0x40 DOS header and the 24-byte PE/COFF header
    std::size_t section_at = 0;      // the one section header (".rsrc")
    std::size_t rsrc = 0x200;        // file offset of the resource section
    // Offsets inside the resource section.
    static constexpr std::size_t kTypeDir = 0x00, kNameDir = 0x18, kLangDir = 0x30, kDataEntry = 0x48,
                                 kVersionInfo = 0x58;
};

// A minimal PE image: one section ".rsrc" at RVA 0x1000 holding one version resource (type 16,
// name 1, language 0x409) with file version 1.2.3.4 and product version 9.9.9.9.
Image MakeImage(bool pe32plus = false) {
    Image img;
    const std::uint16_t optional_size = pe32plus ? 240 : 224;
    const std::size_t count_at = pe32plus ? 108 : 92;
    img.section_at = img.optional_at + optional_size;

    Bytes b(img.rsrc, 0);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 60, 0x40);
    std::memcpy(&b[0x40], "PE\0\0", 4);
    Put16(b, 0x44, pe32plus ? 0x8664 : 0x14C);  // machine
    Put16(b, 0x46, 1);                          // sections
    Put16(b, 0x54, optional_size);
    Put16(b, img.optional_at, pe32plus ? 0x20B : 0x10B);
    Put32(b, img.optional_at + count_at, 16);
    Put32(b, img.optional_at + count_at + 4 + 16, 0x1000);  // resource directory RVA
    Put32(b, img.optional_at + count_at + 4 + 20, 0xB4);    // and size
    std::memcpy(&b[img.section_at], ".rsrc\0\0\0", 8);
    Put32(b, img.section_at + 8, 0xB4);     // virtual size
    Put32(b, img.section_at + 12, 0x1000);  // virtual address
    Put32(b, img.section_at + 16, 0xB4);    // raw size
    Put32(b, img.section_at + 20, 0x200);   // raw offset

    // Directories: characteristics, time, major, minor, named count, id count, then entries.
    Bytes dir_head = LE32(0) + LE32(0) + LE16(0) + LE16(0) + LE16(0) + LE16(1);
    Bytes rsrc = dir_head + LE32(16) + LE32(0x80000000u | Image::kNameDir)  // type 16 (version)
                 + dir_head + LE32(1) + LE32(0x80000000u | Image::kLangDir)  // name 1
                 + dir_head + LE32(0x409) + LE32(Image::kDataEntry)          // language, data entry
                 + LE32(0x1000 + Image::kVersionInfo) + LE32(92) + LE32(0) + LE32(0);
    // VS_VERSIONINFO: length, value length, type, key, padding, fixed file information.
    Bytes key;
    for (char c : std::string("VS_VERSION_INFO")) key = key + Bytes{static_cast<std::uint8_t>(c), 0};
    key = key + Bytes{0, 0};
    rsrc = rsrc + LE16(92) + LE16(52) + LE16(0) + key + LE16(0)  // 6 + 32 + 2 = 40
           + LE32(0xFEEF04BD) + LE32(0x00010000) + LE32(0x00010002) + LE32(0x00030004)  // file 1.2.3.4
           + LE32(0x00090009) + LE32(0x00090009) + Bytes(28, 0);
    img.bytes = b + rsrc;
    return img;
}

const std::uint64_t kImageVersion = 0x0001000200030004ull;

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
    struct Damage {
        const char* what;
        void (*apply)(Image&);
    };
    const Damage damages[] = {
        {"pe offset past the end", [](Image& i) { Put32(i.bytes, 60, 0xFFFFFFF0u); }},
        {"unknown optional magic", [](Image& i) { Put16(i.bytes, i.optional_at, 0x107); }},
        {"too few data directories", [](Image& i) { Put32(i.bytes, i.optional_at + 92, 2); }},
        {"optional header too short", [](Image& i) { Put16(i.bytes, 0x54, 96); }},
        {"huge section count", [](Image& i) { Put16(i.bytes, 0x46, 0xFFFF); }},
        {"resource rva outside every section", [](Image& i) { Put32(i.bytes, i.optional_at + 112, 0x9000); }},
        {"raw data past the end", [](Image& i) { Put32(i.bytes, i.section_at + 20, 0x7FFFFFF0u); }},
        {"huge entry count", [](Image& i) { Put16(i.bytes, i.rsrc + Image::kTypeDir + 14, 0xFFFF); }},
        {"type directory points at itself",
         [](Image& i) { Put32(i.bytes, i.rsrc + Image::kTypeDir + 20, 0x80000000u); }},
        {"name directory entry is data", [](Image& i) { Put32(i.bytes, i.rsrc + Image::kTypeDir + 20, 0x30); }},
        {"language entry is a directory",
         [](Image& i) { Put32(i.bytes, i.rsrc + Image::kLangDir + 20, 0x80000000u | Image::kTypeDir); }},
        {"resource named 2, not 1", [](Image& i) { Put32(i.bytes, i.rsrc + Image::kNameDir + 16, 2); }},
        {"data rva outside the section",
         [](Image& i) { Put32(i.bytes, i.rsrc + Image::kDataEntry, 0x1000 + 0xB0); }},
        {"bad fixed signature", [](Image& i) { Put32(i.bytes, i.rsrc + Image::kVersionInfo + 40, 0xFEEF04BE); }},
        {"no fixed value", [](Image& i) { Put16(i.bytes, i.rsrc + Image::kVersionInfo + 2, 0); }},
        {"wrong key", [](Image& i) { i.bytes[i.rsrc + Image::kVersionInfo + 6] = 'X'; }},
        {"resource length too short", [](Image& i) { Put16(i.bytes, i.rsrc + Image::kVersionInfo, 60); }},
    };
    for (const Damage& d : damages) {
        Image img = MakeImage();
        d.apply(img);
        std::string text = "untouched";
        EXPECT_EQ(VersionOf(tmp, img.bytes, &text), 0u) << d.what;
        EXPECT_EQ(text, "untouched") << d.what;
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
