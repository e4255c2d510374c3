// The drop rule of the builder's windows.
#include "builder/ui/logic/drop.h"

#include <cctype>

namespace qp {

namespace {
bool EndsWithNoCase(const std::string& s, const char* tail) {
    std::size_t n = 0;
    while (tail[n]) ++n;
    if (s.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != std::tolower(static_cast<unsigned char>(tail[i])))
            return false;
    return true;
}
}  // namespace

bool IsProjectPath(const std::string& path) { return EndsWithNoCase(path, ".qpk") || EndsWithNoCase(path, ".ipr"); }

DropPlan PlanDrop(const std::vector<DroppedPath>& dropped, DropTarget target, bool has_folder, bool project_open) {
    DropPlan plan;
    if (dropped.empty()) return plan;
    for (const DroppedPath& d : dropped) {
        if (!d.directory && IsProjectPath(d.path)) {
            plan.action = DropPlan::kOpenProject;
            plan.project = d.path;
            return plan;
        }
    }
    std::vector<std::string> files;
    for (const DroppedPath& d : dropped)
        if (!d.directory) files.push_back(d.path);
    switch (target) {
    case DropTarget::kFrame:
        if (!project_open && !files.empty()) {
            plan.action = DropPlan::kOpenProject;
            plan.project = files.front();
            return plan;
        }
        if (!project_open) return plan;  // folders on an empty builder: nothing to open
        plan.action = DropPlan::kExplain;
        plan.message = kDropNotHere;
        return plan;
    case DropTarget::kFolderWindow:
        plan.action = DropPlan::kExplain;
        if (!has_folder) {
            plan.message = kDropNeedsFolder;
        } else if (files.empty()) {
            plan.message = kDropFoldersOnly;
        } else {
            plan.action = DropPlan::kAddFiles;
            plan.files = std::move(files);
        }
        return plan;
    case DropTarget::kOtherWindow:
        plan.action = DropPlan::kExplain;
        plan.message = kDropNotHere;
        return plan;
    }
    return plan;
}

}  // namespace qp
