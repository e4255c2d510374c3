// The scroll-bar request (see Scroll.h).
#include "framework/Scroll.h"

#include <algorithm>

namespace qp {

bool ScrollRequest(HWND hwnd, int bar, int code, SCROLLINFO& info, int& pos) {
    info = SCROLLINFO{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ::GetScrollInfo(hwnd, bar, &info);
    pos = info.nPos;
    const int page = std::max<int>(1, int(info.nPage));
    switch (code) {
    case SB_LINEUP: --pos; return true;
    case SB_LINEDOWN: ++pos; return true;
    case SB_PAGEUP: pos -= page; return true;
    case SB_PAGEDOWN: pos += page; return true;
    case SB_THUMBTRACK: case SB_THUMBPOSITION: pos = info.nTrackPos; return true;
    case SB_TOP: pos = 0; return true;
    case SB_BOTTOM: pos = info.nMax; return true;
    }
    return false;
}

}  // namespace qp
