// "Function Set": the four fields of a function-call item, edited in place when OK is pressed.
#pragma once
#include <windows.h>

#include "builder/model/doc.h"

namespace qp {

bool EditFunction(HINSTANCE instance, HWND owner, CItemFunction& function);

}  // namespace qp
