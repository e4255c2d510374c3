// The framework under a real application's load: objects attached to MDI children, property
// pages and template-made controls; default procedures that see what they must; one OnDestroy
// whichever way a window goes; writable notifications; routing and the recent-file list.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/DialogTemplate.h"
#include "framework/Frame.h"
#include "framework/Profile.h"
#include "framework/PropertySheet.h"

namespace {

HINSTANCE Self() { return ::GetModuleHandleA(nullptr); }

// Records what reaches the default procedure and how the window went.
class Probe : public qp::CMDIChildWnd {
public:
    ~Probe() override { Destroy(); }
    int created = 0, destroyed = 0, sizes_at_default = 0;
    bool handle_valid_at_destroy = false;

protected:
    bool OnCreate() override { return ++created > 0; }
    void OnDestroy() override {
        ++destroyed;
        handle_valid_at_destroy = ::IsWindow(hwnd_) != FALSE;
    }
    LRESULT Default(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_SIZE) ++sizes_at_default;
        return CMDIChildWnd::Default(msg, w, l);
    }
};

class Frame : public qp::CMDIFrameWnd {
public:
    ~Frame() override { Destroy(); }
    bool OnCreate() override { return CreateClient(nullptr); }
};

struct FrameFixture : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(qp::CWnd::RegisterClass(Self(), "QpTestFrame"));
        ASSERT_TRUE(qp::CWnd::RegisterClass(Self(), "QpTestChild"));
        ASSERT_TRUE(frame.Create(Self(), "QpTestFrame", "frame", WS_OVERLAPPEDWINDOW, 0, 0, 0, 400, 300, nullptr));
    }
    Frame frame;
};

}  // namespace

TEST_F(FrameFixture, MdiChildIsAttachedAndItsDefaultSeesSizes) {
    Probe child;
    ASSERT_TRUE(child.CreateChild(Self(), "QpTestChild", "child", frame, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100));
    EXPECT_EQ(child.created, 1);
    EXPECT_EQ(qp::CWnd::FromHandle(child.Handle()), &child);
    const int before = child.sizes_at_default;
    ::MoveWindow(child.Handle(), 0, 0, 150, 90, TRUE);
    EXPECT_GT(child.sizes_at_default, before);
    ::SendMessageA(frame.Client(), WM_MDIMAXIMIZE, WPARAM(child.Handle()), 0);
    BOOL maximised = FALSE;
    EXPECT_EQ(HWND(::SendMessageA(frame.Client(), WM_MDIGETACTIVE, 0, LPARAM(&maximised))), child.Handle());
    EXPECT_TRUE(maximised);
}

TEST_F(FrameFixture, OnDestroyRunsOnceWhicheverWayTheWindowGoes) {
    {  // the object goes
        Probe child;
        ASSERT_TRUE(child.CreateChild(Self(), "QpTestChild", "a", frame));
        child.Destroy();
        EXPECT_EQ(child.destroyed, 1);
        EXPECT_TRUE(child.handle_valid_at_destroy);
        EXPECT_EQ(child.Handle(), nullptr);
    }
    {  // the system destroys it
        Probe child;
        ASSERT_TRUE(child.CreateChild(Self(), "QpTestChild", "b", frame));
        ::SendMessageA(frame.Client(), WM_MDIDESTROY, WPARAM(child.Handle()), 0);
        EXPECT_EQ(child.destroyed, 1);
        EXPECT_TRUE(child.handle_valid_at_destroy);
        EXPECT_EQ(child.Handle(), nullptr);
    }
    {  // a modeless dialog ends itself
        struct Modeless : qp::CDialog {
            using CDialog::CDialog;
            int destroyed = 0;
            bool valid = false;
            void OnDestroy() override {
                ++destroyed;
                valid = ::IsWindow(hwnd_) != FALSE;
            }
        };
        qp::CDialogTemplate t("modeless", WS_POPUP | WS_CAPTION, 0, 0, 100, 50);
        Modeless d(Self(), t);
        ASSERT_TRUE(d.Create(nullptr));
        d.EndDialog(IDCANCEL);
        EXPECT_EQ(d.destroyed, 1);
        EXPECT_TRUE(d.valid);
        EXPECT_EQ(d.Handle(), nullptr);
    }
}

namespace {
int g_controls_alive = 0;
struct Swatch : qp::CWnd {
    Swatch() { ++g_controls_alive; }
    ~Swatch() override { --g_controls_alive; }
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_APP) return 77;
        return CWnd::HandleMessage(msg, w, l);
    }
};
}  // namespace

TEST(FrameworkAttach, TemplateControlGetsItsOwnObject) {
    ASSERT_TRUE(qp::CWnd::RegisterControlClass(Self(), "QpTestSwatch", [] { return new Swatch; }));
    qp::CDialogTemplate t("host", WS_POPUP | WS_CAPTION, 0, 0, 100, 60);
    t.AddControl("QpTestSwatch", 300, "", WS_VISIBLE, 5, 5, 20, 20);
    t.AddControl("QpTestSwatch", 301, "", WS_VISIBLE, 30, 5, 20, 20);
    qp::CDialog host(Self(), t);
    ASSERT_TRUE(host.Create(nullptr));
    EXPECT_EQ(g_controls_alive, 2);
    EXPECT_EQ(host.Item(300).Send(WM_APP), 77);
    EXPECT_NE(qp::CWnd::FromHandle(host.Item(300)), qp::CWnd::FromHandle(host.Item(301)));
    host.Destroy();
    EXPECT_EQ(g_controls_alive, 0);
}

TEST(FrameworkAttach, PropertyPageFindsItsObjectInThePage) {
    struct Page : qp::CPropertyPage {
        using CPropertyPage::CPropertyPage;
        HWND seen = nullptr;
        int applied = 0;
        bool OnInit() override {
            seen = hwnd_;
            ::PostMessageA(::GetParent(hwnd_), PSM_PRESSBUTTON, PSBTN_OK, 0);
            return true;
        }
        void OnApply() override { ++applied; }
    };
    qp::CDialogTemplate t("Page", WS_CHILD | WS_CAPTION | DS_CONTROL, 0, 0, 150, 80);
    t.AddControl("STATIC", -1, "text", WS_VISIBLE, 5, 5, 60, 10);
    Page page(Self(), t);
    qp::CPropertySheet sheet("Sheet");
    sheet.AddPage(page);
    EXPECT_EQ(sheet.DoModal(nullptr, Self()), IDOK);
    EXPECT_NE(page.seen, nullptr);
    EXPECT_EQ(page.applied, 1);
}

namespace {
// A tree whose texts come from the parent's display-information answer.
struct TreeHost : qp::CWnd {
    qp::CTreeCtrl tree;
    bool OnCreate() override {
        tree = qp::CTreeCtrl(::CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, hwnd_,
                                               HMENU(5), Self(), nullptr));
        return tree.Handle() != nullptr;
    }
    bool OnNotify(NMHDR* h, LRESULT&) override {
        if (h->code != TVN_GETDISPINFOA) return false;
        auto* info = reinterpret_cast<NMTVDISPINFOA*>(h);
        if (info->item.mask & TVIF_TEXT) lstrcpynA(info->item.pszText, "filled", info->item.cchTextMax);
        return true;
    }
};
}  // namespace

TEST(FrameworkNotify, HandlerFillsDisplayInformation) {
    ASSERT_TRUE(qp::CWnd::RegisterClass(Self(), "QpTestTreeHost"));
    TreeHost host;
    ASSERT_TRUE(host.Create(Self(), "QpTestTreeHost", "", WS_OVERLAPPEDWINDOW, 0, 0, 0, 200, 200, nullptr));
    TVINSERTSTRUCTA ins{};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = LPSTR_TEXTCALLBACKA;
    HTREEITEM item = HTREEITEM(host.tree.Send(TVM_INSERTITEMA, 0, LPARAM(&ins)));
    EXPECT_EQ(host.tree.ItemText(item), "filled");
}

namespace {
struct Target : qp::CCmdTarget {
    UINT knows;
    bool enabled;
    int ran = 0;
    Target(UINT k, bool e) : knows(k), enabled(e) {}
    bool OnCmdMsg(UINT id) override { return id == knows && ++ran > 0; }
    bool OnUpdateCmdUI(qp::CCmdUI& ui) override {
        if (ui.id != knows) return false;
        ui.Enable(enabled);
        return true;
    }
};
}  // namespace

TEST(FrameworkRouting, FirstTargetThatKnowsDecides) {
    Target tree(10, false), child(10, true), frame(20, true);
    const std::vector<qp::CCmdTarget*> route{&tree, &child, &frame};
    EXPECT_FALSE(qp::UpdateCommand(route, 10).enabled);  // the focused tree disables it
    EXPECT_TRUE(qp::UpdateCommand({&child, &frame}, 10).enabled);
    EXPECT_FALSE(qp::UpdateCommand(route, 99).enabled);  // nobody knows: disabled
    EXPECT_TRUE(qp::RouteCommand(route, 20));
    EXPECT_EQ(frame.ran, 1);
}

TEST(FrameworkProfile, RecentListKeepsFourDistinctPathsNewestFirst) {
    qp::CAppProfile profile("Veltor", "QuillpackerTest");
    qp::CRecentFileList list;
    for (const char* p : {"C:\\a.qpk", "C:\\b.qpk", "C:\\c.qpk", "C:\\d.qpk", "C:\\e.qpk", "c:\\C.QPK"}) list.Add(p);
    ASSERT_EQ(list.Entries().size(), 4u);
    EXPECT_EQ(list.Entries()[0], "c:\\C.QPK");
    EXPECT_EQ(list.Entries()[1], "C:\\e.qpk");
    EXPECT_EQ(list.Entries()[3], "C:\\b.qpk");
    list.Add("C:\\R&D.qpk");
    EXPECT_EQ(list.MenuText(0), "&1 C:\\R&&D.qpk");
    list.Save(profile);
    qp::CRecentFileList again;
    again.Load(profile);
    EXPECT_EQ(again.Entries(), list.Entries());
    EXPECT_EQ(profile.GetInt("Settings", "Missing", 5), 5);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Veltor\\QuillpackerTest");
}
