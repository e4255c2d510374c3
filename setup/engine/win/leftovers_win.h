// Removing a killed run's temporary files (setup/engine/leftovers.h says which) at the start of
// the next run of the product.
#pragma once
#include <functional>
#include <string>

#include "setup/engine/written.h"

namespace qp {

enum class ProductRun {
    kAlone,    // this is the product's only run
    kOther,    // another run of the product is going, this user's or another's
    kUnknown,  // the system gave no named object to tell by
};

// Marks this process as a run of the product `guid` for the rest of its life (a named object
// that goes when the process ends, however it ends), and says whether another run is going:
// that run's temporary files are then not leftovers, and two runs must not install at once.
ProductRun AnnounceProductRun(const std::string& guid);

// Removes the temporary files in `info_folder` and beside the files of `record`. A name is
// removed only when it is a plain file (no folder, never a link, which is neither followed nor
// removed) that no one has open; a folder that is a link is not looked into. `removed` hears
// each path removed. Call only when AnnounceProductRun said this run is alone.
void RemoveKilledRunLeftovers(const std::string& info_folder, const WrittenRecord* record,
                              const std::function<void(const std::string&)>& removed);

}  // namespace qp
