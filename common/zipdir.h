// The directory of a zip archive, read field by field: the end record found from the end of the
// file (with the Zip64 locator and end record where the 32-bit fields overflow) and the central
// directory records. The archive is hostile input: every offset and count is checked against
// the file before anything is read or allocated, and a bad one throws FormatError.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "common/byteio.h"

namespace qp {

constexpr std::uint32_t kZipEndSig = 0x06054b50;
constexpr std::uint32_t kZipEnd64Sig = 0x06064b50;
constexpr std::uint32_t kZipLocator64Sig = 0x07064b50;
constexpr std::uint32_t kZipCentralSig = 0x02014b50;
constexpr std::size_t kZipEndSize = 22;
constexpr std::size_t kZipCentralSize = 46;

// Reads `n` bytes of the archive at `pos`; throws when it cannot.
using ZipReadAt = std::function<void(std::uint64_t pos, void* buf, std::size_t n)>;

// Which end signature is the end record. A comment may itself hold a signature, so the search
// runs backwards from the end of the file and takes the first that passes.
enum class ZipEndSearch {
    kCommentFits,        // its comment fits in what follows it (bytes may follow the comment)
    kCommentReachesEnd,  // its comment ends exactly at the end of the file
};

struct ZipEnd {
    std::uint64_t count = 0;      // central directory records
    std::uint64_t cd_size = 0;
    std::uint64_t cd_offset = 0;  // where the central directory starts: no member data past it
    std::uint64_t limit = 0;      // where it must end: the Zip64 end record, or the end record
    std::uint64_t end_at = 0;     // where the end record starts
    std::string comment;
};

// Reads the end records of an archive of `size` bytes. The 32-bit fields are replaced by the
// Zip64 end record's where one of them holds its overflow mark and a Zip64 locator stands just
// before the end record (an archive of exactly 65535 members needs none).
ZipEnd ReadZipEnd(std::uint64_t size, const ZipReadAt& read, ZipEndSearch search = ZipEndSearch::kCommentFits);

struct ZipCentralRecord {
    std::string name;  // as stored
    std::uint64_t header_offset = 0;
    std::uint64_t compressed_size = 0;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    std::uint32_t dos_time = 0;  // MS-DOS date (high word) and time (low word)
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    bool IsFolder() const { return !name.empty() && (name.back() == '/' || name.back() == '\\'); }
};

// Reads the central directory record at `r`'s position and leaves `r` past its name, extra
// field and comment. Sizes and offset marked as overflowing come from the Zip64 extra field.
ZipCentralRecord ReadZipCentralRecord(ByteReader& r);

}  // namespace qp
