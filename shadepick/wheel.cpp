// Panel geometry and the hit rules of the wheel and the bar.
#include "shadepick/wheel.h"

#include <cmath>

namespace qp::shade {

WheelGeometry::WheelGeometry(const Rect& frame, int bitmap_width, int bitmap_height) {
    area_ = Rect{frame.left + 5 + 10, frame.top + 5 + 20, frame.right - 5, frame.bottom - 5};
    centre_ = Point{area_.left + kWheelCentre, area_.top + kWheelCentre};
    bar_ = Rect{area_.left + bitmap_width + 20, area_.top, area_.left + bitmap_width + 40,
                area_.top + bitmap_height};
}

static int TruncDistance(int dx, int dy) {
    return int(std::sqrt(double(dx) * dx + double(dy) * dy));
}

DragMode WheelGeometry::HitTest(Point p) const {
    if (!area_.Contains(p)) return DragMode::None;
    if (TruncDistance(p.x - centre_.x, p.y - centre_.y) <= kWheelRadius) return DragMode::Wheel;
    if (bar_.Contains(p)) return DragMode::Bar;
    return DragMode::None;
}

HueSat WheelGeometry::WheelPick(Point p) const {
    const int dx = p.x - centre_.x;
    const int dy = centre_.y - p.y;
    HueSat out;
    if (dx != 0 || dy != 0) {
        out.h = int(std::atan2(double(dy), double(dx)) * 180.0 / kPi);
        if (out.h < 0) out.h += 360;
    }
    const int s = int(double(TruncDistance(dx, dy)) * 255.0 / 100.0);
    out.s = s > 255 ? 255 : s;
    return out;
}

int WheelGeometry::BarPick(int y) const {
    const int height = bar_.Height();
    if (height <= 0) return 0;
    double v = double(bar_.bottom - y) * 255.0 / double(height);
    if (v < 0.0) v = 0.0;
    if (v > 255.0) v = 255.0;
    return int(v);
}

Rect WheelGeometry::WheelMarker(int hue, int saturation) const {
    const double angle = double(hue) * kPi / 180.0;
    const double radius = double(saturation) * 100.0 / 255.0;
    const int x = centre_.x + int(std::cos(angle) * radius);
    const int y = centre_.y - int(std::sin(angle) * radius);
    return Rect{x - 5, y - 5, x + 5, y + 5};
}

Rect WheelGeometry::BarMarker(int brightness) const {
    const int y = bar_.bottom - int(double(bar_.Height()) * double(brightness) / 255.0);
    return Rect{bar_.left - 2, y - 4, bar_.right + 2, y + 4};
}

std::vector<Rgb> BarColourTable(int hue, int saturation, int height) {
    std::vector<Rgb> table;
    if (height <= 0) return table;
    table.reserve(height);
    for (int k = 0; k < height; ++k)
        table.push_back(HsbToRgb(Hsb{hue, saturation, (height - 1 - k) * 255 / height}));
    return table;
}

}  // namespace qp::shade
