// Language files: the text encoding through a real profile file, load and save against a
// project, the mask text, and the content of the shipped language.ini.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "builder/model/doc.h"
#include "builder/model/language.h"
#include "common/keytable.h"
#include "common/languages.h"
#include "setup/wizard/page_tables.h"
#include "support/testutil.h"

namespace {

using namespace qp;

std::string ShippedFile() { return qptest::SourceDir() + "/builder/model/language.ini"; }

std::size_t Count(const std::string& s, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + what.size())) ++n;
    return n;
}

TEST(LanguageText, EveryTextComesBackThroughAProfileFile) {
    const std::string texts[] = {
        "plain",
        "two\n\nlines",
        "crlf\r\nline",
        "  leading and trailing  ",
        "\"quoted\"",
        "'single'",
        "\"open only",
        "C:\\Program Files\\new\\readme.txt",
        "ends with backslash\\",
        "\\\\server\\n",
        "a \\n that is not a break",
        "",
        "\t",
    };
    ProfileFile file;
    int n = 0;
    for (const auto& t : texts) {
        std::string key = "K" + std::to_string(n++);
        ASSERT_TRUE(file.SetString(key, "English", EncodeLanguageText(t))) << t;
    }
    ProfileFile reread(file.Text());
    n = 0;
    for (const auto& t : texts) {
        std::string key = "K" + std::to_string(n++);
        EXPECT_EQ(t, DecodeLanguageText(reread.GetString(key, "English", 1024))) << t;
    }
    // A hand-written path keeps its single backslashes; only "\n", "\r" and "\\" are pairs.
    EXPECT_EQ("C:\\Program Files\\Quill", DecodeLanguageText("C:\\Program Files\\Quill"));
    EXPECT_EQ("Line one\nLine two", DecodeLanguageText("Line one\\nLine two"));
}

TEST(LanguageText, TextsAreHeldTo259Characters) {
    qptest::TempDir dir;
    std::string path = dir / "long.ini";
    qptest::WriteText(path, "[DLG_WELCOME_TITLE]\r\nEnglish=" + std::string(300, 'x') + "\r\nGerman=\"" +
                                std::string(259, 'g') + "\"\r\n");
    LanguageFile file(path);
    EXPECT_EQ(std::string(259, 'x'), file.Text("DLG_WELCOME_TITLE", "English"));
    EXPECT_EQ(std::string(259, 'g'), file.Text("DLG_WELCOME_TITLE", "german"));
    EXPECT_EQ("", file.Text("DLG_WELCOME_TITLE", "French"));
}

TEST(LanguageMask, TextOfAMask) {
    EXPECT_EQ("Independent", LanguageMaskText(""));
    EXPECT_EQ("German &Danish", LanguageMaskText("0101"));
    EXPECT_EQ("", LanguageMaskText(std::string(259, '0')));
    // Any character but '0' counts; characters past the table's end do not.
    std::string mask(259, '0');
    mask[0] = 'x';
    mask[11] = '1';
    mask[102] = '1';
    mask[150] = '1';
    EXPECT_EQ("English &English (US) &Vietnamese", LanguageMaskText(mask));
}

class LanguageDoc : public ::testing::Test {
protected:
    void SetUp() override { doc.AddLanguage(0); }
    std::string Write(const std::string& name, const std::string& text) {
        std::string path = dir / name;
        qptest::WriteText(path, text);
        return path;
    }
    qptest::TempDir dir;
    CDazDoc doc;
};

TEST_F(LanguageDoc, LoadStoresNonEmptyTextsOfTheProjectsLanguages) {
    doc.SetModifiedFlag(false);
    CStringItem* own = doc.string_table.Add(std::make_unique<CStringItem>("MY_KEY", CStringItem::kAuthor));
    own->SetValue(0, "mine");
    std::string path = Write("in.ini",
                             "[DLG_WELCOME_TITLE]\r\nEnglish=Hello %P\r\nGerman=Hallo %P\r\n"
                             "[my_key]\r\nenglish = from file \r\n"
                             "[PRODUCT_NAME]\r\nEnglish=\r\n");
    EXPECT_EQ(2, LoadLanguageFile(doc, path));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ("Hello %P", doc.FindString("DLG_WELCOME_TITLE")->Value(0));
    EXPECT_EQ("from file", own->Value(0));
    // An empty entry leaves the text alone.
    EXPECT_EQ("Product", doc.FindString("PRODUCT_NAME")->Value(0));
}

TEST_F(LanguageDoc, LoadOfNothingForTheProjectChangesNothing) {
    doc.SetModifiedFlag(false);
    std::string empty = Write("empty.ini", "[DLG_WELCOME_TITLE]\r\nEnglish=\r\nEnglish (US)=x\r\n[PRODUCT_NAME]\r\nEnglish=  \r\n");
    EXPECT_EQ(0, LoadLanguageFile(doc, empty));
    std::string german = Write("german.ini", "[DLG_WELCOME_TITLE]\r\nGerman (Germany)=Willkommen\r\n");
    EXPECT_EQ(0, LoadLanguageFile(doc, german));
    EXPECT_EQ(0, LoadLanguageFile(doc, dir / "missing.ini"));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(LanguageDoc, SaveWritesTheWizardKeysOfEveryLanguageAndReadsBackUnchanged) {
    doc.AddLanguage(1);
    doc.FindString("DLG_WELCOME_TITLE")->SetValue(0, "Welcome\nto two lines");
    doc.FindString("DLG_WELCOME_TITLE")->SetValue(1, "  Willkommen  ");
    doc.FindString("NEXTBUT")->SetValue(1, "&Weiter");
    doc.string_table.Add(std::make_unique<CStringItem>("MY_KEY", CStringItem::kAuthor))->SetValue(0, "own");
    std::string path = Write("out.ini", "; kept\r\n[OTHER]\r\nEnglish=stays\r\n");
    ASSERT_TRUE(SaveWizardTexts(doc, path));

    ProfileFile saved = ProfileFile::Load(path);
    int sections = 0;
    for (int id = 1; id < kKeyCount; ++id) {
        if (!*KeyName(id)) continue;
        ++sections;
        auto entries = saved.GetSection(KeyName(id), 9999);
        ASSERT_EQ(2u, entries.size()) << KeyName(id);
        EXPECT_EQ("English", entries[0].name);
        EXPECT_EQ("German", entries[1].name);
    }
    EXPECT_EQ(73, sections);
    EXPECT_TRUE(saved.GetSection("MY_KEY", 9999).empty());  // an author's key is never written
    EXPECT_EQ("stays", saved.GetString("OTHER", "English", 300));
    EXPECT_EQ(0u, qptest::ReadText(path).find("; kept\r\n"));

    std::vector<std::vector<std::string>> before;
    for (const auto& s : doc.string_table.items) before.push_back(s->values);
    LoadLanguageFile(doc, path);
    std::vector<std::vector<std::string>> after;
    for (const auto& s : doc.string_table.items) after.push_back(s->values);
    EXPECT_EQ(before, after);
}

// Backslashes are path separators in most texts: a file from another tool is read as it stands,
// and our own file gives back exactly what was saved, whatever follows a backslash.
TEST_F(LanguageDoc, BackslashesSurviveLoadAndSave) {
    const std::string path_text = "<PROGRAM FILES>\\new\\readme\\";
    std::string other = Write("other.ini", "[DLG_WELCOME_TITLE]\r\nEnglish=<PROGRAM FILES>\\new\\readme\\\r\n"
                                            "[MY_KEY]\r\nEnglish=C:\\temp\\x\r\n");
    doc.string_table.Add(std::make_unique<CStringItem>("MY_KEY", CStringItem::kAuthor));
    LoadLanguageFile(doc, other);
    EXPECT_EQ(path_text, doc.FindString("DLG_WELCOME_TITLE")->Value(0));
    EXPECT_EQ("C:\\temp\\x", doc.FindString("MY_KEY")->Value(0));

    // Saved into that same file: our entries are escaped, the other tool's keep their meaning.
    doc.FindString("DLG_WELCOME_TITLE")->SetValue(0, path_text + "\nline two");
    ASSERT_TRUE(SaveWizardTexts(doc, other));
    doc.FindString("DLG_WELCOME_TITLE")->SetValue(0, "");
    doc.FindString("MY_KEY")->SetValue(0, "");
    LoadLanguageFile(doc, other);
    EXPECT_EQ(path_text + "\nline two", doc.FindString("DLG_WELCOME_TITLE")->Value(0));
    EXPECT_EQ("C:\\temp\\x", doc.FindString("MY_KEY")->Value(0));
}

TEST_F(LanguageDoc, SaveCreatesMissingWizardStringsAndFailsCleanly) {
    auto& items = doc.string_table.items;
    items.erase(std::remove_if(items.begin(), items.end(), [](const auto& s) { return s->key == "FINISH"; }), items.end());
    std::string path = dir / "w.ini";
    ASSERT_TRUE(SaveWizardTexts(doc, path));
    ASSERT_NE(nullptr, doc.FindString("FINISH"));
    EXPECT_EQ(CStringItem::kWizardText, doc.FindString("FINISH")->category);
    // A folder that does not exist: false, and nothing is created.
    EXPECT_FALSE(SaveWizardTexts(doc, dir / "none/w.ini"));
}

TEST(ShippedLanguageFile, EnglishEntriesAreTheKeyTablesTextsWhereItHasOne) {
    LanguageFile file(ShippedFile());
    ASSERT_TRUE(file.Loaded()) << ShippedFile();
    for (int id = 1; id < kKeyCount; ++id) {
        if (!*KeyName(id)) continue;
        const std::string english = file.Text(KeyName(id), "English");
        EXPECT_EQ(english, file.Text(KeyName(id), "English (US)")) << KeyName(id);
        // The file gives its own text where the key table has none, and spells out Cancel.
        if (!*KeyDefault(id) || id == 65) continue;
        EXPECT_EQ(KeyDefault(id), english) << KeyName(id);
    }
    EXPECT_EQ("Cancel", file.Text("CANCELBUT", "English"));
}

// Every text that a page, a dialog or a message of the setup wizard shows.
std::vector<std::string> ShownKeys() {
    std::vector<std::string> keys = {"YESBUT", "NOBUT", "RESUMEBUT", "EXITBUT", "FINISH",
                                     "REMOVEAPPQUESTION", "SPACEREQ", "SPACEAV"};
    for (int page = 1; page <= 18; ++page) {
        keys.push_back(wiz::PageTitleKey(page));
        keys.push_back(wiz::PageCommentKey(page));
        for (const wiz::ControlRecord& c : wiz::PageControls(page)) {
            // An edit control's text is replaced by a file or by what the user types.
            if (c.cls != wiz::kClassEdit) keys.push_back(c.key);
        }
    }
    keys.erase(std::remove(keys.begin(), keys.end(), std::string()), keys.end());
    return keys;
}

TEST(ShippedLanguageFile, NoTextThatTheWizardShowsIsEmptyInAnyShippedLanguage) {
    LanguageFile file(ShippedFile());
    const std::vector<std::string> keys = ShownKeys();
    ASSERT_GT(keys.size(), 60u);
    ASSERT_EQ(1, std::count(keys.begin(), keys.end(), "DLG_ADDREMOVE_REPAIR"));
    int languages = 0;
    for (int index = 0; index < kLanguageCount; ++index) {
        const std::string lang = LanguageName(index);
        if (file.Text("DLG_WELCOME_TITLE", lang).empty()) continue;  // not shipped
        ++languages;
        for (const std::string& key : keys) EXPECT_NE("", file.Text(key, lang)) << lang << " " << key;
    }
    // English, German, French, Spanish, Italian, Dutch, Portuguese with their variants, and the
    // Nordic languages and Catalan.
    EXPECT_EQ(53, languages);
}

TEST(ShippedLanguageFile, TranslationsKeepPlaceholdersAccelsAndLineBreaks) {
    LanguageFile file(ShippedFile());
    const char* languages[] = {"German", "German (Germany)", "German(Switzerland)", "French", "French (Canadian)",
                               "Spanish", "Spanish(Mexican)", "Italian", "Italian (Italy)", "Dutch", "Dutch(Belgium)",
                               "Portuguese", "Portuguese (Standard)", "Portuguese (Brazilian)", "Danish",
                               "Swedish", "Finnish", "Norwegian - Bokmal", "Norwegian(Nynorsk)", "Catalan"};
    for (const char* lang : languages) {
        int same = 0;  // a few words are spelled alike ("Description", "No")
        for (int id = 1; id < kKeyCount; ++id) {
            if (!*KeyName(id)) continue;
            std::string english = file.Text(KeyName(id), "English");
            std::string text = file.Text(KeyName(id), lang);
            SCOPED_TRACE(std::string(lang) + " " + KeyName(id) + ": " + text);
            EXPECT_EQ(english.empty(), text.empty());
            if (!text.empty() && text == english) ++same;
            EXPECT_EQ(Count(english, "%P"), Count(text, "%P"));
            EXPECT_EQ(Count(english, "%p"), Count(text, "%p"));
            EXPECT_EQ(Count(english, "&"), Count(text, "&"));
            EXPECT_EQ(Count(english, "\n"), Count(text, "\n"));
            EXPECT_LE(text.size(), kLanguageTextMax);
            // Windows-1252, not UTF-8: no lead byte 0xC3 followed by a continuation byte.
            for (std::size_t i = 0; i + 1 < text.size(); ++i)
                EXPECT_FALSE(static_cast<unsigned char>(text[i]) == 0xC3 &&
                             (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80);
        }
        EXPECT_LE(same, 2) << lang;
    }
    EXPECT_EQ("Willkommen beim Quillpacker-Assistenten f\xFCr %P", file.Text("DLG_WELCOME_TITLE", "German"));
    EXPECT_EQ("Fertig stellen", file.Text("FINISH", "German (Germany)"));
    EXPECT_EQ(std::string::npos, file.Text("DLG_FINISH_TEXTRESTART", "German(Switzerland)").find('\xDF'));
    EXPECT_EQ("&Pr\xE9" "c\xE9" "dent", file.Text("PREVBUT", "French"));
    EXPECT_EQ("Tervetuloa ohjelman %P Quillpacker-asennukseen", file.Text("DLG_WELCOME_TITLE", "Finnish"));
    EXPECT_EQ("Cancel\xB7la", file.Text("CANCELBUT", "Catalan"));
}

TEST(ShippedLanguageFile, AddLanguageTakesItsTexts) {
    LanguageFile file(ShippedFile());
    CDazDoc doc;
    doc.wizard_texts = &file;
    doc.NewProject();
    ASSERT_EQ(1, doc.LanguageCount());
    EXPECT_EQ(KeyDefault(19), doc.FindString("DLG_SELECTDIRECTORY_TEXT1")->Value(0));
    int pos = doc.AddLanguage(LanguageIndexOfId(0x040C));  // "French (French)"
    ASSERT_EQ(1, pos);
    EXPECT_EQ("&Suivant", doc.FindString("NEXTBUT")->Value(1));
    EXPECT_EQ("Product", doc.FindString("PRODUCT_NAME")->Value(1));  // copied from language 0
}

}  // namespace
