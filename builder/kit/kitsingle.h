// The one-file kit: the staged kit's files carried inside one program, KIT.exe in the kit root
// (the layout is described in common/kitpayload.h).
#pragma once
#include <string>

namespace qp {

// KIT-ROOT/KIT.exe (".exe" is not added to a name that has it already).
std::string SingleFileProgramPath(const std::string& kit_root, const std::string& kit_name);

// Writes the new file `program` from the complete kit in `stage_dir`: its setup.exe, then
// setup.lst, setup.cab and whichever side files it holds. IoError (or FormatError) says why it
// failed; the partial program is removed again.
void AssembleSingleFile(const std::string& stage_dir, const std::string& program);

// KitError (or the error that stopped the reading) when `program` holds no intact one-file kit.
void CheckSingleFile(const std::string& program);

}  // namespace qp
