// Zip reader for the setup runtime: central directory parsing, member lookup, inflate with
// CRC check, and extraction that replaces the output only when the member came out whole.
#include "setup/engine/unzip.h"

#include <sys/stat.h>
#include <zlib.h>

#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <new>

#include "common/byteio.h"
#include "common/errors.h"

#ifdef _WIN32
#include <io.h>
#include <sys/utime.h>
#else
#include <unistd.h>
#include <utime.h>
#endif

namespace qp {
namespace {

constexpr std::uint32_t kLocalSig = 0x04034b50;
constexpr std::uint32_t kCentralSig = 0x02014b50;
constexpr std::uint32_t kEnd64Sig = 0x06064b50;
constexpr std::uint32_t kLocator64Sig = 0x07064b50;
constexpr std::uint32_t k32Max = 0xFFFFFFFFu;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kLocalSize = 30;
constexpr std::size_t kChunk = 64 * 1024;

struct FileInfo {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t mtime = 0;  // seconds, then nanoseconds where the system has them
    std::int64_t mtime_ns = 0;
};

FileInfo StatFile(const std::string& path) {
    FileInfo r;
#ifdef _WIN32
    struct _stati64 st;
    if (_stati64(path.c_str(), &st) != 0 || (st.st_mode & S_IFMT) != S_IFREG) return r;
#else
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return r;
    r.mtime_ns = st.st_mtim.tv_nsec;
#endif
    r.exists = true;
    r.size = static_cast<std::uint64_t>(st.st_size);
    r.mtime = static_cast<std::int64_t>(st.st_mtime);
    return r;
}

// Reads go straight to the file (no stdio buffer that could serve bytes of an archive
// rewritten in place); on POSIX one pread per header or chunk.
class FileZipSource : public ZipSource {
public:
    FileZipSource(const std::string& path, std::uint64_t size, std::uint64_t base = 0) : size_(size), base_(base) {
#ifdef _WIN32
        fd_ = _open(path.c_str(), _O_RDONLY | _O_BINARY);
#else
        fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
#endif
        if (fd_ < 0) throw IoError("cannot open " + path);
    }
    ~FileZipSource() override {
#ifdef _WIN32
        _close(fd_);
#else
        close(fd_);
#endif
    }
    std::uint64_t Size() const override { return size_; }
    void ReadAt(std::uint64_t pos, void* buf, std::size_t n) override {
        if (pos > size_ || n > size_ - pos) throw FormatError("read past the end of the archive");
        pos += base_;
        char* p = static_cast<char*>(buf);
        while (n > 0) {
#ifdef _WIN32
            if (_lseeki64(fd_, static_cast<long long>(pos), SEEK_SET) < 0) throw IoError("cannot seek in the archive");
            int got = _read(fd_, p, static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30)));
#else
            ssize_t got = pread(fd_, p, n, static_cast<off_t>(pos));
            if (got < 0 && errno == EINTR) continue;
#endif
            if (got <= 0) throw IoError("cannot read the archive");
            p += got;
            pos += static_cast<std::uint64_t>(got);
            n -= static_cast<std::size_t>(got);
        }
    }

private:
    int fd_;
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

struct EndRecords {
    std::uint64_t count = 0, cd_size = 0, cd_offset = 0, limit = 0;
};

EndRecords ReadEnd(ZipSource& src) {
    const std::uint64_t size = src.Size();
    if (size < kEndSize) throw FormatError("not a zip archive");
    const std::size_t tail_size = static_cast<std::size_t>(std::min<std::uint64_t>(size, kEndSize + 0xFFFF));
    std::vector<std::uint8_t> tail(tail_size);
    src.ReadAt(size - tail_size, tail.data(), tail_size);
    // The last end signature whose comment fits in what follows it; a comment may itself hold
    // a signature, so the scan runs backwards and takes the first that fits.
    std::size_t pos = SIZE_MAX;
    for (std::size_t i = tail_size - kEndSize + 1; i-- > 0;) {
        if (tail[i] != 0x50 || tail[i + 1] != 0x4b || tail[i + 2] != 0x05 || tail[i + 3] != 0x06) continue;
        std::size_t comment = tail[i + 20] | (tail[i + 21] << 8);
        if (i + kEndSize + comment <= tail_size) {
            pos = i;
            break;
        }
    }
    if (pos == SIZE_MAX) throw FormatError("end of central directory not found");
    ByteReader r(tail.data() + pos, kEndSize);
    r.Skip(4);
    std::uint16_t disk = r.U16(), cd_disk = r.U16();
    r.U16();
    EndRecords e;
    e.count = r.U16();
    e.cd_size = r.U32();
    e.cd_offset = r.U32();
    if (disk != 0 || cd_disk != 0) throw FormatError("multi-disk archives are not supported");
    const std::uint64_t end_at = size - tail_size + pos;
    e.limit = end_at;
    if (e.count == 0xFFFF || e.cd_size == k32Max || e.cd_offset == k32Max) {
        if (end_at >= 20) {
            std::uint8_t loc[20];
            src.ReadAt(end_at - 20, loc, sizeof loc);
            ByteReader lr(loc, sizeof loc);
            if (lr.U32() == kLocator64Sig) {
                lr.U32();
                std::uint64_t end64 = lr.U64();
                if (end64 > end_at - 20 || end_at - 20 - end64 < 56) throw FormatError("bad Zip64 end record offset");
                std::uint8_t rec[56];
                src.ReadAt(end64, rec, sizeof rec);
                ByteReader er(rec, sizeof rec);
                if (er.U32() != kEnd64Sig) throw FormatError("bad Zip64 end record");
                er.Skip(8 + 2 + 2 + 4 + 4 + 8);
                e.count = er.U64();
                e.cd_size = er.U64();
                e.cd_offset = er.U64();
                e.limit = end64;
            }
        }
    }
    if (e.cd_offset > e.limit || e.cd_size > e.limit - e.cd_offset) throw FormatError("central directory outside the archive");
    if (e.count > e.cd_size / kCentralSize) throw FormatError("more entries than the central directory can hold");
    return e;
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

void SetFileTime(const std::string& path, std::uint32_t dos_time) {
    std::tm tm{};
    tm.tm_year = static_cast<int>((dos_time >> 25) & 0x7F) + 80;
    tm.tm_mon = static_cast<int>((dos_time >> 21) & 0x0F) - 1;
    tm.tm_mday = static_cast<int>((dos_time >> 16) & 0x1F);
    tm.tm_hour = static_cast<int>((dos_time >> 11) & 0x1F);
    tm.tm_min = static_cast<int>((dos_time >> 5) & 0x3F);
    tm.tm_sec = static_cast<int>((dos_time & 0x1F) * 2);
    tm.tm_isdst = -1;
    std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) return;
#ifdef _WIN32
    struct _utimbuf times{t, t};
    _utime(path.c_str(), &times);
#else
    struct utimbuf times{t, t};
    utime(path.c_str(), &times);
#endif
}

#ifdef _WIN32
#define QP_CLOSE _close
int OpenNew(const std::string& path) {
    return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
bool WriteAll(int fd, const void* p, std::size_t n) {
    const char* c = static_cast<const char*>(p);
    while (n > 0) {
        int w = _write(fd, c, static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30)));
        if (w <= 0) return false;
        c += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}
#else
#define QP_CLOSE close
int OpenNew(const std::string& path) { return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); }
bool WriteAll(int fd, const void* p, std::size_t n) {
    const char* c = static_cast<const char*>(p);
    while (n > 0) {
        ssize_t w = write(fd, c, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        c += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}
#endif

// Removes a file, read-only or not; true when nothing is left at the path.
bool RemoveFile(const std::string& path) {
    if (!StatFile(path).exists) return true;
    if (std::remove(path.c_str()) == 0) return true;
#ifdef _WIN32
    _chmod(path.c_str(), _S_IREAD | _S_IWRITE);
#else
    chmod(path.c_str(), S_IRUSR | S_IWUSR);
#endif
    if (std::remove(path.c_str()) == 0) return true;
    struct stat st;
    return stat(path.c_str(), &st) != 0;
}

// The central directory of the last archive, kept with the archive open while the file's
// size and time stay the same.
struct Cached {
    ZipArchive archive;
    FileInfo info;
    std::vector<std::uint8_t> tail;  // the last bytes, where the directory ends
};
constexpr std::size_t kTailCheck = 4096;

// Where file times are coarse (whole seconds on Windows) an archive rewritten at once with
// the same size would pass for the old one; its last bytes tell them apart.
std::vector<std::uint8_t> ReadTail(ZipSource& src) {
    std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(src.Size(), kTailCheck));
    std::vector<std::uint8_t> tail(n);
    src.ReadAt(src.Size() - n, tail.data(), n);
    return tail;
}
std::mutex g_cache_lock;
Cached g_cache;

}  // namespace

void MemoryZipSource::ReadAt(std::uint64_t pos, void* buf, std::size_t n) {
    if (pos > size_ || n > size_ - pos) throw FormatError("read past the end of the archive");
    if (n) std::memcpy(buf, p_ + pos, n);
}

std::shared_ptr<const ZipCatalog> ZipCatalog::Read(ZipSource& src) {
    EndRecords e = ReadEnd(src);
    auto cat = std::make_shared<ZipCatalog>();
    cat->data_limit_ = e.cd_offset;
    std::vector<std::uint8_t> cd(static_cast<std::size_t>(e.cd_size));
    src.ReadAt(e.cd_offset, cd.data(), cd.size());
    ByteReader r(cd);
    cat->entries_.reserve(static_cast<std::size_t>(e.count));
    for (std::uint64_t i = 0; i < e.count; ++i) {
        if (r.U32() != kCentralSig) throw FormatError("bad central directory record");
        ZipEntry z;
        r.Skip(4);  // versions
        z.flags = r.U16();
        z.method = r.U16();
        z.dos_time = r.U32();
        z.crc = r.U32();
        z.compressed_size = r.U32();
        z.size = r.U32();
        std::uint16_t n = r.U16(), m = r.U16(), k = r.U16();
        r.Skip(8);  // disk, internal and external attributes
        z.header_offset = r.U32();
        z.name = r.Bytes(n);
        r.Need(m);
        const std::size_t extra_at = r.Pos();
        ByteReader x(cd.data() + extra_at, m);
        r.Skip(m);
        r.Skip(k);
        while (x.Remaining() >= 4) {
            std::uint16_t tag = x.U16(), len = x.U16();
            if (len > x.Remaining()) throw FormatError("extra field past its record");
            if (tag != 0x0001) {
                x.Skip(len);
                continue;
            }
            ByteReader zr(cd.data() + extra_at + x.Pos(), len);
            if (z.size == k32Max) z.size = zr.U64();
            if (z.compressed_size == k32Max) z.compressed_size = zr.U64();
            if (z.header_offset == k32Max) z.header_offset = zr.U64();
            break;
        }
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

void ForgetZipCatalogs() {
    std::lock_guard<std::mutex> lock(g_cache_lock);
    g_cache = Cached{};
}

namespace {

// Opens `path` with its directory; the caller holds g_cache_lock when the result is shared.
int OpenArchive(const std::string& path, const FileInfo& info, const ArchiveWindow& window, ZipArchive& out,
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
        int fd = OpenNew(output_path);
        const bool in_place = fd >= 0;
        for (unsigned i = 0; fd < 0 && i < 100; ++i) {
            temp = output_path + ".qz" + std::to_string(i);
            fd = OpenNew(temp);
            if (fd < 0 && errno != EEXIST) break;
        }
        if (fd < 0) return Fail(message, "error:  cannot create " + output_path, kUnzipWriteFailed);
        int rc;
        try {
            rc = ExtractData(source, catalog, *entry, [fd](const void* p, std::size_t n) { return WriteAll(fd, p, n); });
        } catch (...) {
            QP_CLOSE(fd);
            std::remove(temp.c_str());
            throw;
        }
        if (QP_CLOSE(fd) != 0 && rc == kUnzipOk) rc = kUnzipWriteFailed;
        if (rc != kUnzipOk) {
            std::remove(temp.c_str());
            return Fail(message, rc == kUnzipWriteFailed ? "error:  cannot create " + output_path
                                                         : member + ": damaged or unsupported data",
                        rc);
        }
        // Where a rename cannot replace a file (Windows), the old one goes first, read-only or not.
        if (!in_place && std::rename(temp.c_str(), output_path.c_str()) != 0) {
            if (!RemoveFile(output_path)) {
                std::remove(temp.c_str());
                return Fail(message, "error:  cannot delete old " + output_path, kUnzipWriteFailed);
            }
            if (std::rename(temp.c_str(), output_path.c_str()) != 0) {
                std::remove(temp.c_str());
                return Fail(message, "error:  cannot create " + output_path, kUnzipWriteFailed);
            }
        }
        SetFileTime(output_path, entry->dos_time);
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
    FileInfo info = StatFile(archive_path);
    if (!info.exists) {
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

int ExtractMember(const std::string& archive_path, const std::string& member, const std::string& target_folder,
                  const std::string& output_path, std::string* message, const ArchiveWindow& window) {
    (void)target_folder;
    // One extraction at a time: the kept archive handle has a single file position.
    std::lock_guard<std::mutex> lock(g_cache_lock);
    FileInfo info = StatFile(archive_path);
    if (!info.exists) {
        g_cache = Cached{};
        return Fail(message, "cannot find or open " + archive_path, kUnzipNoArchive);
    }
    bool fresh = g_cache.archive && g_cache.archive.path == archive_path && g_cache.info.size == info.size &&
                 g_cache.archive.window.offset == window.offset && g_cache.archive.window.size == window.size &&
                 g_cache.info.mtime == info.mtime && g_cache.info.mtime_ns == info.mtime_ns;
    // A clock of whole seconds (Windows, older file systems) cannot tell a rewrite from the old
    // file; the archive's last bytes can.
    if (fresh && info.mtime_ns == 0) {
        try {
            fresh = ReadTail(*g_cache.archive.source) == g_cache.tail;
        } catch (const std::exception&) {
            fresh = false;
        }
    }
    if (!fresh) {
        g_cache = Cached{};
        const int rc = OpenArchive(archive_path, info, window, g_cache.archive, message);
        if (rc != kUnzipOk) return rc;
        try {
            g_cache.tail = ReadTail(*g_cache.archive.source);
        } catch (const std::exception& e) {
            g_cache = Cached{};
            return Fail(message, archive_path + ": " + e.what(), kUnzipNoArchive);
        }
        g_cache.info = info;
    }
    return ExtractFrom(g_cache.archive, member, output_path, message);
}

}  // namespace qp
