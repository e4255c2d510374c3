// Registry effects on the real Windows registry.
#pragma once
#include "setup/engine/registry.h"

namespace qp {

class WinRegistry : public RegistryEffects {
public:
    bool SetValue(std::uint32_t root, const std::string& key, const std::string& name, std::uint32_t type,
                  const std::vector<std::uint8_t>& data) override;
    void DeleteValue(std::uint32_t root, const std::string& key, const std::string& name) override;
    void DeleteKeyTree(std::uint32_t root, const std::string& key) override;
};

// Whether HKLM "...\Uninstall\<guid>" opens for reading: the product is installed. Its
// "MediaPath", when present, goes to `media_path`, "DisplayVersion" to `display_version` and
// "LogFile" to `log_file`.
bool UninstallKeyExists(const std::string& product_guid, std::string* media_path,
                        std::string* display_version = nullptr, std::string* log_file = nullptr);

}  // namespace qp
