// Registry effects: values of the project, the uninstall key.
#include "setup/engine/win/registry_win.h"

#include <windows.h>

#include "setup/engine/uninstallreg.h"

namespace qp {

namespace {

HKEY RootKey(std::uint32_t root) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(root)); }

void DeleteTree(HKEY parent, const std::string& key) {
    HKEY h;
    if (RegOpenKeyExA(parent, key.c_str(), 0, KEY_READ | KEY_WRITE, &h) == ERROR_SUCCESS) {
        // Subkeys first, depth first: a key with subkeys cannot be deleted on the NT family.
        char name[256];
        for (;;) {
            DWORD len = sizeof name;
            if (RegEnumKeyExA(h, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            const std::string sub = name;
            DeleteTree(h, sub);
            // A subkey that will not go would be enumerated again forever.
            HKEY probe;
            if (RegOpenKeyExA(h, sub.c_str(), 0, KEY_READ, &probe) == ERROR_SUCCESS) {
                RegCloseKey(probe);
                break;
            }
        }
        RegCloseKey(h);
    }
    RegDeleteKeyA(parent, key.c_str());
}

}  // namespace

bool WinRegistry::SetValue(std::uint32_t root, const std::string& key, const std::string& name, std::uint32_t type,
                           const std::vector<std::uint8_t>& data) {
    HKEY h;
    DWORD disposition;
    if (RegCreateKeyExA(RootKey(root), key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, nullptr, &h, &disposition) != ERROR_SUCCESS)
        return false;
    if (type != 0)
        RegSetValueExA(h, name.c_str(), 0, type, data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(h);
    return true;
}

void WinRegistry::DeleteValue(std::uint32_t root, const std::string& key, const std::string& name) {
    HKEY h;
    if (RegOpenKeyExA(RootKey(root), key.c_str(), 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS) return;
    RegDeleteValueA(h, name.c_str());
    RegCloseKey(h);
}

void WinRegistry::DeleteKeyTree(std::uint32_t root, const std::string& key) {
    if (key.empty()) return;  // never the root itself
    DeleteTree(RootKey(root), key);
}

namespace {

void ReadText(HKEY h, const char* name, std::string* out) {
    if (!out) return;
    char buf[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH, type = 0;
    if (RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) == ERROR_SUCCESS &&
        type == REG_SZ)
        *out = std::string(buf, strnlen(buf, MAX_PATH));
}

}  // namespace

bool UninstallKeyExists(const std::string& product_guid, std::string* media_path, std::string* display_version,
                        std::string* log_file) {
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKeyPath(product_guid).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    ReadText(h, "MediaPath", media_path);
    ReadText(h, "DisplayVersion", display_version);
    ReadText(h, "LogFile", log_file);
    RegCloseKey(h);
    return true;
}

}  // namespace qp
