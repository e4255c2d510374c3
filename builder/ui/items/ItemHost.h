// ItemHost: what an item window needs from the builder around it (the main frame implements
// it): the project and its edit operations, the window that owns its dialogs and menus, the
// status line and progress bar, the workspace's group tree for a folder's double click, and
// opening a project dropped on a window.
// An item window never sees the frame itself, so that it compiles against this page alone.
#pragma once
#include <windows.h>

#include <string>

#include "builder/model/doc.h"
#include "builder/model/edits.h"
#include "builder/ui/sheets/Sheets.h"

namespace qp {

class ItemHost {
public:
    virtual ~ItemHost() = default;

    // The open project and its edits; both null while no project is open.
    virtual CDazDoc* Doc() const = 0;
    virtual ProjectEdits* Edits() const = 0;
    virtual HINSTANCE Instance() const = 0;
    // The window that owns the dialogs, message boxes and context menus of the item windows
    // (and the MDI parent of the windows themselves).
    virtual HWND Owner() const = 0;
    // The MDI client the item windows live in.
    virtual HWND MdiClient() const = 0;
    // Shows a context menu resource's first sub-menu at the screen point; its commands take
    // the frame's command route.
    virtual void TrackContextMenu(int menu_id, POINT screen) = 0;
    // What a sheet opened from an item window needs.
    virtual SheetContext SheetContextFor() = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void ShowProgress(bool on) = 0;
    // Selects and expands a folder's node in the workspace's group tree.
    virtual void SelectFolder(const CObListFile* folder) = 0;
    // Opens a ".qpk" or ".ipr" project after closing the open one (asking to save its
    // changes); false when the author kept the open project or the file could not be read.
    virtual bool OpenProject(const std::string& path) = 0;
};

}  // namespace qp
