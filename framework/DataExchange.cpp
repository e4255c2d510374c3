// Data exchange for the field kinds our dialogs use.
#include "framework/DataExchange.h"

#include "framework/Window.h"

namespace qp {

void DDX_Int(CDataExchange& dx, int id, int& value, int lo, int hi) {
    CWindow dialog(dx.Dialog());
    if (!dx.Saving()) {
        dialog.SetItemInt(id, value);
        return;
    }
    int typed = 0;
    if (!dialog.ItemInt(id, typed)) return;
    value = typed < lo ? lo : (typed > hi ? hi : typed);
}

}  // namespace qp
