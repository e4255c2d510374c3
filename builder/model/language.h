// Language files: profile files with one section per string key and one entry per language
// (named by the language table's display name). The builder ships its own, "language.ini",
// beside its program; the author loads and saves others.
#pragma once
#include <string>

#include "builder/model/doc.h"
#include "builder/model/profile.h"

namespace qp {

class Progress;

constexpr char kLanguageFileName[] = "language.ini";
// The longest text a language file entry gives a string.
constexpr std::size_t kLanguageTextMax = 259;
// Our own writer marks its files with this entry: only in a file so marked are "\n", "\r" and
// "\\" escapes; a file from anywhere else is read as it stands, backslashes and all.
constexpr char kLanguageMarkSection[] = "Quillpacker Language File";
constexpr char kLanguageMarkKey[] = "Escapes";

// The builder's own language file: `program_dir` joined with "language.ini".
std::string BuilderLanguageFile(const std::string& program_dir);

// A text as it is written after "=": a line break becomes "\n" (carriage return "\r"), a
// backslash that would read as such a pair is doubled, and a text that the reader would trim
// or unquote is put in quotes. Texts without line breaks, outer blanks or outer quotes are
// written as they are, so hand-written files read as before.
std::string EncodeLanguageText(const std::string& text);
// The reverse, for an entry as the profile reader returns it (quotes already removed).
std::string DecodeLanguageText(const std::string& entry);

// A language file read once; serves the wizard texts of "Add language".
class LanguageFile : public WizardTextSource {
public:
    LanguageFile() = default;
    explicit LanguageFile(const std::string& path);
    // False when the file is missing or unreadable (every text then reads as empty).
    bool Loaded() const { return profile_.Loaded(); }
    // True when the file carries our writer's mark, so that its texts are escaped.
    bool Escaped() const { return escaped_; }
    // The text of `key` for the language named `language`, at most 259 characters; empty when
    // the file has none.
    std::string Text(const std::string& key, const std::string& language) const;
    std::string WizardText(const std::string& key, const std::string& language) override {
        return Text(key, language);
    }

private:
    ProfileFile profile_;
    bool escaped_ = false;
};

// "Load language file": every language of the project, every string of the string table; a
// text that is not empty replaces the string's value for that language and marks the project
// modified. Returns the number of texts stored. `progress` (may be null) steps per language.
int LoadLanguageFile(CDazDoc& doc, const std::string& path, Progress* progress = nullptr);

// "Save wizard texts": for every language of the project, the 73 wizard-text keys (creating a
// missing string as a wizard text), each language's text written under its display name. The
// file is marked as ours; the entries it already held unmarked are escaped first, so that they
// read back as they read before. The file is replaced only when complete; false when it could
// not be written (it is left as it was).
bool SaveWizardTexts(CDazDoc& doc, const std::string& path);

// The display text of a group's language mask: "Independent" for the empty mask, else the
// display names of the entries whose character is not '0', in table order, joined with " &".
std::string LanguageMaskText(const std::string& mask);

}  // namespace qp
