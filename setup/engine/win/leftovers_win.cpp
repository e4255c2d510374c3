// A killed run's temporary files, found and removed.
#include "setup/engine/win/leftovers_win.h"

#include <windows.h>

#include "setup/engine/leftovers.h"

namespace qp {
namespace {

constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;

// Opened without sharing (a writer that still holds it keeps it), as the link itself should it
// be one, and deleted as the handle closes.
bool RemoveIfPlainAndUnused(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kNotPlain)) return false;
    HANDLE h = CreateFileA(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool IsPlainFolder(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

ProductRun AnnounceProductRun(const std::string& guid) {
    // Held until the process ends; every run of the product makes the same name.
    for (const char* ns : {"Global\\", "Local\\"}) {
        const std::string name = std::string(ns) + "Quillpack.Run." + guid;
        HANDLE h = CreateMutexA(nullptr, FALSE, name.c_str());
        if (!h) {
            if (GetLastError() == ERROR_ACCESS_DENIED) return ProductRun::kOther;  // another user's run holds it
            continue;  // no global names here: the session's
        }
        return GetLastError() == ERROR_ALREADY_EXISTS ? ProductRun::kOther : ProductRun::kAlone;
    }
    return ProductRun::kUnknown;
}

void RemoveKilledRunLeftovers(const std::string& info_folder, const WrittenRecord* record,
                              const std::function<void(const std::string&)>& removed) {
    if (IsPlainFolder(info_folder))
        for (const std::string& name : InfoFolderTempNames()) {
            const std::string path = info_folder + "\\" + name;
            if (RemoveIfPlainAndUnused(path)) removed(path);
        }
    if (!record) return;
    for (const RecordedFolder& f : RecordedFolders(*record)) {
        if (!IsPlainFolder(f.folder)) continue;
        WIN32_FIND_DATAA fd;
        HANDLE find = FindFirstFileA((f.folder + "\\*.qz*").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            if (fd.dwFileAttributes & kNotPlain) continue;
            const std::string name = fd.cFileName;
            for (const std::string& base : f.names) {
                if (!IsExtractionTempOf(name, base)) continue;
                const std::string path = f.folder + "\\" + name;
                if (RemoveIfPlainAndUnused(path)) removed(path);
                break;
            }
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
}

}  // namespace qp
