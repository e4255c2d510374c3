// Text comparisons shared by builder and runtime.
#include "common/strutil.h"

namespace qp {

namespace {
unsigned char LowerByte(char c) {
    unsigned char x = static_cast<unsigned char>(c);
    return (x >= 'A' && x <= 'Z') ? static_cast<unsigned char>(x + 32) : x;
}
}  // namespace

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerByte(a[i]) != LowerByte(b[i])) return false;
    return true;
}

std::string LowerAscii(std::string s) {
    for (char& c : s) c = static_cast<char>(LowerByte(c));
    return s;
}

}  // namespace qp
