// The removal benchmark's floor (not a test, not shipped): the least a Windows program must do
// to remove what floor_extract (or the setup runtime) installed from a kit archive: one
// DeleteFileA per member, then one RemoveDirectoryA per folder, the deepest first, TARGET and
// its emptied parents last.
//   floor_remove ARCHIVE TARGET
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "floor_zip.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: floor_remove ARCHIVE TARGET\n");
        return 2;
    }
    floorzip::Archive zip;
    if (!zip.Open(argv[1])) return 1;
    const std::string target = argv[2];
    std::set<std::string> folders;
    int rc = 0;
    for (const floorzip::Member& m : zip.members) {
        const std::string path = floorzip::TargetOf(target, m.name);
        if (!DeleteFileA(path.c_str())) rc = 1;
        for (std::string f = path.substr(0, path.rfind('\\')); f.size() > target.size(); f.resize(f.rfind('\\')))
            folders.insert(f);
    }
    std::vector<std::string> order(folders.begin(), folders.end());
    std::stable_sort(order.begin(), order.end(), [](const std::string& a, const std::string& b) {
        return std::count(a.begin(), a.end(), '\\') > std::count(b.begin(), b.end(), '\\');
    });
    for (const std::string& f : order) RemoveDirectoryA(f.c_str());
    // TARGET and each parent that it leaves empty, as an uninstaller leaves no empty folder.
    std::string f = target;
    while (f.size() > 3 && RemoveDirectoryA(f.c_str())) {
        const std::size_t at = f.rfind('\\');
        if (at == std::string::npos) break;
        f.resize(at);
    }
    return rc;
}
