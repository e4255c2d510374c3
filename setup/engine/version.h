// Product versions as a publisher writes them ("1.9", "1.10", "2.0 beta"): which of two is newer.
#pragma once
#include <string>

namespace qp {

// Compares two versions: negative when `a` is older than `b`, 0 when they are the same, positive
// when `a` is newer. The leading dotted numbers compare part by part as numbers (1.10 > 1.9, of
// any length, leading zeros ignored); a missing part counts as 0 (1.0 = 1). Whatever follows the
// numbers compares as text, without regard to case, only when the numbers are equal. Blanks
// around the version do not count.
int CompareVersions(const std::string& a, const std::string& b);

}  // namespace qp
