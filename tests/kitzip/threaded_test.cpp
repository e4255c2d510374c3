// The threaded writer: the same archive with one thread and many, for the files that take the
// writer's other roads (empty, not shrinking, larger than a piece, many small ones), and an
// archive that failed half-way never passes for a complete one.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>


#include "kitzip/deflate_pool.h"
#include "kitzip/kitzip.h"
#include "kitzip/zip_tools.h"
#include "kitzip/zip_writer.h"
#include "setup/engine/unzip.h"
#include "support/testutil.h"

using namespace qptest;

namespace {

int ZP_CALL Print(char*, unsigned long size) { return static_cast<int>(size); }
int ZP_CALL Comment(char* c) {
    c[0] = '\0';
    return 1;
}
int ZP_CALL Password(char*, int, const char*, const char*) { return 1; }

int Add(const std::string& archive, const std::string& file, const std::string& dir, int threads) {
    ZPOPT o{};
    o.szArchiveDir = dir.c_str();
    o.fRecurse = 1;
    o.fLevel = 6;
    o.fThreads = threads;
    EXPECT_EQ(ZpSetOptions(&o), 1);
    std::string name = file;
    char* list[] = {name.data()};
    return ZpArchive(ZCL{1, archive.c_str(), list});
}

std::string Noise(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(gen());
    return s;
}

std::string Text(std::size_t n, unsigned seed) {
    static const char* words[] = {"quill ", "pack ", "kit ", "setup ", "archive ", "group\n"};
    std::mt19937 gen(seed);
    std::string s;
    while (s.size() < n) s += words[gen() % 6];
    s.resize(n);
    return s;
}

struct Case {
    const char* name;
    std::string data;
    int method;  // what the archive must hold it as
};

}  // namespace

TEST(KitzipThreads, OneThreadAndManyWriteTheSameBytes) {
    TempDir dir;
    const std::size_t piece = kitzip::kPieceSize;
    std::vector<Case> cases = {
        {"empty.txt", "", 0},
        {"noise.bin", Noise(5000, 1), 0},                              // does not shrink
        {"big.txt", Text(4 * piece + 12345, 2), 8},                    // several pieces, primed
        {"bignoise.bin", Noise(2 * piece + 7, 3), 0},                  // several pieces, then stored
        {"edge.txt", Text(piece, 4), 8},                               // exactly one piece
        {"halfnoise.bin", Text(piece, 5) + Noise(piece / 2, 6), 8},    // mixed pieces
    };
    for (int i = 0; i < 300; ++i) cases.push_back({nullptr, Text(50 + i * 37 % 3000, 100 + i), 8});
    std::vector<std::string> names;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        names.push_back(cases[i].name ? cases[i].name : "small" + std::to_string(i) + ".txt");
        WriteText(dir / names.back(), cases[i].data);
    }
    ZIPUSERFUNCTIONS f{Print, Comment, Password};
    ASSERT_EQ(ZpInit(&f), 1);
    for (int threads : {1, 3}) {
        const std::string cab = dir / ("t" + std::to_string(threads) + ".cab");
        for (std::size_t i = 0; i < names.size(); ++i)
            ASSERT_EQ(Add(cab, dir / names[i], i % 2 ? "G\\sub" : "G", threads), ZE_OK) << names[i];
        ASSERT_TRUE(kitzip::FinishPendingArchive());
    }
    ASSERT_EQ(ReadBytes(dir / "t1.cab"), ReadBytes(dir / "t3.cab"));

    const std::string cab = dir / "t3.cab";
    kitzip::ZipWriter w(cab);
    ASSERT_EQ(w.Count(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string member = (i % 2 ? "G/sub/" : "G/") + names[i];
        EXPECT_EQ(w.Member(i).name, member);
        EXPECT_EQ(w.Member(i).method, cases[i].method) << member;
        if (!cases[i].name) continue;
        ASSERT_EQ(qp::ExtractMember(cab, member, dir.Str(), dir / "out"), 0) << member;
        EXPECT_TRUE(ReadText(dir / "out") == cases[i].data) << member;
    }
    w.Close();
    if (ziptools::Have("unzip -v")) {
        EXPECT_EQ(ziptools::UnzipTest(cab), 0);
    }
}

TEST(KitzipThreads, FailureHalfWayLeavesNoDirectory) {
#ifdef _WIN32
    GTEST_SKIP() << "needs a file whose size changes as it is read (/proc)";
#else
    TempDir dir;
    const std::string cab = dir / "setup.cab";
    WriteText(dir / "a.txt", Text(3 * kitzip::kPieceSize, 7));
    WriteText(dir / "b.txt", "bee");
    ZIPUSERFUNCTIONS f{Print, Comment, Password};
    ASSERT_EQ(ZpInit(&f), 1);
    ASSERT_EQ(Add(cab, dir / "a.txt", "G", 0), ZE_OK);
    ASSERT_EQ(Add(cab, dir / "b.txt", "G", 0), ZE_OK);
    // Listed with size 0, yet it has content: caught only while it is read.
    EXPECT_EQ(Add(cab, "/proc/self/status", "G", 0), ZE_READ);
    EXPECT_TRUE(kitzip::FinishPendingArchive());
    const Bytes left = ReadBytes(cab);
    const Bytes end_sig = LE32(0x06054b50);
    EXPECT_EQ(std::search(left.begin(), left.end(), end_sig.begin(), end_sig.end()), left.end());
    // The next build on the same path starts afresh once the broken file is gone.
    std::remove(cab.c_str());
    ASSERT_EQ(Add(cab, dir / "b.txt", "G", 0), ZE_OK);
    ASSERT_TRUE(kitzip::FinishPendingArchive());
    EXPECT_EQ(kitzip::ZipWriter(cab).Count(), 1u);
#endif
}
