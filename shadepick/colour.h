// The picker's colour rules: integer red/green/blue to hue/saturation/brightness and back.
// The wheel artwork is generated from the same rules (scripts/gen-wheel.py), so both must agree
// to the last truncation.
#pragma once
#include <cstdint>

namespace qp::shade {

struct Rgb {
    int r = 0, g = 0, b = 0;  // 0 to 255 each
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

struct Hsb {
    int h = 0;  // degrees, 0 to 359
    int s = 0;  // 0 to 255
    int v = 0;  // brightness, 0 to 255
    bool operator==(const Hsb& o) const { return h == o.h && s == o.s && v == o.v; }
};

// The circle constant the picker has always used; the wheel artwork depends on it.
constexpr double kPi = 3.14159265358;

Hsb RgbToHsb(const Rgb& c);
Rgb HsbToRgb(const Hsb& c);

// COLORREF layout 0x00BBGGRR.
inline std::uint32_t ToColorref(const Rgb& c) {
    return std::uint32_t(c.r & 0xFF) | (std::uint32_t(c.g & 0xFF) << 8) | (std::uint32_t(c.b & 0xFF) << 16);
}
inline Rgb FromColorref(std::uint32_t c) {
    return Rgb{int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)};
}

// Typed values are kept inside a channel's range rather than refused.
inline int Clamp(int value, int lo, int hi) { return value < lo ? lo : (value > hi ? hi : value); }

}  // namespace qp::shade
