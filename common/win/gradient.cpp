// Gradient fill with its flat fallback, and window animation.
#include "common/win/gradient.h"

#include "common/win/syslib.h"

namespace qp {
namespace {

using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
using AnimateWindowFn = BOOL(WINAPI*)(HWND, DWORD, DWORD);

const DWORD kAnimationMs = 75;

}  // namespace

BOOL GradientFillPrimitive(HDC dc, TRIVERTEX* vertices, ULONG vertex_count, void* mesh, ULONG mesh_count,
                           ULONG mode, const char* library) {
    SystemLibrary lib(library);
    auto fill = lib.Get<GradientFillFn>("GradientFill");
    if (!fill) return 0;
    return fill(dc, vertices, vertex_count, mesh, mesh_count, mode);
}

void FillGradient(HDC dc, int left, int top, int right, int bottom, COLORREF top_colour, COLORREF bottom_colour,
                  const char* library) {
    TRIVERTEX v[2] = {};
    v[0].x = left;
    v[0].y = top;
    v[0].Red = static_cast<COLOR16>(GetRValue(top_colour) << 8);
    v[0].Green = static_cast<COLOR16>(GetGValue(top_colour) << 8);
    v[0].Blue = static_cast<COLOR16>(GetBValue(top_colour) << 8);
    v[1].x = right;
    v[1].y = bottom;
    v[1].Red = static_cast<COLOR16>(GetRValue(bottom_colour) << 8);
    v[1].Green = static_cast<COLOR16>(GetGValue(bottom_colour) << 8);
    v[1].Blue = static_cast<COLOR16>(GetBValue(bottom_colour) << 8);
    GRADIENT_RECT mesh = {0, 1};
    if (GradientFillPrimitive(dc, v, 2, &mesh, 1, GRADIENT_FILL_RECT_V, library)) return;

    RECT r = {left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(top_colour);
    if (!brush) return;
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

int AnimateWindowBriefly(HWND window, DWORD flags) {
    SystemLibrary user("user32.dll");
    auto animate = user.Get<AnimateWindowFn>("AnimateWindow");
    if (!animate) return 0;
    animate(window, kAnimationMs, flags);
    return 1;
}

}  // namespace qp
