// The zip writer and its Zp* interface: byte layout, what outside tools make of our archives,
// Zip64, appending, and the refusals.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <sstream>

#include "common/errors.h"
#include "common/fsprim.h"
#include "kitzip/kitzip.h"
#include "kitzip/zip_writer.h"
#include "kitzip/zip_tools.h"
#include "setup/engine/unzip.h"
#include "support/testutil.h"

using namespace qptest;

namespace {

std::vector<std::string> g_printed;

int ZP_CALL PrintCb(char* text, unsigned long size) {
    g_printed.emplace_back(text, size);
    return static_cast<int>(size);
}
int ZP_CALL CommentCb(char* comment) {
    comment[0] = '\0';
    return 1;
}
int ZP_CALL PasswordCb(char*, int, const char*, const char*) { return 1; }

void Init() {
    ZIPUSERFUNCTIONS f{PrintCb, CommentCb, PasswordCb};
    ASSERT_EQ(ZpInit(&f), 1);
    g_printed.clear();
}

// The options the builder sets: everything off, recursion on, the archive directory given.
void SetDir(const std::string& dir, int level = 9, const std::string& root = "") {
    ZPOPT o{};
    o.szRootDir = root.c_str();
    o.szArchiveDir = dir.c_str();
    o.fRecurse = 1;
    o.fLevel = level;
    ASSERT_EQ(ZpSetOptions(&o), 1);
}

int Add(const std::string& archive, const std::string& file) {
    std::vector<char> name(file.begin(), file.end());
    name.push_back('\0');
    char* list[] = {name.data()};
    return ZpArchive(ZCL{1, archive.c_str(), list});
}

std::string Pseudorandom(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(gen());
    return s;
}

}  // namespace

TEST(KitzipLayout, StoredMemberMatchesHandAssembledBytes) {
    TempDir dir;
    const std::string src = dir / "a.txt", cab = dir / "setup.cab";
    WriteText(src, "abc");
    Init();
    SetDir("G", 0);
    ASSERT_EQ(Add(cab, src), ZE_OK);
    ASSERT_TRUE(kitzip::FinishPendingArchive());

    const std::uint32_t dos = kitzip::DosDateTime(qp::StatPath(src).mtime);
    const std::uint32_t crc = 0x352441C2;  // CRC-32 of "abc"
    Bytes expected = LE32(0x04034b50) + LE16(10) + LE16(0) + LE16(0) + LE32(dos) + LE32(crc) + LE32(3) + LE32(3) +
                     LE16(7) + LE16(0) + Str("G/a.txt") + Str("abc") +
                     LE32(0x02014b50) + LE16(20) + LE16(10) + LE16(0) + LE16(0) + LE32(dos) + LE32(crc) + LE32(3) +
                     LE32(3) + LE16(7) + LE16(0) + LE16(0) + LE16(0) + LE16(0) + LE32(0x20) + LE32(0) + Str("G/a.txt") +
                     LE32(0x06054b50) + LE16(0) + LE16(0) + LE16(1) + LE16(1) + LE32(53) + LE32(40) + LE16(0);
    EXPECT_EQ(ReadBytes(cab), expected);
}

TEST(KitzipInterop, KitOfSeveralGroupsPassesUnzipAndPython) {
    REQUIRE_HOST_ZIP_TOOLS();
    TempDir dir;
    const std::string cab = dir / "setup.cab";
    std::string text;
    for (int i = 0; i < 500; ++i) text += "line " + std::to_string(i % 7) + " of a readable file\n";
    WriteText(dir / "app.exe", text);
    WriteText(dir / "x.dll", Pseudorandom(5000, 1));  // does not shrink: stored
    WriteText(dir / "empty.txt", "");
    WriteText(dir / "small.txt", "hello");
    Init();
    SetDir("Program Executable Files");
    ASSERT_EQ(Add(cab, dir / "app.exe"), ZE_OK);
    SetDir("Program DLLs\\bin");
    ASSERT_EQ(Add(cab, dir / "x.dll"), ZE_OK);
    ASSERT_EQ(Add(cab, dir / "empty.txt"), ZE_OK);
    SetDir("Help Files\\");  // a trailing separator gives no empty folder name
    ASSERT_EQ(Add(cab, dir / "small.txt"), ZE_OK);
    ASSERT_TRUE(kitzip::FinishPendingArchive());

    EXPECT_EQ(ziptools::UnzipTest(cab), 0);
    std::ostringstream want;
    want << "Program Executable Files/app.exe " << text.size() << " 8 \n"
         << "Program DLLs/bin/x.dll 5000 0 \n"
         << "Program DLLs/bin/empty.txt 0 0 \n"
         << "Help Files/small.txt 5 8 " << ziptools::Hex("hello") << "\n";
    // "hello" deflates to more than 5 bytes, so it is stored after all.
    std::string got = ziptools::PythonListing(cab, dir / "list.txt");
    std::string want_s = want.str();
    want_s.replace(want_s.find("small.txt 5 8"), 13, "small.txt 5 0");
    EXPECT_EQ(got, want_s);
}

TEST(KitzipInterop, SeventyThousandMembersMakeValidZip64) {
    REQUIRE_HOST_ZIP_TOOLS();
    TempDir dir;
    const std::string src = dir / "tiny.txt", cab = dir / "big.cab";
    WriteText(src, "tiny file\n");
    {
        kitzip::ZipWriter w(cab);
        char name[32];
        for (int i = 0; i < 70000; ++i) {
            std::snprintf(name, sizeof name, "g%d/f%05d.txt", i / 1000, i);
            w.AddFile(src, name, i % 2 ? 6 : 0);
        }
        w.Close();
    }
    Bytes b = ReadBytes(cab);
    ASSERT_GT(b.size(), 22u + 20u + 56u);
    const std::size_t end = b.size() - 22;
    EXPECT_EQ(Bytes(b.begin() + end, b.begin() + end + 12),
              LE32(0x06054b50) + LE16(0) + LE16(0) + LE16(0xFFFF) + LE16(0xFFFF));
    EXPECT_EQ(Bytes(b.begin() + end - 20, b.begin() + end - 16), LE32(0x07064b50));
    EXPECT_EQ(Bytes(b.begin() + end - 76, b.begin() + end - 72), LE32(0x06064b50));

    EXPECT_EQ(ziptools::UnzipTest(cab), 0);
    EXPECT_EQ(ziptools::PythonSummary(cab, dir / "list.txt"), "70000 g69/f69999.txt " + ziptools::Hex("tiny file\n") + "\n");
    // And the runtime's reader finds its way through the Zip64 records too.
    ASSERT_EQ(qp::ExtractMember(cab, "g69/f69998.txt", dir.Str(), dir / "out.txt"), 0);
    EXPECT_EQ(ReadText(dir / "out.txt"), "tiny file\n");
}

TEST(KitzipInterop, LargeFileLocalHeaderLayoutIsReadEverywhere) {
    REQUIRE_HOST_ZIP_TOOLS();
    TempDir dir;
    const std::string cab = dir / "big.cab";
    WriteText(dir / "a.bin", std::string(3000, 'q'));
    WriteText(dir / "b.bin", Pseudorandom(300, 3));
    {
        kitzip::ZipWriter w(cab);
        w.SetLocalZip64From(0);  // as a file past 3.75 GiB would be written
        w.AddFile(dir / "a.bin", "G/a.bin", 6);
        w.AddFile(dir / "b.bin", "G/b.bin", 6);
        w.Close();
    }
    const Bytes b = ReadBytes(cab);
    // Local header: version 45, sizes 0xFFFFFFFF, a 20-byte Zip64 extra with both sizes.
    EXPECT_EQ(Bytes(b.begin() + 4, b.begin() + 6), LE16(45));
    EXPECT_EQ(Bytes(b.begin() + 18, b.begin() + 30), LE32(0xFFFFFFFF) + LE32(0xFFFFFFFF) + LE16(7) + LE16(20));
    EXPECT_EQ(Bytes(b.begin() + 37, b.begin() + 49), LE16(1) + LE16(16) + LE32(3000) + LE32(0));
    EXPECT_EQ(ziptools::UnzipTest(cab), 0);
    std::string listing = ziptools::PythonListing(cab, dir / "list.txt");
    EXPECT_EQ(listing.find("BAD"), std::string::npos) << listing;
    EXPECT_NE(listing.find("G/b.bin 300 0"), std::string::npos) << listing;
    ASSERT_EQ(qp::ExtractMember(cab, "G/a.bin", dir.Str(), dir / "a.out"), 0);
    EXPECT_EQ(ReadText(dir / "a.out"), std::string(3000, 'q'));
}

TEST(KitzipZp, AppendsToAnArchiveOfZipWithoutRewritingIt) {
    REQUIRE_HOST_ZIP_TOOLS();
    TempDir dir;
    const std::string cab = dir / "old.zip";
    WriteText(dir / "first.txt", std::string(3000, 'x'));
    ASSERT_EQ(std::system(("cd " + ziptools::Quote(dir.Str()) + " && zip -q old.zip first.txt").c_str()), 0);
    Bytes before = ReadBytes(cab);
    WriteText(dir / "second.txt", "second");
    Init();
    SetDir("More");
    ASSERT_EQ(Add(cab, dir / "second.txt"), ZE_OK);
    ASSERT_TRUE(kitzip::FinishPendingArchive());

    // Everything before the old central directory is still there byte for byte.
    const std::size_t end = before.size() - 22;
    const std::uint32_t old_cd = before[end + 16] | before[end + 17] << 8 | before[end + 18] << 16 | before[end + 19] << 24;
    Bytes after = ReadBytes(cab);
    ASSERT_GT(after.size(), old_cd);
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + old_cd, after.begin()));
    EXPECT_EQ(ziptools::UnzipTest(cab), 0);
    std::string listing = ziptools::PythonListing(cab, dir / "list.txt");
    EXPECT_NE(listing.find("first.txt 3000 8"), std::string::npos) << listing;
    EXPECT_NE(listing.find("More/second.txt 6 0 " + ziptools::Hex("second")), std::string::npos) << listing;
}

TEST(KitzipZp, NamesFromRootJunkAndRecursion) {
    REQUIRE_HOST_ZIP_TOOLS();
    TempDir dir;
    std::filesystem::create_directories(dir.Path() / "tree" / "sub");
    WriteText(dir / "tree/top.txt", "top");
    WriteText(dir / "tree/sub/deep.txt", "deep");
    const std::string cab = dir / "names.zip";
    Init();
    SetDir("", 6, dir.Str());
    ASSERT_EQ(Add(cab, "tree/sub/deep.txt"), ZE_OK);  // relative to the root, path kept
    ASSERT_EQ(Add(cab, "tree"), ZE_OK);                 // recursion: the folder and below
    const std::string root = dir.Str();
    ZPOPT junk{};
    junk.szRootDir = root.c_str();
    junk.fJunkDir = 1;
    ASSERT_EQ(ZpSetOptions(&junk), 1);
    ASSERT_EQ(Add(cab, "tree/top.txt"), ZE_OK);
    ASSERT_TRUE(kitzip::FinishPendingArchive());
    EXPECT_EQ(ziptools::UnzipTest(cab), 0);
    std::string listing = ziptools::PythonListing(cab, dir / "list.txt");
    // The same name added again replaces the member (tree/sub/deep.txt is listed once).
    EXPECT_EQ(listing, "tree/sub/deep.txt 4 0 " + ziptools::Hex("deep") + "\n" +
                           "tree/ 0 0 \n" + "tree/sub/ 0 0 \n" +
                           "tree/top.txt 3 0 " + ziptools::Hex("top") + "\n" +
                           "top.txt 3 0 " + ziptools::Hex("top") + "\n");
}

TEST(KitzipZp, RefusalsLeaveTheArchiveAsItWas) {
    TempDir dir;
    const std::string cab = dir / "setup.cab";
    WriteText(dir / "a.txt", "aaaa");

    ZIPUSERFUNCTIONS incomplete{PrintCb, nullptr, PasswordCb};
    EXPECT_EQ(ZpInit(&incomplete), 0);
    EXPECT_EQ(Add(cab, dir / "a.txt"), ZE_LOGIC);  // not initialised
    EXPECT_FALSE(std::filesystem::exists(cab));

    Init();
    SetDir("G");
    ASSERT_EQ(Add(cab, dir / "a.txt"), ZE_OK);
    ASSERT_TRUE(kitzip::FinishPendingArchive());
    const Bytes good = ReadBytes(cab);

    EXPECT_EQ(Add(cab, dir / "missing.txt"), ZE_OPEN);
    ASSERT_FALSE(g_printed.empty());
    EXPECT_NE(g_printed.back().find("missing.txt"), std::string::npos);
    ZPOPT enc{};
    enc.fEncrypt = 1;
    ASSERT_EQ(ZpSetOptions(&enc), 1);
    EXPECT_EQ(Add(cab, dir / "a.txt"), ZE_PARMS);
    ASSERT_TRUE(kitzip::FinishPendingArchive());
    EXPECT_EQ(ReadBytes(cab), good);

    // Not a zip: refused, and the file is not touched.
    const std::string junk = dir / "junk.cab";
    WriteText(junk, std::string(100, 'j'));
    SetDir("G");
    EXPECT_EQ(Add(junk, dir / "a.txt"), ZE_FORM);
    ASSERT_TRUE(kitzip::FinishPendingArchive());
    EXPECT_EQ(ReadText(junk), std::string(100, 'j'));
}

TEST(KitzipZp, ArchiveDeletedBetweenCallsStartsAfresh) {
    TempDir dir;
    const std::string cab = dir / "setup.cab";
    WriteText(dir / "a.txt", "first build");
    WriteText(dir / "b.txt", "second build");
    Init();
    SetDir("G");
    ASSERT_EQ(Add(cab, dir / "a.txt"), ZE_OK);
    // The next build deletes the archive before adding; the kept state must not resurrect a.txt.
    std::remove(cab.c_str());
    ASSERT_EQ(Add(cab, dir / "b.txt"), ZE_OK);
    ASSERT_TRUE(kitzip::FinishPendingArchive());
    kitzip::ZipWriter w(cab);
    ASSERT_EQ(w.Count(), 1u);
    EXPECT_EQ(w.Member(0).name, "G/b.txt");
}

TEST(KitzipWriter, FailedAddKeepsEarlierMembers) {
    TempDir dir;
    const std::string cab = dir / "k.zip";
    WriteText(dir / "a.txt", std::string(10000, 'a'));
    {
        kitzip::ZipWriter w(cab);
        w.AddFile(dir / "a.txt", "a.txt", 9);
        EXPECT_THROW(w.AddFile(dir / "nope.txt", "nope.txt", 9), qp::IoError);
        EXPECT_THROW(w.AddFile(dir.Str(), "folder", 9), qp::IoError);
        w.Close();
    }
    kitzip::ZipWriter again(cab);
    ASSERT_EQ(again.Count(), 1u);
    EXPECT_EQ(again.Member(0).name, "a.txt");
    EXPECT_EQ(again.Member(0).size, 10000u);
    EXPECT_EQ(again.Member(0).method, 8);
    EXPECT_LT(again.Member(0).compressed_size, 100u);
    if (ziptools::Have("unzip -v")) {
        again.Close();
        EXPECT_EQ(ziptools::UnzipTest(cab), 0);
    }
}
