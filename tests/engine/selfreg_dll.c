/* Test libraries for self-registration: one whose DllRegisterServer succeeds, one whose fails,
   one without it. Which one is chosen at compile time. */
#include <windows.h>

#if defined(QP_SELFREG_OK)
__declspec(dllexport) HRESULT __stdcall DllRegisterServer(void) { return S_OK; }
#elif defined(QP_SELFREG_FAIL)
__declspec(dllexport) HRESULT __stdcall DllRegisterServer(void) { return E_FAIL; }
#else
__declspec(dllexport) int QpNothingToRegister(void) { return 0; }
#endif
