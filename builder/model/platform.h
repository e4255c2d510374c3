// The few system services the model needs, with a host and a Windows implementation
// (host/ and win/): file existence, replacing a file by a finished temporary, GUID bytes.
#pragma once
#include <cstdint>
#include <string>

namespace qp {
namespace sys {

bool FileExists(const std::string& path);
// Moves `from` over `to`, replacing `to` when it exists. False leaves `to` as it was.
bool MoveOver(const std::string& from, const std::string& to);
// The same under its first name. Inline, because <windows.h> makes ReplaceFile a macro and an
// out-of-line definition would be named differently in the Windows build.
inline bool ReplaceFile(const std::string& from, const std::string& to) { return MoveOver(from, to); }
bool RemoveFile(const std::string& path);
// 16 GUID bytes in the system's memory order (Data1, Data2, Data3 little-endian, then Data4).
bool NewGuidBytes(std::uint8_t out[16]);

}  // namespace sys
}  // namespace qp
