// ANSI text to UTF-16, for the few places Windows wants UTF-16: dialog templates and shell link
// paths. One string type for every caller: std::u16string is in setup.exe already (the page
// templates), where std::wstring would add its own copy of the string code.
#pragma once
#include <string>

namespace qp {

// `text` in the system's ANSI code page to UTF-16; the empty string for empty or unconvertible
// text. c_str() gives the NUL-terminated form the wide API calls take.
std::u16string Widen(const std::string& text);

}  // namespace qp
