// The eight item windows: MDI children created hidden at start, each with one list or tree that
// fills it, a caption that follows the item it shows, and a close box that only hides it.
#pragma once
#include <windows.h>

#include <string>

#include "builder/model/edits.h"
#include "framework/Controls.h"
#include "framework/Frame.h"

namespace qp {

class CMainFrame;

// Creation order; the Window menu's entries name a different order (see FrameMenus.cpp).
enum class ItemWindowKind { kComponent, kGroup, kFiles, kSetup, kRegistry, kString, kLink, kFunction };
constexpr int kItemWindowCount = 8;

class CItemWindow : public CMDIChildWnd {
public:
    CItemWindow(CMainFrame& frame, ItemWindowKind kind) : frame_(frame), kind_(kind) {}
    ~CItemWindow() override { Destroy(); }

    bool CreateWindowOf(const char* caption, int icon_id);
    ItemWindowKind Kind() const { return kind_; }
    const void* Shown() const { return item_; }
    // Sets the caption, reloads; with an item, restores when minimised and activates.
    void ShowItem(void* item);
    // Brings the window up (placed inside the client area the first time), restored and active.
    void Bring();
    // Reloads from the model (after an edit elsewhere).
    virtual void Reload() = 0;
    // The project file is about to be written: what the window keeps goes into the model.
    virtual void BeforeSave() {}
    // The item went: show none.
    void Forget(const void* item) {
        if (item == item_) ShowItem(nullptr);
    }
    HWND Control() const { return control_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;
    void OnSize(UINT type, int cx, int cy) override;
    virtual std::string Caption() const = 0;
    // Creates the control that fills the window.
    virtual HWND MakeControl() = 0;
    HWND MakeList(DWORD extra_style = 0);
    void Place();

    CMainFrame& frame_;
    ItemWindowKind kind_;
    void* item_ = nullptr;
    HWND control_ = nullptr;
    bool placed_ = false;
    std::string creation_caption_;
};

// Makes the window of each kind.
std::unique_ptr<CItemWindow> MakeItemWindow(CMainFrame& frame, ItemWindowKind kind);

}  // namespace qp
