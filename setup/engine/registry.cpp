// Registry value conversion and the registry walk.
#include "setup/engine/registry.h"

#include "common/hexdigit.h"
#include "common/setuplist.h"
#include "setup/engine/lists.h"
#include "setup/engine/macros.h"
#include "setup/engine/runstate.h"

namespace qp {

namespace {

void Visit(RunState& run, RegistryEffects& reg, RegistryLineage& lineage, const RegistryNode& node, bool install) {
    lineage.push_back(&node);
    if (node.kind >= RegistryNode::kKey) {
        const std::uint32_t root = RegistryRoot(lineage);
        if (root != 0) {
            const std::string key = RegistryKeyPath(lineage);
            if (install)
                SetRegistryValue(reg, run.ctx, root, key, node.name, node.data, node.kind);
            else if (node.kind > RegistryNode::kKey)
                reg.DeleteValue(root, key, node.name);
        }
    }
    for (const auto& child : node.children) Visit(run, reg, lineage, child, install);
    lineage.pop_back();
}

}  // namespace

std::vector<std::uint8_t> BinaryFromHex(const std::string& digits) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        int hi = HexDigit(digits[i]), lo = HexDigit(digits[i + 1]);
        out.push_back(static_cast<std::uint8_t>(((hi < 0 ? 0 : hi) << 4) | (lo < 0 ? 0 : lo)));
    }
    return out;
}

std::uint32_t DwordFromHex(const std::string& digits) {
    std::uint64_t v = 0;
    for (char c : digits) {
        int d = HexDigit(c);
        if (d < 0) return 0xFFFFFFFFu;
        v = (v << 4) | static_cast<std::uint64_t>(d);
        if (v > 0xFFFFFFFFull) return 0xFFFFFFFFu;
    }
    return static_cast<std::uint32_t>(v);
}

int SetRegistryValue(RegistryEffects& reg, const InstallContext& ctx, std::uint32_t root, const std::string& key,
                     const std::string& name, const std::string& data, int kind) {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;
    if (kind == RegistryNode::kString) {
        std::string text = ExpandMacros(data, ctx);
        type = kRegSz;
        bytes.assign(text.begin(), text.end());
        bytes.push_back(0);
    } else if (kind == RegistryNode::kBinary) {
        type = kRegBinary;
        bytes = BinaryFromHex(data);
    } else if (kind == RegistryNode::kDword) {
        type = kRegDword;
        std::uint32_t v = DwordFromHex(data);
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    return reg.SetValue(root, key, name, type, bytes) ? 1 : 0;
}

void ApplyRegistry(RunState& run, RegistryEffects& reg) {
    const RegistryNode& root = run.list->registry;
    for (const auto& set : root.children) {
        GroupAction action = DecideGroups(set.group_names, run.mode, run.earlier_groups, run.installed_groups);
        if (action == GroupAction::LeaveAlone) continue;
        RegistryLineage lineage{&root};
        Visit(run, reg, lineage, set, action == GroupAction::Install);
    }
}

}  // namespace qp
