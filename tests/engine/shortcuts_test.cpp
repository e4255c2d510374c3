// Where the shortcut walk puts links: shell folder by the all-users choice of the node itself,
// the program folder, captions from the string table, and removal of emptied folders.
#include <gtest/gtest.h>

#include <set>

#include "common/setuplist.h"
#include "setup/engine/questions.h"
#include "setup/engine/runstate.h"
#include "setup/engine/shortcuts.h"

using namespace qp;

namespace {

// Records what the walk asks of the shell; the folders it "creates" exist afterwards.
struct ShellRecorder : ShortcutEffects {
    std::vector<std::string> links, urls, deleted, removed_folders;
    std::set<std::string> folders;
    bool CreateFolderPath(const std::string& f) override {
        folders.insert(f);
        return true;
    }
    bool CreateLink(const LinkSpec& l) override {
        links.push_back(l.link_path + "|" + l.target + "|" + l.arguments + "|" + std::to_string(l.show_command) + "|" +
                        l.icon_path);
        return true;
    }
    bool WriteUrl(const std::string& p, const std::string& u, int, const std::string&) override {
        urls.push_back(p + "|" + u);
        return true;
    }
    bool Delete(const std::string& p) override {
        deleted.push_back(p);
        return true;
    }
    bool RemoveFolder(const std::string& f) override {
        removed_folders.push_back(f);
        return true;
    }
};

ShortcutNode Node(int kind, const std::string& name, std::vector<ShortcutNode> children = {}, int common = 0) {
    ShortcutNode n;
    n.kind = kind;
    n.name = name;
    n.common = common;
    n.children = std::move(children);
    return n;
}

struct ShortcutWalk : ::testing::Test {
    ShortcutWalk() {
        run.list = &list;
        run.ctx.destination = "C:\\P";
        run.ctx.program_folder = "My Folder";
        run.ctx.user_shell = {"U\\Desk", "U\\Start", "U\\Start\\Prog", "U\\Start\\Prog\\Up"};
        run.ctx.common_shell = {"A\\Desk", "A\\Start", "A\\Start\\Prog", "A\\Start\\Prog\\Up"};
        run.ctx.nt_family = true;
        StringRecord s;
        s.key = "KEY_CAPTION";
        s.values = {"From Table"};
        list.strings = {s};
        list.languages = {LanguageRecord{}};
    }
    SetupList list;
    RunState run;
    ShellRecorder shell;
    EngineEvents events;
};

}  // namespace

TEST_F(ShortcutWalk, AllUsersChoiceBelongsToTheNodeBelowTheShellFolder) {
    auto app = Node(5, "KEY_CAPTION", {}, 1);
    app.target = "<TARGETDIR>\\a.exe";
    app.arguments = "<TARGETDIR>";
    app.run_mode = 9;  // unknown: normal window
    auto mine = Node(5, "Mine", {}, 0);
    auto folder = Node(4, "x", {app, mine}, 0);
    folder.display_text = "<SHELL_OBJECT_FOLDER>";
    // The top node's flag says all users, but only each shortcut's own flag counts.
    list.shortcuts = Node(0, "Desktop", {Node(2, "Programs", {folder}, 1)}, 1);
    ApplyShortcuts(run, shell, events);
    EXPECT_EQ(shell.links, (std::vector<std::string>{
                               "A\\Start\\Prog\\My Folder\\From Table.lnk|C:\\P\\a.exe|C:\\P|1|C:\\P\\a.exe",
                               "U\\Start\\Prog\\My Folder\\Mine.lnk|||1|"}));
    // Before the NT family there are no all-users folders.
    run.ctx.nt_family = false;
    shell.links.clear();
    ApplyShortcuts(run, shell, events);
    EXPECT_EQ(shell.links[0].substr(0, 2), "U\\");
}

TEST_F(ShortcutWalk, CaptionWithBackslashPlacesTheLinkInASubfolder) {
    auto web = Node(5, "Sub\\Site");
    web.internet_shortcut = 1;
    web.target = "http://x.invalid/";
    list.shortcuts = Node(0, "Desktop", {web});
    ApplyShortcuts(run, shell, events);
    EXPECT_EQ(shell.urls, std::vector<std::string>{"U\\Desk\\Sub\\Site.url|http://x.invalid/"});
    EXPECT_EQ(shell.folders.count("U\\Desk\\Sub"), 1u);
}

TEST_F(ShortcutWalk, RemoveRunDeletesLinksAndEmptiedFoldersButNotTheShellFolder) {
    run.mode = RunMode::Remove;
    run.earlier_groups = {"G"};
    auto link = Node(5, "L");
    link.group_names = {"G"};
    list.shortcuts = Node(0, "Desktop", {Node(2, "Programs", {Node(4, "F", {Node(4, "Deep", {link})})})});
    ApplyShortcuts(run, shell, events);
    EXPECT_EQ(shell.deleted, std::vector<std::string>{"U\\Start\\Prog\\F\\Deep\\L.lnk"});
    EXPECT_EQ(shell.removed_folders, (std::vector<std::string>{"U\\Start\\Prog\\F\\Deep", "U\\Start\\Prog\\F"}));
    EXPECT_TRUE(shell.links.empty());
    ASSERT_EQ(run.report.size(), 1u);
    EXPECT_EQ(run.report[0], "Delete shortcut U\\Start\\Prog\\F\\Deep\\L.lnk");
}
