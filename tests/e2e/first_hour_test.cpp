// A publisher's first kit under Wine: "qpbc new", one file added to the first group, built by
// qpbc with the shipped language file, then installed unattended and through the wizard,
// modified, repaired and removed. Every page and question of every run is checked for blank
// texts against the page tables and saved as a screenshot.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "builder/model/doc.h"
#include "builder/model/language.h"
#include "builder/model/projectfile.h"
#include "support/gui_driver.h"
#include "support/run_process.h"
#include "setup/engine/win/shortcuts_win.h"
#include "setup/wizard/page_tables.h"
#include "support/testutil.h"
#include "wizard/unmanaged_windows.h"

using namespace qpe2e;

static const int g_unmanaged = qptest::RunWithUnmanagedWindows();

namespace {

constexpr int kPages[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 17, 18};

std::string Folder(int csidl) {
    char buf[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, buf);
    return buf;
}

std::string Replace(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

std::vector<HWND> Children(HWND page) {
    std::vector<HWND> out;
    for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
    return out;
}

class FirstHour : public ::testing::Test {
protected:
    void SetUp() override {
        texts_ = std::make_unique<qp::LanguageFile>(QP_LANGUAGE_INI);
        ASSERT_TRUE(texts_->Loaded()) << QP_LANGUAGE_INI;
    }

    // The shipped English text of `key` as the wizard shows it ("%P" is the product's name).
    std::string English(const std::string& key) const {
        return Replace(texts_->Text(key, "English"), "%P", "Product");
    }

    // The wizard page of `pid` that is up and is not `previous`, with its number from the page
    // tables (title and number of controls); 0 when none appeared in time.
    HWND NextPage(qpe2e::Process& p, HWND previous, int& number, DWORD ms = 60000) {
        for (DWORD waited = 0; waited <= ms; waited += 100, Sleep(100)) {
            HWND page = FindTop(p.Id(), "#32770", "Setup");
            if (!page && p.Wait(0) != STILL_ACTIVE) break;
            if (!page || page == previous || (previous && IsWindow(previous) && IsWindowVisible(previous)))
                continue;
            Settle(300);
            const std::string title = ItemText(page, qp::wiz::kIdTitle);
            const std::size_t count = Children(page).size();
            for (int n : kPages) {
                const auto controls = qp::wiz::PageControls(n);
                const char* key = n == 1 ? "DLG_WELCOME_TITLE" : n == 13 ? "DLG_COMPLETE_TITLE" : qp::wiz::PageTitleKey(n);
                if (controls.size() == count && (n == 12 || title == English(key))) {
                    number = n;
                    return page;
                }
            }
        }
        number = 0;
        return nullptr;
    }

    // Every control the page table gives a text shows one; the dialog's children come in the
    // table's order. Saves the screenshot `shot`.
    void CheckPage(HWND page, int number, const std::string& shot) {
        SCOPED_TRACE(shot);
        const auto controls = qp::wiz::PageControls(number);
        const std::vector<HWND> children = Children(page);
        ASSERT_EQ(controls.size(), children.size());
        RECT client;
        GetClientRect(page, &client);
        std::vector<std::string> faults;
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const auto& c = controls[i];
            if (!*c.key || c.cls == qp::wiz::kClassEdit || !IsWindowVisible(children[i])) continue;
            if (Text(children[i]).empty()) faults.push_back(std::string(c.key) + " is blank");
            // Inside the page.
            RECT rc;
            GetWindowRect(children[i], &rc);
            MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rc), 2);
            if (!(rc.left >= 0 && rc.top >= 0 && rc.right <= client.right && rc.bottom <= client.bottom))
                faults.push_back(std::string(c.key) + " lies outside the page");
        }
        // The progress pages move on by themselves: one that went while it was read says nothing.
        if ((number == 10 || number == 18) && !IsWindowVisible(page)) return;
        for (const auto& f : faults) ADD_FAILURE() << "page " << number << ": " << f;
        if (number == 7) {
            // The figures' labels come from the language file too.
            EXPECT_EQ(0u, ItemText(page, qp::wiz::kIdRequiredSpace).find(English("SPACEREQ") + " "));
            EXPECT_EQ(0u, ItemText(page, qp::wiz::kIdAvailableSpace).find(English("SPACEAV") + " "));
        }
        Screenshot(shot);
        seen_[number] = true;
    }

    // The language dialog: drawn inside its frame, OK and Cancel on one line; OK.
    void AnswerLanguage(DWORD pid, const std::string& shot) {
        HWND lang = WaitTop(pid, "#32770", "Select Language", 60000);
        ASSERT_TRUE(lang);
        Settle(300);
        RECT client, ok, cancel, list;
        GetClientRect(lang, &client);
        auto place = [&](int id, RECT& rc) {
            GetWindowRect(GetDlgItem(lang, id), &rc);
            MapWindowPoints(nullptr, lang, reinterpret_cast<POINT*>(&rc), 2);
            EXPECT_TRUE(rc.left >= 0 && rc.top >= 0 && rc.right <= client.right && rc.bottom <= client.bottom) << id;
        };
        place(IDOK, ok);
        place(IDCANCEL, cancel);
        place(1038, list);
        EXPECT_EQ(ok.top, cancel.top);
        EXPECT_EQ(ok.bottom - ok.top, cancel.bottom - cancel.top);
        EXPECT_NEAR(client.right - ok.right, cancel.left, 2) << "the buttons centred";
        EXPECT_NEAR(client.right - list.right, list.left, 2) << "the list centred";
        EXPECT_NEAR(client.bottom - ok.bottom, list.top, 2) << "as much room below the buttons as above the list";
        Screenshot(shot);
        Press(lang, IDOK);
    }

    // Next on every page until the run ends, each page checked and shot; `choose` may act on
    // a page first, and gives true when it went on itself.
    void Walk(qpe2e::Process& p, const std::string& run, const std::function<bool(HWND, int)>& choose = nullptr) {
        HWND page = nullptr;
        int number = 0;
        for (int step = 1; step < 20; ++step) {
            HWND next = NextPage(p, page, number);
            if (!next) break;
            page = next;
            char shot[64];
            snprintf(shot, sizeof shot, "first-%s-%02d-page%d", run.c_str(), step, number);
            CheckPage(page, number, shot);
            if (choose && choose(page, number)) continue;
            if (number == 10 || number == 18) continue;  // the work runs on by itself
            Press(page, qp::wiz::kIdNext);
        }
    }

    std::unique_ptr<qp::LanguageFile> texts_;
    std::map<int, bool> seen_;
    qptest::TempDir dir_;
};

TEST_F(FirstHour, NewProjectWithOneFileInstallsItUnattendedAndEveryRunShowsItsTexts) {
    // qpbc new, the file added to the first group, and "Start in" of the Uninstall shortcut.
    const std::string project = dir_.Str() + "\\first.qpk";
    auto made = qptest::RunProcess(QP_QPBC_EXE, {"new", project}, dir_.Str());
    ASSERT_EQ(0, made.status) << made.err;
    const std::string data = dir_.Str() + "\\hello.txt";
    qptest::WriteText(data, "hello from the first hour\r\n");
    {
        qp::NullReporter quiet;
        auto doc = qp::OpenProject(project, quiet);
        ASSERT_TRUE(doc);
        doc->group_list.items[0]->file_tree.AddFile(data);
        // Enough small files beside it that the progress pages stay up to be seen.
        qp::CObListFile* many = doc->group_list.items[0]->file_tree.AddFolder("many");
        CreateDirectoryA((dir_.Str() + "\\many").c_str(), nullptr);
        for (int i = 0; i < 1500; ++i) {
            const std::string f = dir_.Str() + "\\many\\f" + std::to_string(i) + ".txt";
            qptest::WriteText(f, std::string(512, char('a' + i % 26)));
            many->AddFile(f);
        }
        qp::CObListShort* programs = doc->shortcut_root.children.at(0)->children.at(0).get();
        programs->children.at(1)->children.at(0)->start_in = "<TARGETDIR>";
        ASSERT_TRUE(qp::SaveProject(*doc, project, quiet));
    }
    auto built = qptest::RunProcess(QP_QPBC_EXE, {"build", project, "--name", "Kit", "--runtime", QP_SETUP_EXE, "--json"},
                                    dir_.Str());
    ASSERT_EQ(0, built.status) << built.err;
    EXPECT_NE(std::string::npos, built.out.find("\"warnings\": [\"setup type \\\"Compact\\\" has no components")) << built.out;
    const std::string kit = dir_.Str() + "\\KITS\\Kit";
    const std::string setup = "\"" + kit + "\\setup.exe\"";
    const std::string target = Folder(CSIDL_PROGRAM_FILES) + "\\CompanyName\\Product";
    const std::string link = Folder(CSIDL_COMMON_PROGRAMS) + "\\FolderName\\Uninstall.lnk";

    // Unattended: the setup types hold nothing, so every component is installed.
    const std::string log = dir_.Str() + "\\run.log";
    ASSERT_EQ(0u, qpe2e::Process(setup + " -s -log \"" + log + "\"", kit).Wait(120000));
    ASSERT_TRUE(Exists(target + "\\hello.txt")) << qptest::ReadText(log);
    EXPECT_EQ("hello from the first hour\r\n", qptest::ReadText(target + "\\hello.txt"));
    qp::LinkSpec read_back;
    ASSERT_TRUE(qp::ReadLink(link, read_back)) << link;
    EXPECT_EQ(target, read_back.working_folder);
    ASSERT_EQ(0u, qpe2e::Process(setup + " -s -u x -log \"" + log + "\"", kit).Wait(120000));
    for (int i = 0; i < 100 && Exists(target + "\\hello.txt"); ++i) Sleep(100);
    ASSERT_FALSE(Exists(target + "\\hello.txt")) << qptest::ReadText(log);

    // Through the wizard: every page of a first installation. The setup types hold nothing, so
    // the component page gets the first component ticked by hand.
    {
        qpe2e::Process p(setup, kit);
        AnswerLanguage(p.Id(), "first-install-00-language");
        Walk(p, "install", [](HWND page, int number) {
            if (number != 7) return false;
            HWND tree = GetDlgItem(page, qp::wiz::kIdComponentTree);
            HTREEITEM first = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
            SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)first);
            SendMessageA(tree, WM_KEYDOWN, VK_SPACE, 0);
            Settle();
            return false;
        });
        EXPECT_EQ(0u, p.Wait(30000));
        Settle(1500);
        if (HWND folder = FindWindowA("ExplorerWClass", nullptr)) PostMessageA(folder, WM_CLOSE, 0, 0);
        if (HWND folder = FindWindowA("CabinetWClass", nullptr)) PostMessageA(folder, WM_CLOSE, 0, 0);
    }
    EXPECT_TRUE(Exists(target + "\\hello.txt"));
    // The progress page (10) is checked when it stays up long enough to be caught.
    for (int n : {1, 4, 5, 6, 7, 8, 9, 11, 13}) EXPECT_TRUE(seen_[n]) << "page " << n << " of a first installation";

    // Maintenance from the kit: Modify, Repair, then Remove with its question.
    auto maintenance = [&](const std::string& run, int radio) {
        qpe2e::Process m(setup + " -m x", kit);
        AnswerLanguage(m.Id(), "first-" + run + "-00-language");
        Walk(m, run, [&](HWND page, int number) {
            if (number != 17) return false;
            CheckRadioButton(page, qp::wiz::kIdModify, qp::wiz::kIdRemove, radio);
            if (radio != qp::wiz::kIdRemove) return false;
            Press(page, qp::wiz::kIdNext);
            HWND box = WaitTop(m.Id(), "#32770", "Uninstall");
            EXPECT_TRUE(box);
            if (!box) return true;
            EXPECT_EQ(English("REMOVEAPPQUESTION"), BoxText(box));
            Screenshot("first-remove-question");
            Press(box, IDYES);
            return true;
        });
        EXPECT_EQ(0u, m.Wait(30000)) << run;
    };
    seen_.clear();
    maintenance("modify", qp::wiz::kIdModify);
    maintenance("repair", qp::wiz::kIdRepair);
    EXPECT_TRUE(Exists(target + "\\hello.txt"));
    maintenance("remove", qp::wiz::kIdRemove);
    for (int n : {17, 7, 11}) EXPECT_TRUE(seen_[n]) << "page " << n << " of a maintenance run";
    for (int i = 0; i < 100 && Exists(target + "\\hello.txt"); ++i) Sleep(100);
    EXPECT_FALSE(Exists(target + "\\hello.txt"));
    EXPECT_FALSE(Exists(link));
}

}  // namespace
