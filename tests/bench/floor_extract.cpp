// The install benchmark's floor (not a test, not shipped): the least a Windows program must do
// to install a kit's files. It maps the kit archive, and for each member creates its folder
// (and TARGET's missing levels) once, inflates it with zlib and writes it with CreateFileA / WriteFile / CloseHandle under
// TARGET, the member's first path part (the group name) left out as the setup runtime does.
//   floor_extract ARCHIVE TARGET
#include <windows.h>
#include <zlib.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "floor_zip.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: floor_extract ARCHIVE TARGET\n");
        return 2;
    }
    floorzip::Archive zip;
    if (!zip.Open(argv[1])) return 1;
    const std::string target = argv[2];
    floorzip::MakeFolders(target, 2);  // after the drive
    std::set<std::string> folders;
    std::vector<unsigned char> out;
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return 1;
    for (const floorzip::Member& m : zip.members) {
        const std::string path = floorzip::TargetOf(target, m.name);
        const std::string folder = path.substr(0, path.rfind('\\'));
        if (folders.insert(folder).second) floorzip::MakeFolders(folder, target.size());
        const unsigned char* data = zip.Data(m);
        if (!data) return 1;
        out.resize(m.size);
        if (m.method == 8) {
            inflateReset(&z);
            z.next_in = const_cast<unsigned char*>(data);
            z.avail_in = static_cast<uInt>(m.compressed_size);
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            if (inflate(&z, Z_FINISH) != Z_STREAM_END) return 1;
        } else if (m.size) {
            std::copy(data, data + m.size, out.begin());
        }
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return 1;
        DWORD written = 0;
        const BOOL ok = WriteFile(h, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
        CloseHandle(h);
        if (!ok || written != out.size()) return 1;
    }
    inflateEnd(&z);
    return 0;
}
