// Hand-assembled setup-list bytes for the tests: shifted strings (offset 0x2A), string lists,
// and the smallest valid file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "support/testutil.h"

namespace lsttest {

using qptest::Bytes;
using qptest::LE32;
using qptest::operator+;

// A shifted string: length + 1, then each byte and the zero, each less 0x2A.
inline Bytes S(const std::string& s) {
    Bytes b = LE32(static_cast<std::uint32_t>(s.size() + 1));
    for (char c : s) b.push_back(static_cast<std::uint8_t>(static_cast<std::uint8_t>(c) - 0x2A));
    b.push_back(0xD6);
    return b;
}
inline Bytes I(std::int32_t v) { return LE32(static_cast<std::uint32_t>(v)); }
inline Bytes Q(std::uint64_t v) { return LE32(static_cast<std::uint32_t>(v)) + LE32(static_cast<std::uint32_t>(v >> 32)); }
inline Bytes L(const std::vector<std::string>& v) {
    Bytes b = I(static_cast<std::int32_t>(v.size()));
    for (const auto& s : v) b = b + S(s);
    return b;
}
inline Bytes Magic() { return qptest::Str("HeaderSetupInfo Quillpack CopyRight 2001"); }
inline Bytes Zeros(std::size_t n) { return Bytes(n, 0); }

// Record roots with every text empty and no children, as a default-built record writes them.
inline Bytes EmptyComponent() {
    Bytes b = S("") + S("") + S("") + S("") + I(1) + I(2) + I(1);
    for (int i = 0; i < 8; ++i) b = b + S("");
    return b + I(0) + L({}) + L({});
}
inline Bytes EmptyFileNode() { return I(0) + I(0) + I(0) + Q(0) + Q(0) + S("") + I(0); }
inline Bytes EmptyRegistry() { return I(0) + I(0) + S("") + S("") + L({}) + I(0); }
inline Bytes EmptyShortcut() {
    return I(0) + I(0) + S("") + S("") + I(0) + S("") + S("") + S("") + S("") + I(0) + S("") + I(0) + I(1) + I(1) +
           S("") + L({}) + I(0);
}

// The items after the settings block of a list with no records below the roots.
inline Bytes EmptyBody() {
    return I(0) + EmptyComponent() + EmptyFileNode() + I(0) + EmptyRegistry() + I(0) + I(0) + EmptyShortcut() + I(0);
}

inline Bytes SmallestFile() { return Magic() + I(1) + Zeros(2188) + EmptyBody() + I(78); }

}  // namespace lsttest
