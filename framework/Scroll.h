// The position a scroll-bar message asks for, for windows that scroll themselves (the grid and
// the hex edit control): one switch over the scroll codes instead of one per window.
#pragma once
#include <windows.h>

namespace qp {

// Reads the bar's scroll info into `info` and gives the position that `code` (the low word of
// WM_VSCROLL or WM_HSCROLL) moves to: a line, a page (at least one), the thumb, the top or the
// bottom; not clamped. False for a code that moves nothing (SB_ENDSCROLL and others).
bool ScrollRequest(HWND hwnd, int bar, int code, SCROLLINFO& info, int& pos);

}  // namespace qp
