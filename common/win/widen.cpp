// ANSI to UTF-16 with the system's code page.
#include "common/win/widen.h"

#include <windows.h>

namespace qp {

std::u16string Widen(const std::string& text) {
    if (text.empty()) return std::u16string();
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (n <= 0) return std::u16string();
    std::u16string out(static_cast<std::size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, reinterpret_cast<wchar_t*>(&out[0]), n);
    return out;
}

}  // namespace qp
