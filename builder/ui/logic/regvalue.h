// The registry value editors' conversions and the shortcut's window-state choice, without the
// dialogs: a double word between its stored text and the decimal or hexadecimal field, binary
// data between its stored text and bytes, and the "Run" list's entries against `run_mode`.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qp {

// The double-word field read in one base: leading blanks skipped, then the digits up to the
// first other character (a decimal field may start with "-"); no digits read as 0. Wider
// numbers keep their low 32 bits, so -1 is 0xFFFFFFFF.
std::uint32_t ReadDwordField(const std::string& text, bool decimal);
// The number as the field shows it in a base: unsigned decimal, or "%x".
std::string DwordFieldText(std::uint32_t value, bool decimal);
// Switching the base converts the field's text; OK stores ReadDwordField printed with "%x".
inline std::string SwitchDwordBase(const std::string& text, bool to_decimal) {
    return DwordFieldText(ReadDwordField(text, !to_decimal), to_decimal);
}
inline std::string DwordData(const std::string& field, bool decimal) {
    return DwordFieldText(ReadDwordField(field, decimal), false);
}

// Binary data text to bytes: pairs from the start, each a hexadecimal byte (a pair with a
// character that is not a hexadecimal digit gives 0); an odd last character is ignored.
std::vector<std::uint8_t> BinaryBytes(const std::string& data);
// Two upper-case digits per byte.
std::string BinaryData(const std::vector<std::uint8_t>& bytes);

// The "Run" list, in list order. The runtime reads `run_mode` as 0 normal, 1 maximised,
// 2 minimised, so the list's positions map onto those values.
constexpr int kRunChoiceCount = 3;
extern const char* const kRunChoices[kRunChoiceCount];  // "Maximized Window", ...
// List position -> `run_mode` (an unknown position gives the normal window).
int RunModeOfChoice(int choice);
// `run_mode` -> list position; values the runtime does not know count as normal, as it does.
int ChoiceOfRunMode(int run_mode);
inline const char* RunModeText(int run_mode) { return kRunChoices[ChoiceOfRunMode(run_mode)]; }

}  // namespace qp
