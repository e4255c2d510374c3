// Every text the wizard shows is a string key looked up for the chosen language: the value of
// that language, else of the first language, trimmed, with the product name in place of the
// first "%P" and "\n" turned into a line break.
#pragma once
#include <string>
#include <vector>

namespace qp::wiz {

struct StringEntry {
    std::string key;
    std::vector<std::string> values;  // one per language of the setup list, in list order
};

class Texts {
public:
    Texts() = default;
    explicit Texts(std::vector<StringEntry> table) : table_(std::move(table)) {}

    void SetTable(std::vector<StringEntry> table) { table_ = std::move(table); }
    // The language whose values are shown: its position in the setup list's language list.
    void SetLanguage(std::size_t position) { language_ = position; }
    std::size_t Language() const { return language_; }
    // Looks "PRODUCT_NAME" up once for the current language; later lookups put it for "%P".
    void ResolveProductName();
    const std::string& ProductName() const { return product_; }

    // False (and `out` empty) when the key is empty, unknown, or has no value for the language.
    bool Lookup(const std::string& key, std::string& out) const;
    // The looked-up text, or `fallback` when nothing was found.
    std::string Get(const std::string& key, const std::string& fallback = std::string()) const;

private:
    std::vector<StringEntry> table_;
    std::size_t language_ = 0;
    std::string product_;
};

}  // namespace qp::wiz
