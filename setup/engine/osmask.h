// The code of the running system (its bit of the osmask bits in common/groupbits.h) and the
// test of a kit's or a group's operating-system mask.
#pragma once
#include <cstdint>

#include "common/groupbits.h"

namespace qp {

constexpr int kOsOther = -1;  // a system that matches no code: passes every mask

enum class OsPlatform { Win32s, Win9x, Nt };

// The code of a reported platform and version.
int OsCodeFromVersion(OsPlatform platform, unsigned major, unsigned minor);

// True when a system of `os_code` may run (or install) what carries `mask`. A code of 0 means
// the version could not be asked, and passes as well.
bool SystemAllowed(std::uint32_t mask, int os_code);

}  // namespace qp
