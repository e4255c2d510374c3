// The kit build's one error style: a step that cannot go on throws, and the build catches once
// per step and reports the text with that step's own message.
#pragma once
#include <stdexcept>
#include <string>

#include "common/errors.h"

namespace qp {

// A kit build step failed for a reason of the kit's own (a lock held, a kit folder that is not
// ours to replace, a one-file kit that does not read back). File failures are IoError, bad
// bytes FormatError (common/errors.h); all three carry the words the user sees.
class KitError : public std::runtime_error {
public:
    explicit KitError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace qp
