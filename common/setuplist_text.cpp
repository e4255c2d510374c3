// The runtime's text lookup by string key, and the helpers that the engine uses on setup-list
// records: the registry root and key path of a registry node, and the count of file nodes.
#include "common/setuplist.h"

#include <cctype>
#include "common/strutil.h"

namespace qp {

namespace {

bool FindLineage(const RegistryNode& at, const RegistryNode* node, RegistryLineage& out) {
    out.push_back(&at);
    if (&at == node) return true;
    for (const auto& c : at.children) {
        if (FindLineage(c, node, out)) return true;
    }
    out.pop_back();
    return false;
}

// The key path of lineage[count - 1]. Only keys add their names: a value lives in the key
// above it, and a node right below a hive (or anything above one) starts the path itself.
void KeyPathOf(const RegistryLineage& lineage, std::size_t count, std::string& out) {
    if (count < 2) return;
    const RegistryNode* node = lineage[count - 1];
    if (lineage[count - 2]->kind < RegistryNode::kKey) {
        out = node->name;
        return;
    }
    KeyPathOf(lineage, count - 1, out);
    if (node->kind == RegistryNode::kKey) out += "\\" + node->name;
}

}  // namespace

bool LookupText(const SetupList& list, const std::string& key, std::size_t language,
                const std::string& product_name, std::string& out) {
    out.clear();
    if (key.empty()) return false;
    const StringRecord* s = list.FindString(key);
    return s && ResolveText(s->values, language, product_name, out);
}

bool ResolveText(const std::vector<std::string>& values, std::size_t language, const std::string& product_name,
                 std::string& out) {
    out.clear();
    if (language >= values.size()) return false;

    std::string text = values[language];
    if (text.empty()) text = values[0];

    if (!text.empty() && text.back() == ' ') text.pop_back();
    std::size_t lead = text.find_first_not_of(' ');
    text.erase(0, lead == std::string::npos ? text.size() : lead);

    std::size_t p = text.find("%P");
    if (p == std::string::npos) p = text.find("%p");
    if (p != std::string::npos) text.replace(p, 2, product_name);

    // The texts are written in one-line fields, so a line break is typed as backslash-n.
    for (std::size_t i = 0; i + 1 < text.size();) {
        if (text[i] == '\\' && text[i + 1] == 'n') {
            text.replace(i, 2, "\r\n");
            i += 2;
        } else {
            ++i;
        }
    }
    out = std::move(text);
    return true;
}

std::string LookupText(const SetupList& list, const std::string& key, std::size_t language,
                       const std::string& product_name) {
    std::string out;
    LookupText(list, key, language, product_name, out);
    return out;
}

bool FindRegistryLineage(const RegistryNode& root, const RegistryNode* node, RegistryLineage& out) {
    out.clear();
    return node && FindLineage(root, node, out);
}

std::uint32_t RegistryRoot(const RegistryLineage& lineage) {
    // Walk up from the node to the first ancestor that is a hive.
    for (std::size_t i = lineage.size(); i-- > 1;) {
        const RegistryNode* parent = lineage[i - 1];
        if (parent->kind != RegistryNode::kHive) continue;
        if (EqualNoCase(parent->name, "HKEY_CLASSES_ROOT")) return kHkeyClassesRoot;
        if (EqualNoCase(parent->name, "HKEY_CURRENT_USER")) return kHkeyCurrentUser;
        if (EqualNoCase(parent->name, "HKEY_LOCAL_MACHINE")) return kHkeyLocalMachine;
        if (EqualNoCase(parent->name, "HKEY_USERS")) return kHkeyUsers;
        return 0;
    }
    return 0;
}

void RegistryKeyPath(const RegistryLineage& lineage, std::string& out) {
    KeyPathOf(lineage, lineage.size(), out);
}

std::string RegistryKeyPath(const RegistryLineage& lineage) {
    std::string out;
    RegistryKeyPath(lineage, out);
    return out;
}

std::size_t CountFileNodes(const FileNode& node) {
    std::size_t n = node.kind == FileNode::kFile ? 1 : 0;
    for (const auto& c : node.children) n += CountFileNodes(c);
    return n;
}

}  // namespace qp
