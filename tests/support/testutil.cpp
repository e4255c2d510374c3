// Helpers for tests.
#include "support/testutil.h"
#include "support/wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "common/kitpayload.h"

namespace fs = std::filesystem;

namespace qptest {

std::string SourceDir() { return QP_SOURCE_DIR; }

std::string TestData(const std::string& relative) { return SourceDir() + "/tests/" + relative; }

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    auto base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("qptest-" + std::to_string(rd()) + "-" + std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

namespace {

// Every entry below `dir`, parents before their children; at most `limit` of them.
void ListTree(const fs::path& dir, std::vector<fs::path>& out, std::size_t limit) {
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end && out.size() < limit; it.increment(ec)) {
        out.push_back(it->path());
        if (it->is_directory(ec) && !it->is_symlink(ec)) ListTree(it->path(), out, limit);
    }
}

}  // namespace

bool RemoveTree(const fs::path& path, unsigned limit_ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    for (;;) {
        std::error_code ec;
        if (!fs::exists(path, ec) && !ec) return true;
        std::vector<fs::path> entries;
        ListTree(path, entries, 100000);
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            fs::permissions(*it, fs::perms::owner_write, fs::perm_options::add, ec);  // read-only files
            fs::remove(*it, ec);
        }
        fs::remove(path, ec);
        if (!fs::exists(path, ec) && !ec) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

TempDir::~TempDir() {
    if (!RemoveTree(path_))
        std::fprintf(stderr, "[TempDir] %s is left behind: something still holds a file in it\n", path_.string().c_str());
}

std::string RunId() {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    const auto now = std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    char id[16];
    std::snprintf(id, sizeof id, "%08X", unsigned(seed ^ unsigned(now) ^ unsigned(now >> 32)) * 7919u + counter++ * 104729u);
    return id;
}

std::string RunGuid(const std::string& family) { return "{" + family + "-0C1D-4A1B-9F00-0000" + RunId() + "}"; }

std::string TempDir::operator/(const std::string& name) const { return (path_ / name).string(); }

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const std::string& path) {
    auto b = ReadBytes(path);
    return std::string(b.begin(), b.end());
}

std::string Rewound(std::FILE* f) {
    std::string s;
    std::rewind(f);
    char buf[512];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    return s;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::string& path, const std::string& text) { WriteBytes(path, Bytes(text.begin(), text.end())); }

Bytes LE16(std::uint16_t v) { return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}; }
Bytes LE32(std::uint32_t v) { return LE16(v & 0xFFFF) + LE16(v >> 16); }
Bytes LE64(std::uint64_t v) { return LE32(static_cast<std::uint32_t>(v)) + LE32(static_cast<std::uint32_t>(v >> 32)); }
Bytes Str(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes KitProgram(const Bytes& runtime, const std::vector<std::pair<std::string, Bytes>>& files) {
    Bytes out;
    qp::KitProgramWriter w([&](const void* p, std::size_t n) {
        out.insert(out.end(), static_cast<const std::uint8_t*>(p), static_cast<const std::uint8_t*>(p) + n);
        return true;
    });
    w.Runtime(runtime);
    for (const auto& [name, data] : files) {
        w.BeginFile(name);
        w.Append(data.data(), data.size() / 2);
        w.Append(data.data() + data.size() / 2, data.size() - data.size() / 2);
    }
    EXPECT_EQ(out.size(), w.Finish());
    return out;
}

bool RecordingReporter::Has(const std::string& text) const {
    for (const auto& e : entries)
        if (e.text == text) return true;
    return false;
}

std::string RecordingReporter::All() const {
    std::ostringstream out;
    for (const auto& e : entries) out << e.text << "\n";
    return out.str();
}

}  // namespace qptest

namespace qptest {

bool WaitFor(const std::function<bool()>& done, unsigned limit_ms, unsigned step_ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(step_ms));
    }
}

}  // namespace qptest
