/* A program planted in a kit folder as "explorer.exe". Started at all, it leaves
   "<its own path>.ran" beside itself. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
    char path[MAX_PATH + 16];
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    (void)instance;
    (void)previous;
    (void)line;
    (void)show;
    if (n > 0 && n < MAX_PATH) {
        lstrcatA(path, ".ran");
        HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    return 0;
}
