// Profile files (lines of "[section]" and "name=text") read and written the way the Windows
// profile API reads and writes them, so that language files and directory-style projects give
// the same texts on Linux as GetPrivateProfileStringA gives on Windows. Portable; file size is
// bounded, and writes change only the lines they must.
#pragma once
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace qp {

// One entry of a section as the section read hands it out.
struct ProfileEntry {
    std::string name;
    std::string value;
    bool has_value = false;  // false for a line without "=" (the API lists it as a bare name)
};

class ProfileFile {
public:
    // A larger file reads as missing. The API has no such limit, but no profile file of ours
    // comes near it, and a hostile one must not take the builder's memory.
    static constexpr std::size_t kMaxFileSize = 16u << 20;

    ProfileFile() = default;
    // Parses `bytes` as the content of a file.
    explicit ProfileFile(std::string bytes);

    // Reads the file; a missing, unreadable or oversized file gives an empty profile and
    // Loaded() false.
    static ProfileFile Load(const std::string& path);
    bool Loaded() const { return loaded_; }

    // Writes the whole content beside `path` and renames it over the file; false (and the
    // previous file untouched) when that fails.
    bool Save(const std::string& path) const;
    std::string Text() const;

    // GetPrivateProfileStringA with an empty default and a buffer of `size` characters: the
    // text of the first entry `key` in the first section `section` (both compared without
    // regard to case, blanks around them ignored), one pair of enclosing quotes removed, cut to
    // size - 1 characters. Missing section, key or "=" all read as the empty text.
    std::string GetString(const std::string& section, const std::string& key, std::size_t size) const;

    // GetPrivateProfileSectionA with a buffer of `size` characters: the buffer as the API fills
    // it, each entry ("name=text", or "name" for a line without "=") followed by a zero, then a
    // final zero. Comments (";") and blank lines are left out; texts keep their quotes.
    std::string SectionBuffer(const std::string& section, std::size_t size) const;
    // The same read split into entries.
    std::vector<ProfileEntry> GetSection(const std::string& section, std::size_t size) const;

    // Every section name, in file order (duplicates included, as they stand in the file).
    std::vector<std::string> SectionNames() const;

    // WritePrivateProfileStringA: sets the first entry `key` of the first section `section`,
    // or adds the entry at the end of that section, or appends the section at the end of the
    // file. Every other line stays byte for byte. Leading blanks of `value` are dropped as the
    // API drops them. Refuses (false, nothing changed) names or texts that the file could not
    // give back: a line break anywhere, a key with "=" or starting with "[", empty names.
    bool SetString(const std::string& section, const std::string& key, const std::string& value);
    // Removes the first entry `key` of the first section `section`; false when there is none.
    bool DeleteKey(const std::string& section, const std::string& key);
    // Removes every section `section` with its lines; false when there is none.
    bool DeleteSection(const std::string& section);

private:
    struct Key {
        std::string name;
        std::string value;
        bool has_value = false;
        std::size_t line = 0;
    };
    struct Section {
        std::string name;
        std::size_t header = 0;  // line of "[name]"; the leading nameless section has none
        bool has_header = false;
        std::vector<Key> keys;
        // Lower-cased name to the first key of that name, so that a lookup costs the same in a
        // section of thousands of numbered keys as in a short one.
        std::unordered_map<std::string, std::size_t> first_key;
    };

    void Split(const std::string& bytes);
    void Parse();
    // Both lookups take names as stored: blanks already trimmed by the caller where the API
    // trims them.
    const Section* FindSection(const std::string& name) const;
    static const Key* FindKey(const Section& section, const std::string& name);
    std::string LineEnding() const;
    void InsertLine(std::size_t at, const std::string& content);

    std::string bom_;
    std::vector<std::string> lines_;  // raw lines, each with its own line ending
    std::vector<Section> sections_;
    // Lower-cased name to the first section of that name; rebuilt by Parse with the sections.
    std::unordered_map<std::string, std::size_t> first_section_;
    bool loaded_ = false;
};

// The one-call forms of the API: each reads the file afresh.
std::string ProfileRead(const std::string& path, const std::string& section, const std::string& key,
                        std::size_t size);
bool ProfileWrite(const std::string& path, const std::string& section, const std::string& key,
                  const std::string& value);

// The character rules of the profile API over ANSI (Windows-1252) bytes.
bool IsProfileSpace(unsigned char c);
bool ProfileNameEquals(const std::string& a, const std::string& b);

}  // namespace qp
