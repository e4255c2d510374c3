// The common controls bound at run time (see commoncontrols.h).
#include "setup/wizard/win/commoncontrols.h"

#include "common/win/syslib.h"

namespace qp::wiz {
namespace {

// Bound once and kept for the life of the process, as an import would be.
struct Controls {
    decltype(&::InitCommonControlsEx) init = nullptr;
    decltype(&::SetWindowSubclass) subclass = nullptr;
    decltype(&::DefSubclassProc) def_subclass = nullptr;
    decltype(&::ImageList_LoadImageA) load_images = nullptr;
    decltype(&::ImageList_Destroy) destroy_images = nullptr;
};

template <typename F>
void Bind(HMODULE m, const char* name, F& f) {
    f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name)));
}

const Controls& Get() {
    static const Controls controls = [] {
        Controls c;
        // By name from the system directory: the manifest's activation context still picks the
        // version, and a copy planted beside the program is never taken.
        if (HMODULE m = LoadSystemLibrary("comctl32.dll")) {
            Bind(m, "InitCommonControlsEx", c.init);
            Bind(m, "SetWindowSubclass", c.subclass);
            Bind(m, "DefSubclassProc", c.def_subclass);
            Bind(m, "ImageList_LoadImageA", c.load_images);
            Bind(m, "ImageList_Destroy", c.destroy_images);
        }
        return c;
    }();
    return controls;
}

}  // namespace

bool InitCommonControlsFor(DWORD classes) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), classes};
    return Get().init && Get().init(&icc);
}

BOOL SubclassWindow(HWND wnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
    return Get().subclass ? Get().subclass(wnd, proc, id, data) : FALSE;
}

LRESULT DefSubclass(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return Get().def_subclass ? Get().def_subclass(wnd, msg, wp, lp) : DefWindowProcA(wnd, msg, wp, lp);
}

HIMAGELIST LoadImageList(HINSTANCE instance, LPCSTR name, int cx, int grow, COLORREF mask, UINT type, UINT flags) {
    return Get().load_images ? Get().load_images(instance, name, cx, grow, mask, type, flags) : nullptr;
}

BOOL DestroyImageList(HIMAGELIST list) { return Get().destroy_images ? Get().destroy_images(list) : FALSE; }

}  // namespace qp::wiz
