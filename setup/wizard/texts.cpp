// Text lookup by key for the setup wizard.
#include "setup/wizard/texts.h"

#include "common/setuplist.h"
#include "setup/wizard/components.h"

namespace qp::wiz {

void Texts::ResolveProductName() {
    product_.clear();
    std::string name;
    if (Lookup("PRODUCT_NAME", name)) product_ = name;
}

bool Texts::Lookup(const std::string& key, std::string& out) const {
    out.clear();
    if (key.empty()) return false;
    const StringEntry* entry = nullptr;
    for (const auto& e : table_) {
        if (EqualNoCase(e.key, key)) {
            entry = &e;
            break;
        }
    }
    return entry && ResolveText(entry->values, language_, product_, out);
}

std::string Texts::Get(const std::string& key, const std::string& fallback) const {
    std::string out;
    return Lookup(key, out) ? out : fallback;
}

}  // namespace qp::wiz
