// Non-owning wrappers of the common controls our dialogs use; copy them freely.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "framework/Window.h"

namespace qp {

class CEdit : public CWindow {
public:
    using CWindow::CWindow;
    void SetLimitText(int n) const { Send(EM_SETLIMITTEXT, WPARAM(n)); }
    void SetSel(int start, int end) const { Send(EM_SETSEL, WPARAM(start), LPARAM(end)); }
};

class CSpinButton : public CWindow {
public:
    using CWindow::CWindow;
    void SetRange(int lo, int hi) const { Send(UDM_SETRANGE32, WPARAM(lo), LPARAM(hi)); }
    void SetPos(int pos) const { Send(UDM_SETPOS32, 0, LPARAM(pos)); }
    int Pos() const { return int(Send(UDM_GETPOS32)); }
    void SetBuddy(HWND buddy) const { Send(UDM_SETBUDDY, WPARAM(buddy)); }
};

}  // namespace qp
