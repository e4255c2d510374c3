// CMainFrame: creation of the frame, its bars and item windows, the layout, the gradient behind
// the item windows, files dropped from the shell, and the caption.
#include "builder/ui/frame/MainFrame.h"

#include <shellapi.h>

#include <algorithm>

#include "builder/ui/logic/commands.h"
#include "builder/ui/res/resource.h"
#include "common/settings.h"
#include "common/win/gradient.h"

namespace qp {

namespace {
constexpr int kToolbarId = 0xE800, kStatusId = 0xE801, kProgressId = 0xE802;
const char kFrameClass[] = "QpbMainFrame";
}  // namespace

CMainFrame::CMainFrame(HINSTANCE instance) : instance_(instance), bar_(*this) {}

CMainFrame::~CMainFrame() {
    for (auto& w : items_) w.reset();
    Destroy();
}

bool CMainFrame::CreateFrame() {
    if (!RegisterClass(instance_, kFrameClass, CS_HREDRAW | CS_VREDRAW, nullptr)) return false;
    // The class icon is set after registration so that a second frame class is not needed.
    menu_ = ::LoadMenuA(instance_, MAKEINTRESOURCEA(IDR_MAINMENU));
    accel_ = ::LoadAcceleratorsA(instance_, MAKEINTRESOURCEA(IDR_MAINFRAME));
    if (!Create(instance_, kFrameClass, "Quillpacker", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_ACCEPTFILES,
                CW_USEDEFAULT, CW_USEDEFAULT, std::min(Scaled(900), ::GetSystemMetrics(SM_CXSCREEN) * 9 / 10),
                std::min(Scaled(640), ::GetSystemMetrics(SM_CYSCREEN) * 9 / 10), nullptr, menu_))
        return false;
    HICON icon = ::LoadIconA(instance_, MAKEINTRESOURCEA(IDR_MAINFRAME));
    Send(WM_SETICON, ICON_BIG, LPARAM(icon));
    Send(WM_SETICON, ICON_SMALL, LPARAM(icon));
    return true;
}

bool CMainFrame::OnCreate() {
    texts_ = LanguageFile(BuilderLanguageFile(ProgramDir()));
    recent_.Load(profile_);
    // The Window menu is the sixth popup; the MDI client lists nothing there of its own, the
    // eight entries are ours.
    if (!CreateClient(nullptr)) return false;
    client_proc_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(client_, GWLP_WNDPROC,
                                                                  reinterpret_cast<LONG_PTR>(&CMainFrame::ClientProc)));
    ::SetPropA(client_, "QpbFrame", this);
    if (!bar_.CreateBar(instance_, profile_.GetInt("Settings", "CrtTab", 0), Scaled(230))) return false;
    if (!CreateStatusBar() || !CreateToolbar()) return false;
    for (int k = 0; k < kItemWindowCount; ++k) {
        items_[std::size_t(k)] = MakeItemWindow(*this, ItemWindowKind(k));
        if (!items_[std::size_t(k)]) return false;
    }
    bar_.Show(SW_HIDE);
    RecalcLayout();
    UpdateCaption();
    return true;
}

void CMainFrame::OnDestroy() {
    profile_.WriteInt("Settings", "CrtTab", bar_.CurrentTab() < 0 ? 0 : bar_.CurrentTab());
    recent_.Save(profile_);
    if (edits_) edits_->RemoveListener(this);
    ::RemovePropA(client_, "QpbFrame");
    ::PostQuitMessage(0);
}

bool CMainFrame::CreateToolbar() {
    toolbar_ = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                                 WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0, 0, 0, hwnd_,
                                 HMENU(INT_PTR(kToolbarId)), instance_, nullptr);
    if (!toolbar_) return false;
    ::SendMessageA(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(toolbar_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    HIMAGELIST images = CImageList::FromBitmap(instance_, IDB_TOOLBAR, 16, RGB(255, 0, 255), Scaled(96));
    ::SendMessageA(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(Scaled(16), Scaled(15)));
    ::SendMessageA(toolbar_, TB_SETIMAGELIST, 0, LPARAM(images));
    struct Slot {
        int image;
        unsigned id;
        BYTE style;
    };
    const Slot slots[12] = {{0, cmd::kNew, BTNS_BUTTON},     {1, cmd::kOpen, BTNS_DROPDOWN},
                            {2, cmd::kSave, BTNS_BUTTON},    {0, 0, BTNS_SEP},
                            {3, cmd::kCut, BTNS_BUTTON},     {4, cmd::kCopy, BTNS_BUTTON},
                            {5, cmd::kPaste, BTNS_BUTTON},   {0, 0, BTNS_SEP},
                            {6, cmd::kBuild, BTNS_BUTTON},   {0, 0, BTNS_SEP},
                            {7, cmd::kAbout, BTNS_BUTTON},   {8, cmd::kContextHelp, BTNS_BUTTON}};
    TBBUTTON buttons[12] = {};
    for (int i = 0; i < 12; ++i) {
        buttons[i].iBitmap = slots[i].style == BTNS_SEP ? 6 : slots[i].image;
        buttons[i].idCommand = int(slots[i].id);
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = slots[i].style;
    }
    ::SendMessageA(toolbar_, TB_ADDBUTTONSA, 12, LPARAM(buttons));
    ::SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
    return true;
}

bool CMainFrame::CreateStatusBar() {
    status_ = CStatusBar(::CreateWindowExA(0, STATUSCLASSNAMEA, "Ready", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                                           0, 0, hwnd_, HMENU(INT_PTR(kStatusId)), instance_, nullptr));
    if (!status_.Handle()) return false;
    progress_ = CProgressBar(::CreateWindowExA(0, PROGRESS_CLASSA, nullptr, WS_CHILD | PBS_SMOOTH, 300, 1, 150, 19,
                                               status_, HMENU(INT_PTR(kProgressId)), instance_, nullptr));
    return progress_.Handle() != nullptr;
}

RECT CMainFrame::LayoutBars(RECT area) {
    if (toolbar_ && ::IsWindowVisible(toolbar_)) {
        ::SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
        RECT r;
        ::GetWindowRect(toolbar_, &r);
        area.top += r.bottom - r.top;
    }
    if (status_.Handle() && ::IsWindowVisible(status_)) {
        status_.Send(WM_SIZE);
        const RECT r = status_.WindowRect();
        area.bottom -= r.bottom - r.top;
        // Message pane, then the CAP, NUM and SCRL indicators.
        const int pane = Scaled(36);
        status_.SetPanes({0, pane, pane, pane});
    }
    return bar_.Place(area);
}

void CMainFrame::ShowProgress(bool on) { progress_.Show(on ? SW_SHOW : SW_HIDE); }
void CMainFrame::SetProgressRange(int lo, int hi) { progress_.SetRange(lo, hi); }
void CMainFrame::SetProgressPos(int pos) { progress_.SetPos(pos); }
void CMainFrame::SetStatusText(const std::string& text) { status_.SetPaneText(0, text); }

void CMainFrame::PaintClient(HDC dc) {
    RECT r;
    ::GetClientRect(client_, &r);
    FillGradient(dc, r.left, r.top, r.right, r.bottom, colours_[0], colours_[1]);
}

LRESULT CALLBACK CMainFrame::ClientProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    CMainFrame* self = static_cast<CMainFrame*>(::GetPropA(hwnd, "QpbFrame"));
    WNDPROC old = self ? self->client_proc_ : nullptr;
    if (self && msg == WM_ERASEBKGND) {
        self->PaintClient(HDC(w));
        return TRUE;
    }
    if (self && msg == WM_SIZE) ::InvalidateRect(hwnd, nullptr, TRUE);
    return old ? ::CallWindowProcA(old, hwnd, msg, w, l) : ::DefMDIChildProcA(hwnd, msg, w, l);
}

void CMainFrame::UpdateCaption() {
    const bool open = doc_ != nullptr;
    SetText(FrameCaption(open, open ? ProjectTitle(doc_->PathName(), doc_->IsModified()) : std::string()));
}

void CMainFrame::OnDropFiles(HDROP drop) {
    // The item windows' handler: a project is opened; other files are not taken here.
    HandleFileDrop(drop, *this, DropTarget::kFrame, nullptr);
}

LRESULT CMainFrame::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
    case WM_DROPFILES:
        OnDropFiles(HDROP(w));
        return 0;
    case WM_CLOSE:
        if (building_ || !CloseProject()) return 0;
        break;
    case WM_MENUSELECT:
        if (!building_) SetStatusText(HIWORD(w) & MF_POPUP ? "" : (LOWORD(w) == cmd::kBuild ? "Build" : "Ready"));
        break;
    case WM_INITMENUPOPUP:
        if (!HIWORD(l)) UpdateRecentMenu(HMENU(w));
        break;
    }
    return CMDIFrameWnd::HandleMessage(msg, w, l);
}

bool CMainFrame::OnNotify(NMHDR* h, LRESULT& result) {
    if (h->hwndFrom == toolbar_ && h->code == TBN_DROPDOWN) {
        OnToolbarDropDown(reinterpret_cast<NMTOOLBARA*>(h));
        result = TBDDRET_DEFAULT;
        return true;
    }
    if (h->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(h);
        static const struct { unsigned id; const char* tip; } tips[] = {
            {cmd::kNew, "New"}, {cmd::kOpen, "Open"}, {cmd::kSave, "Save"}, {cmd::kCut, "Cut"},
            {cmd::kCopy, "Copy"}, {cmd::kPaste, "Paste"}, {cmd::kBuild, "Create setup kit"},
            {cmd::kAbout, "About"}, {cmd::kContextHelp, "Help"}};
        for (const auto& t : tips)
            if (h->idFrom == t.id) info->lpszText = const_cast<char*>(t.tip);
        return true;
    }
    return false;
}

void CMainFrame::OnIdle() {
    UpdateToolbar(toolbar_);
    // The key indicators of the status bar.
    static const struct { int key; const char* text; } keys[3] = {{VK_CAPITAL, "CAP"}, {VK_NUMLOCK, "NUM"}, {VK_SCROLL, "SCRL"}};
    for (int i = 0; i < 3; ++i) {
        const std::string want = (::GetKeyState(keys[i].key) & 1) ? keys[i].text : "";
        if (status_.PaneText(i + 1) != want) status_.SetPaneText(i + 1, want);
    }
}

void CMainFrame::ShowItem(ItemWindowKind kind, void* item) { Item(kind).ShowItem(item); }

void CMainFrame::TrackContextMenu(int menu_id, POINT screen) {
    HMENU loaded = ::LoadMenuA(instance_, MAKEINTRESOURCEA(menu_id));
    if (!loaded) {
        ::OutputDebugStringA("qpb: context menu resource missing\n");
        return;
    }
    HMENU popup = ::GetSubMenu(loaded, 0);
    UpdateMenu(popup, CommandRoute());
    for (int i = 0; i < ::GetMenuItemCount(popup); ++i)
        if (HMENU sub = ::GetSubMenu(popup, i)) UpdateMenu(sub, CommandRoute());
    if (!CMenu(popup).Track(hwnd_, screen, TPM_LEFTALIGN | TPM_RIGHTBUTTON))
        ::OutputDebugStringA("POPUP MENU CREATION FAILED\n");
    ::DestroyMenu(loaded);
}

void CMainFrame::OnItemChanged(ItemKind kind, const void* item) {
    bar_.ItemChanged(kind, item);
    for (auto& w : items_) w->Reload();
    UpdateCaption();
}

void CMainFrame::OnItemAdded(ItemKind kind, const void* item, const void* parent) {
    bar_.ItemAdded(kind, item, parent);
    for (auto& w : items_) w->Reload();
    UpdateCaption();
}

void CMainFrame::OnItemRemoving(ItemKind kind, const void* item) {
    for (auto& w : items_) w->Forget(item);
    bar_.ItemRemoving(kind, item);
}

}  // namespace qp
