// Shortcut effects on Windows. The component object library must be initialised on the thread
// (the install phase does it for the whole shortcut and registry step).
#include "setup/engine/win/shortcuts_win.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "common/pathutil.h"
#include "common/win/widen.h"

namespace qp {

namespace {

// Releases a COM interface when the scope ends.
template <typename T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() {
        if (p) p->Release();
    }
};

// The component object library for one call; the thread may have it initialised already.
struct ComScope {
    HRESULT hr = CoInitialize(nullptr);
    ~ComScope() {
        if (SUCCEEDED(hr)) CoUninitialize();
    }
};

}  // namespace

bool WinShortcuts::CreateFolderPath(const std::string& folder) {
    NullReporter quiet;
    return CreateDirectoryPath(folder, quiet);
}

// A shell link object and its file interface; false when COM cannot make them. The ids are
// taken with __uuidof rather than from libuuid, whose one object holds every id there is (some
// 40 KB).
static bool MakeShellLink(ComPtr<IShellLinkA>& sl, ComPtr<IPersistFile>& pf) {
    if (FAILED(CoCreateInstance(__uuidof(ShellLink), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkA),
                                reinterpret_cast<void**>(&sl.p))))
        return false;
    return SUCCEEDED(sl.p->QueryInterface(__uuidof(IPersistFile), reinterpret_cast<void**>(&pf.p)));
}

bool WinShortcuts::CreateLink(const LinkSpec& link) {
    ComScope com;
    ComPtr<IShellLinkA> sl;
    ComPtr<IPersistFile> pf;
    if (!MakeShellLink(sl, pf)) return false;
    sl.p->SetPath(link.target.c_str());
    sl.p->SetDescription(link.description.c_str());
    sl.p->SetArguments(link.arguments.c_str());
    sl.p->SetWorkingDirectory(link.working_folder.c_str());
    sl.p->SetShowCmd(link.show_command);
    sl.p->SetIconLocation(link.icon_path.c_str(), link.icon_index);
    return SUCCEEDED(pf.p->Save(reinterpret_cast<LPCOLESTR>(Widen(link.link_path).c_str()), TRUE));
}

bool WinShortcuts::WriteUrl(const std::string& path, const std::string& url, int icon_index,
                            const std::string& icon_file) {
    const char* file = path.c_str();
    bool ok = WritePrivateProfileStringA("InternetShortcut", "URL", url.c_str(), file) != 0;
    ok = WritePrivateProfileStringA("InternetShortcut", "IconIndex", std::to_string(icon_index).c_str(), file) && ok;
    ok = WritePrivateProfileStringA("InternetShortcut", "IconFile", icon_file.c_str(), file) && ok;
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);  // flush the profile cache
    return ok;
}

bool WinShortcuts::Delete(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool WinShortcuts::RemoveFolder(const std::string& folder) { return RemoveDirectoryA(folder.c_str()) != 0; }

bool ReadLink(const std::string& link_path, LinkSpec& out) {
    ComScope com;
    ComPtr<IShellLinkA> sl;
    ComPtr<IPersistFile> pf;
    if (!MakeShellLink(sl, pf)) return false;
    if (FAILED(pf.p->Load(reinterpret_cast<LPCOLESTR>(Widen(link_path).c_str()), STGM_READ))) return false;
    char buf[1024];
    int n = 0;
    out.link_path = link_path;
    buf[0] = 0;
    sl.p->GetPath(buf, sizeof buf, nullptr, SLGP_RAWPATH);
    out.target = buf;
    buf[0] = 0;
    sl.p->GetDescription(buf, sizeof buf);
    out.description = buf;
    buf[0] = 0;
    sl.p->GetArguments(buf, sizeof buf);
    out.arguments = buf;
    buf[0] = 0;
    sl.p->GetWorkingDirectory(buf, sizeof buf);
    out.working_folder = buf;
    sl.p->GetShowCmd(&n);
    out.show_command = n;
    buf[0] = 0;
    n = 0;
    sl.p->GetIconLocation(buf, sizeof buf, &n);
    out.icon_path = buf;
    out.icon_index = n;
    return true;
}

}  // namespace qp
