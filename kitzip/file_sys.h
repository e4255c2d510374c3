// The three stdio calls that differ between the C runtimes (64-bit positions and resizing),
// one implementation per platform: host/file_sys_host.cpp, win/file_sys_win.cpp.
#pragma once
#include <cstdint>
#include <cstdio>

namespace kitzip {
namespace sys {

int Seek(std::FILE* f, std::uint64_t pos);       // 0 on success
long long Tell(std::FILE* f);                    // negative on failure
int Resize(std::FILE* f, std::uint64_t size);    // 0 on success; the stream must be flushed

}  // namespace sys
}  // namespace kitzip
