// Viewer windows get their text here.
#include "common/win/textwin.h"

#include "common/textload.h"

namespace qp {

void LoadTextIntoWindow(HWND window, const std::string& raw) {
    const std::string text = ConvertViewerText(raw.substr(0, kViewerTextLimit));
    SetWindowTextA(window, text.c_str());
    PostMessageA(window, EM_SETSEL, 0, 0);
}

bool LoadTextFileIntoWindow(HWND window, const std::string& file) {
    std::string text;
    if (!LoadViewerText(file, &text)) return false;
    SetWindowTextA(window, text.c_str());
    // Posted, not sent: the control selects all of a new text when it gets the focus, and the
    // posted message comes after that.
    PostMessageA(window, EM_SETSEL, 0, 0);
    return true;
}

}  // namespace qp
