// The model's system services on Windows: ANSI file calls and CoCreateGuid.
#include <windows.h>
#include <objbase.h>

#include <cstring>

#include "builder/model/platform.h"

namespace qp {
namespace sys {

bool FileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool MoveOver(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool NewGuidBytes(std::uint8_t out[16]) {
    GUID g;
    if (CoCreateGuid(&g) != S_OK) return false;
    static_assert(sizeof(GUID) == 16, "GUID layout");
    std::memcpy(out, &g, 16);
    return true;
}

}  // namespace sys
}  // namespace qp
