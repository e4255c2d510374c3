// Panel geometry: the wheel and bar hit rules, the picks, the markers, the bar's palette, and
// the shipped wheel artwork against the pick rule.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "shadepick/wheel.h"

using namespace qp::shade;

namespace {

// A wheel frame as the panel's group box gives it; the area starts 15 right and 25 down.
const Rect kFrame{0, 0, 270, 236};

}  // namespace

TEST(WheelGeometry, AreaCentreAndBar) {
    const WheelGeometry g(kFrame);
    EXPECT_EQ(g.Area(), (Rect{15, 25, 265, 231}));
    EXPECT_EQ(g.Centre().x, 115);
    EXPECT_EQ(g.Centre().y, 125);
    EXPECT_EQ(g.Bar(), (Rect{15 + 202 + 20, 25, 15 + 202 + 40, 25 + 201}));
}

TEST(WheelGeometry, HitTest) {
    const WheelGeometry g(kFrame);
    const Point c = g.Centre();
    EXPECT_EQ(g.HitTest(c), DragMode::Wheel);
    EXPECT_EQ(g.HitTest({c.x + 100, c.y}), DragMode::Wheel);      // on the rim
    EXPECT_EQ(g.HitTest({c.x + 70, c.y - 71}), DragMode::Wheel);  // 99.7, truncated 99
    EXPECT_EQ(g.HitTest({c.x + 71, c.y + 71}), DragMode::Wheel);  // 100.4, truncated 100
    EXPECT_EQ(g.HitTest({c.x + 72, c.y + 71}), DragMode::None);   // 101.1: in the area, off the wheel
    EXPECT_EQ(g.HitTest({c.x - 99, c.y - 99}), DragMode::None);   // a corner of the area
    const Rect& bar = g.Bar();
    EXPECT_EQ(g.HitTest({bar.left, bar.top}), DragMode::Bar);
    EXPECT_EQ(g.HitTest({bar.right - 1, bar.bottom - 1}), DragMode::Bar);
    EXPECT_EQ(g.HitTest({bar.left - 1, bar.top + 10}), DragMode::None);
    EXPECT_EQ(g.HitTest({bar.left + 5, bar.bottom}), DragMode::None);
    // The frame outside the area counts for nothing, even where the circle would reach.
    EXPECT_EQ(g.HitTest({14, c.y}), DragMode::None);
    const WheelGeometry narrow(Rect{0, 0, 120, 236});
    EXPECT_EQ(narrow.HitTest({narrow.Centre().x + 10, narrow.Centre().y}), DragMode::None);
}

TEST(WheelGeometry, WheelPick) {
    const WheelGeometry g(kFrame);
    const Point c = g.Centre();
    auto pick = [&](int dx, int dy) { return g.WheelPick({c.x + dx, c.y + dy}); };
    EXPECT_EQ(pick(0, 0).h, 0);
    EXPECT_EQ(pick(0, 0).s, 0);
    EXPECT_EQ(pick(50, 0).h, 0);
    EXPECT_EQ(pick(50, 0).s, 127);  // 50 * 255 / 100 = 127.5
    EXPECT_EQ(pick(0, -100).h, 90);  // up is 90 degrees
    EXPECT_EQ(pick(0, -100).s, 255);
    EXPECT_EQ(pick(-100, 0).h, 180);
    EXPECT_EQ(pick(0, 100).h, 270);
    EXPECT_EQ(pick(100, 1).h, 0);        // -0.57 degrees truncates toward zero: 0
    EXPECT_EQ(pick(100, 2).h, 360 - 1);  // -1.15 degrees: -1, plus 360
    // Far outside the wheel: full saturation, still following the angle.
    EXPECT_EQ(pick(-300, -300).s, 255);
    EXPECT_EQ(pick(-300, -300).h, 135);
    EXPECT_EQ(pick(1000, -1).h, 0);
}

TEST(WheelGeometry, BarPickClamps) {
    const WheelGeometry g(kFrame);
    const Rect& bar = g.Bar();
    EXPECT_EQ(g.BarPick(bar.top), 255);
    EXPECT_EQ(g.BarPick(bar.bottom - 1), 1);  // 255 / 201 = 1.27
    EXPECT_EQ(g.BarPick(bar.bottom), 0);
    EXPECT_EQ(g.BarPick(bar.bottom + 50), 0);
    EXPECT_EQ(g.BarPick(bar.top - 50), 255);
    EXPECT_EQ(g.BarPick(bar.top + 100), 128);  // 101 * 255 / 201 = 128.1
}

TEST(WheelGeometry, Markers) {
    const WheelGeometry g(kFrame);
    const Point c = g.Centre();
    EXPECT_EQ(g.WheelMarker(0, 255), (Rect{c.x + 100 - 5, c.y - 5, c.x + 100 + 5, c.y + 5}));
    EXPECT_EQ(g.WheelMarker(0, 0), (Rect{c.x - 5, c.y - 5, c.x + 5, c.y + 5}));
    // 90 degrees: cos is 5e-12, not 0, and truncates to 0.
    EXPECT_EQ(g.WheelMarker(90, 255), (Rect{c.x - 5, c.y - 100 - 5, c.x + 5, c.y - 100 + 5}));
    // 45 degrees at half saturation: 49.0 * 0.7071 = 34.6 on both axes.
    EXPECT_EQ(g.WheelMarker(45, 125), (Rect{c.x + 34 - 5, c.y - 34 - 5, c.x + 34 + 5, c.y - 34 + 5}));
    const Rect& bar = g.Bar();
    EXPECT_EQ(g.BarMarker(0), (Rect{bar.left - 2, bar.bottom - 4, bar.right + 2, bar.bottom + 4}));
    EXPECT_EQ(g.BarMarker(255), (Rect{bar.left - 2, bar.top - 4, bar.right + 2, bar.top + 4}));
    EXPECT_EQ(g.BarMarker(128).top, bar.bottom - 100 - 4);  // 201 * 128 / 255 = 100.9
}

TEST(BarColourTable, TopBrightestBottomBlack) {
    const std::vector<Rgb> t = BarColourTable(0, 255, 201);
    ASSERT_EQ(t.size(), 201u);
    EXPECT_EQ(t[0], (Rgb{253, 0, 0}));  // 200 * 255 / 201 = 253.7
    EXPECT_EQ(t[100], (Rgb{126, 0, 0}));  // 100 * 255 / 201 = 126.9
    EXPECT_EQ(t[200], (Rgb{0, 0, 0}));
    const std::vector<Rgb> grey = BarColourTable(200, 0, 4);
    ASSERT_EQ(grey.size(), 4u);
    EXPECT_EQ(grey[0], (Rgb{191, 191, 191}));  // 3 * 255 / 4
    EXPECT_EQ(grey[1], (Rgb{127, 127, 127}));
    EXPECT_EQ(grey[3], (Rgb{0, 0, 0}));
    EXPECT_TRUE(BarColourTable(0, 0, 0).empty());
}

// The artwork must show at each point the colour a click there picks at full brightness.
TEST(WheelArtwork, MatchesThePickRule) {
    std::ifstream in(QP_WHEEL_BMP, std::ios::binary);
    ASSERT_TRUE(in.good()) << QP_WHEEL_BMP;
    const std::vector<std::uint8_t> bmp((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(bmp.size(), 54u);
    auto le32 = [&](std::size_t at) {
        return std::uint32_t(bmp[at]) | std::uint32_t(bmp[at + 1]) << 8 | std::uint32_t(bmp[at + 2]) << 16 |
               std::uint32_t(bmp[at + 3]) << 24;
    };
    ASSERT_EQ(bmp[0], 'B');
    ASSERT_EQ(bmp[1], 'M');
    const std::uint32_t offset = le32(10);
    ASSERT_EQ(int(le32(18)), kWheelWidth);
    ASSERT_EQ(int(le32(22)), kWheelHeight);  // positive: bottom-up rows
    ASSERT_EQ(bmp[28], 24);
    const std::size_t stride = (kWheelWidth * 3 + 3) & ~3u;
    ASSERT_EQ(bmp.size(), offset + stride * kWheelHeight);

    const WheelGeometry g(Rect{-15, -25, 300, 300});  // area top-left at 0, 0: bitmap pixels
    int wrong = 0, inside = 0;
    for (int y = 0; y < kWheelHeight; ++y)
        for (int x = 0; x < kWheelWidth; ++x) {
            const std::uint8_t* p = &bmp[offset + stride * (kWheelHeight - 1 - y) + std::size_t(x) * 3];
            const Rgb shown{p[2], p[1], p[0]};
            Rgb expected{192, 192, 192};
            if (g.HitTest({x, y}) == DragMode::Wheel) {
                const HueSat hs = g.WheelPick({x, y});
                expected = HsbToRgb({hs.h, hs.s, 255});
                ++inside;
            }
            if (shown != expected) ++wrong;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(inside, 31000);  // about pi * 100^2
}
