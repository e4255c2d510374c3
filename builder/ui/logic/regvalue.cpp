// Registry value conversions and the window-state choice (see regvalue.h).
#include "builder/ui/logic/regvalue.h"

#include <cstdio>

namespace qp {

namespace {
int DigitOf(char c, int base) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    return d < base ? d : -1;
}
}  // namespace

std::uint32_t ReadDwordField(const std::string& text, bool decimal) {
    const int base = decimal ? 10 : 16;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (decimal && i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::uint32_t v = 0;
    for (; i < text.size(); ++i) {
        const int d = DigitOf(text[i], base);
        if (d < 0) break;
        v = v * std::uint32_t(base) + std::uint32_t(d);
    }
    return negative ? std::uint32_t(0) - v : v;
}

std::string DwordFieldText(std::uint32_t value, bool decimal) {
    char buf[16];
    std::snprintf(buf, sizeof(buf), decimal ? "%lu" : "%lx", static_cast<unsigned long>(value));
    return buf;
}

std::vector<std::uint8_t> BinaryBytes(const std::string& data) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const int hi = DigitOf(data[i], 16), lo = DigitOf(data[i + 1], 16);
        out.push_back(hi < 0 || lo < 0 ? 0 : std::uint8_t(hi * 16 + lo));
    }
    return out;
}

std::string BinaryData(const std::vector<std::uint8_t>& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (std::uint8_t b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

const char* const kRunChoices[kRunChoiceCount] = {"Maximized Window", "Minimized Window", "Normal Window"};

int RunModeOfChoice(int choice) {
    switch (choice) {
    case 0: return 1;
    case 1: return 2;
    default: return 0;
    }
}

int ChoiceOfRunMode(int run_mode) {
    switch (run_mode) {
    case 1: return 0;
    case 2: return 1;
    default: return 2;
    }
}

}  // namespace qp
