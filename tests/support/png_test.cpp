// The screenshot PNG against hand-assembled bytes: a 2 x 2 picture whose BMP rows run bottom-up.
#include <gtest/gtest.h>
#include <zlib.h>

#include <vector>

#include "support/png.h"

namespace {

TEST(Png, TwoByTwoPictureInRgbTopRowFirst) {
    // BMP rows of 8 bytes (6 of pixels, 2 of padding), the bottom row first, blue-green-red.
    const unsigned char bmp[] = {
        0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0xEE, 0xEE,  // bottom: (1,2,3) (4,5,6)
        0x09, 0x08, 0x07, 0x0C, 0x0B, 0x0A, 0xEE, 0xEE,  // top:    (7,8,9) (10,11,12)
    };
    const std::vector<unsigned char> png = qptest::PngFromBmpRows(bmp, 2, 2, 8);
    const std::vector<unsigned char> head = {
        0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,
        0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 2, 0, 0, 0, 2, 8, 2, 0, 0, 0, 0xFD, 0xD4, 0x9A, 0x73,
    };
    const std::vector<unsigned char> tail = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    ASSERT_GT(png.size(), head.size() + 12 + tail.size());
    EXPECT_EQ(std::vector<unsigned char>(png.begin(), png.begin() + head.size()), head);
    EXPECT_EQ(std::vector<unsigned char>(png.end() - tail.size(), png.end()), tail);

    const std::size_t idat = head.size();
    const std::size_t length = (png[idat] << 24) | (png[idat + 1] << 16) | (png[idat + 2] << 8) | png[idat + 3];
    ASSERT_EQ(idat + 12 + length + tail.size(), png.size());
    EXPECT_EQ(std::string(png.begin() + idat + 4, png.begin() + idat + 8), "IDAT");
    EXPECT_EQ(crc32(0L, png.data() + idat + 4, static_cast<uInt>(length + 4)),
              static_cast<uLong>((png[idat + 8 + length] << 24) | (png[idat + 9 + length] << 16) |
                                 (png[idat + 10 + length] << 8) | png[idat + 11 + length]));
    std::vector<unsigned char> rows(32);
    uLongf size = static_cast<uLongf>(rows.size());
    ASSERT_EQ(uncompress(rows.data(), &size, png.data() + idat + 8, static_cast<uLong>(length)), Z_OK);
    rows.resize(size);
    EXPECT_EQ(rows, (std::vector<unsigned char>{0, 7, 8, 9, 10, 11, 12, 0, 1, 2, 3, 4, 5, 6}));
}

}  // namespace
