// Dialog data exchange: members to controls when loading, controls to members when saving.
#pragma once
#include <windows.h>

namespace qp {

class CDataExchange {
public:
    CDataExchange(HWND dialog, bool save) : dialog_(dialog), save_(save) {}
    HWND Dialog() const { return dialog_; }
    bool Saving() const { return save_; }

private:
    HWND dialog_;
    bool save_;
};

// An integer edit field. Saving clamps the typed number into lo..hi; a field without a number
// leaves the member as it was. Loading writes the member as it is.
void DDX_Int(CDataExchange& dx, int id, int& value, int lo, int hi);

}  // namespace qp
