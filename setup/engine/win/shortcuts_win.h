// Shortcut effects: .lnk files through the shell link object, .url files as profile files.
#pragma once
#include "setup/engine/shortcuts.h"

namespace qp {

class WinShortcuts : public ShortcutEffects {
public:
    bool CreateFolderPath(const std::string& folder) override;
    bool CreateLink(const LinkSpec& link) override;
    bool WriteUrl(const std::string& path, const std::string& url, int icon_index,
                  const std::string& icon_file) override;
    bool Delete(const std::string& path) override;
    bool RemoveFolder(const std::string& folder) override;
};

// Reads a .lnk back through the shell link object (tests, and a check after writing).
bool ReadLink(const std::string& link_path, LinkSpec& out);

}  // namespace qp
