// The "New Project" dialog, the "Build Media" wizard and the build's progress window.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "builder/ui/logic/project_pages.h"
#include "common/report.h"

namespace qp {

struct NewProjectChoice {
    int type = 0;      // 0 "Empty", 1 "Wizard"
    std::string path;  // the new project file
};
// False when the author cancelled.
bool RunNewProjectDialog(HWND owner, HINSTANCE instance, NewProjectChoice& choice);

// The build page: the kit name and root the author confirmed (the root is also stored in the
// project). Finish is refused, with a message, while the name cannot be the kit's folder. The
// page makes a missing kit root to list it; `made` receives the folders made so (children
// first), for RemoveEmptyFolders once the build is over. False when cancelled; the folders
// made are then removed again when empty.
bool RunBuildWizard(HWND owner, HINSTANCE instance, CDazDoc& doc, BuildPageState& state, std::vector<std::string>& made);
// Removes each folder of `folders` that is empty, in order; a folder that holds anything stays.
void RemoveEmptyFolders(const std::vector<std::string>& folders);

// A small window with the file being added, a progress bar and Cancel, owned by the frame while
// a kit is built; Cancel makes Step answer false, which stops the build before the kit is put in
// place.
class BuildProgressWindow : public Progress {
public:
    BuildProgressWindow(HWND owner, HINSTANCE instance);
    ~BuildProgressWindow() override;
    BuildProgressWindow(const BuildProgressWindow&) = delete;
    BuildProgressWindow& operator=(const BuildProgressWindow&) = delete;

    void Status(const std::string& text) override;
    bool Step(std::uint64_t done, std::uint64_t total) override;
    bool Cancelled() const;
    // Also told of each step: the frame's own status line and progress bar.
    Progress* forward = nullptr;

private:
    class Impl;
    Impl* impl_;
};

}  // namespace qp
