// Operating-system codes.
#include "setup/engine/osmask.h"

namespace qp {

int OsCodeFromVersion(OsPlatform platform, unsigned major, unsigned minor) {
    if (platform == OsPlatform::Win9x && major == 4) {
        if (minor == 0) return osmask::kWin95;
        if (minor == 10) return osmask::kWin98;
        if (minor == 90) return osmask::kWinMe;
    }
    if (platform == OsPlatform::Nt) {
        if (major <= 4) return osmask::kWinNt;
        if (major == 5 && minor == 0) return osmask::kWin2000;
        if (major == 5 && minor == 1) return osmask::kWinXp;
    }
    return kOsOther;
}

bool SystemAllowed(std::uint32_t mask, int os_code) {
    if (mask & 1u) return true;
    if (os_code == kOsOther || os_code == 0) return true;
    return (mask & static_cast<std::uint32_t>(os_code)) != 0;
}

}  // namespace qp
