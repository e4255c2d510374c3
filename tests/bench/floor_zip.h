// The floor programs' zip directory: the archive mapped whole, the central directory read
// plainly (a kit archive of the benchmark: one disk, no Zip64, no encryption). What a floor
// must do and no more; the checks only keep a wrong archive from crashing it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace floorzip {

struct Member {
    std::string name;
    std::uint32_t method = 0, compressed_size = 0, size = 0, header = 0;
};

inline std::uint32_t U16(const unsigned char* p) { return p[0] | (p[1] << 8); }
inline std::uint32_t U32(const unsigned char* p) { return U16(p) | (U16(p + 2) << 16); }

struct Archive {
    const unsigned char* base = nullptr;
    std::uint64_t size = 0;
    std::vector<Member> members;  // files only

    bool Open(const char* path) {
        HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return Fail(path, "cannot open");
        LARGE_INTEGER li;
        GetFileSizeEx(f, &li);
        size = static_cast<std::uint64_t>(li.QuadPart);
        HANDLE map = CreateFileMappingA(f, nullptr, PAGE_READONLY, 0, 0, nullptr);
        CloseHandle(f);
        if (!map) return Fail(path, "cannot map");
        base = static_cast<const unsigned char*>(MapViewOfFile(map, FILE_MAP_READ, 0, 0, 0));
        CloseHandle(map);
        if (!base || size < 22) return Fail(path, "cannot map");
        std::uint64_t end = size - 22;
        while (end > 0 && U32(base + end) != 0x06054b50) --end;
        if (U32(base + end) != 0x06054b50) return Fail(path, "no end record");
        const std::uint32_t count = U16(base + end + 10), cd = U32(base + end + 16);
        std::uint64_t at = cd;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (at + 46 > end || U32(base + at) != 0x02014b50) return Fail(path, "bad directory");
            Member m;
            m.method = U16(base + at + 10);
            m.compressed_size = U32(base + at + 20);
            m.size = U32(base + at + 24);
            const std::uint32_t n = U16(base + at + 28), x = U16(base + at + 30), k = U16(base + at + 32);
            m.header = U32(base + at + 42);
            m.name.assign(reinterpret_cast<const char*>(base + at + 46), n);
            at += 46 + n + x + k;
            if (!m.name.empty() && m.name.back() != '/') members.push_back(m);
        }
        return true;
    }
    const unsigned char* Data(const Member& m) const {
        if (m.header + 30ull > size || U32(base + m.header) != 0x04034b50) return nullptr;
        const std::uint64_t data = m.header + 30ull + U16(base + m.header + 26) + U16(base + m.header + 28);
        return data + m.compressed_size <= size ? base + data : nullptr;
    }
    static bool Fail(const char* path, const char* what) {
        std::fprintf(stderr, "%s: %s\n", path, what);
        return false;
    }
};

// TARGET, then the member's path after its first part, with "\" for "/".
inline std::string TargetOf(const std::string& target, const std::string& member) {
    std::string rest = member.substr(member.find('/') + 1);
    for (char& c : rest)
        if (c == '/') c = '\\';
    return target + "\\" + rest;
}

// Creates each level of `folder` below the first `keep` characters (which exist).
inline void MakeFolders(const std::string& folder, std::size_t keep) {
    for (std::size_t at = folder.find('\\', keep + 1); at != std::string::npos; at = folder.find('\\', at + 1))
        CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
}

}  // namespace floorzip
