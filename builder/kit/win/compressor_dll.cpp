// The compressor as qpb has it: kitzip.dll from the builder's own directory, checked for a
// version resource, bound by name, freed after the build (which also finishes the archive).
#include "builder/kit/win/compressor_dll.h"

#include <windows.h>

#include <vector>

#include "builder/kit/compressor_zp.h"
#include "common/win/syslib.h"

namespace qp {
namespace {

constexpr const char* kDllName = "kitzip.DLL";

std::string ProgramDirectory() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return ".";
    std::string s(path, n);
    std::size_t slash = s.find_last_of("\\/");
    return slash == std::string::npos ? "." : s.substr(0, slash);
}

bool HasVersionResource(const std::string& path) {
    // version.dll is not a known DLL: taken from the system directory, never from beside qpb.
    SystemLibrary version("version.dll");
    auto size_of = version.Get<DWORD(WINAPI*)(LPCSTR, LPDWORD)>("GetFileVersionInfoSizeA");
    auto info_of = version.Get<BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID)>("GetFileVersionInfoA");
    auto query = version.Get<BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT)>("VerQueryValueA");
    if (!size_of || !info_of || !query) return false;
    DWORD handle = 0;
    DWORD size = size_of(path.c_str(), &handle);
    if (size == 0) return false;
    std::vector<char> info(size);
    if (!info_of(path.c_str(), 0, size, info.data())) return false;
    // Read as the builder always did; the values are not compared.
    void* value = nullptr;
    UINT len = 0;
    query(info.data(), "\\StringFileInfo\\040904E4\\FileVersion", &value, &len);
    query(info.data(), "\\StringFileInfo\\040904E4\\CompanyName", &value, &len);
    return true;
}

class DllCompressor : public ZpCompressor {
public:
    DllCompressor(Reporter& reporter, const std::string& dir, std::FILE* console)
        : ZpCompressor(reporter, console), dir_(dir.empty() ? ProgramDirectory() : dir) {}
    ~DllCompressor() override { Unload(); }

    bool Load() override {
        Unload();
        std::string path = dir_;
        if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
        path += "kitzip.dll";
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            reporter_.Report(Severity::Error, "Cannot find " + path + ".", "Error");
            return false;
        }
        if (!HasVersionResource(path)) {
            Say(std::string(kDllName) +
                " has the wrong version number. Insure that you have the correct dll's installed, and that an older "
                "dll is not in your path or Windows System directory.");
            return false;
        }
        // The full path: a kitzip.dll planted in the current directory is never picked up.
        module_ = LoadLibraryA(path.c_str());
        if (!module_) {
            Say(std::string("Could not load ") + kDllName);
            return false;
        }
        zp_.archive = reinterpret_cast<decltype(zp_.archive)>(reinterpret_cast<void*>(GetProcAddress(module_, "ZpArchive")));
        zp_.set_options =
            reinterpret_cast<decltype(zp_.set_options)>(reinterpret_cast<void*>(GetProcAddress(module_, "ZpSetOptions")));
        if (!zp_.archive || !zp_.set_options) {
            reporter_.Report(Severity::Error, std::string("Could not get entry point to ") + kDllName, "Info-ZIP Example");
            Unload();
            return false;
        }
        zp_.init = reinterpret_cast<decltype(zp_.init)>(reinterpret_cast<void*>(GetProcAddress(module_, "ZpInit")));
        if (!zp_.init) {
            Say("Cannot get address of ZpInit in Zip dll. Terminating...");
            Unload();
            return false;
        }
        // Not one of the three: a library without it finishes its archive when it is freed.
        finish_ = reinterpret_cast<decltype(finish_)>(reinterpret_cast<void*>(GetProcAddress(module_, "ZpFinish")));
        if (!Initialise()) {
            Unload();
            return false;
        }
        return true;
    }

    void Unload() override {
        // Before the library goes: its compressing threads cannot be stopped while it is freed.
        if (finish_ && callbacks_ && finish_() != 0) Say("Error in archiving\n");
        finish_ = nullptr;
        ReleaseCallbacks();
        if (module_) FreeLibrary(module_);  // the library writes the archive's directory as it goes
        module_ = nullptr;
        zp_ = ZpEntryPoints{};
    }

private:
    std::string dir_;
    HMODULE module_ = nullptr;
    int(ZP_CALL* finish_)() = nullptr;
};

}  // namespace

std::unique_ptr<Compressor> MakeDllCompressor(Reporter& reporter, const std::string& builder_dir, std::FILE* console) {
    return std::make_unique<DllCompressor>(reporter, builder_dir, console);
}

}  // namespace qp
