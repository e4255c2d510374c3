// The text of read-only viewers (readme and license pages): blank lines dropped, every line
// ended with CR LF as edit controls want it.
#pragma once
#include <cstddef>
#include <string>

namespace qp {

// How much of a file a viewer shows at most.
constexpr std::size_t kViewerTextLimit = 32760;

// Splits `input` at every run of CR and LF characters and gives each non-empty line followed
// by CR LF. The text ends at a zero byte, as the window's text would.
std::string ConvertViewerText(const std::string& input);

// Reads at most kViewerTextLimit bytes of `file` and converts them. False for an empty name,
// a missing file, anything but an ordinary file (a pipe or device would block or never end)
// or a failed open. Lines are never cut by the conversion; only the input
// limit can end the last one early.
bool LoadViewerText(const std::string& file, std::string* out);

}  // namespace qp
