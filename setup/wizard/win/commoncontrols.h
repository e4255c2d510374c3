// The common controls, bound when the first window needs them rather than imported: loading
// them starts their visual-style engine, which under Wine brings up the desktop process, a cost
// that an unattended run (and the uninstaller's self-delete helper) must not pay for nothing.
#pragma once
#include <windows.h>

#include <commctrl.h>

namespace qp::wiz {

// Loads the common controls (the version the program's manifest asks for) and registers the
// window classes in `classes` (ICC_* bits). False when they cannot be loaded.
bool InitCommonControlsFor(DWORD classes);

// The controls' functions the wizard calls; each loads the library on first use and fails as
// the function would (FALSE, nullptr, 0) when it cannot be had.
BOOL SubclassWindow(HWND wnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
LRESULT DefSubclass(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
HIMAGELIST LoadImageList(HINSTANCE instance, LPCSTR name, int cx, int grow, COLORREF mask, UINT type, UINT flags);
BOOL DestroyImageList(HIMAGELIST list);

}  // namespace qp::wiz
