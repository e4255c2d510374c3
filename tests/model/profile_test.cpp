// The profile reader's rules on hand-made files, and the writer: a write changes one line (or
// adds one) and keeps every other byte of the file.
#include <gtest/gtest.h>

#include <string>

#include "builder/model/profile.h"
#include "support/testutil.h"

namespace {

using qp::ProfileFile;

TEST(ProfileRead, BlanksQuotesAndDuplicates) {
    ProfileFile p(
        "orphan=x\r\n"
        "[Sec]\r\n"
        "  Name  =  some text  \r\n"
        "q=\"  kept blanks  \"\r\n"
        "half='no end\r\n"
        "bare\r\n"
        "dup=1\r\n"
        "Dup=2\r\n"
        "[SEC]\r\n"
        "dup=3\r\n"
        "other=4\r\n");
    EXPECT_EQ("some text", p.GetString("sec", " name ", 300));
    EXPECT_EQ("  kept blanks  ", p.GetString("Sec", "q", 300));
    EXPECT_EQ("'no end", p.GetString("Sec", "half", 300));
    EXPECT_EQ("", p.GetString("Sec", "bare", 300));
    EXPECT_EQ("1", p.GetString("Sec", "DUP", 300));
    // Only the first section of a name is searched.
    EXPECT_EQ("", p.GetString("Sec", "other", 300));
    EXPECT_EQ("", p.GetString("Sec", "orphan", 300));
    EXPECT_EQ("x", p.GetString("", "orphan", 300));
    EXPECT_EQ("", p.GetString("Sec", "", 300));
}

TEST(ProfileRead, BufferSizeCutsAndQuoteAtTheLimit) {
    ProfileFile p("[S]\nv=abcdef\nq=\"abc\"\n");
    EXPECT_EQ("abcde", p.GetString("S", "v", 6));
    EXPECT_EQ("abcdef", p.GetString("S", "v", 7));
    EXPECT_EQ("", p.GetString("S", "v", 1));
    EXPECT_EQ("", p.GetString("S", "v", 0));
    EXPECT_EQ("abc", p.GetString("S", "q", 5));
    // Too small a buffer keeps the text cut where it falls.
    EXPECT_EQ("ab", p.GetString("S", "q", 3));
}

TEST(ProfileRead, SectionEntriesSkipCommentsAndBlankLines) {
    ProfileFile p("[S]\r\n; note\r\n\r\na = 1\r\nbare\r\nb=\"2\"\r\n[T]\r\nc=3\r\n");
    auto e = p.GetSection("S", 9999);
    ASSERT_EQ(3u, e.size());
    EXPECT_EQ("a", e[0].name);
    EXPECT_EQ("1", e[0].value);
    EXPECT_EQ("bare", e[1].name);
    EXPECT_FALSE(e[1].has_value);
    EXPECT_EQ("\"2\"", e[2].value);
    EXPECT_EQ(std::string("a=1\0bare\0b=\"2\"\0\0", 16), p.SectionBuffer("S", 9999));
    // A buffer too small ends with two zeros.
    EXPECT_EQ(std::string("a=1\0ba\0\0", 8), p.SectionBuffer("S", 8));
    EXPECT_TRUE(p.GetSection("none", 9999).empty());
}

TEST(ProfileRead, MissingUnreadableAndOversizedFilesReadEmpty) {
    qptest::TempDir dir;
    EXPECT_EQ("", qp::ProfileRead(dir / "none.ini", "S", "k", 300));
    EXPECT_FALSE(ProfileFile::Load(dir / "none.ini").Loaded());
    EXPECT_EQ("", qp::ProfileRead(dir.Str(), "S", "k", 300));  // a folder
    std::string big(ProfileFile::kMaxFileSize + 1, 'x');
    big.replace(0, 10, "[S]\nk=yes\n");
    qptest::WriteText(dir / "big.ini", big);
    EXPECT_EQ("", qp::ProfileRead(dir / "big.ini", "S", "k", 300));
    // Nor is such a file replaced by a write.
    EXPECT_FALSE(qp::ProfileWrite(dir / "big.ini", "S", "k", "no"));
    EXPECT_EQ(big.size(), qptest::ReadBytes(dir / "big.ini").size());
}

TEST(ProfileWrite, ChangingAnEntryKeepsEveryOtherByte) {
    ProfileFile p("; head comment\r\n[A]\r\n  Key = old  \r\nnext=1\r\n\r\n[B]\r\nkey=b\r\n");
    ASSERT_TRUE(p.SetString("a", "KEY", "new value"));
    EXPECT_EQ("; head comment\r\n[A]\r\nKey=new value\r\nnext=1\r\n\r\n[B]\r\nkey=b\r\n", p.Text());
    // The same text again changes nothing.
    ASSERT_TRUE(p.SetString("A", "key", "  new value"));
    EXPECT_EQ("; head comment\r\n[A]\r\nKey=new value\r\nnext=1\r\n\r\n[B]\r\nkey=b\r\n", p.Text());
}

TEST(ProfileWrite, NewEntryGoesAfterTheSectionsLastLine) {
    ProfileFile p("[A]\nx=1\n\n\n[B]\ny=2");
    ASSERT_TRUE(p.SetString("A", "z", "3"));
    EXPECT_EQ("[A]\nx=1\nz=3\n\n\n[B]\ny=2", p.Text());
    // A section at the end of a file without a final line end.
    ASSERT_TRUE(p.SetString("B", "w", "4"));
    EXPECT_EQ("[A]\nx=1\nz=3\n\n\n[B]\ny=2\nw=4\n", p.Text());
    // An empty section receives the entry right below its header.
    ProfileFile e("[E]\r\n\r\n[F]\r\n");
    ASSERT_TRUE(e.SetString("E", "k", "v"));
    EXPECT_EQ("[E]\r\nk=v\r\n\r\n[F]\r\n", e.Text());
}

TEST(ProfileWrite, NewSectionIsAppendedWithTheFilesLineEnds) {
    ProfileFile lf("[A]\nx=1");
    ASSERT_TRUE(lf.SetString("New", "k", "v"));
    EXPECT_EQ("[A]\nx=1\n\n[New]\nk=v\n", lf.Text());
    ProfileFile crlf("[A]\r\nx=1\r\n");
    ASSERT_TRUE(crlf.SetString("New", "k", "v"));
    EXPECT_EQ("[A]\r\nx=1\r\n\r\n[New]\r\nk=v\r\n", crlf.Text());
    ProfileFile empty;
    ASSERT_TRUE(empty.SetString("S", "k", "v"));
    EXPECT_EQ("[S]\r\nk=v\r\n", empty.Text());
}

TEST(ProfileWrite, RefusesWhatTheFileCouldNotGiveBack) {
    ProfileFile p("[A]\r\nx=1\r\n");
    const std::string before = p.Text();
    EXPECT_FALSE(p.SetString("A", "x", "two\r\nlines"));
    EXPECT_FALSE(p.SetString("A", "x", "line\n[Injected]"));
    EXPECT_FALSE(p.SetString("A", "a=b", "v"));
    EXPECT_FALSE(p.SetString("A", "[k", "v"));
    EXPECT_FALSE(p.SetString("A", " ", "v"));
    EXPECT_FALSE(p.SetString("", "k", "v"));
    EXPECT_FALSE(p.SetString("A\nB", "k", "v"));
    EXPECT_EQ(before, p.Text());
}

TEST(ProfileWrite, DeleteKeyAndSection) {
    ProfileFile p("[A]\nx=1\ny=2\n[B]\nz=3\n[a]\nw=4\n");
    EXPECT_TRUE(p.DeleteKey("A", "X"));
    EXPECT_FALSE(p.DeleteKey("A", "x"));
    EXPECT_EQ("[A]\ny=2\n[B]\nz=3\n[a]\nw=4\n", p.Text());
    EXPECT_TRUE(p.DeleteSection("a"));
    EXPECT_EQ("[B]\nz=3\n", p.Text());
    EXPECT_FALSE(p.DeleteSection("A"));
}

// Every write moves lines and may add or remove names: reads afterwards must see the file as
// it now stands, with repeated names still resolving to the first.
TEST(ProfileWrite, ReadsAfterWritesSeeTheFileAsItNowIs) {
    ProfileFile p("[A]\nk=1\nK=2\n[B]\nx=1\n[a]\nk=3\nlate=5\n");
    ASSERT_TRUE(p.DeleteKey("a", "K"));
    EXPECT_EQ("2", p.GetString("A", "k", 300));
    ASSERT_TRUE(p.SetString("A", "Added", "4"));
    EXPECT_EQ("4", p.GetString("a", "ADDED", 300));
    EXPECT_EQ("", p.GetString("A", "late", 300));
    ASSERT_TRUE(p.SetString("b", "X", "9"));
    ASSERT_TRUE(p.SetString("New", "n", "v"));
    EXPECT_EQ("v", p.GetString(" new ", "N", 300));
    EXPECT_EQ("[A]\nK=2\nAdded=4\n[B]\nx=9\n[a]\nk=3\nlate=5\n\n[New]\nn=v\n", p.Text());
    ASSERT_TRUE(p.DeleteSection("A"));
    EXPECT_EQ("", p.GetString("a", "k", 300));
    EXPECT_EQ("9", p.GetString("B", "x", 300));
    EXPECT_EQ("v", p.GetString("New", "n", 300));
    ASSERT_TRUE(p.SetString("a", "k", "again"));
    EXPECT_EQ("again", p.GetString("A", "K", 300));
}

TEST(ProfileWrite, FileWritesReplaceWholeAndCreateMissingFiles) {
    qptest::TempDir dir;
    std::string path = dir / "lang.ini";
    ASSERT_TRUE(qp::ProfileWrite(path, "S", "k", "v"));
    EXPECT_EQ("[S]\r\nk=v\r\n", qptest::ReadText(path));
    ASSERT_TRUE(qp::ProfileWrite(path, "S", "k2", "v2"));
    EXPECT_EQ("v2", qp::ProfileRead(path, "s", "K2", 300));
    EXPECT_EQ("[S]\r\nk=v\r\nk2=v2\r\n", qptest::ReadText(path));
    // A folder that does not exist: nothing is written, nothing is left behind.
    EXPECT_FALSE(qp::ProfileWrite(dir / "no/such/dir.ini", "S", "k", "v"));
}

}  // namespace
