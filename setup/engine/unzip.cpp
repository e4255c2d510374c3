// Zip reader for the setup runtime: central directory parsing, member lookup, inflate with
// CRC check, and extraction that replaces the output only when the member came out whole.
#include "setup/engine/unzip.h"

#include <zlib.h>

#include <cstring>
#include <ctime>
#include <new>

#include "common/byteio.h"
#include "common/errors.h"
#include "common/fsprim.h"
#include "common/kitpayload.h"
#include "common/zipdir.h"

namespace qp {
namespace {

constexpr std::uint32_t kLocalSig = 0x04034b50;
constexpr std::size_t kLocalSize = 30;
constexpr std::size_t kChunk = 64 * 1024;

// The archive in its file, through a window (a one-file kit carries it inside the program).
// Reads go straight to the file, no buffer that could serve bytes of an archive rewritten in
// place.
class FileZipSource : public ZipSource {
public:
    FileZipSource(const std::string& path, std::uint64_t size, std::uint64_t base)
        : file_(OpenByteSource(path)), size_(size), base_(base) {
        if (base_ > file_->Size() || size_ > file_->Size() - base_) throw IoError(path + " has changed");
    }
    std::uint64_t Size() const override { return size_; }
    void ReadAt(std::uint64_t pos, void* buf, std::size_t n) override {
        if (pos > size_ || n > size_ - pos) throw FormatError("read past the end of the archive");
        file_->ReadAt(base_ + pos, buf, n);
    }

private:
    std::unique_ptr<ByteSource> file_;
    std::uint64_t size_, base_;
};

std::string Normalized(const std::string& name) {
    std::string s = name;
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

std::string Folded(const std::string& name) {
    std::string s = Normalized(name);
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Buffers and the inflate state, reused from member to member: an installation extracts
// thousands of small files.
struct Workspace {
    std::vector<unsigned char> in = std::vector<unsigned char>(kChunk);
    std::vector<unsigned char> out = std::vector<unsigned char>(kChunk);
    z_stream z{};
    bool ready = false;
    ~Workspace() {
        if (ready) inflateEnd(&z);
    }
    z_stream* Inflater() {
        if (ready) {
            if (inflateReset(&z) == Z_OK) return &z;
            inflateEnd(&z);
            ready = false;
        }
        z = z_stream{};
        if (inflateInit2(&z, -15) != Z_OK) return nullptr;
        ready = true;
        return &z;
    }
};

Workspace& TheWorkspace() {
    thread_local Workspace ws;
    return ws;
}

int Fail(std::string* message, const std::string& text, int code) {
    if (message) *message = text;
    return code;
}

// The zip time (local, two-second steps) in seconds since 1970; -1 when it names no time.
std::int64_t UnixTime(std::uint32_t dos_time) {
    std::tm tm{};
    tm.tm_year = static_cast<int>((dos_time >> 25) & 0x7F) + 80;
    tm.tm_mon = static_cast<int>((dos_time >> 21) & 0x0F) - 1;
    tm.tm_mday = static_cast<int>((dos_time >> 16) & 0x1F);
    tm.tm_hour = static_cast<int>((dos_time >> 11) & 0x1F);
    tm.tm_min = static_cast<int>((dos_time >> 5) & 0x3F);
    tm.tm_sec = static_cast<int>((dos_time & 0x1F) * 2);
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    return t == static_cast<std::time_t>(-1) ? -1 : static_cast<std::int64_t>(t);
}

}  // namespace

void MemoryZipSource::ReadAt(std::uint64_t pos, void* buf, std::size_t n) {
    if (pos > size_ || n > size_ - pos) throw FormatError("read past the end of the archive");
    if (n) std::memcpy(buf, p_ + pos, n);
}

std::shared_ptr<const ZipCatalog> ZipCatalog::Read(ZipSource& src) {
    const ZipEnd e = ReadZipEnd(src.Size(), [&src](std::uint64_t pos, void* buf, std::size_t n) { src.ReadAt(pos, buf, n); });
    auto cat = std::make_shared<ZipCatalog>();
    cat->data_limit_ = e.cd_offset;
    std::vector<std::uint8_t> cd(static_cast<std::size_t>(e.cd_size));
    src.ReadAt(e.cd_offset, cd.data(), cd.size());
    ByteReader r(cd);
    cat->entries_.reserve(static_cast<std::size_t>(e.count));
    for (std::uint64_t i = 0; i < e.count; ++i) {
        ZipEntry z = ReadZipCentralRecord(r);
        if (z.header_offset > e.cd_offset) throw FormatError("member " + z.name + " starts past the central directory");
        std::size_t index = cat->entries_.size();
        if (!z.IsFolder()) {
            cat->exact_.emplace(Normalized(z.name), index);  // the first of equal names wins
            cat->folded_.emplace(Folded(z.name), index);
        }
        cat->entries_.push_back(std::move(z));
    }
    return cat;
}

const ZipEntry* ZipCatalog::Find(const std::string& name) const {
    auto it = exact_.find(Normalized(name));
    if (it != exact_.end()) return &entries_[it->second];
    it = folded_.find(Folded(name));
    if (it != folded_.end()) return &entries_[it->second];
    return nullptr;
}

int ExtractData(ZipSource& src, const ZipCatalog& catalog, const ZipEntry& entry,
                const std::function<bool(const void*, std::size_t)>& sink) {
    if (entry.flags & 0x0001) return kUnzipUnsupported;
    if (entry.method != 0 && entry.method != 8) return kUnzipUnsupported;
    const std::uint64_t limit = catalog.DataLimit();
    if (entry.header_offset > limit || limit - entry.header_offset < kLocalSize) return kUnzipBadArchive;
    if (entry.method == 0 && entry.compressed_size != entry.size) return kUnzipDamaged;

    Workspace& ws = TheWorkspace();
    std::vector<unsigned char>& in = ws.in;
    // The header and the start of the data come in one read, no longer than a small member
    // needs (its local name and extra field are usually those of the directory).
    const std::uint64_t wanted = kLocalSize + entry.name.size() + 64 + entry.compressed_size;
    const std::size_t got = static_cast<std::size_t>(
        std::min<std::uint64_t>(std::min<std::uint64_t>(limit - entry.header_offset, in.size()), wanted));
    src.ReadAt(entry.header_offset, in.data(), got);
    ByteReader lr(in.data(), kLocalSize);
    if (lr.U32() != kLocalSig) return kUnzipBadArchive;
    lr.Skip(22);
    std::uint64_t data_rel = kLocalSize + lr.U16();
    data_rel += lr.U16();
    const std::uint64_t data = entry.header_offset + data_rel;
    if (data > limit || entry.compressed_size > limit - data) return kUnzipBadArchive;
    std::size_t have_at = static_cast<std::size_t>(std::min<std::uint64_t>(data_rel, got));
    std::size_t have = static_cast<std::size_t>(std::min<std::uint64_t>(got - have_at, entry.compressed_size));
    std::uint64_t left = entry.compressed_size - have, pos = data + have;
    auto next = [&](const unsigned char*& p, std::size_t& n) {
        if (have) {
            p = in.data() + have_at;
            n = have;
            have = 0;
            return;
        }
        n = static_cast<std::size_t>(std::min<std::uint64_t>(left, in.size()));
        src.ReadAt(pos, in.data(), n);
        pos += n;
        left -= n;
        p = in.data();
    };

    std::uint32_t crc = crc32(0, nullptr, 0);
    std::uint64_t produced = 0;
    if (entry.method == 0) {
        while (have || left) {
            const unsigned char* p;
            std::size_t n;
            next(p, n);
            produced += n;
            crc = crc32(crc, p, static_cast<uInt>(n));
            if (!sink(p, n)) return kUnzipWriteFailed;
        }
        return crc == entry.crc ? kUnzipOk : kUnzipDamaged;
    }
    std::vector<unsigned char>& out = ws.out;
    z_stream* z = ws.Inflater();
    if (!z) return kUnzipNoMemory;
    bool ended = false;
    while (!ended) {
        if (z->avail_in == 0 && (have || left)) {
            const unsigned char* p;
            std::size_t n;
            next(p, n);
            z->next_in = const_cast<unsigned char*>(p);
            z->avail_in = static_cast<uInt>(n);
        }
        z->next_out = out.data();
        z->avail_out = static_cast<uInt>(out.size());
        int rc = inflate(z, Z_NO_FLUSH);
        if (rc == Z_MEM_ERROR) return kUnzipNoMemory;
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) return kUnzipDamaged;
        std::size_t n = out.size() - z->avail_out;
        // Never more than the directory promised: a hostile member cannot fill the disk.
        if (n > entry.size - produced) return kUnzipDamaged;
        produced += n;
        crc = crc32(crc, out.data(), static_cast<uInt>(n));
        if (n && !sink(out.data(), n)) return kUnzipWriteFailed;
        if (rc == Z_STREAM_END) ended = true;
        // No progress with all input used: the stream is cut short.
        else if (n == 0 && z->avail_in == 0 && !have && left == 0) return kUnzipDamaged;
    }
    if (produced != entry.size || crc != entry.crc) return kUnzipDamaged;
    return kUnzipOk;
}

namespace {

// Opens `path` with its directory; the caller holds g_cache_lock when the result is shared.
int OpenArchive(const std::string& path, const PathStat& info, const ArchiveWindow& window, ZipArchive& out,
                std::string* message) {
    out = ZipArchive{};
    if (window.offset > info.size || window.size > info.size - window.offset)
        return Fail(message, path + ": the archive passes the end of the file", kUnzipNoArchive);
    try {
        auto src = std::make_shared<FileZipSource>(path, window.size ? window.size : info.size - window.offset,
                                                   window.offset);
        try {
            out.catalog = ZipCatalog::Read(*src);
        } catch (const FormatError& e) {
            out.catalog.reset();
            return Fail(message, path + ": " + e.what(), kUnzipNoArchive);
        }
        out.source = src;
        out.path = path;
        out.window = window;
        return kUnzipOk;
    } catch (const std::bad_alloc&) {
        out = ZipArchive{};
        return Fail(message, "out of memory", kUnzipNoMemory);
    } catch (const std::exception& e) {
        out = ZipArchive{};
        return Fail(message, path + ": " + e.what(), kUnzipNoArchive);
    }
}

int ExtractFrom(ZipArchive& archive, const std::string& member, const std::string& output_path,
                std::string* message) {
    const std::string& archive_path = archive.path;
    try {
        ZipSource& source = *archive.source;
        const ZipCatalog& catalog = *archive.catalog;
        const ZipEntry* entry = catalog.Find(member);
        if (!entry) return Fail(message, "caution: filename not matched:  " + member, kUnzipNoMember);

        // A new output is written in place and removed again on failure; an existing one is
        // replaced only by a complete file written beside it.
        std::string temp = output_path;
        NewFile out;
        bool taken = false;
        const bool in_place = out.Create(output_path, &taken);
        bool made = in_place;
        for (unsigned i = 0; !made && taken && i < 100; ++i) {
            temp = output_path + ".qz" + std::to_string(i);
            made = out.Create(temp, &taken);
        }
        if (!made) return Fail(message, "error:  cannot create " + output_path, kUnzipWriteFailed);
        int rc;
        try {
            rc = ExtractData(source, catalog, *entry, [&out](const void* p, std::size_t n) { return out.Write(p, n); });
        } catch (...) {
            out.Close();
            std::remove(temp.c_str());
            throw;
        }
        const std::int64_t when = UnixTime(entry->dos_time);
        if (rc == kUnzipOk && when >= 0) out.SetTime(when);
        if (!out.Close() && rc == kUnzipOk) rc = kUnzipWriteFailed;
        if (rc != kUnzipOk) {
            std::remove(temp.c_str());
            return Fail(message, rc == kUnzipWriteFailed ? "error:  cannot create " + output_path
                                                         : member + ": damaged or unsupported data",
                        rc);
        }
        // Where a rename cannot replace a file (Windows), the old one goes first, read-only or not.
        if (!in_place && std::rename(temp.c_str(), output_path.c_str()) != 0) {
            if (!RemoveAnyFile(output_path)) {
                std::remove(temp.c_str());
                return Fail(message, "error:  cannot delete old " + output_path, kUnzipWriteFailed);
            }
            if (std::rename(temp.c_str(), output_path.c_str()) != 0) {
                std::remove(temp.c_str());
                return Fail(message, "error:  cannot create " + output_path, kUnzipWriteFailed);
            }
        }
        return kUnzipOk;
    } catch (const std::bad_alloc&) {
        return Fail(message, "out of memory", kUnzipNoMemory);
    } catch (const FormatError& e) {
        return Fail(message, archive_path + ": " + e.what(), kUnzipBadArchive);
    } catch (const std::exception& e) {
        return Fail(message, archive_path + ": " + e.what(), kUnzipNoArchive);
    }
}

}  // namespace

int OpenZipArchive(const std::string& archive_path, ZipArchive& out, std::string* message,
                   const ArchiveWindow& window) {
    const PathStat info = StatPath(archive_path);
    if (info.kind != PathKind::kFile) {
        out = ZipArchive{};
        return Fail(message, "cannot find or open " + archive_path, kUnzipNoArchive);
    }
    return OpenArchive(archive_path, info, window, out, message);
}

int ExtractMemberFrom(ZipArchive& archive, const std::string& member, const std::string& output_path,
                      std::string* message) {
    if (!archive) return Fail(message, "the archive is not open", kUnzipNoArchive);
    return ExtractFrom(archive, member, output_path, message);
}

}  // namespace qp
