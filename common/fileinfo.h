// A file's version (from its version resource) and its last-write time, as the setup list
// stores them. Both have a portable implementation, used on the host; the Windows build asks
// the system instead (common/win/fileinfo_win.h) and tests check that the two agree.
#pragma once
#include <cstdint>
#include <string>

namespace qp {

// Every bit set: the time of a file that cannot be opened.
constexpr std::uint64_t kNoFileTime = ~std::uint64_t{0};
// 100 ns ticks between 1601-01-01 and 1970-01-01, both UTC.
constexpr std::uint64_t kFileTimeUnixEpoch = 116444736000000000ull;

// The file version as most significant word << 32 | least significant word; 0 when the file
// has none. When there is one and `text` is given, it receives "a.b.c.d"; otherwise `text`
// is left as it was.
std::uint64_t FileVersion(const std::string& file, std::string* text = nullptr);
// The last-write time in FILETIME units (100 ns since 1601 UTC), kNoFileTime when the file
// cannot be opened for reading.
std::uint64_t FileTime(const std::string& file);

// The portable implementations. The version comes from the PE image's resource directory
// (32- and 64-bit images); every offset and size in the file is checked before use, so any
// input, however damaged, gives a version or 0.
std::uint64_t FileVersionFromImage(const std::string& file, std::string* text = nullptr);
// From the C runtime's stat; under the Windows C runtime that is whole seconds only.
std::uint64_t FileTimePortable(const std::string& file);

// "%d.%d.%d.%d" of the four 16-bit parts.
std::string FormatVersion(std::uint64_t version);

}  // namespace qp
