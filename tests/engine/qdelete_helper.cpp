// Stands in for setup.exe in the self-deletion test: "helper INFOFOLDER" removes its own copy
// the way a remove run ends; "helper QDELETE HANDLE PATH" is the clean-up process.
// "helper INFOFOLDER HOLD FILE" also holds FILE open through an inheritable handle while it
// starts the clean-up process, closes it, makes FILE.closed, and waits for FILE.go to appear.
#include <windows.h>

#include <string>

#include "setup/engine/win/selfdelete_win.h"

int main(int argc, char** argv) {
    if (argc >= 4 && lstrcmpiA(argv[1], "QDELETE") == 0) return qp::RunQDelete(argv[2], argv[3]);
    if (argc < 2) return 2;
    char own[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, own, MAX_PATH);
    const std::string info = argv[1];
    if (argc >= 4 && lstrcmpiA(argv[2], "HOLD") == 0) {
        const std::string file = argv[3];
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  &inherit, OPEN_ALWAYS, 0, nullptr);
        if (held == INVALID_HANDLE_VALUE) return 3;
        const bool ok = qp::RemoveOwnCopy(own, info + "\\setup.exe", info);
        CloseHandle(held);
        CloseHandle(CreateFileA((file + ".closed").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        for (int i = 0; i < 600 && GetFileAttributesA((file + ".go").c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
        return ok ? 0 : 1;
    }
    return qp::RemoveOwnCopy(own, info + "\\setup.exe", info) ? 0 : 1;
}
