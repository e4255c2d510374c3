// Text comparisons shared by builder and runtime. Names, keys and paths are compared without
// regard to the case of ASCII letters only, the same in every program and on every system.
#pragma once
#include <string>

namespace qp {

bool EqualNoCase(const std::string& a, const std::string& b);
std::string LowerAscii(std::string s);

}  // namespace qp
