// File effects on Windows: existence and locks, delayed replacement, self-registration, the use
// counts of shared files.
#include "setup/engine/win/filerules_win.h"

#include <windows.h>
#include <ole2.h>

#include <algorithm>

#include "common/fileinfo.h"
#include "common/fileio.h"
#include "common/fsprim.h"
#include "common/pathutil.h"
#include "common/win/syslib.h"
#include "setup/engine/unzip.h"

namespace qp {

bool WinFileEffects::Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WinFileEffects::IsLocked(const std::string& path) {
    const DWORD attr = GetFileAttributesA(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES) return false;
    // A read-only file refuses writing to everyone, but nobody holds it: the extraction clears
    // the attribute and replaces it. Without the attribute the test sees only a real holder.
    const bool read_only = (attr & FILE_ATTRIBUTE_READONLY) != 0;
    if (read_only) SetFileAttributesA(path.c_str(), attr & ~FILE_ATTRIBUTE_READONLY);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool locked = h == INVALID_HANDLE_VALUE;
    if (!locked) CloseHandle(h);
    if (read_only) SetFileAttributesA(path.c_str(), attr);
    return locked;
}

std::uint64_t WinFileEffects::Version(const std::string& path) { return FileVersion(path); }

std::uint64_t WinFileEffects::LastWriteTime(const std::string& path) { return FileTime(path); }

bool WinFileEffects::CreateFolderPath(const std::string& folder) {
    NullReporter quiet;  // the engine says itself what failed
    return CreateDirectoryPath(folder, quiet);
}

ZipArchive* WinFileEffects::Archive(const std::string& path, int& rc) {
    rc = kUnzipOk;
    if (archive_ && archive_.path == path) return &archive_;
    const ArchiveWindow window = (!window_program_.empty() && path == window_program_) ? window_ : ArchiveWindow{};
    rc = OpenZipArchive(path, archive_, nullptr, window);
    return rc == kUnzipOk ? &archive_ : nullptr;
}

int WinFileEffects::Extract(const std::string& archive, const std::string& member, const std::string& folder,
                            const std::string& output) {
    (void)folder;
    int rc;
    ZipArchive* zip = Archive(archive, rc);
    return zip ? ExtractMemberFrom(*zip, member, output) : rc;
}

namespace {

// The zip time (local, two-second steps) as the system's file time, with the daylight saving
// of that date.
bool ZipTimeToFileTime(std::uint32_t dos_time, FILETIME& out) {
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(1980 + ((dos_time >> 25) & 0x7F));
    local.wMonth = static_cast<WORD>((dos_time >> 21) & 0x0F);
    local.wDay = static_cast<WORD>((dos_time >> 16) & 0x1F);
    local.wHour = static_cast<WORD>((dos_time >> 11) & 0x1F);
    local.wMinute = static_cast<WORD>((dos_time >> 5) & 0x3F);
    local.wSecond = static_cast<WORD>((dos_time & 0x1F) * 2);
    SYSTEMTIME utc;
    return TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) && SystemTimeToFileTime(&utc, &out);
}

}  // namespace

int WinFileEffects::ExtractNew(const std::string& archive, const std::string& member, const std::string& folder,
                               const std::string& output, bool& taken) {
    // Without the archive or the member nothing is created here: the rules for a target that
    // may exist decide, and the extraction there says what failed.
    taken = true;
    int rc;
    ZipArchive* zip = Archive(archive, rc);
    const ZipEntry* entry = zip ? zip->catalog->Find(member) : nullptr;
    if (!entry) return kExtractNotTried;
    NewFile out;
    bool there = false;
    // Something there, or not to be told (no folder, no access): the same.
    if (!out.Create(output, &there) && (there || !CreateFolderPath(folder) || !out.Create(output)))
        return kExtractNotTried;
    taken = false;
    try {
        rc = ExtractData(*zip->source, *zip->catalog, *entry,
                         [&out](const void* p, std::size_t n) { return out.Write(p, n); });
    } catch (const std::bad_alloc&) {
        rc = kUnzipNoMemory;
    } catch (const std::exception&) {
        rc = kUnzipBadArchive;
    }
    FILETIME when;
    if (rc == kUnzipOk && ZipTimeToFileTime(entry->dos_time, when)) {
        const ULONGLONG ticks = (ULONGLONG(when.dwHighDateTime) << 32) | when.dwLowDateTime;
        out.SetTime(static_cast<std::int64_t>((ticks - 116444736000000000ull) / 10000000ull));
    }
    if (!out.Close() && rc == kUnzipOk) rc = kUnzipWriteFailed;
    if (rc != kUnzipOk) DeleteFileA(output.c_str());
    return rc;
}

bool WinFileEffects::Delete(const std::string& path) {
    if (DeleteFileA(path.c_str())) return true;
    // A read-only file is still the product's file to remove.
    if (GetLastError() != ERROR_ACCESS_DENIED) return false;
    const DWORD attr = GetFileAttributesA(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_READONLY)) return false;
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

bool WinFileEffects::Write(const std::string& to, const std::vector<std::uint8_t>& bytes) {
    return WriteFileReplacing(to, bytes.data(), bytes.size(), ".qpnew") == FileResult::kOk;
}

// Extraction here never goes through the kept directory of ExtractMember.
void WinFileEffects::ReleaseArchive() { archive_ = ZipArchive{}; }

std::int64_t WinFileEffects::SharedCount(const std::string& path) {
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return -1;
    DWORD value = 0, size = sizeof value, type = 0;
    const LONG rc = RegQueryValueExA(h, path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return -1;
    return value;
}

void WinFileEffects::SetSharedCount(const std::string& path, std::int64_t count) {
    HKEY h;
    if (count < 1) {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS) return;
        RegDeleteValueA(h, path.c_str());
    } else {
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                            nullptr, &h, nullptr) != ERROR_SUCCESS)
            return;
        const DWORD value = count > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<DWORD>(count);
        RegSetValueExA(h, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    RegCloseKey(h);
}

int SelfRegisterLibrary(const std::string& path) {
    const UINT old_mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    int result = 0;
    if (FAILED(OleInitialize(nullptr))) {
        result = 2;
    } else {
        // The library's own dependencies from its folder and the system folder; the older
        // altered search would also try the current folder, which may be the download folder.
        const DWORD search = HasDllSearchFlags() ? 0x00000100 | 0x00000800  // DLL_LOAD_DIR | SYSTEM32
                                                 : LOAD_WITH_ALTERED_SEARCH_PATH;
        HMODULE lib = LoadLibraryExA(path.c_str(), nullptr, search);
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
