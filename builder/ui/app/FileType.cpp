#include "builder/ui/app/FileType.h"

#include <windows.h>

#include <cstring>

namespace qp {
namespace {

// Sets the default value of HKCU\Software\Classes\<key> to `text` unless it already holds it.
bool SetDefault(const std::string& key, const std::string& text) {
    const std::string path = "Software\\Classes\\" + key;
    HKEY h = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &h,
                        nullptr) != ERROR_SUCCESS)
        return false;
    char current[1024];
    DWORD size = sizeof(current) - 1, type = 0;
    bool ok = RegQueryValueExA(h, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(current), &size) == ERROR_SUCCESS &&
              type == REG_SZ && std::string(current, strnlen(current, size)) == text;
    if (!ok)
        ok = RegSetValueExA(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(h);
    return ok;
}

}  // namespace

bool RegisterProjectFileType(const std::string& builder_exe) {
    const std::string id = kProjectProgId;
    return SetDefault(".qpk", id) && SetDefault(id, "Quillpacker Project") &&
           SetDefault(id + "\\DefaultIcon", builder_exe + ",0") &&
           SetDefault(id + "\\shell\\open\\command", "\"" + builder_exe + "\" \"%1\"");
}

}  // namespace qp
