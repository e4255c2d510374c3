// The bits of a group's overwrite word and of an operating-system mask. The project file and the
// setup list carry the same words, so the builder and the setup runtime read them from here.
#pragma once
#include <cstdint>

namespace qp {

// Overwrite word bits of a group.
namespace overwrite {
constexpr std::int32_t kAlways = 0x001, kNever = 0x002, kByDate = 0x004, kByVersion = 0x008;
constexpr std::int32_t kByVersionAndDate = 0x010;
constexpr std::int32_t kNewerVersion = 0x040, kNewerOrSameVersion = 0x080, kOlderVersion = 0x100;
constexpr std::int32_t kNewerDate = 0x200, kNewerOrSameDate = 0x400, kOlderDate = 0x800;
}  // namespace overwrite

// Operating-system mask bits (groups and the settings block). The setup runtime's code of the
// running system is the bit of that system.
namespace osmask {
constexpr std::int32_t kIndependent = 1, kWin95 = 2, kWin98 = 4, kWinMe = 8, kWinNt = 16;
constexpr std::int32_t kWin2000 = 32, kWinXp = 64;
}  // namespace osmask

}  // namespace qp
