// Language preselection from the user's default language.
#include "setup/wizard/language_choice.h"

namespace qp::wiz {

std::size_t PreselectLanguage(const std::vector<std::uint16_t>& ids, std::uint16_t user_default) {
    const unsigned primary = user_default & 0x3FF;
    const unsigned sub = user_default >> 10;
    std::size_t exact = ids.size();
    std::size_t same_primary = ids.size();
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if ((ids[i] & 0x3FFu) != primary) continue;
        same_primary = i;
        if ((ids[i] >> 10) == sub) exact = i;
    }
    if (exact < ids.size()) return exact;
    if (same_primary < ids.size()) return same_primary;
    return 0;
}

}  // namespace qp::wiz
