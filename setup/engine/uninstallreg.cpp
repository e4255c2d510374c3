// The uninstall registration.
#include "setup/engine/uninstallreg.h"

#include <cstdio>

#include "common/setuplist.h"
#include "setup/engine/driver.h"
#include "setup/engine/registry.h"
#include "setup/engine/runstate.h"
#include "setup/engine/upgrade.h"

namespace qp {

std::string UninstallKeyPath(const std::string& product_guid) {
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product_guid;
}

bool UsableProductCode(const std::string& guid) {
    return !guid.empty() && guid != "." && guid != ".." && guid.find_first_of("\\/") == std::string::npos;
}

std::vector<UninstallWrite> UninstallWrites(const RunState& run) {
    const InstallContext& c = run.ctx;
    // The copy lies under "Program Files": unquoted, a path with blanks would let a planted
    // "C:\Program.exe" run in its place, so the program path is quoted too.
    const std::string uninstall = "\"" + c.InfoSetupExe() + "\" -u \"" + c.InfoLog() + "\"";
    const std::string modify = "\"" + c.InfoSetupExe() + "\" -m \"" + c.InfoLog() + "\"";
    // What the system's list shows for the size: the files the product wrote, in kilobytes.
    char size[17];
    std::snprintf(size, sizeof size, "%llX", static_cast<unsigned long long>(run.record.Kilobytes() & 0xFFFFFFFFu));
    std::vector<UninstallWrite> w = {
        {"MediaPath", 4, c.MediaPath()},
        {"LogFile", 4, c.InfoLog()},
        {"UninstallString", 4, uninstall},
        {"ModifyPath", 4, modify},
        {"InstallLocation", 4, c.destination},
        {"UninstallString", 4, uninstall},
        {"DisplayName", 4, run.Text("UNINST_DISPLAY_NAME")},
        {"NoRepair", 6, "0"},
        {"EstimatedSize", 6, size},
    };
    for (const char* key : {"Publisher", "CONTACT", "HELPLINK", "HelpTelephone", "Readme", "URLUpdateInfo"})
        w.push_back({key, 4, run.Text(key)});
    // The author's own "InstallLocation" text, when there is one, still has the last word.
    const std::string location = run.Text("InstallLocation");
    if (!location.empty()) w.push_back({"InstallLocation", 4, location});
    w.push_back({"Comments", 4, run.Text("Comments")});
    w.push_back({"DisplayVersion", 4, run.list ? ProductVersion(*run.list) : run.Text("DisplayVersion")});
    w.push_back({"RegOwner", 4, run.user_name});
    w.push_back({"RegCompany", 4, run.user_company});
    return w;
}

void RegisterUninstall(const RunState& run, RegistryEffects& reg) {
    if (!UsableProductCode(run.ctx.product_guid)) return;
    const std::string key = UninstallKeyPath(run.ctx.product_guid);
    for (const auto& w : UninstallWrites(run))
        SetRegistryValue(reg, run.ctx, kHkeyLocalMachine, key, w.name, w.data, w.kind);
    // Unattended removal for publishers who deploy at scale, beside the interactive one. Written
    // as it stands: a path is no place for macros.
    const std::string quiet = setup::QuietUninstallCommand(run.ctx.InfoSetupExe(), run.ctx.InfoLog());
    std::vector<std::uint8_t> data(quiet.begin(), quiet.end());
    data.push_back(0);
    reg.SetValue(kHkeyLocalMachine, key, "QuietUninstallString", kRegSz, data);
}

}  // namespace qp
