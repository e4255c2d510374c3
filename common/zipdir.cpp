// The zip directory reader: end records, Zip64 records and central directory records.
#include "common/zipdir.h"

#include <algorithm>
#include <vector>

#include "common/errors.h"

namespace qp {
namespace {

constexpr std::uint32_t k32Max = 0xFFFFFFFFu;
constexpr std::size_t kLocatorSize = 20;
constexpr std::size_t kEnd64Size = 56;
constexpr std::uint16_t kZip64Tag = 0x0001;

// Where the end record starts in `tail` (the file's last bytes), or SIZE_MAX.
std::size_t FindEndRecord(const std::vector<std::uint8_t>& tail, ZipEndSearch search) {
    for (std::size_t i = tail.size() - kZipEndSize + 1; i-- > 0;) {
        ByteReader r(tail.data() + i, kZipEndSize);
        if (r.U32() != kZipEndSig) continue;
        r.Skip(16);
        const std::size_t after = i + kZipEndSize + r.U16();
        if (after == tail.size() || (search == ZipEndSearch::kCommentFits && after < tail.size())) return i;
    }
    return SIZE_MAX;
}

}  // namespace

ZipEnd ReadZipEnd(std::uint64_t size, const ZipReadAt& read, ZipEndSearch search) {
    if (size < kZipEndSize) throw FormatError("not a zip archive");
    const std::size_t tail_size = static_cast<std::size_t>(std::min<std::uint64_t>(size, kZipEndSize + 0xFFFF));
    std::vector<std::uint8_t> tail(tail_size);
    read(size - tail_size, tail.data(), tail_size);
    const std::size_t pos = FindEndRecord(tail, search);
    if (pos == SIZE_MAX) throw FormatError("end of central directory not found");

    ByteReader r(tail.data() + pos, tail_size - pos);
    r.Skip(4);
    const std::uint16_t disk = r.U16(), cd_disk = r.U16();
    r.U16();  // records on this disk
    ZipEnd e;
    e.count = r.U16();
    e.cd_size = r.U32();
    e.cd_offset = r.U32();
    e.comment = r.Bytes(r.U16());
    if (disk != 0 || cd_disk != 0) throw FormatError("multi-disk archives are not supported");
    e.end_at = size - tail_size + pos;
    e.limit = e.end_at;

    if ((e.count == 0xFFFF || e.cd_size == k32Max || e.cd_offset == k32Max) && e.end_at >= kLocatorSize) {
        std::uint8_t loc[kLocatorSize];
        read(e.end_at - kLocatorSize, loc, sizeof loc);
        ByteReader lr(loc, sizeof loc);
        if (lr.U32() == kZipLocator64Sig) {
            lr.U32();  // disk of the Zip64 end record
            const std::uint64_t end64 = lr.U64();
            const std::uint64_t locator_at = e.end_at - kLocatorSize;
            if (end64 > locator_at || locator_at - end64 < kEnd64Size) throw FormatError("bad Zip64 end record offset");
            std::uint8_t rec[kEnd64Size];
            read(end64, rec, sizeof rec);
            ByteReader er(rec, sizeof rec);
            if (er.U32() != kZipEnd64Sig) throw FormatError("bad Zip64 end record");
            er.Skip(8 + 2 + 2 + 4 + 4 + 8);  // record size, versions, disks, records on this disk
            e.count = er.U64();
            e.cd_size = er.U64();
            e.cd_offset = er.U64();
            e.limit = end64;
        }
    }
    if (e.cd_offset > e.limit || e.cd_size > e.limit - e.cd_offset) throw FormatError("central directory outside the archive");
    if (e.count > e.cd_size / kZipCentralSize) throw FormatError("more entries than the central directory can hold");
    return e;
}

ZipCentralRecord ReadZipCentralRecord(ByteReader& r) {
    if (r.U32() != kZipCentralSig) throw FormatError("bad central directory record");
    ZipCentralRecord z;
    r.Skip(4);  // versions
    z.flags = r.U16();
    z.method = r.U16();
    z.dos_time = r.U32();
    z.crc = r.U32();
    z.compressed_size = r.U32();
    z.size = r.U32();
    const std::uint16_t name_len = r.U16(), extra_len = r.U16(), comment_len = r.U16();
    r.Skip(8);  // disk, internal and external attributes
    z.header_offset = r.U32();
    z.name = r.Bytes(name_len);
    const std::string extra = r.Bytes(extra_len);
    r.Skip(comment_len);

    ByteReader x(extra.data(), extra.size());
    while (x.Remaining() >= 4) {
        const std::uint16_t tag = x.U16(), len = x.U16();
        if (len > x.Remaining()) throw FormatError("extra field past its record");
        if (tag != kZip64Tag) {
            x.Skip(len);
            continue;
        }
        // Only the fields marked as overflowing are there, in this order.
        ByteReader zr(extra.data() + x.Pos(), len);
        if (z.size == k32Max) z.size = zr.U64();
        if (z.compressed_size == k32Max) z.compressed_size = zr.U64();
        if (z.header_offset == k32Max) z.header_offset = zr.U64();
        break;
    }
    return z;
}

}  // namespace qp
