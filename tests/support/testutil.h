// Helpers for tests: temporary folders, whole-file reads and writes, a recording reporter.
#pragma once
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/report.h"

namespace qptest {

// The source tree, as this build's programs see it (under Wine: a Z: path).
std::string SourceDir();
// A file below tests/ of the source tree.
std::string TestData(const std::string& relative);

// Removes `path` with everything in it, asking again for up to `limit_ms` while something holds
// a file in it (a helper process that outlives the program a test ran, such as the
// uninstaller's self-delete); whether it is gone. Under Wine a deleted file that is still held
// stays listed, and std::filesystem::remove_all has been seen to spin forever on it: this lists
// the tree first and removes each entry once a round.
bool RemoveTree(const std::filesystem::path& path, unsigned limit_ms = 10000);

// A fresh folder that is removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    // Native path text of a name inside the folder.
    std::string operator/(const std::string& name) const;
    std::string Str() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// Eight hex digits that differ from call to call and from run to run, for the names of a product
// of a test's own (GUID, folders, registry key): what a failed run leaves installed never meets
// the next run.
std::string RunId();
// A product GUID of its own: "{" `family` (eight hex digits naming the test) "-0C1D-4A1B-9F00-0000"
// RunId() "}".
std::string RunGuid(const std::string& family);

std::vector<std::uint8_t> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
// Everything written to `f` so far (a tmpfile() a program under test wrote its console to).
std::string Rewound(std::FILE* f);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);

// Builds byte strings in tests: B({0x23, 1}) + Str("abc") + LE16(7) ...
using Bytes = std::vector<std::uint8_t>;
Bytes LE16(std::uint16_t v);
Bytes LE32(std::uint32_t v);
Bytes LE64(std::uint64_t v);
Bytes Str(const std::string& s);
Bytes operator+(Bytes a, const Bytes& b);

// A one-file kit program: `runtime` with `files` (name, bytes) carried after it, each appended
// in two pieces as the builder streams a file.
Bytes KitProgram(const Bytes& runtime, const std::vector<std::pair<std::string, Bytes>>& files);

struct RecordingReporter : qp::Reporter {
    struct Entry { qp::Severity severity; std::string text; };
    std::vector<Entry> entries;
    void Report(qp::Severity s, const std::string& text) override { entries.push_back({s, text}); }
    bool Has(const std::string& text) const;
    std::string All() const;
};

}  // namespace qptest
