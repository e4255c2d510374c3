// The compressor as qpb binds it: kitzip.dll loaded at run time (Windows only).
#pragma once
#include "builder/kit/compressor.h"

namespace qp {

// kitzip.dll from `builder_dir` (empty: the directory of the running program).
std::unique_ptr<Compressor> MakeDllCompressor(Reporter& reporter, const std::string& builder_dir = "",
                                              std::FILE* console = stdout);

}  // namespace qp
