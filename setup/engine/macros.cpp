// Path macro expansion.
#include "setup/engine/macros.h"

namespace qp {

std::string ExpandMacros(const std::string& text, const InstallContext& ctx) {
    struct Macro { const char* name; const std::string* value; bool only_at_start; };
    const Macro macros[] = {
        {"<TARGETDIR>", &ctx.destination, false},
        {"<PROGRAM FILES>", &ctx.program_files, false},
        {"<WINDIR>\\<WINSYSDIR>", &ctx.system_folder, true},
        {"<WINSYSDIR>", &ctx.system_folder, false},
        {"<WINDIR>", &ctx.windows_folder, false},
        {"<UNINSTALLDIR>", nullptr, false},
    };
    for (const auto& m : macros) {
        std::string name = m.name;
        auto pos = text.find(name);
        if (pos == std::string::npos) continue;
        if (m.only_at_start && pos != 0) continue;
        std::string value = m.value ? *m.value : ctx.InfoFolder();
        return text.substr(0, pos) + value + text.substr(pos + name.size());
    }
    return text;
}

}  // namespace qp
