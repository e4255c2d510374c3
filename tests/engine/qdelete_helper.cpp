// Stands in for setup.exe in the self-deletion test: "helper INFOFOLDER" removes its own copy
// the way a remove run ends; "helper QDELETE HANDLE PATH" is the clean-up process.
#include <windows.h>

#include <string>

#include "setup/engine/win/selfdelete_win.h"

int main(int argc, char** argv) {
    if (argc >= 4 && lstrcmpiA(argv[1], "QDELETE") == 0) return qp::RunQDelete(argv[2], argv[3]);
    if (argc < 2) return 2;
    char own[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, own, MAX_PATH);
    const std::string info = argv[1];
    return qp::RemoveOwnCopy(own, info + "\\setup.exe", info) ? 0 : 1;
}
