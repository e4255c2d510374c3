// Little-endian byte helpers.
#include "byteio.h"

#include <cstring>

namespace qp {

void ByteWriter::Fixed(const std::string& s, std::size_t size) {
    if (s.size() > size) throw FormatError("text too long for a field of " + std::to_string(size) + " bytes");
    Bytes(s);
    buf_.insert(buf_.end(), size - s.size(), 0);
}

void ByteWriter::PatchU32(std::size_t pos, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) buf_.at(pos + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

void ByteReader::Need(std::size_t n) const {
    if (n > Remaining()) throw FormatError("unexpected end of data");
}

void ByteReader::NeedItems(std::uint64_t count, std::size_t min_item) const {
    if (min_item == 0) min_item = 1;
    if (count > Remaining() / min_item) throw FormatError("count larger than the data left");
}

std::uint8_t ByteReader::U8() {
    Need(1);
    return p_[pos_++];
}

std::uint16_t ByteReader::U16() {
    Need(2);
    std::uint16_t v = static_cast<std::uint16_t>(p_[pos_] | (p_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
}

std::uint32_t ByteReader::U32() {
    Need(4);
    std::uint32_t lo = U16();
    std::uint32_t hi = U16();
    return lo | (hi << 16);
}

std::uint64_t ByteReader::U64() {
    Need(8);
    std::uint64_t lo = U32();
    std::uint64_t hi = U32();
    return lo | (hi << 32);
}

std::string ByteReader::Bytes(std::size_t n) {
    Need(n);
    std::string s(reinterpret_cast<const char*>(p_ + pos_), n);
    pos_ += n;
    return s;
}

void ByteReader::Read(void* out, std::size_t n) {
    Need(n);
    std::memcpy(out, p_ + pos_, n);
    pos_ += n;
}

void ByteReader::Skip(std::size_t n) {
    Need(n);
    pos_ += n;
}

std::string ByteReader::Fixed(std::size_t size) {
    Need(size);
    const char* b = reinterpret_cast<const char*>(p_ + pos_);
    std::size_t len = 0;
    while (len < size && b[len] != 0) ++len;
    pos_ += size;
    return std::string(b, len);
}

}  // namespace qp
