// The editors of the shortcut tree's nodes: the shortcut dialog (every field of a shortcut)
// and the program-folder dialog. Both edit the node in place when OK is pressed.
#pragma once
#include <windows.h>

#include "builder/model/doc.h"

namespace qp {

// `row` is the link window's row that was double-clicked: its field takes the focus.
bool EditShortcut(HINSTANCE instance, HWND owner, const CDazDoc& doc, CObListShort& shortcut, int row);
bool EditProgramFolder(HINSTANCE instance, HWND owner, CObListShort& folder);

}  // namespace qp
