// System-directory loading of run-time DLLs.
#include "common/win/syslib.h"

#include <cstring>
#include <string>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace qp {
namespace {

bool HasPathPart(const char* name) {
    return std::strpbrk(name, "\\/:") != nullptr;
}

// LOAD_LIBRARY_SEARCH_SYSTEM32 is understood only where the system has the safe-search
// update; its sign is that kernel32 exports AddDllDirectory. Older systems reject the flag.
bool HasSearchFlags() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel && GetProcAddress(kernel, "AddDllDirectory") != nullptr;
}

}  // namespace

HMODULE LoadSystemLibrary(const char* name) {
    if (!name || !*name || HasPathPart(name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (HasSearchFlags()) return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);

    char dir[MAX_PATH];
    UINT n = GetSystemDirectoryA(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    std::string path(dir, n);
    if (path.back() != '\\') path += '\\';
    path += name;
    // A full path with altered search order takes the DLL's own dependencies from its folder too.
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace qp
