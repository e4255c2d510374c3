// The "New Project" dialog, the "Build Media" wizard and the build's progress window.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

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
// project). False when cancelled.
bool RunBuildWizard(HWND owner, HINSTANCE instance, CDazDoc& doc, BuildPageState& state);

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
