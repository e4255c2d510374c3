// A readable listing of a whole project, for "qpbc dump".
#pragma once
#include <iosfwd>
#include <string>

#include "builder/model/doc.h"

namespace qp {
namespace cli {

// `utf8`: write the ANSI (Windows-1252) texts as UTF-8, for a Linux terminal; otherwise the
// bytes go out as they are.
void DumpProject(const CDazDoc& doc, std::ostream& out, bool utf8);

// A text in double quotes, control characters as \n, \r, \t or \xNN.
std::string Quote(const std::string& text, bool utf8);

}  // namespace cli
}  // namespace qp
