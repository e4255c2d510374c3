// What the reader refuses, with the runtime's own messages, and how it stays within its input:
// wrong magic, newer versions, bad end markers, over-long texts, absurd counts, deep nesting.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "common/setuplist.h"
#include "setuplist_bytes.h"

using namespace lsttest;

namespace {

constexpr char kUnknown[] = "Unknow file format";
constexpr char kNewer[] = "Version is newer than program";
constexpr char kBad[] = "Bad Instalation file \n Installation abort !";

// Reads from a heap copy of exactly the input's size, so that an over-read is a real one.
std::string RefusalOf(const Bytes& b) {
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[b.size() + 1]);
    if (!b.empty()) std::memcpy(copy.get(), b.data(), b.size());
    try {
        qp::ReadSetupList(copy.get(), b.size());
    } catch (const qp::SetupListError& e) {
        EXPECT_STREQ(e.caption(), "Fatal Error !");
        EXPECT_FALSE(e.detail().empty());
        return e.what();
    }
    return "accepted";
}

// The file up to its settings block; `body` follows, then `end`.
Bytes File(const Bytes& body, std::int32_t end = 78) { return Magic() + I(1) + Zeros(2188) + body + I(end); }

Bytes ComponentHead(const std::string& name) {
    Bytes b = S(name) + S("") + S("") + S("") + I(1) + I(2) + I(1);
    for (int i = 0; i < 8; ++i) b = b + S("");
    return b;
}

// A body whose component tree is a chain `depth` components deep below the root.
Bytes NestedComponents(int depth) {
    Bytes b = I(0);
    for (int i = 0; i <= depth; ++i) b = b + ComponentHead("c") + I(i < depth ? 1 : 0);
    for (int i = 0; i <= depth; ++i) b = b + L({}) + L({});
    return b + EmptyFileNode() + I(0) + EmptyRegistry() + I(0) + I(0) + EmptyShortcut() + I(0);
}

// The body with the group count replaced by `groups` (a group count and nothing else).
Bytes BodyWithGroupCount(std::int32_t groups) {
    Bytes b = EmptyBody();
    Bytes count = I(groups);
    std::copy(count.begin(), count.end(), b.begin());
    return b;
}

}  // namespace

TEST(SetupListRefusal, WrongMagicIsAnUnknownFormat) {
    Bytes b = SmallestFile();
    b[0] = 'h';
    EXPECT_EQ(RefusalOf(b), kUnknown);
    EXPECT_EQ(RefusalOf(Bytes()), kUnknown);
    EXPECT_EQ(RefusalOf(qptest::Str("HeaderSetupInfo")), kUnknown);
    EXPECT_EQ(RefusalOf(qptest::Str("HeaderSetupInfo Quillpack CopyRight 2002") + I(1)), kUnknown);
    EXPECT_EQ(RefusalOf(Magic()), kBad);  // the magic alone: the version is missing
}

TEST(SetupListRefusal, NewerVersionsAreRefusedBeforeAnythingElse) {
    EXPECT_EQ(RefusalOf(Magic() + I(2)), kNewer);
    EXPECT_EQ(RefusalOf(Magic() + I(0x7FFFFFFF) + Zeros(3000)), kNewer);
    Bytes b = SmallestFile();
    b[40] = 2;
    EXPECT_EQ(RefusalOf(b), kNewer);
    b[40] = 1;
    EXPECT_EQ(RefusalOf(b), "accepted");
}

TEST(SetupListRefusal, EndMarkerMustBe78) {
    EXPECT_EQ(RefusalOf(File(EmptyBody(), 77)), kBad);
    EXPECT_EQ(RefusalOf(File(EmptyBody(), 78 + 256)), kBad);
    Bytes cut = SmallestFile();
    cut.resize(cut.size() - 4);
    EXPECT_EQ(RefusalOf(cut), kBad);
    // Bytes after the marker are not the reader's business.
    EXPECT_EQ(RefusalOf(SmallestFile() + Bytes{1, 2, 3}), "accepted");
}

TEST(SetupListRefusal, EveryTruncationIsABadFile) {
    Bytes whole = File(NestedComponents(3));
    ASSERT_EQ(RefusalOf(whole), "accepted");
    for (std::size_t n = 44; n < whole.size(); ++n) {
        Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        ASSERT_EQ(RefusalOf(cut), kBad) << "cut at " << n;
    }
}

TEST(SetupListRefusal, TextLongerThanItsFieldIsRefusedNotCut) {
    // The root component's name: 260 bytes (259 characters and the zero) fit, 261 do not.
    auto withName = [](std::int32_t n, std::size_t chars, bool zero) {
        Bytes text = I(n) + Bytes(chars, 'a' - 0x2A);
        if (zero) text.push_back(0xD6);
        Bytes body = EmptyBody();
        Bytes empty = S("");
        body.erase(body.begin() + 4, body.begin() + 4 + static_cast<std::ptrdiff_t>(empty.size()));
        body.insert(body.begin() + 4, text.begin(), text.end());
        return File(body);
    };
    EXPECT_EQ(RefusalOf(withName(260, 259, true)), "accepted");
    EXPECT_EQ(RefusalOf(withName(260, 260, false)), kBad);  // fills the field with no zero left
    EXPECT_EQ(RefusalOf(withName(261, 260, true)), kBad);
    EXPECT_EQ(RefusalOf(withName(100000, 100000, false)), kBad);
    EXPECT_EQ(RefusalOf(withName(-1, 0, false)), kBad);
    EXPECT_EQ(RefusalOf(withName(0x7FFFFFFF, 4, false)), kBad);
}

TEST(SetupListRefusal, TextWithoutItsZeroEndsAtItsLength) {
    Bytes b = I(3) + Bytes{'a' - 0x2A, 'b' - 0x2A, 'c' - 0x2A} + I(2) + Bytes{'x' - 0x2A, 0xD6};
    qp::ByteReader r(b);
    EXPECT_EQ(qp::ReadShiftedString(r), "abc");
    EXPECT_EQ(qp::ReadShiftedString(r), "x");
    Bytes early = I(4) + Bytes{'a' - 0x2A, 0xD6, 'b' - 0x2A, 0xD6};
    qp::ByteReader r2(early);
    EXPECT_EQ(qp::ReadShiftedString(r2), "a");
    EXPECT_TRUE(r2.AtEnd());
}

TEST(SetupListRefusal, AbsurdCountsAreRefusedBeforeAllocating) {
    EXPECT_EQ(RefusalOf(File(BodyWithGroupCount(0x7FFFFFFF))), kBad);
    EXPECT_EQ(RefusalOf(File(BodyWithGroupCount(-1))), kBad);
    EXPECT_EQ(RefusalOf(File(BodyWithGroupCount(1))), kBad);  // one group that is not there

    // The string-table count and the language count, near the end of the file.
    Bytes tail = EmptyFileNode() + I(0) + EmptyRegistry();
    Bytes head = I(0) + EmptyComponent();
    EXPECT_EQ(RefusalOf(File(head + tail + I(0x40000000) + I(0) + EmptyShortcut() + I(0))), kBad);
    EXPECT_EQ(RefusalOf(File(head + tail + I(0) + I(0x7FFFFFFF) + EmptyShortcut() + I(0))), kBad);
    EXPECT_EQ(RefusalOf(File(head + tail + I(0) + I(-3) + EmptyShortcut() + I(0))), kBad);
    // A string list inside a registry node.
    Bytes registry = I(0) + I(0) + S("") + S("") + I(0x20000000) + I(0);
    EXPECT_EQ(RefusalOf(File(head + EmptyFileNode() + I(0) + registry + I(0) + I(0) + EmptyShortcut() + I(0))), kBad);
}

TEST(SetupListRefusal, FileTreeCountOutsideItsRangeReadsAsNone) {
    auto folderTree = [](std::int32_t count, const Bytes& children) {
        return I(0) + EmptyComponent() + I(0) + I(0) + I(0) + Q(0) + Q(0) + S("") + I(count) + children + I(0) +
               EmptyRegistry() + I(0) + I(0) + EmptyShortcut() + I(0);
    };
    Bytes child = I(1) + I(1) + I(0) + Q(~0ull) + Q(0) + S("Windows") + I(0);
    qp::SetupList ok = qp::ReadSetupList(File(folderTree(1, child)));
    EXPECT_EQ(ok.folders.children.size(), 1u);

    // Read as none: with no children following, the rest of the file still lines up.
    EXPECT_TRUE(qp::ReadSetupList(File(folderTree(10001, {}))).folders.children.empty());
    EXPECT_TRUE(qp::ReadSetupList(File(folderTree(-5, {}))).folders.children.empty());
    // With children following, the stream is misread and the file is refused.
    EXPECT_EQ(RefusalOf(File(folderTree(10001, child))), kBad);
    // Within the range, a count larger than the bytes left is refused at once.
    EXPECT_EQ(RefusalOf(File(folderTree(10000, child))), kBad);
}

TEST(SetupListRefusal, NestingIsBounded) {
    EXPECT_EQ(qp::ReadSetupList(File(NestedComponents(100))).components.children.size(), 1u);
    EXPECT_EQ(RefusalOf(File(NestedComponents(qp::kMaxSetupListDepth + 1))), kBad);
}

TEST(SetupListRefusal, WriterRefusesTextsThatCannotTravel) {
    qp::SetupList l;
    l.components.name = std::string(259, 'n');
    EXPECT_NO_THROW(qp::WriteSetupList(l));
    l.strings.push_back({"KEY", "", {std::string(260, 'v')}});
    EXPECT_THROW(qp::WriteSetupList(l), qp::FormatError);
    l.strings.back().values[0] = std::string("a\0b", 3);
    EXPECT_THROW(qp::WriteSetupList(l), qp::FormatError);
}

TEST(SetupListRefusal, LanguageIndexOutsideTheTableIsABadFile) {
    for (std::int32_t index : {-1, 103, 1 << 30}) {
        qp::SetupList l;
        l.languages = {{0, 200}, {index, 0}};
        EXPECT_EQ(RefusalOf(qp::WriteSetupList(l)), kBad) << index;
    }
    qp::SetupList l;
    l.languages = {{0, 200}, {102, 0}};
    EXPECT_NO_THROW(qp::ReadSetupList(qp::WriteSetupList(l)));
}
