// Fuzzes the import of directory-style projects: the input is cut at 0x01 bytes into the
// definition files of one project folder, which is then imported, resolved and written as a
// project file. Nothing may crash, and the written project must read back.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "builder/model/doc.h"
#include "builder/model/projectfile.h"
#include "common/report.h"

namespace {

namespace fs = std::filesystem;

const char* const kFiles[] = {
    "FILE GROUPS/default.fdf",        "FILE GROUPS/G.fgl",          "COMPONENT DEFINITIONS/default.cdf",
    "COMPONENT DEFINITIONS/default.fgl", "SHELL OBJECTS/default.shl", "REGISTRY ENTRIES/default.rge",
    "STRING TABLES/default.shl",      "STRING TABLES/0009-English/value.shl"};

// One project folder per process, removed when the fuzzer exits.
struct ProjectFolder {
    fs::path path;
    ProjectFolder() : path(fs::temp_directory_path() / ("qp-fuzz-import-" + std::to_string(getpid()))) {
        for (const char* f : kFiles) fs::create_directories((path / f).parent_path());
        std::ofstream(path / "p.ipr").put('\n');
    }
    ~ProjectFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

const fs::path& Folder() {
    static const ProjectFolder folder;
    return folder.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 14)) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    for (const char* f : kFiles) {
        std::size_t cut = bytes.find('\x01', start);
        std::string part = start <= bytes.size() ? bytes.substr(start, cut == std::string::npos ? std::string::npos : cut - start)
                                                 : std::string();
        std::ofstream(Folder() / f, std::ios::binary | std::ios::trunc) << part;
        start = cut == std::string::npos ? bytes.size() + 1 : cut + 1;
    }
    qp::NullReporter reporter;
    auto doc = qp::OpenProject((Folder() / "p.ipr").string(), reporter);
    if (!doc) std::abort();  // an import never refuses
    std::vector<std::uint8_t> written = qp::WriteProjectBytes(*doc);
    qp::CDazDoc again;
    qp::ReadProjectBytes(again, written.data(), written.size(), std::string());
    return 0;
}
