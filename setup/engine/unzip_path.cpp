// Extraction by the archive's path, for callers that extract a member now and then: the
// directory of the last archive is kept while the file stays the same.
#include <algorithm>
#include <mutex>

#include "setup/engine/unzip.h"
#include "common/fsprim.h"

namespace qp {
namespace {

// The central directory of the last archive, kept with the archive open while the file's
// size and time stay the same.
struct Cached {
    ZipArchive archive;
    PathStat info;
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


int Fail(std::string* message, const std::string& text, int code) {
    if (message) *message = text;
    return code;
}

}  // namespace

void ForgetZipCatalogs() {
    std::lock_guard<std::mutex> lock(g_cache_lock);
    g_cache = Cached{};
}

int ExtractMember(const std::string& archive_path, const std::string& member, const std::string& target_folder,
                  const std::string& output_path, std::string* message, const ArchiveWindow& window) {
    (void)target_folder;
    // One extraction at a time: the kept archive handle has a single file position.
    std::lock_guard<std::mutex> lock(g_cache_lock);
    const PathStat info = StatPath(archive_path);
    if (info.kind != PathKind::kFile) {
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
        const int rc = OpenZipArchive(archive_path, g_cache.archive, message, window);
        if (rc != kUnzipOk) return rc;
        try {
            g_cache.tail = ReadTail(*g_cache.archive.source);
        } catch (const std::exception& e) {
            g_cache = Cached{};
            return Fail(message, archive_path + ": " + e.what(), kUnzipNoArchive);
        }
        g_cache.info = info;
    }
    return ExtractMemberFrom(g_cache.archive, member, output_path, message);
}

}  // namespace qp
