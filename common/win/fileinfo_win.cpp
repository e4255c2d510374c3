// File version and time of the Windows build.
#include "common/win/fileinfo_win.h"

#include <windows.h>

#include <vector>

#include "common/fileinfo.h"
#include "common/win/syslib.h"

namespace qp {
namespace {

using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

}  // namespace

std::uint64_t FileVersionApi(const std::string& file, std::string* text) {
    SystemLibrary version("version.dll");
    auto get_size = version.Get<SizeFn>("GetFileVersionInfoSizeA");
    auto get_info = version.Get<InfoFn>("GetFileVersionInfoA");
    auto query = version.Get<QueryFn>("VerQueryValueA");
    if (!get_size || !get_info || !query) return 0;

    DWORD handle = 0;
    DWORD size = get_size(file.c_str(), &handle);
    if (size == 0) return 0;
    // Twice the size: the ANSI query converts texts inside the same block.
    std::vector<BYTE> block(std::size_t{size} * 2, 0);
    if (!get_info(file.c_str(), 0, size, block.data())) return 0;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixed_size = 0;
    if (!query(block.data(), "\\", reinterpret_cast<LPVOID*>(&fixed), &fixed_size) || !fixed ||
        fixed_size < sizeof(VS_FIXEDFILEINFO))
        return 0;
    std::uint64_t result = (std::uint64_t{fixed->dwFileVersionMS} << 32) | fixed->dwFileVersionLS;
    if (text) *text = FormatVersion(result);
    return result;
}

std::uint64_t FileTimeApi(const std::string& file) {
    HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return kNoFileTime;
    FILETIME created, accessed, written;
    BOOL ok = GetFileTime(h, &created, &accessed, &written);
    CloseHandle(h);
    if (!ok) return kNoFileTime;
    return (std::uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
}

std::uint64_t FileVersion(const std::string& file, std::string* text) { return FileVersionApi(file, text); }

std::uint64_t FileTime(const std::string& file) { return FileTimeApi(file); }

}  // namespace qp
