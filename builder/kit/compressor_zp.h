// The calls shared by both compressor bindings, over the three Zp* entry points.
#pragma once
#include <cstdio>
#include <string>

#include "builder/kit/compressor.h"
#include "kitzip/kitzip.h"

namespace qp {

struct ZpEntryPoints {
    int(ZP_CALL* init)(ZIPUSERFUNCTIONS*) = nullptr;
    int(ZP_CALL* set_options)(ZPOPT*) = nullptr;
    int(ZP_CALL* archive)(ZCL) = nullptr;
};

class ZpCompressor : public Compressor {
public:
    ZpCompressor(Reporter& reporter, std::FILE* console) : reporter_(reporter), console_(console) {}
    ~ZpCompressor() override;
    bool AddFile(const std::string& file_path, const std::string& archive_dir, const std::string& archive_path) override;

protected:
    // Step 6 of loading: hands the callbacks over; false after telling the console why.
    bool Initialise();
    void Say(const std::string& text);
    // Forgets the callback block; the bindings free their library after this.
    void ReleaseCallbacks();

    Reporter& reporter_;
    std::FILE* console_;
    ZpEntryPoints zp_;
    ZIPUSERFUNCTIONS* callbacks_ = nullptr;
};

}  // namespace qp
