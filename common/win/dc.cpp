// Drawing helpers of CDC.
#include "common/win/dc.h"

namespace qp {

void CDC::FillSolidRect(const RECT& r, COLORREF c) const {
    // ExtTextOut with an opaque rectangle fills without creating a brush.
    const COLORREF old = ::SetBkColor(hdc_, c);
    ::ExtTextOutA(hdc_, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkColor(hdc_, old);
}

void CDC::Draw3dRect(const RECT& r, COLORREF top_left, COLORREF bottom_right) const {
    const int cx = r.right - r.left, cy = r.bottom - r.top;
    FillSolidRect(RECT{r.left, r.top, r.left + cx - 1, r.top + 1}, top_left);
    FillSolidRect(RECT{r.left, r.top, r.left + 1, r.top + cy - 1}, top_left);
    FillSolidRect(RECT{r.right - 1, r.top, r.right, r.bottom}, bottom_right);
    FillSolidRect(RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottom_right);
}

}  // namespace qp
