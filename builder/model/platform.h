// The system services the model needs beyond common/: GUID bytes, with a host and a Windows
// implementation (host/ and win/). The file helpers are those of common/fileio.h and
// common/fsprim.h; the names below stay for callers written against this header.
#pragma once
#include <cstdint>
#include <string>

#include "common/fileio.h"
#include "common/fsprim.h"

namespace qp {
namespace sys {

using qp::RemoveFile;
inline bool MoveOver(const std::string& from, const std::string& to) { return RenameOver(from, to); }

// 16 GUID bytes in the system's memory order (Data1, Data2, Data3 little-endian, then Data4).
bool NewGuidBytes(std::uint8_t out[16]);

}  // namespace sys
}  // namespace qp
