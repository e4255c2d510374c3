#include "support/png.h"

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace qptest {
namespace {

void PutBe32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(v >> shift));
}

// Length, type, data, and the CRC of type and data.
void PutChunk(std::vector<unsigned char>& out, const char (&type)[5], const std::vector<unsigned char>& data) {
    PutBe32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
    PutBe32(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::vector<unsigned char> PngFromBmpRows(const unsigned char* rows, int width, int height, std::size_t stride) {
    if (width <= 0 || height <= 0 || stride < static_cast<std::size_t>(width) * 3)
        throw std::invalid_argument("PngFromBmpRows: bad picture size");
    // Each row of the image data: filter type 0 (none), then red, green, blue per pixel, top row first.
    std::vector<unsigned char> raw;
    raw.reserve((static_cast<std::size_t>(width) * 3 + 1) * height);
    for (int y = height - 1; y >= 0; --y) {
        const unsigned char* p = rows + static_cast<std::size_t>(y) * stride;
        raw.push_back(0);
        for (int x = 0; x < width; ++x, p += 3) {
            raw.push_back(p[2]);
            raw.push_back(p[1]);
            raw.push_back(p[0]);
        }
    }
    uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> packed(packed_size);
    if (compress2(packed.data(), &packed_size, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK)
        throw std::runtime_error("PngFromBmpRows: deflate failed");
    packed.resize(packed_size);

    std::vector<unsigned char> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    PutBe32(header, static_cast<std::uint32_t>(width));
    PutBe32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter choice, no interlace
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

}  // namespace qptest
