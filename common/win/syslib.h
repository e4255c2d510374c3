// Loading system DLLs at run time from the system directory only. A DLL loaded by bare name
// goes through the default search order, which starts at the program's own folder: a setup.exe
// run from a download folder would pick up any planted "msimg32.dll" or "version.dll" there.
#pragma once
#include <windows.h>

namespace qp {

// Takes the program's own folder, the current folder and PATH out of the search for every DLL
// that the process (or a system DLL on its behalf) loads by name from now on: only the system
// folder is searched. Call it first thing at start. Systems without the safe-search update get
// the current folder taken out at least. False when neither could be done.
bool RestrictDllSearchToSystem();

// True where LoadLibraryEx understands the LOAD_LIBRARY_SEARCH_* flags.
bool HasDllSearchFlags();

// Loads `name` (a bare file name such as "msimg32.dll") from the system directory, with its own
// dependencies also taken from there. A name with a path part is refused (nullptr,
// ERROR_INVALID_PARAMETER). Free the result with FreeLibrary.
HMODULE LoadSystemLibrary(const char* name);

// One loaded system DLL for the length of a scope.
class SystemLibrary {
public:
    explicit SystemLibrary(const char* name) : module_(LoadSystemLibrary(name)) {}
    ~SystemLibrary() {
        if (module_) FreeLibrary(module_);
    }
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    explicit operator bool() const { return module_ != nullptr; }
    HMODULE Handle() const { return module_; }
    // The export `symbol` as a function pointer of type F, or nullptr.
    template <typename F>
    F Get(const char* symbol) const {
        if (!module_) return nullptr;
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, symbol)));
    }

private:
    HMODULE module_;
};

}  // namespace qp
