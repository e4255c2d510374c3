// The setup runtime's zip reader: extracts one named member of the kit archive to a given path.
// Hostile input is expected: every offset and length is checked against the archive's size.
// The central directory of an archive is read once and kept while the file is unchanged, so
// installing n files costs O(n) and not n times the directory.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/kitpayload.h"
#include "common/zipdir.h"

namespace qp {

// Results of ExtractMember: the zip reader's own codes; 0 only for a clean extraction.
enum UnzipResult : int {
    kUnzipOk = 0,
    kUnzipDamaged = 2,       // member data damaged: bad CRC, bad deflate stream, wrong size
    kUnzipBadArchive = 3,    // the archive's structure is broken
    kUnzipNoMemory = 4,
    kUnzipNoArchive = 9,     // archive missing, unreadable or not a zip
    kUnzipNoMember = 11,     // no member of that name
    kUnzipWriteFailed = 50,  // the output could not be created, replaced or written
    kUnzipUnsupported = 81,  // encrypted member or a compression method other than store/deflate
};

// Random access to the bytes of an archive: the file reader of the kit payload.
using ZipSource = ByteSource;

class MemoryZipSource : public ZipSource {
public:
    MemoryZipSource(const void* data, std::size_t size) : p_(static_cast<const std::uint8_t*>(data)), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    void ReadAt(std::uint64_t pos, void* buf, std::size_t n) override;

private:
    const std::uint8_t* p_;
    std::size_t size_;
};

// A member as the central directory describes it.
using ZipEntry = ZipCentralRecord;

class ZipCatalog {
public:
    // Reads the end records and the central directory. Throws qp::FormatError.
    static std::shared_ptr<const ZipCatalog> Read(ZipSource& source);

    const std::vector<ZipEntry>& Entries() const { return entries_; }
    // The file member named `name`: "/" and "\" are the same separator; an exact match wins,
    // otherwise the first member that matches without regard to ASCII case.
    const ZipEntry* Find(const std::string& name) const;
    // Where the central directory starts: no member's data may reach past it.
    std::uint64_t DataLimit() const { return data_limit_; }

private:
    std::vector<ZipEntry> entries_;
    std::unordered_map<std::string, std::size_t> exact_;
    std::unordered_map<std::string, std::size_t> folded_;
    std::uint64_t data_limit_ = 0;
};

// Streams the member's data, checked against its size and CRC, to `sink` (false from the sink
// stops with kUnzipWriteFailed). Returns a UnzipResult.
int ExtractData(ZipSource& source, const ZipCatalog& catalog, const ZipEntry& entry,
                const std::function<bool(const void*, std::size_t)>& sink);

// Where the archive lies in its file: a one-file kit carries setup.cab inside the program.
// Offsets in the archive count from `offset`. A size of 0 is the whole file.
struct ArchiveWindow {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

// An archive opened for many extractions (an install phase): its directory is read once, and
// the file stays open until the object goes.
struct ZipArchive {
    std::string path;
    ArchiveWindow window;
    std::shared_ptr<ZipSource> source;
    std::shared_ptr<const ZipCatalog> catalog;
    explicit operator bool() const { return source && catalog; }
};

// Opens the archive and reads its directory. Returns kUnzipOk, kUnzipNoArchive,
// kUnzipBadArchive or kUnzipNoMemory; `message` tells which.
int OpenZipArchive(const std::string& archive_path, ZipArchive& out, std::string* message = nullptr,
                   const ArchiveWindow& window = {});

// ExtractMember on an archive that is open already.
int ExtractMemberFrom(ZipArchive& archive, const std::string& member, const std::string& output_path,
                      std::string* message = nullptr);

// Extracts the member `member` of the archive to `output_path`. The data is written beside the
// output first and replaces it only when complete and correct; an existing (also read-only)
// file at the output path is replaced. `target_folder` is not used: the caller creates it.
// `message`, when given, receives the reader's text about a failure.
int ExtractMember(const std::string& archive_path, const std::string& member, const std::string& target_folder,
                  const std::string& output_path, std::string* message = nullptr, const ArchiveWindow& window = {});

// Drops the kept central directory (tests, and callers about to rewrite an archive).
void ForgetZipCatalogs();

}  // namespace qp
