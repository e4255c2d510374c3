/* A tiny DLL with a version resource, for the file version and time tests. */
#include <windows.h>

__declspec(dllexport) int QpTestDllAnswer(void) { return 42; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
