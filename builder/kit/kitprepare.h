// The kit-build policy that both front ends apply before the build itself, so that one project
// is one product whether qpb or qpbc builds it: the product GUID (given, derived for an
// imported ".ipr", or made once and kept in the ".qpk"), product strings set for one build,
// and side files named without a folder taken from the project's folder.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "builder/kit/kitbuild.h"
#include "builder/model/doc.h"
#include "common/report.h"

namespace qp {

struct KitPrepareOptions {
    // The file the project was read from: its ".qpk", or the ".ipr" it was imported from.
    // Empty for a project never saved (its GUID then lives in the document until a save).
    std::string project_path;
    // A product GUID given for this build (already in the builder's text form); empty: the
    // project's own.
    std::string product_code;
    // Product strings for this build only: KEY, VALUE.
    std::vector<std::pair<std::string, std::string>> sets;
    // Added to the messages that end a build for want of a GUID, saying how this front end
    // gives one (qpbc: its --product-code option).
    std::string guid_advice;
};

enum class KitPrepareStatus {
    kReady,    // build with the document and the parameters as they are now
    kRefused,  // an option cannot be taken (`refusal` says why); nothing was changed on disk
    kFailed,   // reported; no kit should be built
};

struct KitPreparation {
    KitPrepareStatus status = KitPrepareStatus::kReady;
    std::string refusal;
    std::string product_code;  // the GUID the kit gets
};

// Applies the policy to `doc` (product strings and GUID; a made GUID is also written into the
// ".qpk" on disk, and the document marked modified) and to `params` (the side files to copy).
// Information goes to `reporter` as Info, failures as Error.
KitPreparation PrepareKitBuild(CDazDoc& doc, const KitPrepareOptions& options, KitBuildParams& params,
                               Reporter& reporter);

// True for "\x", "/x" and "C:..." (a path that does not depend on the working directory).
bool IsAbsolutePath(const std::string& path);

}  // namespace qp
