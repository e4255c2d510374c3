// What the file rules ask of the file system per file: a missing target costs one create-and-
// extract and no look-up; only a target that is there goes through the overwrite rules; a
// removal deletes each file once and prunes each folder once, not once per file. Counted on an
// in-memory file system, since under Wine every extra call on a name is a folder scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "engine/kit_fixture.h"
#include "setup/engine/filerules.h"
#include "setup/engine/registry.h"
#include "setup/engine/runstate.h"
#include "setup/engine/shortcuts.h"
#include "setup/engine/upgrade.h"

using namespace qp;
using namespace enginetest;

namespace {

// Files and folders in memory; every call counted by name.
struct CountingFiles : FileEffects {
    std::set<std::string> files, folders;
    std::map<std::string, int> calls;

    bool Exists(const std::string& p) override { return ++calls["Exists"], files.count(p) || folders.count(p); }
    bool IsLocked(const std::string&) override { return ++calls["IsLocked"], false; }
    std::uint64_t Version(const std::string&) override { return ++calls["Version"], 0; }
    std::uint64_t LastWriteTime(const std::string&) override { return ++calls["LastWriteTime"], 0; }
    bool CreateFolderPath(const std::string& f) override {
        ++calls["CreateFolderPath"];
        for (std::string at = f; at.size() > 2; at.resize(at.rfind('\\'))) folders.insert(at);
        return true;
    }
    int Extract(const std::string&, const std::string&, const std::string&, const std::string& out) override {
        ++calls["Extract"];
        files.insert(out);
        return 0;
    }
    // One call: the name is free or taken; a new file's folder is made on the way.
    int ExtractNew(const std::string&, const std::string&, const std::string& folder, const std::string& out,
                   bool& taken) override {
        ++calls["ExtractNew"];
        taken = files.count(out) != 0;
        if (taken) return kExtractNotTried;
        for (std::string at = folder; at.size() > 2; at.resize(at.rfind('\\'))) folders.insert(at);
        files.insert(out);
        return 0;
    }
    bool Delete(const std::string& p) override { return ++calls["Delete"], files.erase(p) != 0; }
    bool RemoveFolder(const std::string& f) override {
        ++calls["RemoveFolder"];
        if (!folders.count(f)) return false;
        for (const auto& x : files)
            if (x.compare(0, f.size() + 1, f + "\\") == 0) return false;
        for (const auto& x : folders)
            if (x.compare(0, f.size() + 1, f + "\\") == 0) return false;
        return folders.erase(f) != 0;
    }
    bool ScheduleReplace(const std::string&, const std::string&) override { return ++calls["ScheduleReplace"], true; }
    int SelfRegister(const std::string&) override { return ++calls["SelfRegister"], 0; }
    bool Copy(const std::string&, const std::string&) override { return ++calls["Copy"], true; }
    bool Write(const std::string&, const std::vector<std::uint8_t>&) override { return ++calls["Write"], true; }
    void ReleaseArchive() override {}
    std::int64_t SharedCount(const std::string&) override { return ++calls["SharedCount"], -1; }
    void SetSharedCount(const std::string&, std::int64_t) override { ++calls["SetSharedCount"]; }
    int N(const char* name) const {
        auto it = calls.find(name);
        return it == calls.end() ? 0 : it->second;
    }
};

// 40 files in "a", 40 in "a\deep", 20 in "b" and 2 at the top: 102 files in 3 folders below
// the destination.
GroupRecord Tree() {
    std::vector<FileNode> a, deep, b, top;
    for (int i = 0; i < 40; ++i) a.push_back(FileLeaf("C:\\src\\a" + std::to_string(i) + ".txt"));
    for (int i = 0; i < 40; ++i) deep.push_back(FileLeaf("C:\\src\\d" + std::to_string(i) + ".txt"));
    for (int i = 0; i < 20; ++i) b.push_back(FileLeaf("C:\\src\\b" + std::to_string(i) + ".txt"));
    a.push_back(Folder("deep", deep));
    top = {Folder("a", a), FileLeaf("C:\\src\\top1.txt"), Folder("b", b), FileLeaf("C:\\src\\top2.txt")};
    return Group("G", top);
}

// The folders of Tree() and their parents up to the one that is there, looked at once each.
constexpr int kFolderLookUps = 8;

class FileCalls : public ::testing::Test {
protected:
    void SetUp() override {
        run_.ctx.destination = "C:\\Prod\\App";
        run_.ctx.media_folder = "C:\\kit";
        group_ = Tree();
        group_.destination = "<TARGETDIR>";
        fx_.folders.insert("C:\\Prod");  // someone else's: never pruned while it has other files
        fx_.files.insert("C:\\Prod\\other.txt");
    }
    bool Run(bool install) { return ProcessGroup(run_, group_, install, fx_, questions_, events_); }

    RunState run_;
    GroupRecord group_;
    CountingFiles fx_;
    ScriptedQuestions questions_;
    RecordingEvents events_;
};

TEST_F(FileCalls, NewTargetsCostOneCreateEachAndNoLookUp) {
    ASSERT_TRUE(Run(true));
    EXPECT_EQ(fx_.N("ExtractNew"), 102);
    for (const char* none : {"IsLocked", "Version", "LastWriteTime", "CreateFolderPath", "Extract"})
        EXPECT_EQ(fx_.N(none), 0) << none;
    // The only look-ups are of folders, each once when its first file comes (so that an abort
    // can take away the folders this run made), never one per file.
    EXPECT_EQ(fx_.N("Exists"), kFolderLookUps);
    EXPECT_EQ(run_.written_files.size(), 102u);
    EXPECT_EQ(run_.written_files.front(), "C:\\Prod\\App\\a\\a0.txt");
    EXPECT_TRUE(fx_.files.count("C:\\Prod\\App\\a\\deep\\d39.txt"));
    EXPECT_TRUE(fx_.files.count("C:\\Prod\\App\\top2.txt"));
}

// Targets that are there go the whole way of the rules; the written list holds only new files.
TEST_F(FileCalls, ExistingTargetsAreAskedAboutAndOnlyNewFilesCountAsWritten) {
    struct Row {
        std::int32_t word;
        int extracts;
        const char* report;
    } rows[] = {
        {0x001, 1, "C:\\Prod\\App\\top1.txt"},                        // ALLWAYSOVERWRITE: replaced
        {0x002, 0, "Unnecessary overwrite C:\\Prod\\App\\top1.txt"},  // NEVEROVERWRITE: kept
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.word);
        fx_ = CountingFiles{};
        fx_.files.insert("C:\\Prod\\App\\top1.txt");
        run_ = RunState{};
        run_.ctx.destination = "C:\\Prod\\App";
        group_.overwrite_word = row.word;
        ASSERT_TRUE(Run(true));
        EXPECT_EQ(fx_.N("ExtractNew"), 102);
        EXPECT_EQ(fx_.N("Exists"), 1 + kFolderLookUps);
        EXPECT_EQ(fx_.N("Extract"), row.extracts);
        EXPECT_EQ(run_.written_files.size(), 101u);
        EXPECT_NE(std::find(run_.report.begin(), run_.report.end(), row.report), run_.report.end());
    }
}

TEST_F(FileCalls, RemovalDeletesEachFileOnceAndPrunesEachFolderOnce) {
    ASSERT_TRUE(Run(true));
    fx_.calls.clear();
    ASSERT_TRUE(Run(false));
    EXPECT_EQ(fx_.N("Delete"), 102);
    EXPECT_EQ(fx_.N("Exists"), 0);
    // a\deep, a, b and App tried once each, and each climb from there stops at a folder with
    // files in it (at last C:\Prod): a bound by the folders, whatever the number of files.
    EXPECT_LE(fx_.N("RemoveFolder"), 2 * 4);
    EXPECT_EQ(fx_.files, std::set<std::string>{"C:\\Prod\\other.txt"});
    EXPECT_EQ(fx_.folders, std::set<std::string>{"C:\\Prod"});
    EXPECT_EQ(run_.report.back(), "Delete  C:\\Prod\\App\\top2.txt");
}

// Cancel during a removal: what was deleted so far leaves no empty folder behind.
struct CancelAfter : RecordingEvents {
    RunState* run = nullptr;
    int left = 0;
    void Pump() override {
        if (--left == 0) run->abort = true;
    }
};

TEST_F(FileCalls, CancelledRemovalStillPrunesTheFoldersItEmptied) {
    group_ = Group("G", {Folder("x", {FileLeaf("C:\\s\\1"), FileLeaf("C:\\s\\2"), FileLeaf("C:\\s\\3")}),
                         Folder("y", {FileLeaf("C:\\s\\4"), FileLeaf("C:\\s\\5")})});
    group_.destination = "<TARGETDIR>";
    ASSERT_TRUE(Run(true));
    CancelAfter cancel;
    cancel.run = &run_;
    cancel.left = 4;  // confirmed at the pump after folder "x": its three files, then itself
    ProcessGroup(run_, group_, false, fx_, questions_, cancel);
    EXPECT_TRUE(run_.abort);
    EXPECT_EQ(fx_.N("Delete"), 3);
    EXPECT_FALSE(fx_.folders.count("C:\\Prod\\App\\x"));
    EXPECT_TRUE(fx_.files.count("C:\\Prod\\App\\y\\4"));
}

struct NoRegistry : RegistryEffects {
    bool SetValue(std::uint32_t, const std::string&, const std::string&, std::uint32_t,
                  const std::vector<std::uint8_t>&) override {
        return true;
    }
    void DeleteValue(std::uint32_t, const std::string&, const std::string&) override {}
    void DeleteKeyTree(std::uint32_t, const std::string&) override {}
};
struct NoShortcuts : ShortcutEffects {
    bool CreateFolderPath(const std::string&) override { return true; }
    bool CreateLink(const LinkSpec&) override { return true; }
    bool WriteUrl(const std::string&, const std::string&, int, const std::string&) override { return true; }
    bool Delete(const std::string&) override { return true; }
    bool RemoveFolder(const std::string&) override { return true; }
};

// An upgrade whose version no longer ships the group: the earlier version's files go as a
// removal's do, each folder pruned once and not once per file, and the record forgets them.
TEST_F(FileCalls, UpgradeLeftoversPruneEachFolderOnce) {
    ASSERT_TRUE(Run(true));
    SetupList list;
    list.groups.push_back(group_);
    run_.list = &list;
    run_.mode = RunMode::Upgrade;
    run_.have_record = true;
    run_.installed_groups.clear();  // this version installs none of it
    fx_.calls.clear();
    NoRegistry registry;
    NoShortcuts shortcuts;
    RemoveEarlierLeftovers(run_, fx_, registry, shortcuts, events_);
    EXPECT_EQ(fx_.N("Delete"), 102);
    EXPECT_LE(fx_.N("RemoveFolder"), 2 * 4);
    EXPECT_EQ(fx_.files, std::set<std::string>{"C:\\Prod\\other.txt"});
    EXPECT_EQ(fx_.folders, std::set<std::string>{"C:\\Prod"});
    EXPECT_FALSE(run_.record.Has("C:\\Prod\\App\\a\\deep\\d7.txt"));
    int left = 0;
    run_.record.EachFile([&left](const WrittenFile&) { ++left; });
    EXPECT_EQ(left, 0);
}

}  // namespace
