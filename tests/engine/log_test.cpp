// The installation log against hand-assembled bytes, and its refusals.
#include <gtest/gtest.h>

#include "common/errors.h"
#include "setup/engine/log.h"
#include "support/testutil.h"

using namespace qp;
using namespace qptest;

namespace {

const std::string kMagic = "HeaderUninstalInfo Quillpack CopyRight 2001";

Bytes Zeros(std::size_t n) { return Bytes(n, 0); }

Bytes Field(const std::string& text) {
    Bytes b = Str(text);
    b.resize(kLogFolderField, 0);
    return b;
}

Bytes Name(const std::string& s) { return LE32(static_cast<std::uint32_t>(s.size() + 1)) + Str(s) + Zeros(1); }

Bytes SampleBytes() {
    return Str(kMagic) + LE32(1) + LE32(2) + Name("Main") + Name("Main\\Help") + LE32(1) + Name("Program Files") +
           Field("Prod") + Field("C:\\Program Files\\Co\\Prod") + LE32(9);
}

InstallLog Decode(const Bytes& b) { return DecodeLog(b.data(), b.size()); }

std::string ErrorOf(const Bytes& b) {
    try {
        Decode(b);
    } catch (const FormatError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(LogFormat, WriterProducesTheExactLayout) {
    InstallLog log;
    log.components = {"Main", "Main\\Help"};
    log.groups = {"Program Files"};
    log.program_folder = "Prod";
    log.destination = "C:\\Program Files\\Co\\Prod";
    log.language = 9;
    auto bytes = EncodeLog(log);
    EXPECT_EQ(bytes, SampleBytes());
    EXPECT_EQ(bytes.size(), 43u + 4 + 4 + 9 + 14 + 4 + 18 + 3000 + 3000 + 4);
}

TEST(LogFormat, ReaderReadsHandAssembledBytes) {
    auto log = Decode(SampleBytes());
    EXPECT_EQ(log.components, (std::vector<std::string>{"Main", "Main\\Help"}));
    EXPECT_EQ(log.groups, (std::vector<std::string>{"Program Files"}));
    EXPECT_EQ(log.program_folder, "Prod");
    EXPECT_EQ(log.destination, "C:\\Program Files\\Co\\Prod");
    EXPECT_EQ(log.language, 9);
}

TEST(LogFormat, ZeroLengthEndsAListAndTheStreamGoesOn) {
    // Count 3 but the second entry has length 0: the list ends there, and the next integer read
    // (the group count) is the one right after that length.
    Bytes b = Str(kMagic) + LE32(1) + LE32(3) + Name("A") + LE32(0) + LE32(1) + Name("G") + Field("P") + Field("D") +
              LE32(2);
    auto log = Decode(b);
    EXPECT_EQ(log.components, std::vector<std::string>{"A"});
    EXPECT_EQ(log.groups, std::vector<std::string>{"G"});
    EXPECT_EQ(log.language, 2);
    // A negative length ends it too; a negative count is an empty list.
    Bytes c = Str(kMagic) + LE32(1) + LE32(0xFFFFFFFF) + LE32(1) + LE32(0xFFFFFFF0) + Field("") + Field("") + LE32(0);
    auto log2 = Decode(c);
    EXPECT_TRUE(log2.components.empty());
    EXPECT_TRUE(log2.groups.empty());
}

TEST(LogFormat, NameEndsAtItsFirstZero) {
    Bytes b = Str(kMagic) + LE32(1) + LE32(1) + LE32(5) + Str("ab") + Zeros(1) + Str("c") + Zeros(1) + LE32(0) +
              Field("") + Field("") + LE32(0);
    EXPECT_EQ(Decode(b).components, std::vector<std::string>{"ab"});
}

TEST(LogFormat, Refusals) {
    EXPECT_EQ(ErrorOf(Str("HeaderUninstalInfo")), "Unknow file format");
    EXPECT_EQ(ErrorOf(Str("HeaderSetupInfo Quillpack CopyRight 2001xxxxxxxxxxx")), "Unknow file format");
    EXPECT_EQ(ErrorOf(Str(kMagic) + LE32(2)), "Version is newer than program");
    EXPECT_EQ(ErrorOf(Str(kMagic)), "Damaged");
    // A length far past the end is refused before anything is allocated.
    EXPECT_EQ(ErrorOf(Str(kMagic) + LE32(1) + LE32(1) + LE32(0x7FFFFFFF) + Str("x")), "Damaged");
    // A huge count with nothing behind it.
    EXPECT_EQ(ErrorOf(Str(kMagic) + LE32(1) + LE32(0x7FFFFFFF)), "Damaged");
    // Folder fields cut short.
    auto b = SampleBytes();
    b.resize(b.size() - 3010);
    EXPECT_EQ(ErrorOf(b), "Damaged");
}

TEST(LogFormat, FolderFieldWithoutZeroStaysInItsField) {
    Bytes b = Str(kMagic) + LE32(1) + LE32(0) + LE32(0) + Bytes(kLogFolderField, 'x') + Field("D") + LE32(4);
    auto log = Decode(b);
    EXPECT_EQ(log.program_folder, std::string(kLogFolderField, 'x'));
    EXPECT_EQ(log.destination, "D");
    EXPECT_EQ(log.language, 4);
}

TEST(LogFormat, OverlongFolderIsCutToFitWithItsZero) {
    InstallLog log;
    log.destination = std::string(4000, 'd');
    auto back = Decode(EncodeLog(log));
    EXPECT_EQ(back.destination, std::string(kLogFolderField - 1, 'd'));
}

TEST(LogFile, WriteThenReadAndMessages) {
    TempDir dir;
    InstallLog log;
    log.components = {"C"};
    log.groups = {"G1", "G2"};
    log.program_folder = "PF";
    log.destination = "D";
    log.language = 3;
    const std::string path = dir / "uninst.lst";
    ASSERT_EQ(WriteLogFile(path, log), 1);
    InstallLog back;
    LogMessage msg;
    ASSERT_EQ(ReadLogFile(path, back, msg), 1);
    EXPECT_EQ(back.groups, log.groups);
    EXPECT_EQ(back.language, 3);

    EXPECT_EQ(ReadLogFile(dir / "missing.lst", back, msg), 0);
    EXPECT_EQ(msg.text, (dir / "missing.lst") + " UnInstalation LOG file error!");
    EXPECT_EQ(msg.caption, "FATAL Error !");

    WriteBytes(path, Str(kMagic) + LE32(7));
    EXPECT_EQ(ReadLogFile(path, back, msg), 0);
    EXPECT_EQ(msg.text, "Version is newer than program");
    EXPECT_EQ(msg.caption, "Fatal Error !");

    EXPECT_EQ(WriteLogFile(dir / "no\\such\\folder/x.lst", log), -1);
}
