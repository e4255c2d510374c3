// The product's entry in the system's list of installed programs, written after a first
// installation, and removed by a remove run.
#pragma once
#include <string>
#include <vector>

namespace qp {

struct RunState;
class RegistryEffects;

// "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\" + product GUID, under HKLM.
std::string UninstallKeyPath(const std::string& product_guid);

// Whether a product GUID can name the product's own uninstall key and information folder: not
// empty, one name (no separator), and not "." or "..".
bool UsableProductCode(const std::string& product_guid);

struct UninstallWrite {
    std::string name;
    int kind;  // registry node kind: 4 text, 6 double word from hex text
    std::string data;
};

// The writes in their order (some names twice: the later write wins). "InstallLocation" is the
// destination (the author's "InstallLocation" text when not empty), "EstimatedSize" the
// kilobytes of the files the product wrote, "DisplayVersion" the product's version (its
// "DisplayVersion" text, else its "PRODUCT_VERSION").
std::vector<UninstallWrite> UninstallWrites(const RunState& run);

// Writes them, then "QuietUninstallString" (the same removal without a window). Writes nothing
// for a GUID that is not usable: the values would land in the system's list itself.
void RegisterUninstall(const RunState& run, RegistryEffects& reg);

}  // namespace qp
