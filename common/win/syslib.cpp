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

FARPROC Kernel32Export(const char* name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? GetProcAddress(kernel, name) : nullptr;
}

}  // namespace

// LOAD_LIBRARY_SEARCH_SYSTEM32 is understood only where the system has the safe-search
// update; its sign is that kernel32 exports AddDllDirectory. Older systems reject the flag.
bool HasDllSearchFlags() {
    return Kernel32Export("AddDllDirectory") != nullptr;
}

bool RestrictDllSearchToSystem() {
    // Looked up by name: a direct import would keep the program from starting where the
    // functions are missing, and kernel32 is always loaded before any code of ours runs.
    using SetDefaultFn = BOOL(WINAPI*)(DWORD);
    using SetDirFn = BOOL(WINAPI*)(LPCSTR);
    if (auto set_default = reinterpret_cast<SetDefaultFn>(
            reinterpret_cast<void*>(Kernel32Export("SetDefaultDllDirectories")))) {
        if (set_default(LOAD_LIBRARY_SEARCH_SYSTEM32)) return true;
    }
    // Without the update: an empty folder takes the current folder out of the search order.
    auto set_dir = reinterpret_cast<SetDirFn>(reinterpret_cast<void*>(Kernel32Export("SetDllDirectoryA")));
    return set_dir && set_dir("");
}

HMODULE LoadSystemLibrary(const char* name) {
    if (!name || !*name || HasPathPart(name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (HasDllSearchFlags()) return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);

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
