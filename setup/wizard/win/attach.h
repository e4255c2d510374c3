// The object a window procedure serves, kept in the window itself: stored from the message
// that creates the window, read back for every later one, and forgotten before the window goes
// so that the messages of its destruction reach no object.
#pragma once
#include <windows.h>

namespace qp::wiz {

// A window made by CreateWindowEx with the object as its creation parameter: stored at
// WM_NCCREATE. Null before that message, and after Detach.
template <class P>
P WindowObject(HWND wnd, UINT msg, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrA(wnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTA*>(lp)->lpCreateParams));
    return reinterpret_cast<P>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
}
inline void DetachWindowObject(HWND wnd) { SetWindowLongPtrA(wnd, GWLP_USERDATA, 0); }

// A dialog made with the object as its initialisation parameter: stored at WM_INITDIALOG.
template <class P>
P DialogObject(HWND dlg, UINT msg, LPARAM lp) {
    if (msg == WM_INITDIALOG) SetWindowLongPtrA(dlg, DWLP_USER, lp);
    return reinterpret_cast<P>(GetWindowLongPtrA(dlg, DWLP_USER));
}
inline void DetachDialogObject(HWND dlg) { SetWindowLongPtrA(dlg, DWLP_USER, 0); }

}  // namespace qp::wiz
