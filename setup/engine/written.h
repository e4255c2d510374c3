// The record of what the product wrote: "written.lst" in the information folder, beside the
// installation log. It names every file the runtime actually wrote for the product (new, or an
// existing file replaced), so that a removal deletes only those and never a file that was there
// before and was kept. It also keeps the destination and the program folder, so that a product
// whose log is lost can still be removed. Text, one entry a line:
//
//   QPBWritten 1
//   destination<TAB>C:\Program Files\Co\Prod
//   folder<TAB>Prod
//   file<TAB><kilobytes><TAB><path>
//
// Lines end with CR LF. Paths are compared without regard to case.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace qp {

struct WrittenFile {
    std::string path;
    std::uint32_t kilobytes = 0;  // the packaged size, as the setup list gives it
};

// Look-ups, additions and removals take constant time, so a phase of n files costs O(n).
class WrittenRecord {
public:
    std::string destination;
    std::string program_folder;

    bool Has(const std::string& path) const;
    // Adds a file once; a second write of the same path takes the newer size.
    void Add(const std::string& path, std::uint32_t kilobytes);
    void Remove(const std::string& path);
    // Forgets every file and both folders.
    void Clear();
    std::uint64_t Kilobytes() const;
    // Calls `f` with each file, in the order in which each was first added.
    template <class F>
    void EachFile(F f) const {
        for (const WrittenFile& w : files_)
            if (!w.path.empty()) f(w);
    }

private:
    std::vector<WrittenFile> files_;  // a removed file leaves an empty path
    std::unordered_map<std::string, std::size_t> at_;  // lower-case path -> index in files_
};

// Bounds of a record a reader accepts: a file of more than this many bytes is refused whole.
constexpr std::size_t kWrittenRecordLimit = 16u << 20;
constexpr std::size_t kWrittenLineLimit = 4096;

std::string EncodeWrittenRecord(const WrittenRecord& record);
// False for a foreign or damaged record (unknown first line, a line too long, without its end,
// or of an unknown kind, a size that is not a number): `out` is then left empty.
bool DecodeWrittenRecord(const std::string& text, WrittenRecord& out);

// Written beside `path` and renamed over it only when complete. 1, or -1 on failure.
int WriteWrittenRecord(const std::string& path, const WrittenRecord& record);

enum class RecordRead { kRead, kMissing, kDamaged };
RecordRead ReadWrittenRecord(const std::string& path, WrittenRecord& out);

}  // namespace qp
