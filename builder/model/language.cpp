// Reading and writing language files, and the display text of a group's language mask.
#include "builder/model/language.h"

#include "common/fileio.h"
#include "common/fsprim.h"
#include "common/keytable.h"
#include "common/languages.h"
#include "common/report.h"

namespace qp {

namespace {

// Raw entries may be longer than the text they carry (escapes, quotes); read generously, then
// hold the decoded text to its limit.
constexpr std::size_t kRawEntryMax = 4 * kLanguageTextMax + 8;

bool IsWizardKey(int id) {
    const char* name = KeyName(id);
    return name && *name;
}

}  // namespace

std::string BuilderLanguageFile(const std::string& program_dir) {
    if (program_dir.empty()) return kLanguageFileName;
    char last = program_dir.back();
    if (last == '\\' || last == '/') return program_dir + kLanguageFileName;
    char sep = program_dir.find('\\') != std::string::npos ? '\\' : '/';
    return program_dir + sep + kLanguageFileName;
}

std::string EncodeLanguageText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\\') {
            char next = i + 1 < text.size() ? text[i + 1] : '\0';
            // Doubled whenever what follows would read as an escape: a letter n or r, another
            // backslash, or a line break (which is written as one).
            const bool doubled = next == 'n' || next == 'r' || next == '\\' || next == '\n' || next == '\r';
            out += doubled ? "\\\\" : "\\";
        } else if (c == '\0') {
            break;  // nothing after a zero survives the API anyway
        } else {
            out += c;
        }
    }
    if (out.empty()) return out;
    unsigned char first = static_cast<unsigned char>(out.front());
    unsigned char last = static_cast<unsigned char>(out.back());
    bool outer_blank = IsProfileSpace(first) || IsProfileSpace(last);
    bool outer_quotes = out.size() > 1 && (first == '"' || first == '\'') && last == first;
    if (outer_blank || outer_quotes) out = "\"" + out + "\"";
    return out;
}

std::string DecodeLanguageText(const std::string& entry) {
    std::string out;
    for (std::size_t i = 0; i < entry.size(); ++i) {
        char c = entry[i];
        if (c == '\\' && i + 1 < entry.size()) {
            char next = entry[i + 1];
            if (next == 'n') { out += '\n'; ++i; continue; }
            if (next == 'r') { out += '\r'; ++i; continue; }
            if (next == '\\') { out += '\\'; ++i; continue; }
        }
        out += c;
    }
    return out;
}

namespace {

bool HasMark(const ProfileFile& profile) {
    return profile.GetString(kLanguageMarkSection, kLanguageMarkKey, 8) == "1";
}

}  // namespace

LanguageFile::LanguageFile(const std::string& path) : profile_(ProfileFile::Load(path)), escaped_(HasMark(profile_)) {}

std::string LanguageFile::Text(const std::string& key, const std::string& language) const {
    std::string text = profile_.GetString(key, language, kRawEntryMax);
    if (escaped_) text = DecodeLanguageText(text);
    if (text.size() > kLanguageTextMax) text.resize(kLanguageTextMax);
    return text;
}

int LoadLanguageFile(CDazDoc& doc, const std::string& path, Progress* progress) {
    LanguageFile file(path);
    const auto& languages = doc.string_table.language_list;
    const std::size_t count = languages.size();
    int stored = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (progress && !progress->Step(i, count)) break;
        if (!file.Loaded()) continue;
        const std::string name = LanguageName(languages[i]->table_index);
        if (name.empty()) continue;
        for (auto& s : doc.string_table.items) {
            std::string text = file.Text(s->key, name);
            if (text.empty()) continue;
            s->SetValue(i, text);
            ++stored;
        }
    }
    if (progress) progress->Step(count, count);
    if (stored > 0) doc.SetModifiedFlag();
    return stored;
}

bool SaveWizardTexts(CDazDoc& doc, const std::string& path) {
    // Keep whatever else the file holds; a file we cannot read is not replaced.
    bool exists = IsFile(path);
    ProfileFile profile = ProfileFile::Load(path);
    if (exists && !profile.Loaded()) return false;
    if (!HasMark(profile)) {
        // Entries written by another tool mean what they say; escaped, they keep meaning it
        // once the file carries our mark.
        for (const std::string& section : profile.SectionNames()) {
            for (const ProfileEntry& e : profile.GetSection(section, ProfileFile::kMaxFileSize)) {
                if (!e.has_value) continue;
                const std::string text = profile.GetString(section, e.name, kRawEntryMax);
                const std::string encoded = EncodeLanguageText(text);
                if (encoded != text && !profile.SetString(section, e.name, encoded)) return false;
            }
        }
        if (!profile.SetString(kLanguageMarkSection, kLanguageMarkKey, "1")) return false;
    }
    bool created = false;
    const auto& languages = doc.string_table.language_list;
    for (std::size_t i = 0; i < languages.size(); ++i) {
        const std::string name = LanguageName(languages[i]->table_index);
        if (name.empty()) continue;
        for (int id = 1; id < kKeyCount; ++id) {
            if (!IsWizardKey(id)) continue;
            const char* key = KeyName(id);
            CStringItem* s = doc.FindString(key);
            if (!s) {
                s = doc.string_table.Add(std::make_unique<CStringItem>(key, CStringItem::kWizardText));
                created = true;
            }
            if (!profile.SetString(key, name, EncodeLanguageText(s->Value(i)))) return false;
        }
    }
    if (created) doc.SetModifiedFlag();
    return profile.Save(path);
}

std::string LanguageMaskText(const std::string& mask) {
    if (mask.empty()) return "Independent";
    std::string out;
    bool first = true;
    for (std::size_t i = 0; i < mask.size() && i < static_cast<std::size_t>(kLanguageCount); ++i) {
        if (mask[i] == '0') continue;
        if (!first) out += " &";
        out += LanguageName(static_cast<int>(i));
        first = false;
    }
    return out;
}

}  // namespace qp
