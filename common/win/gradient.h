// Vertical gradient fills (the setup window's background) and the setup window's opening
// animation. Both functions are looked up at run time and the libraries freed after each
// call, so the programs start on systems without them.
#pragma once
#include <windows.h>

namespace qp {

// The platform's GradientFill with the arguments as given, from `library` (normally
// "msimg32.dll", loaded from the system directory). 0 without drawing when the library or
// the function is missing. The library name is there for tests that need it missing.
BOOL GradientFillPrimitive(HDC dc, TRIVERTEX* vertices, ULONG vertex_count, void* mesh, ULONG mesh_count,
                           ULONG mode, const char* library = "msimg32.dll");

// Fills left, top, right, bottom from `top` colour down to `bottom` colour. Without the
// gradient function the rectangle is one flat colour, the top one.
void FillGradient(HDC dc, int left, int top, int right, int bottom, COLORREF top_colour, COLORREF bottom_colour,
                  const char* library = "msimg32.dll");

// AnimateWindow(window, 75 ms, flags) from user32 when the system has it: 1 then (whatever the
// animation itself gave), 0 when there is no such function.
int AnimateWindowBriefly(HWND window, DWORD flags);

}  // namespace qp
