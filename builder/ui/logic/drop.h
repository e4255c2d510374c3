// What files dropped from the shell do on a builder window: a project among them is opened
// (wherever it lands); other files go into the folder of a window that takes files, and a
// window that cannot take them says why. Portable: the windows only read the drop and act.
#pragma once
#include <string>
#include <vector>

namespace qp {

// One dropped path, in drop order.
struct DroppedPath {
    std::string path;
    bool directory = false;
};

// Where the drop landed.
enum class DropTarget {
    kFrame,         // the main window itself (its client area, the workspace bar)
    kFolderWindow,  // an item window that adds files to the folder it shows (files, group)
    kOtherWindow,   // an item window that holds no files
};

struct DropPlan {
    enum Action { kNothing, kOpenProject, kAddFiles, kExplain };
    Action action = kNothing;
    std::string project;             // kOpenProject
    std::vector<std::string> files;  // kAddFiles, in drop order
    std::string message;             // kExplain: why nothing was added
};

// ".qpk" or ".ipr", in any case.
bool IsProjectPath(const std::string& path);

// The first project of the drop is opened. Otherwise a folder window adds the files (folders
// are left out, as the files window always did) to the folder it shows; one that shows no
// folder, a drop of folders only, and a window that holds no files each get a message. On the
// frame, with no project open, the first file is opened as a project (the reader says what it
// is not); with a project open, the frame explains instead, so that a stray drop never closes
// the project.
DropPlan PlanDrop(const std::vector<DroppedPath>& dropped, DropTarget target, bool has_folder, bool project_open);

// The messages of PlanDrop.
constexpr char kDropNeedsFolder[] =
    "Choose a folder first: select a group or one of its folders in the Group tab, then drop the files on the Files window.";
constexpr char kDropFoldersOnly[] = "Folders are not added: drop the files that are in them.";
constexpr char kDropNotHere[] =
    "This window holds no files. Drop them on the Files window (into the folder it shows) or on a group's window; "
    "drop a project (.qpk or .ipr) anywhere to open it.";

}  // namespace qp
