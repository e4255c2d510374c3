// CItemWindow: the base of the eight item windows, MDI children created hidden at start, each
// with one list or tree that fills it, a caption that follows the item it shows, a close box
// that only hides it, the context menu of its control, and files dropped on it. They talk to
// the builder through ItemHost only.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "builder/ui/items/ItemHost.h"
#include "builder/ui/logic/drop.h"
#include "framework/Controls.h"
#include "framework/Frame.h"

namespace qp {

// Creation order; the Window menu's entries name a different order (see FrameMenus.cpp).
enum class ItemWindowKind { kComponent, kGroup, kFiles, kSetup, kRegistry, kString, kLink, kFunction };
constexpr int kItemWindowCount = 8;

class CItemWindow : public CMDIChildWnd {
public:
    CItemWindow(ItemHost& host, ItemWindowKind kind) : host_(host), kind_(kind) {}
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
    // The popup menu resource the control's context menu shows; 0: none.
    virtual int ContextMenuId() const { return 0; }
    // The list's own notifications, which the base's OnNotify hands on; false: not taken.
    // The Delete key in the control's list.
    virtual bool OnDeleteKey() { return false; }
    // In-place renaming of the row whose item data is `node`: whether it may start (true:
    // it may), and the new name (true when the model took it).
    virtual bool CanRenameRow(LPARAM /*node*/) { return true; }
    virtual bool RenameRow(LPARAM /*node*/, const char* /*name*/) { return false; }
    // A double click in a list made by MakeList, on `row` (-1: below the rows).
    virtual bool OnRowDoubleClick(int /*row*/) { return false; }
    // Files dropped from the shell: whether the window takes files, and the folder they go
    // into (null while it shows none). A project dropped on any window is opened.
    virtual bool TakesFiles() const { return false; }
    virtual CObListFile* DropFolder() const { return nullptr; }
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    // A report list with these columns (title, width in pixels), left to right.
    struct ListColumn {
        const char* title;
        int width;
    };
    HWND MakeList(DWORD extra_style, std::initializer_list<ListColumn> columns);
    void Place();

    ItemHost& host_;
    ItemWindowKind kind_;
    void* item_ = nullptr;
    HWND control_ = nullptr;
    bool placed_ = false;
    bool list_ = false;  // the control is a list made by MakeList
    std::string creation_caption_;

private:
    // Where a context menu opened from the keyboard appears: the corner of the control's
    // selected row or node, else of the control itself (screen coordinates).
    POINT KeyboardMenuPoint() const;
};

// The one handler of files dropped from the shell, on an item window or on the frame: reads
// the drop, lets it go, and does what PlanDrop says (`folder`: where files go, if anywhere).
void HandleFileDrop(HDROP drop, ItemHost& host, DropTarget target, CObListFile* folder);

// A length in pixels at 96 dots per inch, at the screen's resolution.
int ScaledToScreen(int pixels_at_96);

}  // namespace qp
