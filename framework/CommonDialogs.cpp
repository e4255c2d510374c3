// Common dialogs through comdlg32 and the shell.
#include "framework/CommonDialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

namespace qp {

std::string SystemFilter(const std::string& filter) {
    std::string out = filter;
    for (char& c : out)
        if (c == '|') c = '\0';
    // Two NULs end the list even when the filter does not end in "||".
    out.push_back('\0');
    out.push_back('\0');
    return out;
}

std::vector<std::string> SplitMultiSelect(const char* buffer) {
    std::vector<std::string> out;
    const std::string first = buffer;
    const char* p = buffer + first.size() + 1;
    if (*p == '\0') {
        if (!first.empty()) out.push_back(first);
        return out;
    }
    std::string dir = first;
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    while (*p) {
        const std::string name = p;
        out.push_back(dir + name);
        p += name.size() + 1;
    }
    return out;
}

namespace {
OPENFILENAMEA Prepare(HWND owner, const FileDialogOptions& o, const std::string& filter, std::vector<char>& buf) {
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = o.filter.empty() ? nullptr : filter.c_str();
    ofn.lpstrFile = buf.data();
    ofn.nMaxFile = DWORD(buf.size());
    ofn.lpstrDefExt = o.default_ext.empty() ? nullptr : o.default_ext.c_str();
    ofn.lpstrTitle = o.title.empty() ? nullptr : o.title.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (o.hide_read_only) ofn.Flags |= OFN_HIDEREADONLY;
    const std::size_t n = std::min(o.initial_file.size(), buf.size() - 1);
    std::copy(o.initial_file.begin(), o.initial_file.begin() + long(n), buf.begin());
    return ofn;
}
}  // namespace

std::vector<std::string> OpenFileDialog(HWND owner, const FileDialogOptions& o) {
    const std::string filter = SystemFilter(o.filter);
    std::vector<char> buf(o.multi_select ? 65536 : MAX_PATH * 2, '\0');
    OPENFILENAMEA ofn = Prepare(owner, o, filter, buf);
    if (o.must_exist) ofn.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (o.multi_select) ofn.Flags |= OFN_ALLOWMULTISELECT;
    if (!::GetOpenFileNameA(&ofn)) return {};
    return SplitMultiSelect(buf.data());
}

std::string SaveFileDialog(HWND owner, const FileDialogOptions& o) {
    const std::string filter = SystemFilter(o.filter);
    std::vector<char> buf(MAX_PATH * 2, '\0');
    OPENFILENAMEA ofn = Prepare(owner, o, filter, buf);
    ofn.Flags |= OFN_PATHMUSTEXIST;
    if (o.overwrite_prompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
    if (!::GetSaveFileNameA(&ofn)) return std::string();
    return buf.data();
}

namespace {
int CALLBACK SelectStart(HWND w, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED && data) ::SendMessageA(w, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

std::string RunFolderBrowser(BROWSEINFOA& bi) {
    char display[MAX_PATH] = {};
    bi.pszDisplayName = display;
    PIDLIST_ABSOLUTE pidl = ::SHBrowseForFolderA(&bi);
    if (!pidl) return std::string();
    char path[MAX_PATH] = {};
    const bool ok = ::SHGetPathFromIDListA(pidl, path) != FALSE;
    ::CoTaskMemFree(pidl);
    return ok ? std::string(path) : std::string();
}
}  // namespace

std::string BrowseForFolder(HWND owner, const std::string& title) {
    BROWSEINFOA bi{};
    bi.hwndOwner = owner;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    return RunFolderBrowser(bi);
}

std::string BrowseForFolderAt(HWND owner, const std::string& title, const std::string& start) {
    BROWSEINFOA bi{};
    bi.hwndOwner = owner;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    bi.lpfn = &SelectStart;
    bi.lParam = LPARAM(start.c_str());
    return RunFolderBrowser(bi);
}

bool ChooseColour(HWND owner, COLORREF& colour) {
    static COLORREF custom[16] = {};
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = owner;
    cc.rgbResult = colour;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!::ChooseColorA(&cc)) return false;
    colour = cc.rgbResult;
    return true;
}

}  // namespace qp
