// ANSI text to UTF-16 and back, for the places where the two meet: dialog templates and shell
// link paths want UTF-16, and paths the system gives in UTF-16 go to our ANSI code. One string
// type for every caller: std::u16string is in setup.exe already (the page templates), where
// std::wstring would add its own copy of the string code.
#pragma once
#include <string>

namespace qp {

// `text` in the system's ANSI code page to UTF-16; the empty string for empty or unconvertible
// text. c_str() gives the NUL-terminated form the wide API calls take.
std::u16string Widen(const std::string& text);

// A path the system gave in UTF-16, for the ANSI calls: as it is when the ANSI code page has
// every one of its characters, else its short (8.3) form when that has only such characters
// (a kit in a folder named in another script than the system's); empty when neither (the
// volume keeps no short names), since a path with '?' in it names nothing.
std::string AnsiPath(const std::u16string& path);

// The program file of this process, as AnsiPath gives it; empty when it cannot be spelt.
std::string OwnProgramPath();

}  // namespace qp
