// The warnings about setup types without components.
#include "builder/kit/typecheck.h"

namespace qp {

std::vector<std::string> SetupTypeWarnings(const CDazDoc& doc) {
    std::vector<std::string> out;
    if (doc.root_component.children.empty()) return out;
    for (const auto& type : doc.setup_type_list.items) {
        if (!type->components.empty()) continue;
        out.push_back("setup type \"" + type->name + "\" has no components: " +
                      (type->require_component_step ? "the component page starts with none selected"
                                                    : "choosing it installs nothing"));
    }
    if (!out.empty() && out.size() == doc.setup_type_list.items.size())
        out.push_back("no setup type has components: an unattended install (setup.exe -s) installs every component");
    return out;
}

}  // namespace qp
