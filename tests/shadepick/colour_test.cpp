// The picker's colour rules: fixed examples, the tie rules, and round trips over the whole
// RGB cube within the error that the rules' truncations allow.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "shadepick/colour.h"

using qp::shade::Hsb;
using qp::shade::HsbToRgb;
using qp::shade::Rgb;
using qp::shade::RgbToHsb;

namespace {

void ExpectHsb(Rgb in, int h, int s, int v) {
    const Hsb out = RgbToHsb(in);
    EXPECT_EQ(out.h, h) << in.r << "," << in.g << "," << in.b;
    EXPECT_EQ(out.s, s) << in.r << "," << in.g << "," << in.b;
    EXPECT_EQ(out.v, v) << in.r << "," << in.g << "," << in.b;
}

void ExpectRgb(Hsb in, int r, int g, int b) {
    const Rgb out = HsbToRgb(in);
    EXPECT_EQ(out.r, r) << in.h << "," << in.s << "," << in.v;
    EXPECT_EQ(out.g, g) << in.h << "," << in.s << "," << in.v;
    EXPECT_EQ(out.b, b) << in.h << "," << in.s << "," << in.v;
}

}  // namespace

TEST(RgbToHsb, Examples) {
    ExpectHsb({255, 0, 0}, 0, 255, 255);
    ExpectHsb({128, 128, 128}, 0, 0, 128);
    ExpectHsb({0, 0, 0}, 0, 0, 0);
    ExpectHsb({255, 255, 255}, 0, 0, 255);
    // -0.235 degrees, plus 360, truncated.
    ExpectHsb({255, 0, 1}, 359, 255, 255);
    ExpectHsb({0, 255, 0}, 120, 255, 255);
    ExpectHsb({0, 0, 255}, 240, 255, 255);
    // Saturation truncates: 100 / 200 * 255 = 127.5.
    ExpectHsb({200, 100, 100}, 0, 127, 200);
    // Hue truncates toward zero: (60 - 0) / 200 * 60 = 18.
    ExpectHsb({200, 60, 0}, 18, 255, 200);
    ExpectHsb({10, 200, 30}, 126, 242, 200);
}

TEST(RgbToHsb, TiesCountAsRedThenGreen) {
    // Red and green both largest: the red formula, (g - b) / delta * 60 = 60.
    ExpectHsb({255, 255, 0}, 60, 255, 255);
    // Green and blue both largest: the green formula, (b - r) / delta + 2 = 3 -> 180.
    ExpectHsb({0, 255, 255}, 180, 255, 255);
    // Red and blue both largest: the red formula gives -60, plus 360.
    ExpectHsb({255, 0, 255}, 300, 255, 255);
}

TEST(HsbToRgb, Examples) {
    ExpectRgb({0, 255, 255}, 255, 0, 0);
    ExpectRgb({0, 0, 128}, 128, 128, 128);
    ExpectRgb({120, 255, 255}, 0, 255, 0);
    ExpectRgb({240, 255, 255}, 0, 0, 255);
    ExpectRgb({60, 255, 255}, 255, 255, 0);   // h <= 60 branch
    ExpectRgb({300, 255, 255}, 255, 0, 255);  // 240..300 branch up to and with 300
    ExpectRgb({301, 255, 255}, 255, 0, 250);  // beyond 300: 255 * 59 / 60 = 250.75
    ExpectRgb({30, 255, 200}, 200, 100, 0);
    ExpectRgb({90, 128, 255}, 191, 255, 127);  // m = 127.0, C = 128; red 127 + 128 * 0.5
    ExpectRgb({200, 255, 0}, 0, 0, 0);
}

// Going to HSB and back loses at most what the truncations allow. Saturation truncates by
// less than 1/255 of a step, which moves the smallest channel down by less than 1 before its
// own truncation, which takes it back; hue truncates by less than a degree, which moves the
// middle channel by less than chroma / 60 <= 4.25, plus its own truncation. Measured over the
// whole cube: the largest and the smallest channel come back exact, the middle one at most 5 off.
TEST(ColourRoundTrip, WholeCubeWithinTruncationBound) {
    int worst_max = 0, worst_min = 0, worst_mid = 0;
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b) {
                const Rgb in{r, g, b};
                const Rgb out = HsbToRgb(RgbToHsb(in));
                const int a[3] = {r, g, b}, o[3] = {out.r, out.g, out.b};
                int imax = 0, imin = 0;
                for (int i = 1; i < 3; ++i) {
                    if (a[i] > a[imax]) imax = i;
                    if (a[i] <= a[imin]) imin = i;
                }
                if (imin == imax) imin = (imax + 1) % 3;
                const int imid = 3 - imax - imin;
                const int dmax = std::abs(a[imax] - o[imax]);
                const int dmin = std::abs(a[imin] - o[imin]);
                const int dmid = std::abs(a[imid] - o[imid]);
                if (dmax > worst_max) worst_max = dmax;
                if (dmin > worst_min) worst_min = dmin;
                if (dmid > worst_mid) worst_mid = dmid;
                // Results never leave the channel range.
                ASSERT_TRUE(out.r >= 0 && out.r <= 255 && out.g >= 0 && out.g <= 255 && out.b >= 0 && out.b <= 255)
                    << r << "," << g << "," << b;
            }
    EXPECT_EQ(worst_max, 0);
    EXPECT_EQ(worst_min, 0);
    EXPECT_LE(worst_mid, 5);
    std::printf("round-trip error: largest %d, smallest %d, middle %d\n", worst_max, worst_min, worst_mid);
}

TEST(ColourRoundTrip, HsbRangeStaysInsideChannels) {
    for (int h = 0; h < 360; ++h)
        for (int s = 0; s < 256; s += 5)
            for (int v = 0; v < 256; v += 5) {
                const Rgb c = HsbToRgb({h, s, v});
                ASSERT_TRUE(c.r >= 0 && c.r <= v && c.g >= 0 && c.g <= v && c.b >= 0 && c.b <= v) << h << "," << s << "," << v;
            }
}

TEST(Colorref, LayoutIsBlueGreenRed) {
    EXPECT_EQ(qp::shade::ToColorref({0x12, 0x34, 0x56}), 0x00563412u);
    EXPECT_EQ(qp::shade::FromColorref(0x00563412u), (Rgb{0x12, 0x34, 0x56}));
    EXPECT_EQ(qp::shade::FromColorref(0xFF000000u), (Rgb{0, 0, 0}));  // the top byte is not a channel
}
