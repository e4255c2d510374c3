// The one-file kit layout: PE headers, the payload reader and the program writer.
#include "common/kitpayload.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "common/byteio.h"
#include "common/errors.h"
#include "common/strutil.h"

namespace qp {
namespace {

constexpr std::size_t kHeaderProbe = 4096;
constexpr std::size_t kChunk = 64 * 1024;

std::uint32_t Crc(std::uint32_t crc, const void* p, std::size_t n) {
    const auto* b = static_cast<const Bytef*>(p);
    while (n > 0) {
        const uInt part = static_cast<uInt>(std::min<std::size_t>(n, 1u << 30));
        crc = static_cast<std::uint32_t>(crc32(crc, b, part));
        b += part;
        n -= part;
    }
    return crc;
}

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t Le32(const std::uint8_t* p) { return Le16(p) | static_cast<std::uint32_t>(Le16(p + 2)) << 16; }
void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct Trailer {
    std::uint64_t runtime_size, directory_offset;
    std::uint32_t directory_size, count, runtime_checksum, version, flags, crc;
};

// Throws FormatError with the reason; the caller turns it into kDamaged.
KitPayloadFound Find(ByteSource& src, KitPayload& out, bool verify) {
    const std::uint64_t size = src.Size();
    const PeLayout pe = ReadPeLayout(src);
    std::uint64_t end = size;
    if (pe.security_offset != 0 || pe.security_size != 0) {
        if (pe.security_offset > size || pe.security_size > size - pe.security_offset)
            throw FormatError("the certificate table passes the end of the file (cut short)");
        end = pe.security_offset;
    }
    if (end < pe.image_end) throw FormatError("the program is shorter than its sections (cut short)");
    // Padding a signer put before the certificate table.
    std::uint8_t tail[kKitTrailerSize + kKitMaxPadding];
    const std::size_t probe = static_cast<std::size_t>(std::min<std::uint64_t>(end - pe.image_end, sizeof tail));
    src.ReadAt(end - probe, tail, probe);
    std::size_t zeros = 0;
    while (zeros < probe && zeros <= kKitMaxPadding && tail[probe - 1 - zeros] == 0) ++zeros;
    if (end - pe.image_end <= kKitMaxPadding && zeros == end - pe.image_end) return KitPayloadFound::kNone;

    // The trailer whose magic ends the content, after at most kKitMaxPadding zeros.
    std::size_t at = SIZE_MAX;
    for (std::size_t pad = 0; pad <= std::min(zeros, kKitMaxPadding); ++pad) {
        if (probe < pad + kKitTrailerSize) break;
        const std::uint8_t* magic = tail + probe - pad - 8;
        if (std::memcmp(magic, kKitTrailerMagic, 8) == 0) {
            at = probe - pad - kKitTrailerSize;
            break;
        }
    }
    if (at == SIZE_MAX) throw FormatError("bytes after the runtime without a kit trailer (cut short or damaged)");
    const std::uint64_t trailer_pos = end - probe + at;
    ByteReader r(tail + at, kKitTrailerSize);
    Trailer t{};
    t.runtime_size = r.U64();
    t.directory_offset = r.U64();
    t.directory_size = r.U32();
    t.count = r.U32();
    t.runtime_checksum = r.U32();
    t.version = r.U32();
    t.flags = r.U32();
    t.crc = r.U32();
    if (t.version != kKitLayoutVersion) throw FormatError("kit layout version " + std::to_string(t.version));
    if (t.runtime_size < pe.image_end || t.runtime_size > trailer_pos)
        throw FormatError("the runtime's size is outside the program");
    if (t.directory_offset < t.runtime_size || t.directory_offset > trailer_pos ||
        t.directory_size > trailer_pos - t.directory_offset)
        throw FormatError("the kit directory lies outside the payload");
    if (trailer_pos - (t.directory_offset + t.directory_size) > 7) throw FormatError("bytes between directory and trailer");
    if (t.count > kKitMaxFiles) throw FormatError("too many kit files");

    if (verify) {
        std::vector<std::uint8_t> buf(kChunk);
        std::uint32_t crc = Crc(0, nullptr, 0);
        for (std::uint64_t pos = t.runtime_size; pos < trailer_pos;) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(trailer_pos - pos, buf.size()));
            src.ReadAt(pos, buf.data(), n);
            crc = Crc(crc, buf.data(), n);
            pos += n;
        }
        crc = Crc(crc, tail + at, 36);
        if (crc != t.crc) throw FormatError("the kit's checksum does not match (damaged)");
    }

    std::vector<std::uint8_t> dir(t.directory_size);
    src.ReadAt(t.directory_offset, dir.data(), dir.size());
    ByteReader d(dir);
    KitPayload p;
    p.runtime_size = t.runtime_size;
    p.runtime_checksum = t.runtime_checksum;
    std::uint64_t next = t.runtime_size;
    for (std::uint32_t i = 0; i < t.count; ++i) {
        KitPayloadFile f;
        const std::uint16_t n = d.U16();
        if (n == 0 || n > kKitMaxName) throw FormatError("a kit file name of " + std::to_string(n) + " bytes");
        f.name = d.Bytes(n);
        f.offset = d.U64();
        f.size = d.U64();
        // In order, without overlap, inside the files' part of the payload.
        if (f.offset < next || f.offset > t.directory_offset || f.size > t.directory_offset - f.offset)
            throw FormatError("kit file " + f.name + " lies outside the payload");
        if (p.Find(f.name)) throw FormatError("kit file " + f.name + " twice");
        next = f.offset + f.size;
        p.files.push_back(std::move(f));
    }
    if (!d.AtEnd()) throw FormatError("bytes after the kit directory's last file");
    out = std::move(p);
    return KitPayloadFound::kFound;
}

}  // namespace

void MemoryByteSource::ReadAt(std::uint64_t pos, void* buf, std::size_t n) {
    if (pos > bytes_.size() || n > bytes_.size() - pos) throw FormatError("read past the end of the file");
    if (n) std::memcpy(buf, bytes_.data() + pos, n);
}

PeLayout ReadPeLayout(ByteSource& src) {
    std::uint8_t h[kHeaderProbe] = {};
    const std::size_t have = static_cast<std::size_t>(std::min<std::uint64_t>(src.Size(), sizeof h));
    src.ReadAt(0, h, have);
    if (have < 0x40 || h[0] != 'M' || h[1] != 'Z') throw FormatError("not a program (no MZ header)");
    const std::uint32_t nt = Le32(h + 0x3C);
    if (nt > have - 24 || std::memcmp(h + nt, "PE\0\0", 4) != 0) throw FormatError("not a PE program");
    const std::uint8_t* coff = h + nt + 4;
    const std::uint16_t sections = Le16(coff + 2);
    const std::uint32_t symbols_at = Le32(coff + 8), symbols = Le32(coff + 12);
    const std::uint16_t opt_size = Le16(coff + 16);
    const std::size_t opt = nt + 24;
    if (opt + opt_size > have || opt_size < 2) throw FormatError("PE optional header cut short");
    PeLayout pe;
    pe.machine = Le16(coff);
    const std::uint16_t magic = Le16(h + opt);
    if (magic != 0x10B && magic != 0x20B) throw FormatError("unknown PE optional header");
    pe.pe32_plus = magic == 0x20B;
    const std::size_t dirs = opt + (pe.pe32_plus ? 112 : 96);
    const std::size_t count_at = dirs - 4;
    if (dirs + 5 * 8 > opt + opt_size || Le32(h + count_at) < 5) throw FormatError("PE image without a security directory");
    pe.checksum_at = opt + 64;
    pe.security_entry_at = dirs + 4 * 8;
    pe.security_offset = Le32(h + pe.security_entry_at);
    pe.security_size = Le32(h + pe.security_entry_at + 4);
    const std::size_t table = opt + opt_size;
    if (sections > 96 || table + sections * 40u > have) throw FormatError("PE section table cut short");
    std::uint64_t end = Le32(h + opt + 60);  // SizeOfHeaders
    for (std::uint16_t i = 0; i < sections; ++i) {
        const std::uint8_t* s = h + table + i * 40u;
        const std::uint32_t raw_size = Le32(s + 16), raw_at = Le32(s + 20);
        if (raw_size) end = std::max<std::uint64_t>(end, std::uint64_t(raw_at) + raw_size);
    }
    if (symbols_at != 0) {
        // A COFF symbol table (unstripped programs) lies after the sections, its string table after it.
        std::uint64_t strings = std::uint64_t(symbols_at) + std::uint64_t(symbols) * 18;
        std::uint8_t len[4] = {};
        if (strings + 4 <= src.Size()) src.ReadAt(strings, len, 4);
        end = std::max(end, strings + std::max<std::uint32_t>(Le32(len), 4));
    }
    pe.image_end = end;
    return pe;
}

const KitPayloadFile* KitPayload::Find(const std::string& name) const {
    for (const auto& f : files)
        if (EqualNoCase(f.name, name)) return &f;
    return nullptr;
}

KitPayloadFound FindKitPayload(ByteSource& src, KitPayload& payload, std::string* why, bool verify) {
    try {
        return Find(src, payload, verify);
    } catch (const std::exception& e) {
        if (why) *why = e.what();
        return KitPayloadFound::kDamaged;
    }
}

std::vector<std::uint8_t> ReadPayloadFile(ByteSource& src, const KitPayloadFile& file, std::size_t limit) {
    if (file.size > limit) throw FormatError("kit file " + file.name + " is larger than " + std::to_string(limit) + " bytes");
    std::vector<std::uint8_t> out(static_cast<std::size_t>(file.size));
    src.ReadAt(file.offset, out.data(), out.size());
    return out;
}

std::vector<std::uint8_t> PlainRuntime(ByteSource& src, const KitPayload& payload) {
    const PeLayout pe = ReadPeLayout(src);
    if (payload.runtime_size > src.Size() || payload.runtime_size < pe.image_end)
        throw FormatError("the runtime's size is outside the program");
    std::vector<std::uint8_t> out(static_cast<std::size_t>(payload.runtime_size));
    src.ReadAt(0, out.data(), out.size());
    Put32(out.data() + pe.checksum_at, payload.runtime_checksum);
    Put32(out.data() + pe.security_entry_at, 0);
    Put32(out.data() + pe.security_entry_at + 4, 0);
    return out;
}

void KitProgramWriter::Put(const void* data, std::size_t n, bool checked) {
    if (n == 0) return;
    if (!sink_(data, n)) throw IoError("the program could not be written");
    if (checked) crc_ = Crc(crc_, data, n);
    pos_ += n;
}

void KitProgramWriter::Runtime(std::vector<std::uint8_t> pe_bytes) {
    MemoryByteSource view(pe_bytes);
    const PeLayout pe = ReadPeLayout(view);
    if (pe.security_offset != 0) {
        if (pe.security_offset > pe_bytes.size() || pe.security_offset < pe.image_end)
            throw FormatError("the runtime's certificate table lies outside it");
        pe_bytes.resize(pe.security_offset);
    }
    if (pe_bytes.size() < pe.image_end) throw FormatError("the runtime is shorter than its sections");
    Put32(pe_bytes.data() + pe.security_entry_at, 0);
    Put32(pe_bytes.data() + pe.security_entry_at + 4, 0);
    checksum_ = Le32(pe_bytes.data() + pe.checksum_at);
    crc_ = Crc(0, nullptr, 0);
    Put(pe_bytes.data(), pe_bytes.size(), false);
    runtime_size_ = pos_;
    have_runtime_ = true;
}

void KitProgramWriter::BeginFile(const std::string& name) {
    if (!have_runtime_) throw FormatError("the runtime goes first");
    if (name.empty() || name.size() > kKitMaxName) throw FormatError("a kit file name of " + std::to_string(name.size()) + " bytes");
    if (files_.size() >= kKitMaxFiles) throw FormatError("too many kit files");
    for (const auto& f : files_)
        if (EqualNoCase(f.name, name)) throw FormatError("kit file " + name + " twice");
    files_.push_back({name, pos_, 0});
}

void KitProgramWriter::Append(const void* data, std::size_t n) {
    if (files_.empty()) throw FormatError("no kit file begun");
    Put(data, n, true);
    files_.back().size += n;
}

std::uint64_t KitProgramWriter::Finish() {
    if (!have_runtime_) throw FormatError("the runtime goes first");
    const std::uint64_t dir_at = pos_;
    ByteWriter d;
    for (const auto& f : files_) {
        d.U16(static_cast<std::uint16_t>(f.name.size()));
        d.Bytes(f.name);
        d.U64(f.offset);
        d.U64(f.size);
    }
    Put(d.Data().data(), d.Size(), true);
    const std::uint8_t zeros[8] = {};
    Put(zeros, (8 - pos_ % 8) % 8, true);
    ByteWriter t;
    t.U64(runtime_size_);
    t.U64(dir_at);
    t.U32(static_cast<std::uint32_t>(d.Size()));
    t.U32(static_cast<std::uint32_t>(files_.size()));
    t.U32(checksum_);
    t.U32(kKitLayoutVersion);
    t.U32(0);
    const std::uint32_t crc = Crc(crc_, t.Data().data(), t.Size());
    t.U32(crc);
    t.Bytes(kKitTrailerMagic, 8);
    Put(t.Data().data(), t.Size(), false);
    return pos_;
}

}  // namespace qp
