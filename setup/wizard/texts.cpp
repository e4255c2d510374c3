// Text lookup by key for the setup wizard.
#include "setup/wizard/texts.h"

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
    if (!entry || language_ >= entry->values.size()) return false;
    std::string text = entry->values[language_];
    if (text.empty()) text = entry->values[0];

    if (!text.empty() && text.back() == ' ') text.pop_back();
    const std::size_t first = text.find_first_not_of(' ');
    text.erase(0, first == std::string::npos ? text.size() : first);

    std::size_t at = text.find("%P");
    if (at == std::string::npos) at = text.find("%p");
    if (at != std::string::npos) text.replace(at, 2, product_);

    std::string result;
    result.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            result += "\r\n";
            ++i;
        } else {
            result += text[i];
        }
    }
    out = std::move(result);
    return true;
}

std::string Texts::Get(const std::string& key, const std::string& fallback) const {
    std::string out;
    return Lookup(key, out) ? out : fallback;
}

}  // namespace qp::wiz
