// The compressor linked into the program (qpbc): no library to find, so no load messages.
#include "builder/kit/compressor_zp.h"

namespace qp {
namespace {

class StaticCompressor : public ZpCompressor {
public:
    using ZpCompressor::ZpCompressor;
    ~StaticCompressor() override { Unload(); }

    bool Load() override {
        zp_.init = &ZpInit;
        zp_.set_options = &ZpSetOptions;
        zp_.archive = &ZpArchive;
        return Initialise();
    }

    void Unload() override {
        if (!callbacks_) return;
        if (!kitzip::FinishPendingArchive()) Say("Error in archiving\n");
        ReleaseCallbacks();
    }
};

}  // namespace

std::unique_ptr<Compressor> MakeStaticCompressor(Reporter& reporter, std::FILE* console) {
    return std::make_unique<StaticCompressor>(reporter, console);
}

}  // namespace qp
