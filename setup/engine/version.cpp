// Version comparison.
#include "setup/engine/version.h"

#include <cctype>
#include <vector>

namespace qp {

namespace {

bool Digit(char c) { return c >= '0' && c <= '9'; }

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

struct Parsed {
    std::vector<std::string> numbers;  // digit runs without leading zeros ("" for zero)
    std::string rest;
};

// The numbers are digit runs joined by single dots; a dot not followed by a digit belongs to the
// rest. Kept as digit strings so that no length of number can overflow.
Parsed Parse(const std::string& text) {
    Parsed p;
    const std::string s = Trim(text);
    std::size_t i = 0;
    while (i < s.size() && Digit(s[i])) {
        std::size_t start = i;
        while (i < s.size() && Digit(s[i])) ++i;
        std::size_t first = start;
        while (first < i && s[first] == '0') ++first;
        p.numbers.push_back(s.substr(first, i - first));
        if (i + 1 < s.size() && s[i] == '.' && Digit(s[i + 1])) ++i;
        else break;
    }
    p.rest = s.substr(i);
    return p;
}

int CompareNumber(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

}  // namespace

int CompareVersions(const std::string& a, const std::string& b) {
    const Parsed pa = Parse(a), pb = Parse(b);
    const std::size_t n = pa.numbers.size() > pb.numbers.size() ? pa.numbers.size() : pb.numbers.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::string& x = i < pa.numbers.size() ? pa.numbers[i] : std::string();
        const std::string& y = i < pb.numbers.size() ? pb.numbers[i] : std::string();
        if (int c = CompareNumber(x, y)) return c;
    }
    for (std::size_t i = 0; i < pa.rest.size() || i < pb.rest.size(); ++i) {
        if (i >= pa.rest.size()) return -1;
        if (i >= pb.rest.size()) return 1;
        const int x = std::tolower(static_cast<unsigned char>(pa.rest[i]));
        const int y = std::tolower(static_cast<unsigned char>(pb.rest[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

}  // namespace qp
