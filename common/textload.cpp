// Viewer text conversion.
#include "common/textload.h"

#include <cstdio>

#include "common/fsprim.h"

namespace qp {

std::string ConvertViewerText(const std::string& input) {
    std::string out;
    out.reserve(input.size() + input.size() / 2 + 2);
    std::size_t i = 0, n = input.find('\0');
    if (n == std::string::npos) n = input.size();
    while (i < n) {
        while (i < n && (input[i] == '\r' || input[i] == '\n')) ++i;
        std::size_t start = i;
        while (i < n && input[i] != '\r' && input[i] != '\n') ++i;
        if (i > start) {
            out.append(input, start, i - start);
            out += "\r\n";
        }
    }
    return out;
}

bool LoadViewerText(const std::string& file, std::string* out) {
    if (file.empty() || !IsPlainFile(file)) return false;
    // Binary mode: line ends are rewritten anyway, and the C runtime's text mode would also
    // end the text early at a Ctrl-Z byte.
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return false;
    std::string raw(kViewerTextLimit, '\0');
    std::size_t got = std::fread(&raw[0], 1, raw.size(), f);
    std::fclose(f);
    raw.resize(got);
    if (out) *out = ConvertViewerText(raw);
    return true;
}

}  // namespace qp
