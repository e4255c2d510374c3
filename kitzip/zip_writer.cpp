// The zip writer: local entries streamed one after another, the central directory kept in
// memory and written once at Close.
#include "kitzip/zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

#include "common/byteio.h"
#include "common/errors.h"
#include "common/fsprim.h"
#include "common/zipdir.h"
#include "kitzip/deflate_pool.h"
#include "kitzip/file_io.h"

namespace kitzip {
namespace {

constexpr std::uint32_t kLocalSig = 0x04034b50;
constexpr std::uint32_t k32Max = 0xFFFFFFFFu;
constexpr std::uint16_t kZip64Tag = 0x0001;
// A file this large may not fit 32-bit sizes once deflate has had its say, so its local
// header carries Zip64 sizes from the start (the header is written before the data).
constexpr std::uint64_t kLocalZip64From = 0xF0000000ull;

std::string Bytes(const qp::ByteWriter& w) {
    return std::string(reinterpret_cast<const char*>(w.Data().data()), w.Size());
}


std::string LocalHeader(const std::string& name, std::uint16_t method, std::uint32_t dos_time,
                        std::uint32_t crc, std::uint64_t csize, std::uint64_t usize, bool zip64) {
    qp::ByteWriter w;
    w.U32(kLocalSig);
    w.U16(zip64 ? 45 : (method == 8 ? 20 : 10));
    w.U16(0);
    w.U16(method);
    w.U32(dos_time);
    w.U32(crc);
    w.U32(zip64 ? k32Max : static_cast<std::uint32_t>(csize));
    w.U32(zip64 ? k32Max : static_cast<std::uint32_t>(usize));
    w.U16(static_cast<std::uint16_t>(name.size()));
    w.U16(zip64 ? 20 : 0);
    w.Bytes(name);
    if (zip64) {
        w.U16(kZip64Tag);
        w.U16(16);
        w.U64(usize);
        w.U64(csize);
    }
    return Bytes(w);
}

std::string CentralRecord(const MemberInfo& m, std::uint32_t dos_time, std::uint32_t attributes) {
    bool big_u = m.size >= k32Max, big_c = m.compressed_size >= k32Max, big_o = m.offset >= k32Max;
    qp::ByteWriter extra;
    if (big_u || big_c || big_o) {
        extra.U16(kZip64Tag);
        extra.U16(static_cast<std::uint16_t>(8 * (big_u + big_c + big_o)));
        if (big_u) extra.U64(m.size);
        if (big_c) extra.U64(m.compressed_size);
        if (big_o) extra.U64(m.offset);
    }
    bool zip64 = extra.Size() > 0;
    std::uint16_t version = zip64 ? 45 : (m.method == 8 ? 20 : 10);
    qp::ByteWriter w;
    w.U32(qp::kZipCentralSig);
    w.U16(zip64 ? 45 : 20);  // made by: MS-DOS attributes
    w.U16(version);
    w.U16(0);
    w.U16(m.method);
    w.U32(dos_time);
    w.U32(m.crc);
    w.U32(big_c ? k32Max : static_cast<std::uint32_t>(m.compressed_size));
    w.U32(big_u ? k32Max : static_cast<std::uint32_t>(m.size));
    w.U16(static_cast<std::uint16_t>(m.name.size()));
    w.U16(static_cast<std::uint16_t>(extra.Size()));
    w.U16(0);  // comment
    w.U16(0);  // disk
    w.U16(0);  // internal attributes
    w.U32(attributes);
    w.U32(big_o ? k32Max : static_cast<std::uint32_t>(m.offset));
    w.Bytes(m.name);
    w.Bytes(extra.Data().data(), extra.Size());
    return Bytes(w);
}

void CheckName(const std::string& name) {
    if (name.empty() || name.size() > 0xFFFF) throw qp::IoError("member name empty or too long: " + name);
}

}  // namespace

std::uint32_t DosDateTime(std::int64_t unix_time) {
    constexpr std::uint32_t kFirstDay = (1u << 21) | (1u << 16);  // 1 January 1980, 00:00
    std::time_t t = static_cast<std::time_t>(unix_time);
    std::tm tm{};
#ifdef _WIN32
    if (localtime_s(&tm, &t) != 0) return kFirstDay;
#else
    if (!localtime_r(&t, &tm)) return kFirstDay;
#endif
    int year = tm.tm_year + 1900;
    if (year < 1980) return kFirstDay;
    if (year > 2107) year = 2107;
    std::uint32_t date = static_cast<std::uint32_t>(((year - 1980) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
    std::uint32_t time = static_cast<std::uint32_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
    return (date << 16) | time;
}

struct ZipWriter::Entry {
    MemberInfo info;  // offset, method, crc and compressed size settle as it is written
    std::string source;
    std::uint32_t dos_time = 0;
    bool zip64 = false;
    bool deflate = false;         // deflated unless that does not make it smaller
    std::uint64_t data_start = 0;  // of a file in several pieces: where its data begins
    std::uint64_t pos = 0;         // and where the next piece goes
    std::uint32_t crc = 0;
    bool dropped = false;          // its source failed: it never gets a directory record
};

ZipWriter::ZipWriter(const std::string& path)
    : threads_(ThreadsWanted(0)), path_(path), local_zip64_from_(kLocalZip64From) {
    qp::PathStat st = qp::StatPath(path);
    if (st.kind == qp::PathKind::kDirectory) throw qp::IoError("cannot create " + path + ": it is a folder");
    if (st.Exists() && st.size > 0) {
        file_ = std::make_unique<File>(path, "r+b");
        ReadExisting(st.size);
    } else {
        file_ = std::make_unique<File>(path, "w+b");
        dirty_ = true;
    }
}

ZipWriter::~ZipWriter() {
    try {
        Close();
    } catch (...) {
    }
}

void ZipWriter::ReadExisting(std::uint64_t file_size) {
    // The end record must end the file: what follows it would be lost when the directory is
    // written anew.
    const qp::ZipReadAt read = [this](std::uint64_t pos, void* buf, std::size_t n) {
        file_->Seek(pos);
        file_->ReadExact(buf, n);
    };
    try {
        const qp::ZipEnd end = qp::ReadZipEnd(file_size, read, qp::ZipEndSearch::kCommentReachesEnd);
        comment_ = end.comment;
        std::vector<std::uint8_t> cd(static_cast<std::size_t>(end.cd_size));
        read(end.cd_offset, cd.data(), cd.size());
        qp::ByteReader cr(cd);
        records_.reserve(static_cast<std::size_t>(end.count));
        for (std::uint64_t i = 0; i < end.count; ++i) {
            const std::size_t start = cr.Pos();
            const qp::ZipCentralRecord z = qp::ReadZipCentralRecord(cr);
            Record rec;
            rec.info.name = z.name;
            rec.info.method = z.method;
            rec.info.crc = z.crc;
            rec.info.compressed_size = z.compressed_size;
            rec.info.size = z.size;
            rec.info.offset = z.header_offset;
            rec.central.assign(reinterpret_cast<const char*>(cd.data() + start), cr.Pos() - start);
            AddRecord(std::move(rec));
        }
        data_end_ = end.cd_offset;
    } catch (const qp::FormatError& e) {
        throw qp::FormatError(path_ + ": " + e.what());
    }
}

void ZipWriter::AddRecord(Record rec) {
    auto it = by_name_.find(rec.info.name);
    if (it != by_name_.end()) {
        // The old data stays as dead bytes; only the directory forgets it.
        records_[it->second] = std::move(rec);
        return;
    }
    by_name_.emplace(rec.info.name, records_.size());
    records_.push_back(std::move(rec));
}

void ZipWriter::SetThreads(int threads) { threads_ = ThreadsWanted(threads); }

void ZipWriter::SeekTo(std::uint64_t pos) {
    if (pos == at_) return;  // a seek would flush the stream's buffer for nothing
    at_ = UINT64_MAX;
    file_->Seek(pos);
    at_ = pos;
}

void ZipWriter::WriteAt(const void* data, std::size_t n) {
    const std::uint64_t next = at_ + n;
    at_ = UINT64_MAX;
    file_->Write(data, n);
    at_ = next;
}

void ZipWriter::AddFile(const std::string& source, const std::string& member, int level) {
    if (failed_) throw qp::IoError("archive " + path_ + " could not be written");
    if (!file_) throw qp::IoError("archive " + path_ + " is closed");
    CheckName(member);
    qp::PathStat st = qp::StatPath(source);
    if (!st.Exists() || st.kind == qp::PathKind::kDirectory) throw qp::IoError("cannot open " + source);
    File src(source, "rb");
    if (!pool_ || pool_->Threads() != threads_) {
        Flush();
        pool_.reset();
        pool_ = std::make_unique<DeflatePool>(threads_);
    }
    auto e = std::make_shared<Entry>();
    e->info.name = member;
    e->info.size = st.size;
    e->source = source;
    e->dos_time = DosDateTime(st.mtime);
    e->zip64 = st.size >= local_zip64_from_;
    e->deflate = level > 0 && st.size > 0;
    const std::string changed = source + " changed while it was added";
    try {
        std::uint64_t left = st.size;
        std::shared_ptr<Piece> prev;
        do {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, kPieceSize));
            auto p = std::make_shared<Piece>();
            p->level = e->deflate ? level : 0;
            p->dict = prev && e->deflate ? std::min(kWindowSize, prev->DataSize()) : 0;
            p->in.resize(p->dict + n);
            if (p->dict) std::memcpy(p->in.data(), prev->in.data() + prev->in.size() - p->dict, p->dict);
            if (src.ReadSome(p->in.data() + p->dict, n) != n) throw qp::IoError(changed);
            left -= n;
            p->last = left == 0;
            unsigned char more;
            if (p->last && src.ReadSome(&more, 1) != 0) throw qp::IoError(changed);
            Queue(Job{e, p, !prev, p->last});
            prev = std::move(p);
        } while (left > 0);
    } catch (...) {
        // Its pieces still queued are at the back; any already written lie past data_end_,
        // where the next entry or the directory goes.
        e->dropped = true;
        while (!queue_.empty() && queue_.back().entry == e) queue_.pop_back();
        throw;
    }
}

void ZipWriter::Queue(Job job) {
    // Enough pieces in flight to keep every worker busy, few enough to bound the memory.
    const std::size_t most = 8 * static_cast<std::size_t>(pool_->Threads()) + 4;
    while (queue_.size() >= most) WriteNext();
    // From here on the old central directory on disk may be overwritten.
    dirty_ = true;
    pool_->Submit(job.piece);
    queue_.push_back(std::move(job));
}

void ZipWriter::Flush() {
    if (queue_.empty()) return;
    if (!file_) throw qp::IoError("archive " + path_ + " is closed");
    while (!queue_.empty()) WriteNext();
}

void ZipWriter::DropQueue() { queue_.clear(); }

void ZipWriter::WriteNext() {
    Job job = std::move(queue_.front());
    queue_.pop_front();
    pool_->Wait(*job.piece);
    Entry& e = *job.entry;
    if (e.dropped) return;
    try {
        if (job.piece->failed) throw qp::IoError("compressor failure");
        WritePiece(job);
    } catch (const qp::IoError&) {
        // A failing source drops its entry (Restore says so); anything else broke the archive.
        if (!e.dropped) failed_ = true;
        throw;
    }
}

void ZipWriter::WritePiece(const Job& job) {
    Entry& e = *job.entry;
    const Piece& p = *job.piece;
    MemberInfo& m = e.info;
    if (job.first && job.last) {
        // The usual case: the whole file at once, so the header is right the first time.
        const bool deflate = e.deflate && p.out.size() < p.DataSize();
        m.method = deflate ? 8 : 0;
        m.crc = p.crc;
        m.compressed_size = deflate ? p.out.size() : p.DataSize();
        m.offset = data_end_;
        const std::string header = LocalHeader(m.name, m.method, e.dos_time, m.crc, m.compressed_size, m.size, e.zip64);
        SeekTo(m.offset);
        WriteAt(header.data(), header.size());
        WriteAt(deflate ? p.out.data() : p.Data(), static_cast<std::size_t>(m.compressed_size));
        e.data_start = m.offset + header.size();
    } else {
        if (job.first) {
            m.offset = data_end_;
            m.method = e.deflate ? 8 : 0;
            const std::string header = LocalHeader(m.name, m.method, e.dos_time, 0, 0, 0, e.zip64);
            SeekTo(m.offset);
            WriteAt(header.data(), header.size());
            e.data_start = e.pos = m.offset + header.size();
            e.crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
        }
        const unsigned char* data = e.deflate ? p.out.data() : p.Data();
        const std::size_t n = e.deflate ? p.out.size() : p.DataSize();
        SeekTo(e.pos);
        WriteAt(data, n);
        e.pos += n;
        e.crc = static_cast<std::uint32_t>(crc32_combine(e.crc, p.crc, static_cast<z_off_t>(p.DataSize())));
        if (!job.last) return;
        m.crc = e.crc;
        m.compressed_size = e.pos - e.data_start;
        if (e.deflate && m.compressed_size >= m.size) Restore(e);
        if (!e.zip64 && m.compressed_size >= k32Max) {
            e.dropped = true;
            throw qp::IoError(e.source + " is too large");
        }
        const std::string header = LocalHeader(m.name, m.method, e.dos_time, m.crc, m.compressed_size, m.size, e.zip64);
        SeekTo(m.offset);
        WriteAt(header.data(), header.size());
    }
    data_end_ = e.data_start + m.compressed_size;
    Record rec;
    rec.info = m;
    rec.central = CentralRecord(m, e.dos_time, 0x20);
    AddRecord(std::move(rec));
}

// A file of several pieces that did not shrink: stored instead, read again from its source
// (the pieces are long gone) and checked against the checksum of the first reading.
void ZipWriter::Restore(Entry& e) {
    auto source_failed = [&](const std::string& why) {
        e.dropped = true;
        throw qp::IoError(why);
    };
    std::unique_ptr<File> src;
    try {
        src = std::make_unique<File>(e.source, "rb");
    } catch (const qp::IoError& x) {
        source_failed(x.what());
    }
    std::vector<unsigned char> buf(kPieceSize);
    std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
    std::uint64_t total = 0;
    SeekTo(e.data_start);
    for (;;) {
        std::size_t n = 0;
        try {
            n = src->ReadSome(buf.data(), buf.size());
        } catch (const qp::IoError& x) {
            source_failed(x.what());
        }
        if (n == 0) break;
        total += n;
        if (total > e.info.size) break;
        crc = static_cast<std::uint32_t>(crc32(crc, buf.data(), static_cast<uInt>(n)));
        WriteAt(buf.data(), n);
    }
    if (total != e.info.size || crc != e.crc) source_failed(e.source + " changed while it was added");
    e.info.method = 0;
    e.info.compressed_size = total;
}

void ZipWriter::AddDirectory(const std::string& member, std::int64_t mtime) {
    if (!file_) throw qp::IoError("archive " + path_ + " is closed");
    if (failed_) throw qp::IoError("archive " + path_ + " could not be written");
    std::string name = member;
    if (name.empty() || name.back() != '/') name += '/';
    CheckName(name);
    Flush();  // the files added before it go first
    dirty_ = true;
    const std::uint32_t dos_time = DosDateTime(mtime);
    MemberInfo m;
    m.name = name;
    m.offset = data_end_;
    m.crc = 0;
    std::string header = LocalHeader(name, 0, dos_time, 0, 0, 0, false);
    try {
        SeekTo(m.offset);
        WriteAt(header.data(), header.size());
    } catch (...) {
        failed_ = true;
        throw;
    }
    data_end_ += header.size();
    Record rec;
    rec.info = m;
    rec.central = CentralRecord(m, dos_time, 0x10);
    AddRecord(std::move(rec));
}

void ZipWriter::SetComment(const std::string& comment) {
    comment_ = comment.substr(0, 0xFFFF);
    dirty_ = true;
}

void ZipWriter::Close() {
    if (!file_ && suspended_ && !Resume()) {
        DropQueue();
        return;
    }
    if (!file_) return;
    if (!failed_) {
        try {
            Flush();
        } catch (...) {
            Abandon();
            throw;
        }
    }
    if (failed_) {
        Abandon();
        throw qp::IoError("archive " + path_ + " could not be written; it has no directory");
    }
    if (!dirty_) {
        file_->Close();
        file_.reset();
        return;
    }
    std::string cd;
    std::size_t cd_bytes = 0;
    for (const Record& r : records_) cd_bytes += r.central.size();
    cd.reserve(cd_bytes);
    for (const Record& r : records_) cd += r.central;
    const std::uint64_t cd_offset = data_end_;
    const std::uint64_t count = records_.size();
    qp::ByteWriter w;
    const bool zip64 = count >= 0xFFFF || cd_offset >= k32Max || cd.size() >= k32Max;
    if (zip64) {
        const std::uint64_t end64 = cd_offset + cd.size();
        w.U32(qp::kZipEnd64Sig);
        w.U64(44);
        w.U16(45);
        w.U16(45);
        w.U32(0);
        w.U32(0);
        w.U64(count);
        w.U64(count);
        w.U64(cd.size());
        w.U64(cd_offset);
        w.U32(qp::kZipLocator64Sig);
        w.U32(0);
        w.U64(end64);
        w.U32(1);
    }
    w.U32(qp::kZipEndSig);
    w.U16(0);
    w.U16(0);
    w.U16(count >= 0xFFFF ? 0xFFFF : static_cast<std::uint16_t>(count));
    w.U16(count >= 0xFFFF ? 0xFFFF : static_cast<std::uint16_t>(count));
    w.U32(cd.size() >= k32Max ? k32Max : static_cast<std::uint32_t>(cd.size()));
    w.U32(cd_offset >= k32Max ? k32Max : static_cast<std::uint32_t>(cd_offset));
    w.U16(static_cast<std::uint16_t>(comment_.size()));
    w.Bytes(comment_);
    try {
        file_->Seek(cd_offset);
        file_->Write(cd);
        file_->Write(w.Data().data(), w.Size());
        file_->Truncate(cd_offset + cd.size() + w.Size());
        dirty_ = false;
        std::unique_ptr<File> f = std::move(file_);
        at_ = UINT64_MAX;
        f->Close();
    } catch (...) {
        failed_ = true;
        Abandon();
        throw;
    }
}

void ZipWriter::Abandon() {
    DropQueue();
    if (!file_ && suspended_) {
        try {
            file_ = std::make_unique<File>(path_, "r+b");
        } catch (const qp::IoError&) {
        }
    }
    suspended_ = false;
    if (file_) {
        try {
            // An earlier directory beyond our data would make the file look whole again.
            if (dirty_) file_->Truncate(data_end_);
        } catch (const qp::IoError&) {
        }
        try {
            file_->Close();
        } catch (const qp::IoError&) {
        }
        file_.reset();
    }
    at_ = UINT64_MAX;
    dirty_ = false;
    failed_ = true;
}

void ZipWriter::LeaveThreads() {
    if (!pool_) return;
    DropQueue();
    pool_->Abandon();
    // Its workers wait on it for ever: it must outlive them.
    pool_.release();
}

void ZipWriter::Suspend() {
    if (!file_) return;
    // Files still queued stay queued; their workers go on meanwhile.
    at_ = UINT64_MAX;
    try {
        file_->Close();
    } catch (...) {
        file_.reset();
        failed_ = true;
        throw;
    }
    file_.reset();
    qp::PathStat st = qp::StatPath(path_);
    suspended_ = true;
    suspended_size_ = st.size;
    suspended_mtime_ = st.mtime * 1000000000ll + st.mtime_ns;
}

bool ZipWriter::Resume() {
    if (!suspended_) return file_ != nullptr;
    suspended_ = false;
    qp::PathStat st = qp::StatPath(path_);
    if (!st.Exists() || st.kind == qp::PathKind::kDirectory || st.size != suspended_size_ || st.mtime * 1000000000ll + st.mtime_ns != suspended_mtime_)
        return false;
    try {
        file_ = std::make_unique<File>(path_, "r+b");
    } catch (const qp::IoError&) {
        return false;
    }
    return true;
}

}  // namespace kitzip
