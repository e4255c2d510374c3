// Our profile reader against the real GetPrivateProfileStringA / GetPrivateProfileSectionA:
// the same awkward files must give the same texts, byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder/model/profile.h"
#include "support/testutil.h"

namespace {

using qp::ProfileFile;

struct Query {
    std::string section;
    std::string key;
    std::size_t size;
};

// Each file gets a name of its own: the API caches files by name and time.
std::string NewFile(const qptest::TempDir& dir, const std::string& bytes) {
    static int n = 0;
    std::string path = dir / ("case" + std::to_string(++n) + ".ini");
    qptest::WriteText(path, bytes);
    return path;
}

std::string ApiString(const std::string& path, const Query& q) {
    std::vector<char> buf(q.size + 8, '\x7f');
    DWORD n = GetPrivateProfileStringA(q.section.c_str(), q.key.c_str(), "", buf.data(),
                                       static_cast<DWORD>(q.size), path.c_str());
    return std::string(buf.data(), n);
}

// The entries of the section buffer, up to the double zero.
std::vector<std::string> SplitBuffer(const std::string& buf) {
    std::vector<std::string> out;
    std::size_t p = 0;
    while (p < buf.size() && buf[p] != '\0') {
        std::size_t z = buf.find('\0', p);
        if (z == std::string::npos) z = buf.size();
        out.push_back(buf.substr(p, z - p));
        p = z + 1;
    }
    return out;
}

std::vector<std::string> ApiSection(const std::string& path, const std::string& section, std::size_t size) {
    std::vector<char> buf(size + 8, '\0');
    DWORD n = GetPrivateProfileSectionA(section.c_str(), buf.data(), static_cast<DWORD>(size), path.c_str());
    (void)n;
    return SplitBuffer(std::string(buf.data(), size));
}

void ExpectSame(const std::string& bytes, const std::vector<Query>& queries) {
    qptest::TempDir dir;
    std::string path = NewFile(dir, bytes);
    ProfileFile ours = ProfileFile::Load(path);
    for (const auto& q : queries) {
        EXPECT_EQ(ApiString(path, q), ours.GetString(q.section, q.key, q.size))
            << "section [" << q.section << "] key <" << q.key << "> size " << q.size << " in:\n" << bytes;
    }
}

const char kAwkward[] =
    "top=before any section\r\n"
    "[Main]\r\n"
    "  plain = spaced value  \r\n"
    "tab\t=\t\ttabbed\t\r\n"
    "dq=\"double quoted\"\r\n"
    "sq='single quoted'\r\n"
    "half=\"open only\r\n"
    "mixed=\"a'\r\n"
    "inner=a \"b\" c\r\n"
    "lonequote=\"\r\n"
    "twoquotes=\"\"\r\n"
    "empty=\r\n"
    "blank=    \r\n"
    "noequals\r\n"
    "dup=first\r\n"
    "DUP=second\r\n"
    "eq=a=b=c\r\n"
    "= orphan text\r\n"
    ";comment=hidden?\r\n"
    "  [ Spaced ]  \r\n"
    "k=in spaced\r\n"
    "[main]\r\n"
    "dup=third\r\n"
    "onlyhere=in the duplicate section\r\n"
    "[Broken\r\n"
    "[a]b]\r\n"
    "k=in a]b\r\n"
    "[Last]\r\n"
    "final=no newline at end";

TEST(ProfileAgainstApi, AwkwardFileReadsTheSame) {
    std::vector<Query> queries;
    const char* sections[] = {"Main", "MAIN", " main ", "Spaced", " Spaced ", "a]b", "a", "Last", "", "Broken", "[Broken", "none"};
    const char* keys[] = {"top", "plain", " PLAIN ", "tab", "dq", "sq", "half", "mixed", "inner", "lonequote",
                          "twoquotes", "empty", "blank", "noequals", "dup", "eq", ";comment", "k", "onlyhere",
                          "final", "missing", " ", "[Broken"};
    for (auto s : sections)
        for (auto k : keys) queries.push_back({s, k, 300});
    ExpectSame(kAwkward, queries);
    // The same file with LF line ends, and with a Ctrl-Z at the end as old editors left it.
    std::string lf = kAwkward;
    for (std::size_t p; (p = lf.find("\r\n")) != std::string::npos;) lf.erase(p, 1);
    ExpectSame(lf, queries);
    ExpectSame(std::string(kAwkward) + "\r\n\x1a", queries);
}

TEST(ProfileAgainstApi, LengthLimitsCutAlike) {
    std::string v259(259, 'x'), v260(260, 'y'), v299(299, 'z');
    std::string q259 = "\"" + std::string(257, 'q') + "\"";
    std::string file = "[S]\r\nv259=" + v259 + "\r\nv260=" + v260 + "\r\nv299=" + v299 + "\r\nq259=" + q259 +
                       "\r\nq=\"abc\"\r\nlong=" + std::string(5000, 'L') + "\r\n";
    std::vector<Query> queries;
    for (std::size_t size : {0, 1, 2, 3, 4, 5, 6, 199, 258, 259, 260, 261, 299, 300, 1000, 9999})
        for (auto k : {"v259", "v260", "v299", "q259", "q", "long"}) queries.push_back({"S", k, size});
    ExpectSame(file, queries);
}

TEST(ProfileAgainstApi, CarriageReturnOnlyAndMixedLineEnds) {
    std::vector<Query> q = {{"A", "x", 100}, {"A", "y", 100}, {"B", "z", 100}, {"B", "w", 100}};
    ExpectSame("[A]\rx=1\ry=2\r[B]\rz=3\r", q);
    ExpectSame("[A]\nx=1\r\ny=2\r[B]\rz=3\nw=4", q);
    ExpectSame("\xEF\xBB\xBF[A]\r\nx=with signature\r\n", q);
    ExpectSame("", q);
}

// Every byte as a blank candidate around names and texts: the API's idea of a blank decides
// what trimming keeps.
TEST(ProfileAgainstApi, BlankBytesAreTheApis) {
    std::string file = "[S]\r\n";
    std::vector<Query> queries;
    for (int b = 1; b < 256; ++b) {
        if (b == '\r' || b == '\n' || b == '=' || b == '[' || b == ';') continue;
        char c = static_cast<char>(b);
        std::string name = "k" + std::to_string(b);
        file += name + c + "=" + c + "v" + c + "\r\n";
        queries.push_back({"S", name, 100});
    }
    ExpectSame(file, queries);
}

// Names are compared without regard to case over the whole ANSI range.
TEST(ProfileAgainstApi, CaseFoldingOfEveryByte) {
    std::string file = "[S]\r\n";
    std::vector<Query> queries;
    for (int b = 0x21; b < 256; ++b) {
        if (b == '=' || b == '[' || b == ';' || qp::IsProfileSpace(static_cast<unsigned char>(b))) continue;
        file += std::string("k") + static_cast<char>(b) + "=" + std::to_string(b) + "\r\n";
        queries.push_back({"S", std::string("k") + static_cast<char>(b), 10});
    }
    // Query each in the other case where one exists: lower ASCII and Latin-1 letters.
    std::vector<Query> swapped;
    for (const auto& q : queries) {
        unsigned char c = static_cast<unsigned char>(q.key[1]);
        unsigned char o = c;
        if (c >= 'a' && c <= 'z') o = c - 32;
        else if (c >= 0xE0 && c <= 0xFE && c != 0xF7) o = c - 32;
        else if (c == 0x9A || c == 0x9C || c == 0x9E) o = c - 0x10;
        else if (c == 0xFF) o = 0x9F;
        swapped.push_back({"S", std::string("k") + static_cast<char>(o), 10});
    }
    queries.insert(queries.end(), swapped.begin(), swapped.end());
    ExpectSame(file, queries);
}

TEST(ProfileAgainstApi, SectionReadsTheSame) {
    qptest::TempDir dir;
    std::string file = std::string(kAwkward) + "\r\n[Many]\r\n";
    for (int i = 0; i < 40; ++i) file += "entry" + std::to_string(i) + " = value number " + std::to_string(i) + "\r\n";
    std::string path = NewFile(dir, file);
    ProfileFile ours = ProfileFile::Load(path);
    for (const char* s : {"Main", "main", "Spaced", " Spaced ", "Last", "Many", "none", "a]b"}) {
        for (std::size_t size : {2, 3, 10, 17, 100, 300, 9999}) {
            auto api = ApiSection(path, s, size);
            auto mine = SplitBuffer(ours.SectionBuffer(s, size));
            EXPECT_EQ(api, mine) << "section [" << s << "] size " << size;
        }
    }
}

// A file our writer produced reads alike through the API, and one the API wrote reads alike
// through ours.
TEST(ProfileAgainstApi, WritesReadBackAlike) {
    qptest::TempDir dir;
    std::string ours_path = NewFile(dir, "; kept\r\n[A]\r\nx = 1\r\n\r\n[B]\r\ny=2");
    std::string api_path = NewFile(dir, "; kept\r\n[A]\r\nx = 1\r\n\r\n[B]\r\ny=2");
    struct W { const char* s; const char* k; const char* v; };
    const W writes[] = {{"A", "x", "one"}, {"a", "new", "  lead"}, {"B", "y", "\"q\""}, {"C", "z", "three"}};
    for (const auto& w : writes) {
        ASSERT_TRUE(qp::ProfileWrite(ours_path, w.s, w.k, w.v));
        ASSERT_TRUE(WritePrivateProfileStringA(w.s, w.k, w.v, api_path.c_str()));
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, api_path.c_str());  // flush the cache
    std::vector<Query> q = {{"A", "x", 100}, {"A", "new", 100}, {"B", "y", 100}, {"C", "z", 100}, {"A", "; kept", 100}};
    ProfileFile from_api = ProfileFile::Load(api_path);
    for (const auto& one : q) {
        EXPECT_EQ(ApiString(ours_path, one), qp::ProfileRead(ours_path, one.section, one.key, one.size)) << one.key;
        EXPECT_EQ(ApiString(api_path, one), from_api.GetString(one.section, one.key, one.size)) << one.key;
    }
    EXPECT_EQ("one", qp::ProfileRead(ours_path, "A", "x", 100));
    EXPECT_EQ("lead", qp::ProfileRead(ours_path, "A", "new", 100));
    EXPECT_EQ("three", qp::ProfileRead(ours_path, "C", "z", 100));
}

}  // namespace
