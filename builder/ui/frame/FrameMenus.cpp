// CMainFrame's menus: the command route, the one update pass per command id, the Window entries
// with their refresh rule, the recent files in the File menu and under Open's arrow.
#include "builder/ui/frame/MainFrame.h"
#include "builder/ui/logic/commands.h"
#include "builder/ui/res/resource.h"

namespace qp {

namespace {
// The Window menu's entries "Fr1" to "Fr8", in order. The function window is shown by no tree, so
// its entry is the only way to it.
constexpr ItemWindowKind kWindowEntries[8] = {ItemWindowKind::kGroup, ItemWindowKind::kComponent,
                                              ItemWindowKind::kFiles, ItemWindowKind::kSetup,
                                              ItemWindowKind::kRegistry, ItemWindowKind::kString,
                                              ItemWindowKind::kLink, ItemWindowKind::kFunction};
static_assert(sizeof(kWindowEntries) / sizeof(kWindowEntries[0]) == cmd::kWindowLast - cmd::kWindowFirst + 1,
              "one item window per Window entry");
}  // namespace

std::vector<CCmdTarget*> CMainFrame::CommandRoute() {
    // The edit control being typed in first (Cut, Copy, Paste, Undo act on its text), then the
    // focused tree (only when the focus is in the workspace bar), then the active item window,
    // then the frame.
    std::vector<CCmdTarget*> route;
    route.push_back(&edit_commands_);
    if (bar_.HasFocus()) route.push_back(&bar_);
    if (CItemWindow* active = dynamic_cast<CItemWindow*>(CWnd::FromHandle(ActiveChild())))
        if (::IsWindowVisible(active->Handle())) route.push_back(active);
    route.push_back(this);
    return route;
}

bool CMainFrame::UpdateWindowEntry(CCmdUI& ui) {
    CItemWindow& w = Item(kWindowEntries[ui.id - cmd::kWindowFirst]);
    const bool active = ActiveChild() == w.Handle() && ::IsWindowVisible(w.Handle());
    const WindowEntry e = WindowMenuEntry(doc_ != nullptr, active);
    ui.Enable(e.enabled);
    ui.Check(e.checked);
    ui.SetText(w.Text());
    return true;
}

bool CMainFrame::OnUpdateCmdUI(CCmdUI& ui) {
    const unsigned id = ui.id;
    if (building_) {
        ui.Enable(false);  // one thing at a time while a kit is made
        return true;
    }
    if (id >= cmd::kWindowFirst && id <= cmd::kWindowLast) return UpdateWindowEntry(ui);
    if (id >= cmd::kRecentFirst && id <= cmd::kRecentLast) {
        ui.Enable(id - cmd::kRecentFirst < recent_.Entries().size());
        return true;
    }
    switch (id) {
    case cmd::kNew: case cmd::kOpen: case cmd::kExit: case cmd::kAbout: case cmd::kExplorer:
    case cmd::kHelpTopics: case cmd::kContextHelp:
        ui.Enable(true);
        return true;
    case cmd::kViewToolbar:
        ui.Enable(true);
        ui.Check(::IsWindowVisible(toolbar_) != FALSE);
        return true;
    case cmd::kViewStatusBar:
        ui.Enable(true);
        ui.Check(::IsWindowVisible(status_) != FALSE);
        return true;
    case cmd::kWorkspaceBar:
        ui.Enable(true);
        ui.Check(bar_.Visible());
        return true;
    case cmd::kCascade: case cmd::kTile: case cmd::kArrange:
        ui.Enable(ActiveChild() != nullptr && ::IsWindowVisible(ActiveChild()));
        return true;
    case cmd::kSettings:
        ui.Enable(doc_ != nullptr && !building_);
        return true;
    }
    if (NeedsProject(id)) {
        ui.Enable(doc_ != nullptr);
        return true;
    }
    return false;
}

void CMainFrame::OnWindowEntry(UINT id) {
    if (!doc_) return;
    Item(kWindowEntries[id - cmd::kWindowFirst]).Bring();
}

void CMainFrame::UpdateRecentMenu(HMENU menu) {
    // The File menu: the recent entries sit between the two separators after Save As.
    CMenu m(menu);
    int first = -1;
    for (int pos = 0; pos < m.Count(); ++pos) {
        const UINT id = m.ItemId(pos);
        if (id >= cmd::kRecentFirst && id <= cmd::kRecentLast) {
            if (first < 0) first = pos;
        }
    }
    if (first < 0) return;
    while (first < m.Count()) {
        const UINT id = m.ItemId(first);
        if (id < cmd::kRecentFirst || id > cmd::kRecentLast) break;
        ::DeleteMenu(menu, UINT(first), MF_BYPOSITION);
    }
    const auto& entries = recent_.Entries();
    if (entries.empty()) {
        ::InsertMenuA(menu, UINT(first), MF_BYPOSITION | MF_STRING | MF_GRAYED, cmd::kRecentFirst, "Recent File");
        return;
    }
    for (std::size_t i = 0; i < entries.size(); ++i)
        ::InsertMenuA(menu, UINT(first + int(i)), MF_BYPOSITION | MF_STRING, cmd::kRecentFirst + i,
                      recent_.MenuText(i).c_str());
}

void CMainFrame::OnToolbarDropDown(NMTOOLBARA* info) {
    if (info->iItem != int(cmd::kOpen)) return;
    HMENU popup = ::CreatePopupMenu();
    ::AppendMenuA(popup, MF_STRING | MF_GRAYED, cmd::kRecentFirst, "Recent File");
    UpdateRecentMenu(popup);
    RECT r = info->rcButton;
    ::MapWindowPoints(info->hdr.hwndFrom, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    CMenu(popup).Track(hwnd_, POINT{r.left, r.bottom}, TPM_LEFTALIGN | TPM_TOPALIGN);
    ::DestroyMenu(popup);
}

}  // namespace qp
