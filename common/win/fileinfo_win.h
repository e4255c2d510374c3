// File version and time through the Windows API; FileVersion and FileTime of the Windows
// build use these.
#pragma once
#include <cstdint>
#include <string>

namespace qp {

// Through GetFileVersionInfoA and VerQueryValueA of version.dll (loaded from the system
// directory at run time). Same contract as FileVersion.
std::uint64_t FileVersionApi(const std::string& file, std::string* text = nullptr);
// CreateFileA with read sharing and GetFileTime. Same contract as FileTime.
std::uint64_t FileTimeApi(const std::string& file);

}  // namespace qp
