// The application profile: values under HKEY_CURRENT_USER\Software\<company>\<application>,
// one sub-key per section, and the recent-file list kept there.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace qp {

class CAppProfile {
public:
    CAppProfile(std::string company, std::string application);
    std::string KeyPath(const std::string& section) const;

    int GetInt(const std::string& section, const std::string& key, int fallback) const;
    bool WriteInt(const std::string& section, const std::string& key, int value) const;
    std::string GetString(const std::string& section, const std::string& key, const std::string& fallback = {}) const;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value) const;

private:
    std::string company_, application_;
};

// Most recent first, at most `capacity` entries, no path twice (compared without regard to case).
class CRecentFileList {
public:
    explicit CRecentFileList(std::size_t capacity = 4) : capacity_(capacity) {}
    void Add(const std::string& path);
    void Remove(std::size_t index);
    const std::vector<std::string>& Entries() const { return entries_; }
    // "&1 name" menu texts.
    std::string MenuText(std::size_t index) const;

    void Load(const CAppProfile& profile);
    void Save(const CAppProfile& profile) const;

    static constexpr char kSection[] = "Recent File List";

private:
    std::size_t capacity_;
    std::vector<std::string> entries_;
};

}  // namespace qp
