// The framework's dispatch under Wine: dialogs from in-memory templates, data exchange with
// clamping, results through DWLP_MSGRESULT, exceptions stopped in the procedures, and windows
// that own their handle.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>

#include "framework/Controls.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/DialogTemplate.h"
#include "framework/Window.h"

namespace {

constexpr int kEdit = 100;
constexpr int kThrow = 101;
constexpr UINT kAnswer = WM_APP + 1;
constexpr UINT kScript = WM_APP + 2;

HINSTANCE Self() { return ::GetModuleHandleA(nullptr); }

qp::CDialogTemplate SmallTemplate(DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME) {
    qp::CDialogTemplate t("Framework test", style, 10, 10, 160, 80);
    t.AddControl("EDIT", kEdit, "", WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 60, 12);
    t.AddControl("BUTTON", IDOK, "OK", WS_VISIBLE | BS_DEFPUSHBUTTON, 10, 40, 50, 14);
    t.AddControl("BUTTON", IDCANCEL, "Cancel", WS_VISIBLE | BS_PUSHBUTTON, 70, 40, 50, 14);
    t.AddControl("BUTTON", kThrow, "Throw", WS_VISIBLE | BS_PUSHBUTTON, 10, 60, 50, 14);
    return t;
}

// A modal dialog that plays a script of typed texts against its OK handling.
class ScriptedDialog : public qp::CDialog {
public:
    ScriptedDialog(const qp::CDialogTemplate& t, std::string typed) : CDialog(Self(), t), typed_(std::move(typed)) {}
    int value = 7;
    bool init_seen = false;
    int throws = 0;

protected:
    bool OnInit() override {
        init_seen = true;
        CDialog::OnInit();
        Post(kScript);
        return true;
    }
    void DoDataExchange(qp::CDataExchange& dx) override { qp::DDX_Int(dx, kEdit, value, 0, 255); }
    bool OnCommand(int id, int, HWND) override {
        if (id == kThrow) {
            ++throws;
            throw std::runtime_error("handler failure");
        }
        return false;
    }
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == kAnswer) return 42;
        if (msg == kScript) {
            // A throwing handler must leave the dialog running.
            Item(kThrow).Send(BM_CLICK);
            EXPECT_TRUE(IsWindow());
            EXPECT_EQ(Send(kAnswer), 42);
            EXPECT_EQ(Send(WM_APP + 3), 0);  // unhandled: the dialog manager's default
            Item(kEdit).SetText(typed_);
            Item(IDOK).Send(BM_CLICK);
            return 0;
        }
        return CDialog::HandleMessage(msg, w, l);
    }

private:
    std::string typed_;
};

int RunScript(const std::string& typed, int start = 7) {
    const qp::CDialogTemplate t = SmallTemplate();
    ScriptedDialog dlg(t, typed);
    dlg.value = start;
    EXPECT_EQ(dlg.DoModal(nullptr), IDOK);
    EXPECT_TRUE(dlg.init_seen);
    EXPECT_EQ(dlg.throws, 1);
    EXPECT_EQ(dlg.Handle(), nullptr);  // the ended dialog forgets its handle
    return dlg.value;
}

}  // namespace

TEST(FrameworkDialog, DataExchangeClampsTypedIntegers) {
    EXPECT_EQ(RunScript("300"), 255);
    EXPECT_EQ(RunScript("-5"), 0);
    EXPECT_EQ(RunScript(" 128 "), 128);
    EXPECT_EQ(RunScript("99999999999"), 255);
    // No number in the field: the member keeps its value.
    EXPECT_EQ(RunScript("", 9), 9);
    EXPECT_EQ(RunScript("12abc", 9), 9);
}

TEST(FrameworkDialog, TemplateLaysOutItsControls) {
    const qp::CDialogTemplate t = SmallTemplate();
    EXPECT_EQ(t.Count(), 4);
    EXPECT_EQ(t.Get()->cdit, 4);
    EXPECT_TRUE(t.Get()->style & DS_SETFONT);
    EXPECT_EQ(t.Get()->cx, 160);
}

// A child panel made from a template, like the picker panels; it goes with its object.
TEST(FrameworkDialog, ModelessChildGoesWithItsObject) {
    qp::CDialogTemplate parent_t("Parent", WS_POPUP | WS_CAPTION, 0, 0, 200, 120);
    qp::CDialogTemplate child_t("", WS_CHILD | DS_CONTROL, 0, 0, 100, 50, "Tahoma");
    child_t.AddControl("EDIT", kEdit, "5", WS_VISIBLE | WS_BORDER, 2, 2, 40, 12);

    struct Panel : qp::CDialog {
        using CDialog::CDialog;
        int value = 0;
        void DoDataExchange(qp::CDataExchange& dx) override { qp::DDX_Int(dx, kEdit, value, 0, 10); }
    };
    qp::CDialog parent(Self(), parent_t);
    ASSERT_TRUE(parent.Create(nullptr));
    HWND child_hwnd = nullptr;
    {
        Panel panel(Self(), child_t);
        ASSERT_TRUE(panel.Create(parent));
        child_hwnd = panel.Handle();
        EXPECT_EQ(::GetParent(child_hwnd), parent.Handle());
        EXPECT_EQ(panel.Item(kEdit).Text(), "0");  // OnInit loads the members into the fields
        panel.Item(kEdit).SetText("50");
        panel.UpdateData(true);
        EXPECT_EQ(panel.value, 10);
        int v = 0;
        EXPECT_TRUE(panel.ItemInt(kEdit, v));
        EXPECT_EQ(v, 50);
    }
    EXPECT_FALSE(::IsWindow(child_hwnd));
    HWND parent_hwnd = parent.Handle();
    parent.Destroy();
    EXPECT_FALSE(::IsWindow(parent_hwnd));
}

namespace {

class Counter : public qp::CWnd {
public:
    bool refuse = false;
    int created = 0, destroyed = 0, commands = 0;

protected:
    bool OnCreate() override {
        ++created;
        return !refuse;
    }
    void OnDestroy() override { ++destroyed; }
    bool OnCommand(int id, int, HWND) override {
        ++commands;
        if (id == 13) throw std::logic_error("handler failure");
        return true;
    }
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == kAnswer) return LRESULT(w) * 2;
        return CWnd::HandleMessage(msg, w, l);
    }
};

}  // namespace

TEST(FrameworkWindow, DispatchesAndOwnsItsWindow) {
    ASSERT_TRUE(qp::CWnd::RegisterClass(Self(), "QpTestCounter"));
    ASSERT_TRUE(qp::CWnd::RegisterClass(Self(), "QpTestCounter"));  // a second registration is fine
    HWND h = nullptr;
    {
        Counter c;
        ASSERT_TRUE(c.Create(Self(), "QpTestCounter", "counter", WS_OVERLAPPEDWINDOW, 0, 0, 0, 100, 100, nullptr));
        h = c.Handle();
        EXPECT_EQ(c.created, 1);
        EXPECT_EQ(c.Send(kAnswer, 21), 42);
        c.Send(WM_COMMAND, MAKEWPARAM(13, 0));  // throws inside: stopped in the thunk
        c.Send(WM_COMMAND, MAKEWPARAM(14, 0));
        EXPECT_EQ(c.commands, 2);
        EXPECT_TRUE(c.IsWindow());
        EXPECT_EQ(c.destroyed, 0);
    }
    // The object went first: its window went with it, without calling back into the object.
    EXPECT_FALSE(::IsWindow(h));

    Counter refused;
    refused.refuse = true;
    EXPECT_FALSE(refused.Create(Self(), "QpTestCounter", "no", WS_OVERLAPPEDWINDOW, 0, 0, 0, 10, 10, nullptr));
    EXPECT_EQ(refused.Handle(), nullptr);
    EXPECT_EQ(refused.created, 1);
}

TEST(FrameworkWindow, DestroyedByTheSystemForgetsItsHandle) {
    Counter c;
    ASSERT_TRUE(qp::CWnd::RegisterClass(Self(), "QpTestCounter"));
    ASSERT_TRUE(c.Create(Self(), "QpTestCounter", "counter", WS_OVERLAPPEDWINDOW, 0, 0, 0, 100, 100, nullptr));
    ::DestroyWindow(c.Handle());
    EXPECT_EQ(c.destroyed, 1);
    EXPECT_EQ(c.Handle(), nullptr);
}
