// File effects on Windows: existence and locks, delayed replacement, self-registration.
#include "setup/engine/win/filerules_win.h"

#include <windows.h>
#include <ole2.h>

#include "common/fileinfo.h"
#include "common/pathutil.h"
#include "setup/engine/unzip.h"

namespace qp {

bool WinFileEffects::Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WinFileEffects::IsLocked(const std::string& path) {
    if (!Exists(path)) return false;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return true;
    CloseHandle(h);
    return false;
}

std::uint64_t WinFileEffects::Version(const std::string& path) { return FileVersion(path); }

std::uint64_t WinFileEffects::LastWriteTime(const std::string& path) { return FileTime(path); }

bool WinFileEffects::CreateFolderPath(const std::string& folder) {
    NullReporter quiet;  // the engine says itself what failed
    return CreateDirectoryPath(folder, quiet);
}

int WinFileEffects::Extract(const std::string& archive, const std::string& member, const std::string& folder,
                            const std::string& output) {
    return ExtractMember(archive, member, folder, output);
}

bool WinFileEffects::Delete(const std::string& path) {
    // A read-only file is still the product's file to remove.
    DWORD attr = GetFileAttributesA(path.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path.c_str(), attr & ~FILE_ATTRIBUTE_READONLY);
    return DeleteFileA(path.c_str()) != 0;
}

bool WinFileEffects::RemoveFolder(const std::string& folder) { return RemoveDirectoryA(folder.c_str()) != 0; }

bool WinFileEffects::ScheduleReplace(const std::string& temp, const std::string& target) {
    if (nt_family_)
        return MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
    const std::string ini = windows_folder_ + "\\wininit.ini";
    return WritePrivateProfileStringA("rename", target.c_str(), temp.c_str(), ini.c_str()) != 0;
}

int WinFileEffects::SelfRegister(const std::string& path) { return SelfRegisterLibrary(path); }

bool WinFileEffects::Copy(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

int SelfRegisterLibrary(const std::string& path) {
    const UINT old_mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    int result = 0;
    if (FAILED(OleInitialize(nullptr))) {
        result = 2;
    } else {
        HMODULE lib = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        if (!lib) {
            result = 3;
        } else {
            using RegisterFn = HRESULT(STDAPICALLTYPE*)();
            auto fn = reinterpret_cast<RegisterFn>(reinterpret_cast<void*>(GetProcAddress(lib, "DllRegisterServer")));
            if (!fn)
                result = 4;
            else if (FAILED(fn()))
                result = 5;
            FreeLibrary(lib);
        }
        OleUninitialize();
    }
    SetErrorMode(old_mode);
    return result;
}

}  // namespace qp
