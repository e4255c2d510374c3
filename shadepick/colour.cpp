// Colour conversions of the picker. The order of the floating operations is part of the rule:
// the generated wheel bitmap repeats it in Python (same IEEE doubles), so do not rearrange.
#include "shadepick/colour.h"

#include <algorithm>

namespace qp::shade {

Hsb RgbToHsb(const Rgb& c) {
    const int mx = std::max({c.r, c.g, c.b});
    const int mn = std::min({c.r, c.g, c.b});
    const int delta = mx - mn;
    Hsb out;
    out.v = mx;
    if (delta == 0) return out;
    out.s = int(double(delta) / double(mx) * 255.0);
    double h;
    // Ties go to red first, then green.
    if (mx == c.r)
        h = double(c.g - c.b) / double(delta);
    else if (mx == c.g)
        h = double(c.b - c.r) / double(delta) + 2.0;
    else
        h = double(c.r - c.g) / double(delta) + 4.0;
    h *= 60.0;
    if (h < 0.0) h += 360.0;
    if (h == 360.0) h = 0.0;
    out.h = int(h);
    return out;
}

Rgb HsbToRgb(const Hsb& c) {
    const double v = c.v;
    const double chroma = v * double(c.s) / 255.0;
    const double m = v - chroma;
    const double h = c.h;
    const double x = h / 60.0;
    double r, g, b;
    if (h <= 60.0) {
        r = v; g = m + chroma * x; b = m;
    } else if (h > 300.0) {
        r = v; g = m; b = m + chroma * (360.0 - h) / 60.0;
    } else if (h < 120.0) {
        r = m + chroma * (2.0 - x); g = v; b = m;
    } else if (h < 180.0) {
        r = m; g = v; b = m + chroma * (x - 2.0);
    } else if (h < 240.0) {
        r = m; g = m + chroma * (4.0 - x); b = v;
    } else {
        r = m + chroma * (x - 4.0); g = m; b = v;
    }
    return Rgb{int(r), int(g), int(b)};
}

}  // namespace qp::shade
