// Portable file version and file time.
#include "common/fileinfo.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "common/byteio.h"

namespace qp {
namespace {

// Reads ranges of one file; every read is checked against the file's size.
class RangeFile {
public:
    explicit RangeFile(const std::string& name) : f_(std::fopen(name.c_str(), "rb")) {
        if (f_ && std::fseek(f_, 0, SEEK_END) == 0) {
            long end = std::ftell(f_);
            size_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
        }
    }
    ~RangeFile() {
        if (f_) std::fclose(f_);
    }
    RangeFile(const RangeFile&) = delete;
    RangeFile& operator=(const RangeFile&) = delete;

    bool Ok() const { return f_ != nullptr; }
    std::uint64_t Size() const { return size_; }
    // The bytes [offset, offset + n), or false when they are not all in the file.
    bool Read(std::uint64_t offset, std::size_t n, std::vector<std::uint8_t>& out) {
        if (!f_ || offset > size_ || n > size_ - offset) return false;
        out.resize(n);
        if (n == 0) return true;
        if (std::fseek(f_, static_cast<long>(offset), SEEK_SET) != 0) return false;
        return std::fread(out.data(), 1, n, f_) == n;
    }

private:
    std::FILE* f_;
    std::uint64_t size_ = 0;
};

struct Section {
    std::uint32_t virtual_address, virtual_size, raw_size, raw_offset;
};

constexpr std::uint32_t kResourceTypeVersion = 16;
constexpr std::uint32_t kVersionResourceId = 1;
constexpr std::uint16_t kMaxSections = 96;  // the loader's own limit
// A version resource's length is a 16-bit field; nothing past that belongs to it.
constexpr std::uint32_t kMaxVersionResource = 0xFFFF;

class ImageReader {
public:
    explicit ImageReader(RangeFile& file) : file_(file) {}

    // Finds the version resource's fixed information; false for anything else.
    bool Version(std::uint32_t* ms, std::uint32_t* ls) {
        std::uint32_t resource_rva;
        if (!ReadHeaders(&resource_rva)) return false;
        std::uint64_t root;
        if (!RvaToOffset(resource_rva, &root)) return false;
        root_ = root;

        // Type, name, language: three levels of directory, then a data entry. The system
        // looks for the resource named 1 in any language, and so do we.
        std::uint32_t entry;
        if (!FindEntry(0, kResourceTypeVersion, true, &entry)) return false;
        if (!(entry & 0x80000000u)) return false;
        if (!FindEntry(entry & 0x7FFFFFFFu, kVersionResourceId, true, &entry)) return false;
        if (!(entry & 0x80000000u)) return false;
        if (!FindEntry(entry & 0x7FFFFFFFu, 0, false, &entry)) return false;
        if (entry & 0x80000000u) return false;

        std::vector<std::uint8_t> data;
        if (!file_.Read(root_ + entry, 16, data)) return false;
        ByteReader r(data);
        std::uint32_t data_rva = r.U32();
        std::uint32_t data_size = r.U32();
        std::uint64_t data_offset;
        if (!RvaToOffset(data_rva, &data_offset)) return false;
        if (data_size > kMaxVersionResource) data_size = kMaxVersionResource;
        if (!file_.Read(data_offset, data_size, data)) return false;
        return FixedInfo(data, ms, ls);
    }

private:
    bool ReadHeaders(std::uint32_t* resource_rva) {
        std::vector<std::uint8_t> b;
        if (!file_.Read(0, 64, b) || b[0] != 'M' || b[1] != 'Z') return false;
        std::uint32_t pe = ByteReader(b.data() + 60, 4).U32();
        // Signature and COFF header.
        if (!file_.Read(pe, 24, b) || std::memcmp(b.data(), "PE\0\0", 4) != 0) return false;
        ByteReader coff(b.data() + 4, 20);
        coff.Skip(2);
        std::uint16_t sections = coff.U16();
        coff.Skip(12);
        std::uint16_t optional_size = coff.U16();
        if (sections == 0 || sections > kMaxSections) return false;

        std::uint64_t optional = std::uint64_t{pe} + 24;
        if (!file_.Read(optional, optional_size, b) || optional_size < 2) return false;
        ByteReader opt(b);
        std::uint16_t magic = opt.U16();
        std::size_t count_at;
        if (magic == 0x10B)
            count_at = 92;
        else if (magic == 0x20B)
            count_at = 108;
        else
            return false;
        // The resource directory is data directory 2.
        std::size_t resource_at = count_at + 4 + 2 * 8;
        if (optional_size < resource_at + 8) return false;
        std::uint32_t directories = ByteReader(b.data() + count_at, 4).U32();
        if (directories < 3) return false;
        ByteReader dir(b.data() + resource_at, 8);
        *resource_rva = dir.U32();
        std::uint32_t resource_size = dir.U32();
        if (*resource_rva == 0 || resource_size == 0) return false;

        if (!file_.Read(optional + optional_size, std::size_t{sections} * 40, b)) return false;
        ByteReader table(b);
        for (std::uint16_t i = 0; i < sections; ++i) {
            table.Skip(8);
            Section s;
            s.virtual_size = table.U32();
            s.virtual_address = table.U32();
            s.raw_size = table.U32();
            s.raw_offset = table.U32();
            table.Skip(16);
            sections_.push_back(s);
        }
        return true;
    }

    // Only bytes that are in the file count: the zero fill of a section past its raw data
    // holds no resource worth reading.
    bool RvaToOffset(std::uint32_t rva, std::uint64_t* offset) const {
        for (const Section& s : sections_) {
            if (rva < s.virtual_address) continue;
            std::uint32_t delta = rva - s.virtual_address;
            if (delta < s.raw_size) {
                *offset = std::uint64_t{s.raw_offset} + delta;
                return true;
            }
        }
        return false;
    }

    // In the directory at `dir` (relative to the resource root), the entry with the numeric
    // id `id`; with `exact` false, that id if present, else the first entry of any kind.
    // The three levels are walked once each, so a directory that points back at itself
    // cannot make this loop.
    bool FindEntry(std::uint32_t dir, std::uint32_t id, bool exact, std::uint32_t* target) {
        std::vector<std::uint8_t> b;
        if (!file_.Read(root_ + dir, 16, b)) return false;
        ByteReader head(b);
        head.Skip(12);
        std::uint32_t named = head.U16();
        std::uint32_t ids = head.U16();
        std::uint32_t count = named + ids;
        if (count == 0) return false;
        if (!file_.Read(root_ + dir + 16, std::size_t{count} * 8, b)) return false;
        ByteReader r(b);
        std::uint32_t first = 0;
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t name = r.U32();
            std::uint32_t offset = r.U32();
            if (i == 0) first = offset;
            if (!(name & 0x80000000u) && name == id) {
                *target = offset;
                return true;
            }
        }
        if (exact) return false;
        *target = first;
        return true;
    }

    // VS_VERSIONINFO: wLength, wValueLength, wType, the key ("VS_VERSION_INFO") in UTF-16
    // with its terminator, padding to a 4-byte boundary, then VS_FIXEDFILEINFO when
    // wValueLength says it is there. Like the system's query, this trusts neither the key's
    // text nor the signature nor wLength; it only keeps every read inside the resource.
    static bool FixedInfo(const std::vector<std::uint8_t>& data, std::uint32_t* ms, std::uint32_t* ls) {
        const std::size_t kFixedSize = 52;
        if (data.size() < 6) return false;
        ByteReader r(data);
        r.Skip(2);
        std::uint16_t value_length = r.U16();
        if (value_length < kFixedSize) return false;
        std::size_t at = 6;
        while (at + 1 < data.size() && (data[at] || data[at + 1])) at += 2;
        at += 2;  // the terminator
        at = (at + 3) & ~std::size_t{3};
        if (at > data.size() || data.size() - at < kFixedSize) return false;
        ByteReader fixed(data.data() + at, kFixedSize);
        fixed.Skip(8);  // signature, structure version
        *ms = fixed.U32();
        *ls = fixed.U32();
        return true;
    }

    RangeFile& file_;
    std::vector<Section> sections_;
    std::uint64_t root_ = 0;
};

}  // namespace

std::string FormatVersion(std::uint64_t version) {
    return std::to_string((version >> 48) & 0xFFFF) + "." + std::to_string((version >> 32) & 0xFFFF) + "." +
           std::to_string((version >> 16) & 0xFFFF) + "." + std::to_string(version & 0xFFFF);
}

std::uint64_t FileVersionFromImage(const std::string& file, std::string* text) {
    RangeFile f(file);
    if (!f.Ok()) return 0;
    std::uint32_t ms = 0, ls = 0;
    try {
        if (!ImageReader(f).Version(&ms, &ls)) return 0;
    } catch (const FormatError&) {
        return 0;
    }
    std::uint64_t version = (std::uint64_t{ms} << 32) | ls;
    if (text) *text = FormatVersion(version);
    return version;
}

std::uint64_t FileTimePortable(const std::string& file) {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return kNoFileTime;
    std::int64_t seconds;
    std::int64_t nanoseconds = 0;
#ifdef _WIN32
    struct _stat64 st;
    bool ok = _fstat64(_fileno(f), &st) == 0 && !(st.st_mode & _S_IFDIR);
    seconds = st.st_mtime;
#else
    struct stat st;
    bool ok = fstat(fileno(f), &st) == 0 && !S_ISDIR(st.st_mode);
    seconds = st.st_mtim.tv_sec;
    nanoseconds = st.st_mtim.tv_nsec;
#endif
    std::fclose(f);
    if (!ok) return kNoFileTime;
    // Times before 1601 have no FILETIME; they do not occur on real files.
    const std::int64_t kEpochSeconds = static_cast<std::int64_t>(kFileTimeUnixEpoch / 10000000);
    if (seconds < -kEpochSeconds) return 0;
    return static_cast<std::uint64_t>(seconds + kEpochSeconds) * 10000000u +
           static_cast<std::uint64_t>(nanoseconds / 100);
}

}  // namespace qp
