// Shortcuts of the project: the folder path and caption of each node, and the walk that
// creates or deletes the .lnk and .url files tied to file groups.
#pragma once
#include <string>

namespace qp {

// Everything a shell link is made of, with macros already expanded.
struct LinkSpec {
    std::string link_path;  // the .lnk file
    std::string target;
    std::string description;
    std::string arguments;
    std::string working_folder;
    int show_command = 1;  // SW_SHOWNORMAL, SW_SHOWMAXIMIZED (3) or SW_SHOWMINNOACTIVE (7)
    std::string icon_path;
    int icon_index = 0;
};

// The show command of a run mode: 0 normal, 1 maximised, 2 minimised without activation;
// other values count as 0.
int ShowCommandOf(int run_mode);

// The shell effects; win/shortcuts_win.cpp makes the real files through the shell link object.
class ShortcutEffects {
public:
    virtual ~ShortcutEffects() = default;
    virtual bool CreateFolderPath(const std::string& folder) = 0;
    virtual bool CreateLink(const LinkSpec& link) = 0;
    virtual bool WriteUrl(const std::string& path, const std::string& url, int icon_index,
                          const std::string& icon_file) = 0;
    virtual bool Delete(const std::string& path) = 0;
    virtual bool RemoveFolder(const std::string& folder) = 0;  // only an empty one
};

struct RunState;
class EngineEvents;

void ApplyShortcuts(RunState& run, ShortcutEffects& fx, EngineEvents& events);

}  // namespace qp
