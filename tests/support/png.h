// PNG pictures of screenshots: a fraction of the size of a BMP, and any viewer shows them.
#pragma once
#include <cstddef>
#include <vector>

namespace qptest {

// An 8-bit RGB PNG of a `width` x `height` picture given as 24-bit BMP pixel rows: blue, green,
// red, each row `stride` bytes, the bottom row first.
std::vector<unsigned char> PngFromBmpRows(const unsigned char* rows, int width, int height, std::size_t stride);

}  // namespace qptest
