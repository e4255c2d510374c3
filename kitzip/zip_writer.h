// The zip writer under kitzip: appends members to a standard zip archive, deflated or stored,
// with Zip64 records once the archive passes 65,535 entries or 4 GiB. Adding to an archive
// never rewrites what it already holds: new local entries go after the last one and only the
// central directory is written again, once, when the writer is closed.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace kitzip {

class File;

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

    // Streams the file at `source` into the archive as `member` ("/" separated, ANSI bytes as
    // given). level 0 stores, 1..9 deflate; a file that does not shrink is stored. A member of
    // the same name is replaced. On failure the archive keeps exactly its earlier members.
    void AddFile(const std::string& source, const std::string& member, int level);
    // A folder entry ("name/").
    void AddDirectory(const std::string& member, std::int64_t mtime);

    void SetComment(const std::string& comment);
    // Files from this size on get Zip64 sizes in their local header (default 3.75 GiB, so
    // that deflate's worst case still fits); tests lower it to check that layout cheaply.
    void SetLocalZip64From(std::uint64_t bytes) { local_zip64_from_ = bytes; }
    // Writes the central directory and the end records and closes the file. Idempotent.
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    const std::string& Path() const { return path_; }
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
    void ReadExisting(std::uint64_t file_size);
    void AddRecord(Record rec);
    std::uint64_t WriteEntryData(File& src, std::uint64_t size, std::uint32_t& crc, bool deflate, int level);

    struct Deflater;
    std::unique_ptr<Deflater> deflater_;  // kept from file to file: a build adds thousands
    std::vector<unsigned char> in_, out_;
    std::string path_;
    std::unique_ptr<File> file_;
    std::vector<Record> records_;
    std::unordered_map<std::string, std::size_t> by_name_;
    std::uint64_t data_end_ = 0;  // where the next local entry goes
    std::uint64_t local_zip64_from_;
    std::string comment_;
    bool dirty_ = false;          // central directory not yet written
    bool suspended_ = false;
    std::uint64_t suspended_size_ = 0;
    std::int64_t suspended_mtime_ = 0;
};

// File status without <windows.h>, 64-bit sizes in both builds.
struct FileStat {
    bool exists = false;
    bool is_dir = false;
    std::uint64_t size = 0;
    std::int64_t mtime = 0;       // seconds since 1970
    std::int64_t mtime_ns = 0;    // finer part where the system has one
};
FileStat Stat(const std::string& path);

// MS-DOS date (high word) and time (low word) in local time; times before 1980 become 1980.
std::uint32_t DosDateTime(std::int64_t unix_time);

}  // namespace kitzip
