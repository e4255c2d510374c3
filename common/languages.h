// The language table shared by the builder and the setup runtime. A project's languages and a
// group's language mask count entries by their index here, never by identifier: several entries
// share an identifier and only the index tells them apart.
#pragma once
#include <cstdint>

namespace qp {

constexpr int kLanguageCount = 103;

struct LanguageEntry {
    std::uint16_t id;  // Windows language identifier: primary language in the low 10 bits
    const char* name;  // display name; also the entry name looked up in a language file
};

// The entry at `index`, or nullptr outside 0 .. kLanguageCount-1.
const LanguageEntry* LanguageAt(int index);
// The display name at `index`, or the empty text outside the table.
const char* LanguageName(int index);
// The first index whose identifier equals `id`, or -1.
int LanguageIndexOfId(std::uint16_t id);

}  // namespace qp
