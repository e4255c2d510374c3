// The setup runtime's zip reader: hand-assembled layouts (plain and Zip64), archives of
// Debian's zip, and every way an extraction can fail without leaving a partial file.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <random>

#include "kitzip/zip_tools.h"
#include "setup/engine/unzip.h"
#include "support/testutil.h"

using namespace qptest;
namespace fs = std::filesystem;

namespace {

struct Member {
    std::string name, data;
};

std::uint32_t Crc(const std::string& s) {
    return static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytes::value_type*>(s.data()), static_cast<uInt>(s.size())));
}

// Stored members laid out by hand. With zip64 every size and offset goes through the Zip64
// extra field and the Zip64 end records, as an archive past 4 GiB would have them.
Bytes Assemble(const std::vector<Member>& members, bool zip64, std::uint32_t crc_xor = 0) {
    Bytes local, central;
    for (const Member& m : members) {
        const std::uint32_t offset = static_cast<std::uint32_t>(local.size());
        const std::uint32_t size = static_cast<std::uint32_t>(m.data.size());
        local = local + LE32(0x04034b50) + LE16(10) + LE16(0) + LE16(0) + LE32(0x5A210000) + LE32(Crc(m.data)) +
                LE32(size) + LE32(size) + LE16(static_cast<std::uint16_t>(m.name.size())) + LE16(0) + Str(m.name) +
                Str(m.data);
        Bytes extra = zip64 ? LE16(1) + LE16(24) + LE64(size) + LE64(size) + LE64(offset) : Bytes{};
        central = central + LE32(0x02014b50) + LE16(45) + LE16(zip64 ? 45 : 10) + LE16(0) + LE16(0) +
                  LE32(0x5A210000) + LE32(Crc(m.data) ^ crc_xor) + LE32(zip64 ? 0xFFFFFFFF : size) +
                  LE32(zip64 ? 0xFFFFFFFF : size) + LE16(static_cast<std::uint16_t>(m.name.size())) +
                  LE16(static_cast<std::uint16_t>(extra.size())) + LE16(0) + LE16(0) + LE16(0) + LE32(0x20) +
                  LE32(zip64 ? 0xFFFFFFFF : offset) + Str(m.name) + extra;
    }
    const auto count = static_cast<std::uint16_t>(members.size());
    Bytes out = local + central;
    if (!zip64)
        return out + LE32(0x06054b50) + LE16(0) + LE16(0) + LE16(count) + LE16(count) +
               LE32(static_cast<std::uint32_t>(central.size())) + LE32(static_cast<std::uint32_t>(local.size())) + LE16(0);
    const std::uint64_t end64 = out.size();
    return out + LE32(0x06064b50) + LE64(44) + LE16(45) + LE16(45) + LE32(0) + LE32(0) + LE64(count) + LE64(count) +
           LE64(central.size()) + LE64(local.size()) +
           LE32(0x07064b50) + LE32(0) + LE64(end64) + LE32(1) +
           LE32(0x06054b50) + LE16(0) + LE16(0) + LE16(0xFFFF) + LE16(0xFFFF) + LE32(0xFFFFFFFF) + LE32(0xFFFFFFFF) + LE16(0);
}

// Files in a folder, to show that a failed extraction left nothing behind.
std::vector<std::string> Listing(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.Path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int Extract(const std::string& cab, const std::string& member, const std::string& out) {
    return qp::ExtractMember(cab, member, fs::path(out).parent_path().string(), out);
}

const std::vector<Member> kMembers = {{"Program Files/app.exe", "MZ program"},
                                      {"Program Files/Sub/readme.txt", "hello"},
                                      {"Empty/none.txt", ""}};

}  // namespace

TEST(UnzipFormat, ReadsHandAssembledArchivesPlainAndZip64) {
    for (bool zip64 : {false, true}) {
        SCOPED_TRACE(zip64 ? "zip64" : "plain");
        TempDir dir;
        const std::string cab = dir / "setup.cab";
        WriteBytes(cab, Assemble(kMembers, zip64));
        for (const Member& m : kMembers) {
            const std::string out = dir / "out.bin";
            ASSERT_EQ(Extract(cab, m.name, out), qp::kUnzipOk) << m.name;
            EXPECT_EQ(ReadText(out), m.data);
        }
        // '\' matches '/', and case decides only between members that differ in nothing else.
        EXPECT_EQ(Extract(cab, "program files\\SUB\\README.TXT", dir / "r.txt"), qp::kUnzipOk);
        EXPECT_EQ(ReadText(dir / "r.txt"), "hello");
    }
}

TEST(UnzipFormat, ExactCaseWinsOverFoldedCase) {
    TempDir dir;
    const std::string cab = dir / "setup.cab";
    WriteBytes(cab, Assemble({{"G/File.txt", "upper"}, {"G/file.txt", "lower"}}, false));
    ASSERT_EQ(Extract(cab, "G/file.txt", dir / "a"), 0);
    EXPECT_EQ(ReadText(dir / "a"), "lower");
    ASSERT_EQ(Extract(cab, "G/File.txt", dir / "b"), 0);
    EXPECT_EQ(ReadText(dir / "b"), "upper");
    ASSERT_EQ(Extract(cab, "g/FILE.TXT", dir / "c"), 0);
    EXPECT_EQ(ReadText(dir / "c"), "upper");  // the first in the archive
}

TEST(UnzipInterop, ReadsArchivesOfDebianZip) {
    if (!ziptools::Have("zip -v")) GTEST_SKIP() << "needs Debian's zip on the host";
    TempDir dir;
    fs::create_directories(dir.Path() / "kit" / "Sub Dir");
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "row " + std::to_string(i % 13) + "\n";
    std::string noise(3000, '\0');
    std::mt19937 gen(7);
    for (char& c : noise) c = static_cast<char>(gen());
    WriteText(dir / "kit/a.txt", text);
    WriteText(dir / "kit/Sub Dir/b.bin", noise);
    WriteText(dir / "kit/empty.txt", "");
    const std::string q = ziptools::Quote(dir.Str());
    ASSERT_EQ(std::system(("cd " + q + " && zip -q -r deflated.zip kit && zip -q -r -0 stored.zip kit").c_str()), 0);
    for (const char* cab : {"deflated.zip", "stored.zip"}) {
        SCOPED_TRACE(cab);
        EXPECT_EQ(Extract(dir / cab, "kit/a.txt", dir / "a.out"), 0);
        EXPECT_EQ(ReadText(dir / "a.out"), text);
        EXPECT_EQ(Extract(dir / cab, "kit\\Sub Dir\\b.bin", dir / "b.out"), 0);
        EXPECT_EQ(ReadText(dir / "b.out"), noise);
        EXPECT_EQ(Extract(dir / cab, "kit/empty.txt", dir / "e.out"), 0);
        EXPECT_EQ(ReadText(dir / "e.out"), "");
        // A folder entry is not a file to extract.
        EXPECT_EQ(Extract(dir / cab, "kit/Sub Dir/", dir / "d.out"), qp::kUnzipNoMember);
        EXPECT_FALSE(fs::exists(dir / "d.out"));
    }
}

TEST(UnzipFailures, MissingMemberOrArchiveWritesNothing) {
    TempDir dir;
    const std::string cab = dir / "setup.cab";
    WriteBytes(cab, Assemble(kMembers, false));
    WriteText(dir / "kept.txt", "old");
    EXPECT_EQ(Extract(cab, "Program Files/nothere.exe", dir / "new.txt"), qp::kUnzipNoMember);
    EXPECT_EQ(Extract(cab, "Program Files/nothere.exe", dir / "kept.txt"), qp::kUnzipNoMember);
    EXPECT_EQ(Extract(dir / "absent.cab", "Program Files/app.exe", dir / "new.txt"), qp::kUnzipNoArchive);
    EXPECT_EQ(ReadText(dir / "kept.txt"), "old");
    EXPECT_EQ(Listing(dir), (std::vector<std::string>{"kept.txt", "setup.cab"}));
}

TEST(UnzipFailures, CrcMismatchKeepsTheOldTargetAndLeavesNoTemporary) {
    TempDir dir;
    const std::string cab = dir / "setup.cab";
    WriteBytes(cab, Assemble(kMembers, false, 0x1));
    WriteText(dir / "app.exe", "previous version");
    std::string message;
    EXPECT_EQ(qp::ExtractMember(cab, "Program Files/app.exe", dir.Str(), dir / "app.exe", &message), qp::kUnzipDamaged);
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(Extract(cab, "Program Files/Sub/readme.txt", dir / "readme.txt"), qp::kUnzipDamaged);
    EXPECT_EQ(ReadText(dir / "app.exe"), "previous version");
    EXPECT_EQ(Listing(dir), (std::vector<std::string>{"app.exe", "setup.cab"}));
}

TEST(UnzipFailures, DamagedOrTruncatedArchivesNeverLeavePartialFiles) {
    TempDir dir;
    // A deflated member made here, so the test does not need outside tools.
    std::string text;
    for (int i = 0; i < 4000; ++i) text += "deflate me " + std::to_string(i % 10) + "\n";
    Bytes packed(compressBound(static_cast<uLong>(text.size())));
    z_stream z{};
    ASSERT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
    z.next_in = reinterpret_cast<Bytef*>(text.data());
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = packed.data();
    z.avail_out = static_cast<uInt>(packed.size());
    ASSERT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    packed.resize(z.total_out);
    deflateEnd(&z);
    auto archive = [&](const Bytes& data, std::uint32_t usize) {
        const std::string name = "G/t.txt";
        Bytes head = LE32(0x04034b50) + LE16(20) + LE16(0) + LE16(8) + LE32(0) + LE32(Crc(text)) +
                     LE32(static_cast<std::uint32_t>(data.size())) + LE32(usize) + LE16(7) + LE16(0) + Str(name);
        Bytes cd = LE32(0x02014b50) + LE16(20) + LE16(20) + LE16(0) + LE16(8) + LE32(0) + LE32(Crc(text)) +
                   LE32(static_cast<std::uint32_t>(data.size())) + LE32(usize) + LE16(7) + LE16(0) + LE16(0) + LE16(0) +
                   LE16(0) + LE32(0) + LE32(0) + Str(name);
        return head + data + cd + LE32(0x06054b50) + LE16(0) + LE16(0) + LE16(1) + LE16(1) +
               LE32(static_cast<std::uint32_t>(cd.size())) + LE32(static_cast<std::uint32_t>(head.size() + data.size())) +
               LE16(0);
    };
    const std::string cab = dir / "setup.cab", out = dir / "t.txt";
    const auto usize = static_cast<std::uint32_t>(text.size());
    WriteBytes(cab, archive(packed, usize));
    ASSERT_EQ(Extract(cab, "G/t.txt", out), qp::kUnzipOk);
    ASSERT_EQ(ReadText(out), text);
    WriteText(out, "old");

    Bytes flipped = packed;
    flipped[flipped.size() / 2] ^= 0x55;
    Bytes cut(packed.begin(), packed.begin() + packed.size() / 2);
    const Bytes whole = archive(packed, usize);
    const Bytes cases[] = {
        archive(flipped, usize),                          // damaged deflate data or CRC
        archive(cut, usize),                              // stream ends early
        archive(packed, usize - 100),                     // inflates to more than promised
        Bytes(whole.begin(), whole.begin() + whole.size() / 2),  // truncated archive
        Bytes(whole.begin(), whole.end() - 1),            // end record cut
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        WriteBytes(cab, cases[i]);
        EXPECT_NE(Extract(cab, "G/t.txt", out), qp::kUnzipOk);
        EXPECT_EQ(ReadText(out), "old");
        EXPECT_EQ(Listing(dir), (std::vector<std::string>{"setup.cab", "t.txt"}));
    }
}

TEST(UnzipFailures, HostileDirectoryFieldsAreRefused) {
    TempDir dir;
    const std::string cab = dir / "setup.cab";
    const Bytes good = Assemble(kMembers, false);
    const std::size_t end = good.size() - 22;
    auto with = [&](std::size_t at, const Bytes& patch) {
        Bytes b = good;
        std::copy(patch.begin(), patch.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
        return b;
    };
    const std::size_t cd = end - (46 * 3 + 21 + 28 + 14);
    const Bytes cases[] = {
        with(end + 8, LE16(60000) + LE16(60000)),          // more entries than the directory holds
        with(end + 12, LE32(0x7FFFFFF0)),                   // directory larger than the file
        with(end + 16, LE32(0x7FFFFFF0)),                   // directory past the end
        with(cd + 42, LE32(0x00FFFFFF)),                    // member's header past the directory
        with(cd + 20, LE32(0x7FFFFFFF) + LE32(0x7FFFFFFF)), // sizes past the directory
        with(cd + 28, LE16(0xFFFF)),                        // name longer than the record
        with(0, LE32(0x12345678)),                          // local header signature
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        WriteBytes(cab, cases[i]);
        EXPECT_NE(Extract(cab, "Program Files/app.exe", dir / "x"), qp::kUnzipOk);
        EXPECT_FALSE(fs::exists(dir / "x"));
    }
}

TEST(UnzipTargets, ReadOnlyTargetIsReplacedAndCallsDoNotInfluenceEachOther) {
    TempDir dir;
    const std::string cab = dir / "setup.cab";
    WriteBytes(cab, Assemble(kMembers, false));
    WriteText(dir / "app.exe", "read-only old");
    fs::permissions(dir.Path() / "app.exe", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    ASSERT_EQ(Extract(cab, "Program Files/app.exe", dir / "app.exe"), 0);
    EXPECT_EQ(ReadText(dir / "app.exe"), "MZ program");
    ASSERT_EQ(Extract(cab, "Program Files/Sub/readme.txt", dir / "readme.txt"), 0);
    EXPECT_EQ(ReadText(dir / "readme.txt"), "hello");
    EXPECT_EQ(ReadText(dir / "app.exe"), "MZ program");

    // The kept directory must follow the file when the archive is replaced.
    WriteBytes(cab, Assemble({{"Program Files/app.exe", "MZ second build, longer"}}, false));
    ASSERT_EQ(Extract(cab, "Program Files/app.exe", dir / "app.exe"), 0);
    EXPECT_EQ(ReadText(dir / "app.exe"), "MZ second build, longer");
    EXPECT_EQ(Extract(cab, "Program Files/Sub/readme.txt", dir / "r2.txt"), qp::kUnzipNoMember);
}

// A one-file kit carries the archive inside the program: offsets in it count from the window.
TEST(UnzipWindow, ArchiveInsideAnotherFileIsReadThroughItsWindow) {
    TempDir dir;
    const Bytes zip = Assemble(kMembers, false);
    const Bytes before(777, 'R'), after = Str("directory and trailer after the archive");
    const std::string program = dir / "kit.exe";
    WriteBytes(program, before + zip + after);
    const qp::ArchiveWindow window{before.size(), zip.size()};
    for (const Member& m : kMembers) {
        ASSERT_EQ(qp::ExtractMember(program, m.name, dir.Str(), dir / "out.bin", nullptr, window), qp::kUnzipOk) << m.name;
        EXPECT_EQ(ReadText(dir / "out.bin"), m.data);
    }
    std::string message;
    EXPECT_NE(qp::ExtractMember(program, kMembers[0].name, dir.Str(), dir / "whole.bin", &message), qp::kUnzipOk)
        << "the whole file is no archive: the window is what makes it one";
    const qp::ArchiveWindow past{before.size(), zip.size() + after.size() + 1};
    EXPECT_EQ(qp::ExtractMember(program, kMembers[0].name, dir.Str(), dir / "past.bin", &message, past), qp::kUnzipNoArchive);
    const qp::ArchiveWindow shifted{before.size() - 1, zip.size()};
    EXPECT_NE(qp::ExtractMember(program, kMembers[0].name, dir.Str(), dir / "shifted.bin", &message, shifted), qp::kUnzipOk);
    EXPECT_FALSE(fs::exists(dir / "whole.bin") || fs::exists(dir / "past.bin") || fs::exists(dir / "shifted.bin"));
    // The kept directory belongs to its window: the right one still works after the wrong ones.
    EXPECT_EQ(qp::ExtractMember(program, kMembers[1].name, dir.Str(), dir / "again.bin", nullptr, window), qp::kUnzipOk);
}
