// The project file type in the user's part of the shell registry, so that a double click on a
// ".qpk" file in the file explorer opens it in this builder.
#pragma once

#include <string>

namespace qp {

constexpr const char* kProjectProgId = "Quillpacker.Project";

// Points ".qpk" at `builder_exe` under HKEY_CURRENT_USER\Software\Classes. Keys that already
// say the same are left untouched; a registry that refuses the write changes nothing else.
bool RegisterProjectFileType(const std::string& builder_exe);

}  // namespace qp
