// Cross-process control reading for the builder's GUI test.
#include "remote.h"

#include "support/gui_driver.h"

#include <gtest/gtest.h>

#include <cstring>

#include <shlobj.h>

namespace qpgui {

namespace {

struct Named {
    std::string name;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectNamed(HWND w, LPARAM lp) {
    auto* c = reinterpret_cast<Named*>(lp);
    if (IsWindowVisible(w) && qpe2e::Text(w).find(c->name) != std::string::npos) c->found.push_back(w);
    return TRUE;
}

}  // namespace

bool CloseExplorerOn(const std::string& folder_name, DWORD ms) {
    Named ctx{folder_name, {}};
    qpe2e::WaitFor([&] {
        EnumWindows(CollectNamed, LPARAM(&ctx));
        return !ctx.found.empty();
    }, ms);
    for (HWND w : ctx.found) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (HANDLE p = OpenProcess(PROCESS_TERMINATE, FALSE, pid)) {
            TerminateProcess(p, 0);
            CloseHandle(p);
        }
    }
    return !ctx.found.empty();
}


namespace {
constexpr std::size_t kSize = 8192, kText = 4096;
}

Remote::Remote(HWND wnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_)
        memory_ = static_cast<char*>(::VirtualAllocEx(process_, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

Remote::~Remote() {
    if (memory_) ::VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    if (process_) ::CloseHandle(process_);
}

void* Remote::Put(const void* data, std::size_t size, std::size_t offset) {
    ::WriteProcessMemory(process_, memory_ + offset, data, size, nullptr);
    return memory_ + offset;
}

void Remote::Get(void* data, std::size_t size, std::size_t offset) {
    ::ReadProcessMemory(process_, memory_ + offset, data, size, nullptr);
}

std::string Remote::TreeText(HWND tree, HTREEITEM item) {
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = memory_ + kText;
    tv.cchTextMax = int(kText - 1);
    char zero = 0;
    Put(&zero, 1, kText);
    void* remote = Put(&tv, sizeof(tv));
    ::SendMessageA(tree, TVM_GETITEMA, 0, LPARAM(remote));
    char buf[kText] = {};
    Get(buf, kText - 1, kText);
    return buf;
}

int Remote::TreeImage(HWND tree, HTREEITEM item) {
    TVITEMA tv{};
    tv.mask = TVIF_IMAGE;
    tv.hItem = item;
    void* remote = Put(&tv, sizeof(tv));
    ::SendMessageA(tree, TVM_GETITEMA, 0, LPARAM(remote));
    Get(&tv, sizeof(tv));
    return tv.iImage;
}

int Remote::ListImage(HWND list, int row) {
    LVITEMA it{};
    it.mask = LVIF_IMAGE;
    it.iItem = row;
    it.iImage = -1;
    void* remote = Put(&it, sizeof(it));
    ::SendMessageA(list, LVM_GETITEMA, 0, LPARAM(remote));
    Get(&it, sizeof(it));
    return it.iImage;
}

RECT Remote::TreeItemRect(HWND tree, HTREEITEM item) {
    // The message takes the item's handle in the first bytes of the rectangle it fills.
    RECT r{};
    std::memcpy(&r, &item, sizeof(item));
    void* remote = Put(&r, sizeof(r));
    ::SendMessageA(tree, TVM_GETITEMRECT, TRUE, LPARAM(remote));
    Get(&r, sizeof(r));
    return r;
}

std::string Remote::ListText(HWND list, int row, int column) {
    LVITEMA it{};
    it.iSubItem = column;
    it.pszText = memory_ + kText;
    it.cchTextMax = int(kText - 1);
    char zero = 0;
    Put(&zero, 1, kText);
    void* remote = Put(&it, sizeof(it));
    ::SendMessageA(list, LVM_GETITEMTEXTA, WPARAM(row), LPARAM(remote));
    char buf[kText] = {};
    Get(buf, kText - 1, kText);
    return buf;
}

RECT Remote::TabRect(HWND tab, int index) {
    RECT r{};
    void* remote = Put(&r, sizeof(r));
    ::SendMessageA(tab, TCM_GETITEMRECT, WPARAM(index), LPARAM(remote));
    Get(&r, sizeof(r));
    return r;
}

HTREEITEM Root(HWND tree) { return HTREEITEM(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); }
HTREEITEM Child(HWND tree, HTREEITEM item) { return HTREEITEM(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, LPARAM(item))); }
HTREEITEM Next(HWND tree, HTREEITEM item) { return HTREEITEM(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(item))); }

namespace {
void Walk(Remote& r, HWND tree, HTREEITEM first, int depth, std::vector<std::string>& out) {
    for (HTREEITEM i = first; i; i = Next(tree, i)) {
        out.push_back(std::string(std::size_t(depth) * 2, ' ') + r.TreeText(tree, i));
        Walk(r, tree, Child(tree, i), depth + 1, out);
    }
}
HTREEITEM Search(Remote& r, HWND tree, HTREEITEM first, const std::string& text) {
    for (HTREEITEM i = first; i; i = Next(tree, i)) {
        if (r.TreeText(tree, i) == text) return i;
        if (HTREEITEM found = Search(r, tree, Child(tree, i), text)) return found;
    }
    return nullptr;
}
}  // namespace

std::vector<std::string> TreeLines(Remote& r, HWND tree) {
    std::vector<std::string> out;
    Walk(r, tree, Root(tree), 0, out);
    return out;
}

HTREEITEM FindNode(Remote& r, HWND tree, const std::string& text, HTREEITEM from) {
    return Search(r, tree, from ? Child(tree, from) : Root(tree), text);
}

RECT Remote::ListItemRect(HWND list, int row) {
    RECT r{};
    r.left = LVIR_BOUNDS;
    void* remote = Put(&r, sizeof(r));
    ::SendMessageA(list, LVM_GETITEMRECT, WPARAM(row), LPARAM(remote));
    Get(&r, sizeof(r));
    return r;
}

std::string Remote::TextReply(HWND wnd, UINT msg, WPARAM w) {
    char zero = 0;
    Put(&zero, 1, kText);
    ::SendMessageA(wnd, msg, w, LPARAM(memory_ + kText));
    char buf[kText] = {};
    Get(buf, kText - 1, kText);
    return buf;
}

bool Click(HWND wnd, POINT client, bool right) {
    const std::string why = qpe2e::WhyNotPressable(wnd);
    if (!why.empty()) {
        ADD_FAILURE() << "Click: window \"" << qpe2e::Text(wnd) << "\" cannot be clicked: " << why;
        return false;
    }
    POINT screen = client;
    ::ClientToScreen(wnd, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::Sleep(50);
    const LPARAM at = MAKELPARAM(client.x, client.y);
    ::PostMessageA(wnd, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, at);
    ::PostMessageA(wnd, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
    ::Sleep(200);
    return true;
}

bool DoubleClick(HWND wnd, POINT client) {
    if (!Click(wnd, client)) return false;
    const LPARAM at = MAKELPARAM(client.x, client.y);
    ::PostMessageA(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::PostMessageA(wnd, WM_LBUTTONUP, 0, at);
    return qpe2e::Sync(wnd);
}

POINT Middle(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

HWND FocusOf(HWND any) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(any, nullptr), &info) ? info.hwndFocus : nullptr;
}

namespace {

bool FocusReady(HWND focus, DWORD ms) {
    HWND top = ::GetAncestor(focus, GA_ROOT);
    const bool ok = qpe2e::WaitFor([&] {
        if (::GetForegroundWindow() != top) ::SetForegroundWindow(top);
        return ::GetForegroundWindow() == top && FocusOf(focus) == focus;
    }, ms);
    if (!ok) {
        char cls[64] = {};
        ::GetClassNameA(FocusOf(focus), cls, sizeof(cls));
        ADD_FAILURE() << "keys: the window \"" << qpe2e::Text(focus) << "\" does not have the focus (it is in a \"" << cls
                      << "\"); foreground \"" << qpe2e::Text(::GetForegroundWindow()) << "\"";
    }
    return ok;
}

INPUT Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = WORD(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

void Send(std::vector<INPUT> in) {
    ::SendInput(UINT(in.size()), in.data(), sizeof(INPUT));
    ::Sleep(150);
}

}  // namespace

bool PressKeys(HWND focus, std::initializer_list<WORD> keys, DWORD ms) {
    if (!FocusReady(focus, ms)) return false;
    // Taken now: the keys may close the window that has the focus (Enter in a label edit).
    HWND top = ::GetAncestor(focus, GA_ROOT);
    std::vector<INPUT> in;
    for (WORD k : keys) in.push_back(Key(k, false));
    for (auto k = keys.end(); k != keys.begin();) in.push_back(Key(*--k, true));
    Send(in);
    return qpe2e::Sync(top);
}

bool TypeKeys(HWND focus, const std::string& text, DWORD ms) {
    if (!FocusReady(focus, ms)) return false;
    HWND top = ::GetAncestor(focus, GA_ROOT);
    for (char c : text) {
        const SHORT scan = ::VkKeyScanA(c);
        std::vector<INPUT> in;
        const bool shift = (scan >> 8) & 1;
        if (shift) in.push_back(Key(VK_SHIFT, false));
        in.push_back(Key(WORD(scan & 0xFF), false));
        in.push_back(Key(WORD(scan & 0xFF), true));
        if (shift) in.push_back(Key(VK_SHIFT, true));
        Send(in);
    }
    return qpe2e::Sync(top);
}

bool ContextMenu(HWND wnd, POINT at, std::initializer_list<WORD> keys, const std::string& shot, DWORD ms) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (!Click(wnd, at, true)) return false;
    HWND menu = qpe2e::WaitTop(pid, "#32768", "", ms);
    if (!menu) {
        ADD_FAILURE() << "a right click on \"" << qpe2e::Text(wnd) << "\" opened no context menu";
        return false;
    }
    // The menu's keys go to the thread's queue; the window with the focus is still the one
    // that was clicked (or its owner's choice), and it stays in the foreground.
    HWND focus = FocusOf(wnd);
    if (!focus) focus = wnd;
    bool ok = true;
    for (WORD k : keys) ok = ok && PressKeys(focus, {k}, ms);
#ifdef QP_SHOTS_DIR
    if (ok && !shot.empty()) qpe2e::Screenshot(shot);
#else
    (void)shot;
#endif
    ok = ok && PressKeys(focus, {VK_RETURN}, ms);
    if (ok && !qpe2e::WaitFor([&] { return !::IsWindowVisible(menu); }, ms)) {
        ADD_FAILURE() << "the context menu of \"" << qpe2e::Text(wnd) << "\" stayed open after Enter";
        ok = false;
    }
    if (!ok && ::IsWindowVisible(menu)) {
        ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        qpe2e::WaitFor([&] { return !::IsWindowVisible(menu); }, 2000);
    }
    return ok;
}

HWND FileNameBox(HWND dlg, DWORD ms) {
    HWND name = nullptr;
    qpe2e::WaitFor([&] {
        name = ::GetDlgItem(dlg, 0x47c);
        if (name) {
            if (HWND edit = ::FindWindowExA(name, nullptr, "Edit", nullptr)) name = edit;
        } else {
            name = ::GetDlgItem(dlg, 0x480);
        }
        return name && ::IsWindowVisible(name);
    }, ms);
    return name && ::IsWindowVisible(name) ? name : nullptr;
}

Qpb::Qpb(const std::string& exe, const std::string& project, const std::string& caption, bool splash_gone)
    : process("\"" + exe + "\" \"" + project + "\""), exe_(exe) {
    frame = qpe2e::WaitTop(process.Id(), "QpbMainFrame", caption, 30000);
    if (!frame) return;
    ::MoveWindow(frame, 0, 0, 1000, 700, TRUE);
    if (splash_gone) qpe2e::WaitFor([&] { return qpe2e::FindTop(process.Id(), "#32770", "") == nullptr; }, 15000);
    client = ::FindWindowExA(frame, nullptr, "MDIClient", nullptr);
    bar = ::FindWindowExA(frame, nullptr, "QpDockBar", nullptr);
    tab = ::GetDlgItem(bar, 100);
    for (int i = 0; i < 6; ++i) trees[i] = ::GetDlgItem(bar, 101 + i);
}

Qpb::~Qpb() {
    if (frame && ::IsWindow(frame)) ::PostMessageA(frame, WM_CLOSE, 0, 0);
    // A save question at the end is answered No: the test has read what it needs.
    for (int i = 0; i < 3; ++i) {
        if (process.Wait(2000) != STILL_ACTIVE) return;
        if (HWND box = qpe2e::FindTop(process.Id(), "#32770", "Quillpacker")) qpe2e::Press(box, IDNO, 1000);
    }
}

bool Qpb::Found() const {
    if (!frame) ADD_FAILURE() << "qpb showed no frame";
    else if (!client || !bar || !tab) ADD_FAILURE() << "qpb's frame has no " << (!client ? "MDI client" : "workspace bar");
    return frame && client && bar && tab;
}

bool Qpb::Menu(UINT command) const { return qpe2e::MenuCommand(frame, exe_, kQpbMenuBar, command); }

HWND Qpb::SelectTab(Remote& r, int index) const {
    HWND tree = trees[index];
    for (int attempt = 0; attempt < 3 && !::IsWindowVisible(tree); ++attempt) {
        Click(tab, Middle(r.TabRect(tab, index)));
        qpe2e::WaitFor([&] { return ::IsWindowVisible(tree) != FALSE; }, 2000);
    }
    EXPECT_TRUE(::IsWindowVisible(tree)) << "tab " << index << " does not show its tree";
    return tree;
}

bool Qpb::OpenBuildWizard(HWND& wizard, HWND& page) const {
    constexpr UINT kBuild = 32800;
    constexpr int kKitName = 1210;
    wizard = page = nullptr;
    if (!Menu(kBuild)) return false;
    wizard = qpe2e::WaitTop(process.Id(), "#32770", "Build Media", 20000);
    if (!wizard) {
        ADD_FAILURE() << "Build opened no \"Build Media\" wizard";
        return false;
    }
    HWND shown = nullptr;
    if (!qpe2e::WaitFor([&] {
            shown = HWND(::SendMessageA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0));
            return shown && ::IsWindowVisible(::GetDlgItem(shown, kKitName));
        }, 10000)) {
        ADD_FAILURE() << "the build wizard shows no kit name box";
        return false;
    }
    page = shown;
    return true;
}

std::string ClipboardText() {
    std::string out;
    for (int attempt = 0; attempt < 20 && !::OpenClipboard(nullptr); ++attempt) ::Sleep(50);
    if (HANDLE h = ::GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(::GlobalLock(h))) {
            out = p;
            ::GlobalUnlock(h);
        }
    }
    ::CloseClipboard();
    return out;
}

void SetClipboardText(const std::string& text) {
    for (int attempt = 0; attempt < 20 && !::OpenClipboard(nullptr); ++attempt) ::Sleep(50);
    ::EmptyClipboard();
    HGLOBAL g = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(::GlobalLock(g), text.c_str(), text.size() + 1);
    ::GlobalUnlock(g);
    if (!::SetClipboardData(CF_TEXT, g)) ::GlobalFree(g);
    ::CloseClipboard();
}

bool DropFiles(HWND wnd, const std::vector<std::string>& paths, POINT at) {
    // DROPFILES, then the paths one after the other, each ended by a zero, and a last zero.
    std::vector<char> data(sizeof(DROPFILES));
    for (const std::string& p : paths) data.insert(data.end(), p.c_str(), p.c_str() + p.size() + 1);
    data.push_back('\0');
    DROPFILES head{};
    head.pFiles = sizeof(DROPFILES);
    head.pt = at;
    head.fNC = FALSE;
    head.fWide = FALSE;
    std::memcpy(data.data(), &head, sizeof(head));
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return false;
    // Fixed memory of the window's process: a fixed global handle is the memory's address. It
    // stays there: the receiver's DragFinish does not own it.
    void* remote = ::VirtualAllocEx(process, nullptr, data.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    const bool ok = remote && ::WriteProcessMemory(process, remote, data.data(), data.size(), nullptr);
    ::CloseHandle(process);
    return ok && ::PostMessageA(wnd, WM_DROPFILES, WPARAM(remote), 0);
}

}  // namespace qpgui
