// CMainFrame: the builder's main window. It owns the project, the workspace bar, the eight item
// windows, the toolbar, the status bar with its progress bar, and the application profile; its
// code is split by concern: MainFrame.cpp (creation and layout), FrameCommands.cpp (the
// commands), FrameMenus.cpp (the update pass, the Window menu, recent files).
#pragma once
#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "builder/model/doc.h"
#include "builder/model/edits.h"
#include "builder/model/language.h"
#include "builder/ui/frame/WorkspaceBar.h"
#include "builder/ui/items/ItemHost.h"
#include "builder/ui/items/ItemWindows.h"
#include "builder/ui/logic/commands.h"
#include "builder/ui/logic/project_pages.h"
#include "builder/ui/sheets/Sheets.h"
#include "framework/Frame.h"
#include "framework/Profile.h"

namespace qp {

class CMainFrame : public CMDIFrameWnd, public DocListener, public ItemHost {
public:
    explicit CMainFrame(HINSTANCE instance);
    ~CMainFrame() override;

    // Creates the frame hidden, with its bars and the eight item windows.
    bool CreateFrame();
    HACCEL Accelerators() const { return accel_; }
    // Opens a ".qpk" or ".ipr" project after closing the current one (which may be refused).
    bool OpenProject(const std::string& path) override;

    // --- ItemHost: what the item windows (and the bar) call ----------------------------------
    CDazDoc* Doc() const override { return doc_.get(); }
    ProjectEdits* Edits() const override { return edits_.get(); }
    HINSTANCE Instance() const override { return instance_; }
    HWND Owner() const override { return hwnd_; }
    HWND MdiClient() const override { return Client(); }
    void SelectFolder(const CObListFile* folder) override { bar_.SelectFolder(folder); }
    CWorkspaceBar& Bar() { return bar_; }
    CItemWindow& Item(ItemWindowKind kind) { return *items_[std::size_t(kind)]; }
    // Shows `item` in one item window (null: none); an item restores and activates the window.
    void ShowItem(ItemWindowKind kind, void* item);
    // Shows a context menu resource's first sub-menu at the screen point, owned by the frame.
    void TrackContextMenu(int menu_id, POINT screen) override;
    // The progress bar in the status bar (three operations used during a build).
    void ShowProgress(bool on) override;
    void SetProgressRange(int lo, int hi);
    void SetProgressPos(int pos);
    void SetStatusText(const std::string& text) override;
    // A length in pixels at 96 dots per inch, at the screen's resolution.
    static int Scaled(int pixels_at_96) { return ScaledToScreen(pixels_at_96); }

    // --- sheets and wizards ------------------------------------------------------------------
    // What a sheet opened now needs: the project, the pending-edit hook, the builder's folder.
    SheetContext SheetContextFor() override;
    // Open sheets register here what they would write; a save commits them first.
    PendingEdits& Pending() { return pending_; }

    std::vector<CCmdTarget*> CommandRoute() override;
    bool OnCmdMsg(UINT id) override;
    bool OnUpdateCmdUI(CCmdUI& ui) override;
    void OnIdle();

    // DocListener
    void OnItemChanged(ItemKind kind, const void* item) override;
    void OnItemAdded(ItemKind kind, const void* item, const void* parent) override;
    void OnItemRemoving(ItemKind kind, const void* item) override;

protected:
    bool OnCreate() override;
    void OnDestroy() override;
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;
    RECT LayoutBars(RECT area) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;

private:
    // MainFrame.cpp
    bool CreateToolbar();
    bool CreateStatusBar();
    void PaintClient(HDC dc);
    void UpdateCaption();
    void OnDropFiles(HDROP drop);
    static LRESULT CALLBACK ClientProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    // FrameCommands.cpp
    void SetProject(std::unique_ptr<CDazDoc> doc);
    bool CloseProject();  // false: the author kept the project (Cancel)
    void OnNew();
    void OnOpen();
    bool OnSave(bool ask_path);
    void OnBuild();
    void OnAbout();
    void OnExplorer();
    void OnSettings();
    std::string ProgramDir() const;
    void EnterProjectFolder();
    // FrameMenus.cpp
    void OnWindowEntry(UINT id);
    void UpdateRecentMenu(HMENU file_menu);
    void OnToolbarDropDown(NMTOOLBARA* info);
    bool UpdateWindowEntry(CCmdUI& ui);

    HINSTANCE instance_;
    HMENU menu_ = nullptr;
    HACCEL accel_ = nullptr;
    HWND toolbar_ = nullptr;
    CStatusBar status_;
    CProgressBar progress_;
    CWorkspaceBar bar_;
    std::array<std::unique_ptr<CItemWindow>, kItemWindowCount> items_;
    std::unique_ptr<CDazDoc> doc_;
    std::unique_ptr<ProjectEdits> edits_;
    LanguageFile texts_;
    CAppProfile profile_{"Veltor", "Quillpacker"};
    CRecentFileList recent_{4};
    COLORREF colours_[2] = {RGB(0, 0, 128), RGB(0, 0, 0)};
    WNDPROC client_proc_ = nullptr;
    bool building_ = false;
    // The file the project was opened from (an ".ipr" for an import); empty for a new one.
    std::string opened_from_;
    PendingEdits pending_;
    CFocusedEditCommands edit_commands_{cmd::kCut, cmd::kCopy, cmd::kPaste, cmd::kUndo};
};

}  // namespace qp
