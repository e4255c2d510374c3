// Expansion of the path macros that destinations, registry data and shortcut fields may hold.
#pragma once
#include <string>

#include "setup/engine/context.h"

namespace qp {

// Only the first macro found, in a fixed order of precedence, is expanded, at its first
// occurrence; everything else stays as written (kits rely on that, odd as it is).
std::string ExpandMacros(const std::string& text, const InstallContext& ctx);

}  // namespace qp
