// The text lookup (language fallback, trimming, product name, line breaks), the language mask
// of a group, and the registry and file-tree helpers over setup-list records.
#include <gtest/gtest.h>

#include "common/setuplist.h"

namespace {

qp::SetupList Strings() {
    qp::SetupList l;
    l.languages = {{0, 200}, {9, 200}, {3, 200}};
    l.strings.push_back({"DLG_WELCOME_TITLE", "", {"Welcome to %P", "Bienvenue %p", ""}});
    l.strings.push_back({"TWO", "", {"%P and %P, %p", "", "x"}});
    l.strings.push_back({"LOWER", "", {"for %p and %p"}});
    l.strings.push_back({"BLANKS", "", {"   three leading, two trailing  ", " one ", "  "}});
    l.strings.push_back({"LINES", "", {"a\\nb\\n\\\\n%P\\"}});
    return l;
}

std::string Text(const qp::SetupList& l, const std::string& key, std::size_t lang, bool* found = nullptr) {
    std::string out = "stale";
    bool f = qp::LookupText(l, key, lang, "Quill", out);
    if (found) *found = f;
    return out;
}

}  // namespace

TEST(SetupListText, LanguageFallbackAndMissingKeys) {
    qp::SetupList l = Strings();
    bool found = false;
    EXPECT_EQ(Text(l, "DLG_WELCOME_TITLE", 0, &found), "Welcome to Quill");
    EXPECT_TRUE(found);
    EXPECT_EQ(Text(l, "dlg_welcome_title", 1), "Bienvenue Quill");  // keys ignore case
    EXPECT_EQ(Text(l, "DLG_WELCOME_TITLE", 2, &found), "Welcome to Quill");  // empty: language 0
    EXPECT_TRUE(found);

    // Past the end of a string's values: nothing, even though language 0 has a text.
    EXPECT_EQ(Text(l, "LOWER", 1, &found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(Text(l, "NO_SUCH_KEY", 0, &found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(Text(l, "", 0, &found), "");
    EXPECT_FALSE(found);

    // A string with no values at all answers nothing in any language.
    l.strings.push_back({"EMPTY", "", {}});
    EXPECT_EQ(Text(l, "EMPTY", 0, &found), "");
    EXPECT_FALSE(found);
}

TEST(SetupListText, OnlyTheFirstProductMarkIsReplaced) {
    qp::SetupList l = Strings();
    EXPECT_EQ(Text(l, "TWO", 0), "Quill and %P, %p");
    EXPECT_EQ(Text(l, "LOWER", 0), "for Quill and %p");
    // The product name is inserted as it stands, even when it holds a mark itself.
    std::string out;
    qp::LookupText(l, "TWO", 0, "%P", out);
    EXPECT_EQ(out, "%P and %P, %p");
}

TEST(SetupListText, OneTrailingBlankThenEveryLeadingBlank) {
    qp::SetupList l = Strings();
    EXPECT_EQ(Text(l, "BLANKS", 0), "three leading, two trailing ");
    EXPECT_EQ(Text(l, "BLANKS", 1), "one");
    EXPECT_EQ(Text(l, "BLANKS", 2), "");  // a text of blanks only: not empty, so no fallback
}

TEST(SetupListText, BackslashNBecomesALineBreak) {
    qp::SetupList l = Strings();
    EXPECT_EQ(Text(l, "LINES", 0), "a\r\nb\r\n\\\r\nQuill\\");
    std::string out;
    qp::LookupText(l, "LINES", 0, "x\\ny", out);
    EXPECT_EQ(out, "a\r\nb\r\n\\\r\nx\r\ny\\");  // marks are replaced before line breaks
}

TEST(SetupListText, GroupLanguageMask) {
    qp::GroupRecord g;
    EXPECT_TRUE(g.InstallsForLanguage(0));
    EXPECT_TRUE(g.InstallsForLanguage(102));
    g.language_mask = "010";
    EXPECT_FALSE(g.InstallsForLanguage(0));
    EXPECT_TRUE(g.InstallsForLanguage(1));
    EXPECT_FALSE(g.InstallsForLanguage(2));
    EXPECT_FALSE(g.InstallsForLanguage(3));  // shorter than the index: not installed
    EXPECT_FALSE(g.InstallsForLanguage(-1));
}

namespace {

qp::RegistryNode Node(std::int32_t kind, const std::string& name, std::vector<qp::RegistryNode> children = {}) {
    qp::RegistryNode n;
    n.kind = kind;
    n.name = name;
    n.children = std::move(children);
    return n;
}

}  // namespace

TEST(SetupListHelpers, RegistryRootAndKeyPath) {
    using R = qp::RegistryNode;
    R root = Node(R::kRoot, "Registry",
                  {Node(R::kSet, "RegEntry1",
                        {Node(R::kHive, "hkey_Current_User",
                              {Node(R::kKey, "Software",
                                    {Node(R::kKey, "Veltor", {Node(R::kString, "Path"), Node(R::kDword, "N")})}),
                               Node(R::kBinary, "Loose")}),
                         Node(R::kHive, "HKEY_LOCAL_MACHINE", {Node(R::kKey, "A")}),
                         Node(R::kHive, "HKEY_SOMEWHERE", {Node(R::kKey, "B")})})});
    const R& set = root.children[0];
    const R& veltor = set.children[0].children[0].children[0];

    qp::RegistryLineage lin;
    ASSERT_TRUE(qp::FindRegistryLineage(root, &veltor.children[0], lin));
    ASSERT_EQ(lin.size(), 6u);
    EXPECT_EQ(qp::RegistryRoot(lin), 0x80000001u);
    EXPECT_EQ(qp::RegistryKeyPath(lin), "Software\\Veltor");  // a value adds nothing

    ASSERT_TRUE(qp::FindRegistryLineage(root, &veltor, lin));
    EXPECT_EQ(qp::RegistryKeyPath(lin), "Software\\Veltor");
    ASSERT_TRUE(qp::FindRegistryLineage(root, &set.children[0].children[0], lin));
    EXPECT_EQ(qp::RegistryKeyPath(lin), "Software");

    // A value right below a hive takes its own name as the key path.
    ASSERT_TRUE(qp::FindRegistryLineage(root, &set.children[0].children[1], lin));
    EXPECT_EQ(qp::RegistryKeyPath(lin), "Loose");
    EXPECT_EQ(qp::RegistryRoot(lin), 0x80000001u);

    ASSERT_TRUE(qp::FindRegistryLineage(root, &set.children[1].children[0], lin));
    EXPECT_EQ(qp::RegistryRoot(lin), 0x80000002u);
    ASSERT_TRUE(qp::FindRegistryLineage(root, &set.children[2].children[0], lin));
    EXPECT_EQ(qp::RegistryRoot(lin), 0u);  // not a predefined key
    EXPECT_EQ(qp::RegistryKeyPath(lin), "B");

    // Nodes above any hive have no root; the tree's root has no parent and leaves the path alone.
    ASSERT_TRUE(qp::FindRegistryLineage(root, &set, lin));
    EXPECT_EQ(qp::RegistryRoot(lin), 0u);
    ASSERT_TRUE(qp::FindRegistryLineage(root, &root, lin));
    std::string path = "unchanged";
    qp::RegistryKeyPath(lin, path);
    EXPECT_EQ(path, "unchanged");

    R stranger;
    EXPECT_FALSE(qp::FindRegistryLineage(root, &stranger, lin));
    EXPECT_TRUE(lin.empty());
}

TEST(SetupListHelpers, CountFileNodes) {
    qp::FileNode root;
    EXPECT_EQ(qp::CountFileNodes(root), 0u);
    qp::FileNode folder;
    folder.kind = qp::FileNode::kFolder;
    qp::FileNode file;
    file.kind = qp::FileNode::kFile;
    folder.children = {file, file};
    qp::FileNode odd;
    odd.kind = 7;  // not a file, whatever else it is
    odd.children = {file};
    root.children = {folder, file, odd};
    EXPECT_EQ(qp::CountFileNodes(root), 4u);
    EXPECT_EQ(qp::CountFileNodes(file), 1u);
}
