// The language table lookups of the wizard, in a file of their own: the table's header and the
// setup list's header both declare a type named LanguageEntry.
#include "common/languages.h"

#include <cstdint>
#include <string>

namespace qp::wiz {

std::uint16_t LanguageIdAt(int table_index) {
    const LanguageEntry* e = LanguageAt(table_index);
    return e ? e->id : 0;
}

std::string LanguageNameAt(int table_index) { return LanguageName(table_index); }

}  // namespace qp::wiz
