// The registry value editors: string, double word (hexadecimal or decimal) and binary (in the
// hex edit control). Each edits the value's data in place when OK is pressed.
#pragma once
#include <windows.h>

#include "builder/model/doc.h"

namespace qp {

// The editor of the value's kind, modal; true when OK stored the data. Nodes that are not
// values open nothing.
bool EditRegistryValue(HINSTANCE instance, HWND owner, CRegistry& value);

}  // namespace qp
