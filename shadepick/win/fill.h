// The vertical gradient of the chooser, through the system's GradientFill (msimg32), looked up
// on every call. Kept here until the shared gradient helper of common/ can take its place.
#pragma once
#include <windows.h>

namespace qp::shade {

// Fills `r` from the top colour to the bottom colour, both as 16-bit channel values
// (red, green, blue). False when the system offers no gradient fill; nothing is drawn then.
bool FillVerticalGradient(HDC hdc, const RECT& r, const int top[3], const int bottom[3]);

}  // namespace qp::shade
