// Registry-backed application profile and the recent-file list.
#include "framework/Profile.h"

#include "common/strutil.h"

namespace qp {

CAppProfile::CAppProfile(std::string company, std::string application)
    : company_(std::move(company)), application_(std::move(application)) {}

std::string CAppProfile::KeyPath(const std::string& section) const {
    return "Software\\" + company_ + "\\" + application_ + "\\" + section;
}

int CAppProfile::GetInt(const std::string& section, const std::string& key, int fallback) const {
    DWORD value = 0, size = sizeof(value), type = 0;
    if (::RegGetValueA(HKEY_CURRENT_USER, KeyPath(section).c_str(), key.c_str(), RRF_RT_REG_DWORD, &type, &value,
                       &size) != ERROR_SUCCESS)
        return fallback;
    return int(value);
}

bool CAppProfile::WriteInt(const std::string& section, const std::string& key, int value) const {
    HKEY k = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(section).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD v = DWORD(value);
    const bool ok = ::RegSetValueExA(k, key.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof(v)) ==
                    ERROR_SUCCESS;
    ::RegCloseKey(k);
    return ok;
}

std::string CAppProfile::GetString(const std::string& section, const std::string& key,
                                   const std::string& fallback) const {
    char buf[2048] = {};
    DWORD size = sizeof(buf) - 1, type = 0;
    if (::RegGetValueA(HKEY_CURRENT_USER, KeyPath(section).c_str(), key.c_str(), RRF_RT_REG_SZ, &type, buf, &size) !=
        ERROR_SUCCESS)
        return fallback;
    return buf;
}

bool CAppProfile::WriteString(const std::string& section, const std::string& key, const std::string& value) const {
    HKEY k = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(section).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const bool ok = ::RegSetValueExA(k, key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                     DWORD(value.size() + 1)) == ERROR_SUCCESS;
    ::RegCloseKey(k);
    return ok;
}

void CRecentFileList::Add(const std::string& path) {
    if (path.empty()) return;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (EqualNoCase(entries_[i], path)) {
            entries_.erase(entries_.begin() + long(i));
            break;
        }
    }
    entries_.insert(entries_.begin(), path);
    if (entries_.size() > capacity_) entries_.resize(capacity_);
}

void CRecentFileList::Remove(std::size_t index) {
    if (index < entries_.size()) entries_.erase(entries_.begin() + long(index));
}

std::string CRecentFileList::MenuText(std::size_t index) const {
    if (index >= entries_.size()) return std::string();
    std::string text = "&" + std::to_string(index + 1) + " ";
    for (char c : entries_[index]) {
        if (c == '&') text += '&';  // a literal ampersand in a menu
        text += c;
    }
    return text;
}

void CRecentFileList::Load(const CAppProfile& profile) {
    entries_.clear();
    for (std::size_t i = 0; i < capacity_; ++i) {
        const std::string path = profile.GetString(kSection, "File" + std::to_string(i + 1));
        if (!path.empty()) entries_.push_back(path);
    }
}

void CRecentFileList::Save(const CAppProfile& profile) const {
    for (std::size_t i = 0; i < capacity_; ++i)
        profile.WriteString(kSection, "File" + std::to_string(i + 1), i < entries_.size() ? entries_[i] : std::string());
}

}  // namespace qp
