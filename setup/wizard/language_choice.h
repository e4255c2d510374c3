// Which of the setup's languages the language dialog (and an unattended run) starts from.
#pragma once
#include <cstdint>
#include <vector>

namespace qp::wiz {

// `ids` are the Windows language identifiers of the setup's languages in list order. The
// entry whose primary and sub-language both match the user's default wins (the last of
// several); otherwise the last entry of the same primary language; otherwise the first.
std::size_t PreselectLanguage(const std::vector<std::uint16_t>& ids, std::uint16_t user_default);

}  // namespace qp::wiz
