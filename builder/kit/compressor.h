// The kit build's zip compressor: adds project files one at a time to the kit archive. Two
// bindings: kitzip.dll loaded at run time (qpb on Windows) and the static kitzip library
// (qpbc, and tests). Both say what went wrong through the reporter and the console, with the
// texts the builder has always shown.
#pragma once
#include <cstdio>
#include <memory>
#include <string>

#include "common/report.h"

namespace qp {

class Compressor {
public:
    virtual ~Compressor() = default;
    // Loads and initialises the compressor; false (after reporting why) when it is unusable.
    virtual bool Load() = 0;
    // Adds the file at `file_path` to the archive at `archive_path` under `archive_dir` (the
    // group name and folder path, "\" separated) and the file's own name; true on success.
    // Relative file paths are taken from the current directory.
    virtual bool AddFile(const std::string& file_path, const std::string& archive_dir, const std::string& archive_path) = 0;
    // Frees the compressor. The archive is complete (its directory written) only after this.
    virtual void Unload() = 0;
};

// The compressor linked into this program. `console` takes the compressor's own output.
std::unique_ptr<Compressor> MakeStaticCompressor(Reporter& reporter, std::FILE* console = stdout);

}  // namespace qp
