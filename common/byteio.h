// Little-endian byte reading and writing, field by field. The reader treats its input as
// hostile: every read is checked against what is left, and a short input throws FormatError.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "errors.h"

namespace qp {

class ByteWriter {
public:
    void U8(std::uint8_t v) { buf_.push_back(v); }
    void U16(std::uint16_t v) { U8(v & 0xFF); U8(v >> 8); }
    void U32(std::uint32_t v) { U16(v & 0xFFFF); U16(v >> 16); }
    void U64(std::uint64_t v) { U32(static_cast<std::uint32_t>(v)); U32(static_cast<std::uint32_t>(v >> 32)); }
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void Bytes(const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        buf_.insert(buf_.end(), b, b + n);
    }
    void Bytes(const std::string& s) { Bytes(s.data(), s.size()); }
    // A fixed-size field: the text, then zeros up to `size` (the text must fit).
    void Fixed(const std::string& s, std::size_t size);
    // Overwrites 4 bytes at `pos` (for sizes known only after the fact).
    void PatchU32(std::size_t pos, std::uint32_t v);

    std::size_t Size() const { return buf_.size(); }
    const std::vector<std::uint8_t>& Data() const { return buf_; }
    std::vector<std::uint8_t>& Data() { return buf_; }

private:
    std::vector<std::uint8_t> buf_;
};

class ByteReader {
public:
    ByteReader(const void* data, std::size_t size)
        : p_(static_cast<const std::uint8_t*>(data)), size_(size) {}
    explicit ByteReader(const std::vector<std::uint8_t>& v) : ByteReader(v.data(), v.size()) {}

    std::uint8_t U8();
    std::uint16_t U16();
    std::uint32_t U32();
    std::uint64_t U64();
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    std::string Bytes(std::size_t n);
    void Read(void* out, std::size_t n);
    void Skip(std::size_t n);
    // A fixed-size field holding a zero-terminated text; the text ends at the first zero
    // or at the end of the field.
    std::string Fixed(std::size_t size);

    std::size_t Remaining() const { return size_ - pos_; }
    std::size_t Pos() const { return pos_; }
    bool AtEnd() const { return pos_ == size_; }
    // Throws unless `n` more bytes are there. Call it before allocating for a count.
    void Need(std::size_t n) const;
    // Throws unless `count` items of at least `min_item` bytes each can still be there.
    void NeedItems(std::uint64_t count, std::size_t min_item) const;

private:
    const std::uint8_t* p_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace qp
