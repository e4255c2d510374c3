// The zip writer under kitzip: appends members to a standard zip archive, deflated or stored,
// with Zip64 records once the archive passes 65,535 entries or 4 GiB. Adding to an archive
// never rewrites what it already holds: new local entries go after the last one and only the
// central directory is written again, once, when the writer is closed.
//
// Files are deflated on worker threads (DeflatePool) while the calling thread reads the next
// files and writes finished entries in the order they were added, so AddFile may return before
// its file is in the archive. At most a fixed number of pieces is in flight, whatever the file
// sizes. The bytes written do not depend on the number of threads.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace kitzip {

class File;
class DeflatePool;
struct Piece;

struct MemberInfo {
    std::string name;
    std::uint32_t crc = 0;
    std::uint64_t compressed_size = 0;
    std::uint64_t size = 0;
    std::uint64_t offset = 0;  // of the local header
    std::uint16_t method = 0;
};

class ZipWriter {
public:
    // Opens `path` for adding. A missing or empty file starts a new archive; an existing zip is
    // read once (its central directory) and new members follow its last local entry.
    // Throws qp::IoError (cannot open or create) or qp::FormatError (not a zip).
    explicit ZipWriter(const std::string& path);
    ~ZipWriter();  // closes, errors are lost: call Close() to see them
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // Reads the file at `source` and queues it for the archive as `member` ("/" separated,
    // ANSI bytes as given). level 0 stores, 1..9 deflate; a file that does not shrink is
    // stored. A member of the same name is replaced. When the file cannot be read the archive
    // keeps exactly its earlier members. An error may also come from an earlier file still in
    // flight (its message names it); an error writing the archive leaves the writer unusable
    // (Failed()), and its archive is then never given a directory.
    void AddFile(const std::string& source, const std::string& member, int level);
    // A folder entry ("name/").
    void AddDirectory(const std::string& member, std::int64_t mtime);

    void SetComment(const std::string& comment);
    // Deflate threads: 0 = as many as the machine has (see ThreadsWanted), 1 = everything on
    // the calling thread. Taken from the next AddFile on.
    void SetThreads(int threads);
    // Writes every queued file.
    void Flush();
    // Files from this size on get Zip64 sizes in their local header (default 3.75 GiB, so
    // that deflate's worst case still fits); tests lower it to check that layout cheaply.
    void SetLocalZip64From(std::uint64_t bytes) { local_zip64_from_ = bytes; }
    // Writes the queued files, the central directory and the end records and closes the file.
    // Idempotent. A failed writer is closed without a directory and throws qp::IoError.
    void Close();
    // Closes without writing the directory or anything still queued: what was written stays,
    // with no end record, so that nobody takes it for a complete archive.
    void Abandon();
    // For a library being unloaded: after this the worker threads are never waited for.
    void LeaveThreads();
    bool IsOpen() const { return file_ != nullptr; }
    bool Failed() const { return failed_; }

    const std::string& Path() const { return path_; }
    // Members written so far (Flush first to count the queued ones).
    std::size_t Count() const { return records_.size(); }
    const MemberInfo& Member(std::size_t i) const { return records_[i].info; }

    // Between calls of a long build the file is closed so that others may look at it; Suspend
    // remembers its size and time, Resume reopens it and returns false (leaving the writer
    // closed without writing) when the file was changed meanwhile.
    void Suspend();
    bool Resume();
    bool Suspended() const { return suspended_; }

private:
    struct Record {
        MemberInfo info;
        std::string central;  // the whole central directory record
    };
    struct Entry;
    struct Job {
        std::shared_ptr<Entry> entry;
        std::shared_ptr<Piece> piece;
        bool first = false, last = false;
    };
    void ReadExisting(std::uint64_t file_size);
    void AddRecord(Record rec);
    void Queue(Job job);
    void WriteNext();
    void WritePiece(const Job& job);
    void Restore(Entry& e);
    void DropQueue();
    void SeekTo(std::uint64_t pos);
    void WriteAt(const void* data, std::size_t n);

    std::unique_ptr<DeflatePool> pool_;
    unsigned threads_;
    std::uint64_t at_ = UINT64_MAX;  // where the file stands, when known
    std::deque<Job> queue_;
    std::string path_;
    std::unique_ptr<File> file_;
    std::vector<Record> records_;
    std::unordered_map<std::string, std::size_t> by_name_;
    std::uint64_t data_end_ = 0;  // where the next local entry goes
    std::uint64_t local_zip64_from_;
    std::string comment_;
    bool dirty_ = false;          // central directory not yet written
    bool failed_ = false;         // the archive could not be written: no directory ever
    bool suspended_ = false;
    std::uint64_t suspended_size_ = 0;
    std::int64_t suspended_mtime_ = 0;
};

// MS-DOS date (high word) and time (low word) in local time; times before 1980 become 1980.
std::uint32_t DosDateTime(std::int64_t unix_time);

}  // namespace kitzip
