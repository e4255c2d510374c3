// The install context as Windows tells it: own path, system folders, shell folders, version.
#pragma once
#include <string>

#include "setup/engine/context.h"

namespace qp {

// Fills everything but destination, program folder, product GUID and media folder.
InstallContext DetectInstallContext();

// The operating-system code of this system (osmask.h); `nt_family` set for the NT platform.
int DetectOperatingSystem(bool* nt_family);

// The registered owner and organisation of the computer. 0 when the key cannot be opened
// (`out` is left as it was), 1 otherwise.
int ReadRegisteredOwner(bool nt_family, std::string& out);
int ReadRegisteredOrganization(bool nt_family, std::string& out);

}  // namespace qp
