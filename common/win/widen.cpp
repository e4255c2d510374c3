// ANSI to UTF-16 with the system's code page, and paths back.
#include "common/win/widen.h"

#include <windows.h>

#include <vector>

namespace qp {
namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

// `text` in the ANSI code page; false when a character is not in it.
bool Narrow(const std::u16string& text, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    const int size = static_cast<int>(text.size());
    // The UTF-8 code page spells everything, and takes neither the flag nor the question.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, flags, W(text), size, nullptr, 0, nullptr, utf8 ? nullptr : &lossy);
    if (n <= 0 || lossy) return false;
    out.assign(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, flags, W(text), size, &out[0], n, nullptr, utf8 ? nullptr : &lossy);
    return !lossy;
}

}  // namespace

std::u16string Widen(const std::string& text) {
    if (text.empty()) return std::u16string();
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (n <= 0) return std::u16string();
    std::u16string out(static_cast<std::size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, reinterpret_cast<wchar_t*>(&out[0]), n);
    return out;
}

std::string AnsiPath(const std::u16string& path) {
    std::string out;
    if (Narrow(path, out)) return out;
    const DWORD need = GetShortPathNameW(W(path), nullptr, 0);
    if (need == 0) return "";
    std::u16string short_form(need, u'\0');
    const DWORD n = GetShortPathNameW(W(path), reinterpret_cast<wchar_t*>(&short_form[0]), need);
    if (n == 0 || n >= need) return "";
    short_form.resize(n);
    return Narrow(short_form, out) ? out : std::string();
}

std::string OwnProgramPath() {
    std::vector<wchar_t> buf(MAX_PATH + 1);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return "";
        if (n < buf.size()) return AnsiPath(std::u16string(reinterpret_cast<const char16_t*>(buf.data()), n));
        if (buf.size() >= 32768) return "";
        buf.resize(buf.size() * 2);
    }
}

}  // namespace qp
