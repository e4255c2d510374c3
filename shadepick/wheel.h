// Geometry of the picker panel: where the wheel and the brightness bar sit, what a point on
// them means, where the markers go, and the colour table of the bar. No windows here, so the
// rules carry their tests in both builds.
#pragma once
#include <vector>

#include "shadepick/colour.h"

namespace qp::shade {

struct Point {
    int x = 0, y = 0;
};

// Half-open like the system's rectangles: left and top inside, right and bottom outside.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// The wheel artwork: its size, and where its centre lies inside it.
constexpr int kWheelWidth = 202;
constexpr int kWheelHeight = 201;
constexpr int kWheelCentre = 100;
constexpr int kWheelRadius = 100;

enum class DragMode { None = 0, Wheel = 1, Bar = 2 };

struct HueSat {
    int h = 0, s = 0;
};

class WheelGeometry {
public:
    // frame: the wheel-area group box in panel client pixels; the bitmap's size as loaded.
    WheelGeometry(const Rect& frame, int bitmap_width = kWheelWidth, int bitmap_height = kWheelHeight);

    const Rect& Area() const { return area_; }
    Point Centre() const { return centre_; }
    const Rect& Bar() const { return bar_; }

    // What a button press at p starts.
    DragMode HitTest(Point p) const;
    // Hue and saturation picked by a point; points beyond the rim keep full saturation.
    HueSat WheelPick(Point p) const;
    // Brightness picked by a point on the bar, clamped to 0..255.
    int BarPick(int y) const;

    // Rectangles to XOR-draw the markers of the current colour.
    Rect WheelMarker(int hue, int saturation) const;
    Rect BarMarker(int brightness) const;

private:
    Rect area_;
    Point centre_;
    Rect bar_;
};

// The bar's palette, top row first: entry k is the colour at brightness
// (height - 1 - k) * 255 / height for the given hue and saturation.
std::vector<Rgb> BarColourTable(int hue, int saturation, int height);

}  // namespace qp::shade
