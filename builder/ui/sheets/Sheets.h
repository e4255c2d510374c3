// qpb's property sheets: "Component Properties", "GroupProperties", the "Setup Type" dialog
// and the "Project Files" sheet (also the new-project wizard "Proj vizar").
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "builder/model/edits.h"
#include "builder/ui/logic/project_pages.h"

namespace qp {

// What a sheet needs from the builder around it.
struct SheetContext {
    HWND owner = nullptr;
    HINSTANCE instance = nullptr;
    CDazDoc* doc = nullptr;
    PendingEdits* pending = nullptr;  // open sheets commit here before a save
    std::string program_dir;          // shadepick.dll is loaded from here
    // The frame's client area shows the window colours again.
    std::function<void()> colours_changed;
};

// Modal; the page to open first is `page` (0 to 7). The caller marks the project modified.
void RunComponentSheet(const SheetContext& ctx, CItemComponent& component, int page);
void RunGroupPropertiesSheet(const SheetContext& ctx, CItemGroup& group, int page);
// A sheet of the one file-group page over `groups` ("Registry Properties", "Group
// Properties"); true when the author pressed OK.
bool RunGroupChoiceSheet(const SheetContext& ctx, const char* caption, std::vector<CItemGroup*>& groups);
// "Setup Type": true when OK stored the four fields.
bool RunSetupTypeDialog(const SheetContext& ctx, CItemSetup& setup);
// "Project Files" in settings mode.
void RunProjectSettings(const SheetContext& ctx);
// "Proj vizar": false when the author cancelled (the caller discards the new project).
bool RunNewProjectWizard(const SheetContext& ctx);

}  // namespace qp
