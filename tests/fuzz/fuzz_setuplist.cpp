// Feeds arbitrary bytes to the setup list reader. A refused file is fine; a crash, a hang, an
// over-read or unbounded allocation is a finding. What is accepted must write back and read
// again to the same bytes, and the lookup, helpers and dump must cope with whatever came in.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "common/setuplist.h"

namespace {

void WalkRegistry(const qp::RegistryNode& root, const qp::RegistryNode& node) {
    qp::RegistryLineage lin;
    if (!qp::FindRegistryLineage(root, &node, lin)) std::abort();
    qp::RegistryRoot(lin);
    qp::RegistryKeyPath(lin);
    for (const auto& c : node.children) WalkRegistry(root, c);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qp::SetupList list;
    try {
        list = qp::ReadSetupList(data, size);
    } catch (const qp::SetupListError&) {
        return 0;
    }
    std::vector<std::uint8_t> again = qp::WriteSetupList(list);
    qp::SetupList back = qp::ReadSetupList(again);
    if (qp::WriteSetupList(back) != again) std::abort();

    for (const auto& s : list.strings) {
        for (std::size_t lang = 0; lang <= s.values.size(); ++lang) qp::LookupText(list, s.key, lang, "%P\\n");
    }
    for (const auto& g : list.groups) {
        qp::CountFileNodes(g.file_tree);
        g.InstallsForLanguage(3);
    }
    WalkRegistry(list.registry, list.registry);
    std::ostringstream dump;
    qp::DumpSetupList(list, dump);
    return 0;
}
