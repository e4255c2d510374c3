// shadepick.dll: the exported entry point. The dialogs come from this module's own
// resources, whoever calls.
#include <windows.h>
#include <commctrl.h>

#include "GradientDlg.h"

namespace {
HINSTANCE g_module = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

// Lets the author choose the two gradient colours. 1: accepted, both colours written;
// 2: cancelled or closed (also when the dialog cannot be shown), both left as they were.
extern "C" int WINAPI ChooseGradient(HWND parent, COLORREF* first, COLORREF* second) {
    if (!first || !second) return 2;
    try {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&icc);
        qp::shade::CGradientDlg dialog(g_module, *first, *second);
        if (dialog.DoModal(parent) != IDOK) return 2;
        *first = dialog.First();
        *second = dialog.Second();
        return 1;
    } catch (...) {
        return 2;
    }
}
