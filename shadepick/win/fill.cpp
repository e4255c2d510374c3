// Gradient fill through msimg32, loaded from the system directory on every call.
#include "fill.h"

#include "common/win/syslib.h"

namespace qp::shade {

bool FillVerticalGradient(HDC hdc, const RECT& r, const int top[3], const int bottom[3]) {
    using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
    SystemLibrary msimg("msimg32.dll");
    auto fill = msimg.Get<GradientFillFn>("GradientFill");
    if (!fill) return false;
    TRIVERTEX v[2]{};
    v[0].x = r.left;
    v[0].y = r.top;
    v[0].Red = COLOR16(top[0]);
    v[0].Green = COLOR16(top[1]);
    v[0].Blue = COLOR16(top[2]);
    v[1].x = r.right;
    v[1].y = r.bottom;
    v[1].Red = COLOR16(bottom[0]);
    v[1].Green = COLOR16(bottom[1]);
    v[1].Blue = COLOR16(bottom[2]);
    GRADIENT_RECT mesh{0, 1};
    return fill(hdc, v, 2, &mesh, 1, GRADIENT_FILL_RECT_V) != FALSE;
}

}  // namespace qp::shade
