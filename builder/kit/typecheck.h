// Setup types that install nothing. A kit with such types still builds; the builder warns about
// them, naming each, so that the publisher can give them components.
#pragma once
#include <string>
#include <vector>

#include "builder/model/doc.h"

namespace qp {

// One warning per setup type without components, in the list's order; none when the project
// has no components at all (there is nothing a type could hold). When no type has components,
// one more warning says what an unattended install takes instead.
std::vector<std::string> SetupTypeWarnings(const CDazDoc& doc);

}  // namespace qp
