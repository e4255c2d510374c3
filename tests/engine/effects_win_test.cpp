// Windows effects under Wine: locked targets (Abort/Retry/Ignore and replacement at restart),
// self-registration result codes, the restart steps, and the "QDELETE" self-deletion.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "engine/kit_fixture.h"
#include "common/pathutil.h"
#include "setup/engine/copyfailure.h"
#include "setup/engine/filerules.h"
#include "setup/engine/installphase.h"
#include "setup/engine/win/context_win.h"
#include "setup/engine/win/filerules_win.h"
#include "setup/engine/win/privatecopy_win.h"
#include "setup/engine/win/restart_win.h"
#include "setup/engine/win/selfdelete_win.h"
#include "support/testutil.h"

using namespace qp;
using namespace enginetest;

namespace {

const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";

std::string OwnFolder() {
    char buf[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, buf, MAX_PATH);
    std::string s = buf;
    return s.substr(0, s.rfind('\\'));
}

bool Exists(const std::string& p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A command line started without handles of ours; the process handle, or null.
HANDLE StartCommand(std::string cmd) {
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

// The exit code of `process` once it has ended (99 when it did not within `ms`); closes it.
DWORD EndCode(HANDLE process, DWORD ms) {
    DWORD code = 99;
    if (WaitForSingleObject(process, ms) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

// The strings of PendingFileRenameOperations.
std::vector<std::string> PendingRenames() {
    std::vector<std::string> out;
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &h) != ERROR_SUCCESS) return out;
    DWORD size = 0, type = 0;
    if (RegQueryValueExA(h, "PendingFileRenameOperations", nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<char> buf(size + 2, 0);
        RegQueryValueExA(h, "PendingFileRenameOperations", nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size);
        for (const char* p = buf.data(); p < buf.data() + size && *p;) {
            out.emplace_back(p);
            p += out.back().size() + 1;
        }
    }
    RegCloseKey(h);
    return out;
}

// Takes the pairs that mention `folder` out again, so that no later start of the prefix acts on them.
void DropPendingRenames(const std::string& folder) {
    auto all = PendingRenames();
    std::string kept;
    for (std::size_t i = 0; i + 1 < all.size(); i += 2) {
        if (all[i].find(folder) != std::string::npos) continue;
        kept += all[i] + '\0' + all[i + 1] + '\0';
    }
    kept += '\0';
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS) return;
    if (kept.size() <= 1)
        RegDeleteValueA(h, "PendingFileRenameOperations");
    else
        RegSetValueExA(h, "PendingFileRenameOperations", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                       static_cast<DWORD>(kept.size()));
    RegCloseKey(h);
}

// One group "G" with the given files at its top, installed into tmp\dest.
class LockTest : public ::testing::Test {
protected:
    void SetUp() override {
        dest_ = tmp_ / "dest";
        kit_ = tmp_ / "kit";
        CreateDirectoryA(kit_.c_str(), nullptr);
        CreateDirectoryA(dest_.c_str(), nullptr);
        WriteStoredZip(kit_ + "\\setup.cab", {{"G/lib.dll", "NEW"}, {"G/later.txt", "LATER"}, {"G/q.l", "Q"}});
        run_.ctx = DetectInstallContext();
        run_.ctx.media_folder = kit_;
        run_.ctx.destination = dest_;
    }

    GroupRecord MakeGroup(std::vector<std::string> files) {
        std::vector<FileNode> nodes;
        for (auto& f : files) nodes.push_back(FileLeaf("C:\\src\\" + f));
        return Group("G", nodes);
    }

    bool Process(const GroupRecord& g) {
        WinFileEffects fx(run_.ctx.nt_family, run_.ctx.windows_folder);
        return ProcessGroup(run_, g, true, fx, questions_, events_);
    }
    bool Process(const GroupRecord& g, FileEffects& fx) { return ProcessGroup(run_, g, true, fx, questions_, events_); }

    HANDLE Lock(const std::string& path) {
        qptest::WriteText(path, "OLD");
        return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    }

    qptest::TempDir tmp_;
    std::string dest_, kit_;
    RunState run_;
    ScriptedQuestions questions_;
    RecordingEvents events_;
};

TEST_F(LockTest, RetryAsksAgainAndIgnoreSkipsTheFile) {
    const std::string target = dest_ + "\\lib.dll";
    HANDLE h = Lock(target);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    questions_.answers = {Questions::kRetry, Questions::kIgnore};
    EXPECT_TRUE(Process(MakeGroup({"lib.dll", "later.txt"})));
    CloseHandle(h);
    EXPECT_EQ(questions_.asked, (std::vector<std::string>(2, "Install|File " + target + " is  locked!")));
    EXPECT_EQ(qptest::ReadText(target), "OLD");
    EXPECT_EQ(qptest::ReadText(dest_ + "\\later.txt"), "LATER");
    EXPECT_FALSE(run_.abort);
    EXPECT_EQ(run_.report[0], target);  // an ignored file keeps its path entry
}

TEST_F(LockTest, AbortStopsTheGroupAndSetsTheAbortFlag) {
    const std::string target = dest_ + "\\lib.dll";
    HANDLE h = Lock(target);
    questions_.answers = {Questions::kAbort};
    EXPECT_FALSE(Process(MakeGroup({"lib.dll", "later.txt"})));
    CloseHandle(h);
    EXPECT_TRUE(run_.abort);
    EXPECT_FALSE(Exists(dest_ + "\\later.txt"));
    // Once aborted, a further group touches nothing.
    EXPECT_TRUE(Process(MakeGroup({"later.txt"})));
    EXPECT_FALSE(Exists(dest_ + "\\later.txt"));
}

TEST_F(LockTest, RestartIfLockedWritesBesideAndSchedulesTheMove) {
    const std::string target = dest_ + "\\lib.dll";
    qptest::WriteText(dest_ + "\\lib.dla", "taken");
    HANDLE h = Lock(target);
    auto g = MakeGroup({"lib.dll"});
    g.restart_if_locked = 1;
    EXPECT_TRUE(Process(g));
    CloseHandle(h);
    const std::string temp = dest_ + "\\lib.dlb";
    EXPECT_EQ(qptest::ReadText(temp), "NEW");
    EXPECT_EQ(qptest::ReadText(target), "OLD");
    EXPECT_TRUE(run_.restart_needed);
    EXPECT_TRUE(std::find(run_.report.begin(), run_.report.end(), "Restart By " + target) != run_.report.end());
    EXPECT_EQ(run_.written_files, std::vector<std::string>{temp});
    EXPECT_TRUE(questions_.asked.empty());
    auto pending = PendingRenames();
    bool found = false;
    for (std::size_t i = 0; i + 1 < pending.size(); i += 2)
        if (pending[i].find("lib.dlb") != std::string::npos && pending[i + 1].find("lib.dll") != std::string::npos)
            found = true;
    EXPECT_TRUE(found);
    DropPendingRenames(tmp_.Path().filename().string());
}

// Read-only is not locked: only a holder makes a target locked, read-only or not.
TEST_F(LockTest, ReadOnlyTargetIsReplacedUnlessSomeoneHoldsIt) {
    const std::string target = dest_ + "\\lib.dll";
    for (bool held : {false, true}) {
        SCOPED_TRACE(held ? "read-only and held" : "read-only");
        questions_.asked.clear();
        qptest::WriteText(target, "OLD");
        ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
        HANDLE h = held ? CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
                        : INVALID_HANDLE_VALUE;
        EXPECT_TRUE(Process(MakeGroup({"lib.dll"})));  // Ignore when asked
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        EXPECT_EQ(questions_.asked.size(), held ? 1u : 0u);
        EXPECT_EQ(qptest::ReadText(target), held ? "OLD" : "NEW");
        // A file left alone keeps its attribute.
        EXPECT_EQ((GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY) != 0, held);
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_FALSE(run_.restart_needed);
}

// The system refuses the delayed move, as it does for a user who may not write the list of
// pending renames.
struct RefusingDelayedMoves : WinFileEffects {
    using WinFileEffects::WinFileEffects;
    bool ScheduleReplace(const std::string&, const std::string&) override {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
};

TEST_F(LockTest, RefusedDelayedMoveIsAFailedCopyAndNoRestart) {
    const std::string target = dest_ + "\\lib.dll";
    HANDLE h = Lock(target);
    auto g = MakeGroup({"lib.dll"});
    g.restart_if_locked = 1;
    RefusingDelayedMoves fx(run_.ctx.nt_family, run_.ctx.windows_folder);
    EXPECT_TRUE(Process(g, fx));
    CloseHandle(h);
    EXPECT_FALSE(run_.restart_needed);
    EXPECT_EQ(questions_.asked, std::vector<std::string>{"Failed to copy file|CANT COPY  " + target});
    EXPECT_EQ(run_.report, std::vector<std::string>{"CANT COPY  " + target});
    EXPECT_FALSE(Exists(dest_ + "\\lib.dla")) << "the temporary file is not left behind";
    EXPECT_TRUE(run_.written_files.empty());
    EXPECT_EQ(qptest::ReadText(target), "OLD");
}

TEST_F(LockTest, NoFreeTemporaryNameFailsTheCopyAndSaysSo) {
    const std::string target = dest_ + "\\q.l";
    for (char c = 'a'; c <= 'y'; ++c) {
        qptest::WriteText(dest_ + "\\q." + std::string(1, c), "x");
        qptest::WriteText(dest_ + "\\" + std::string(1, c) + ".l", "x");
    }
    HANDLE h = Lock(target);
    auto g = MakeGroup({"q.l"});
    g.restart_if_locked = 1;
    EXPECT_TRUE(Process(g));
    CloseHandle(h);
    EXPECT_EQ(qptest::ReadText(target), "OLD");
    EXPECT_TRUE(std::find(run_.report.begin(), run_.report.end(), "CANT COPY  " + target) != run_.report.end());
    EXPECT_EQ(questions_.asked, std::vector<std::string>{"Failed to copy file|CANT COPY  " + target});
}

// A disk that fills up after `room` files: every later file fails to extract.
struct FillingDisk : WinFileEffects {
    using WinFileEffects::WinFileEffects;
    int room = 0;
    int Extract(const std::string& archive, const std::string& member, const std::string& folder,
                const std::string& output) override {
        if (room <= 0) return 50;
        --room;
        return WinFileEffects::Extract(archive, member, folder, output);
    }
    // A new file on a full disk: the name is made, the data does not fit, the file goes again.
    int ExtractNew(const std::string& archive, const std::string& member, const std::string& folder,
                   const std::string& output, bool& taken) override {
        if (room <= 0) {
            CreateFolderPath(folder);
            taken = false;
            return 50;
        }
        --room;
        return WinFileEffects::ExtractNew(archive, member, folder, output, taken);
    }
};

TEST_F(LockTest, FailedCopiesAskOnceForTheRun) {
    const std::string deeper = dest_ + "\\sub\\deeper";
    struct Case {
        const char* what;
        std::vector<int> answers;
        int room_after_first_answer;
        bool result;
        std::size_t failed;  // "CANT COPY" lines
    } cases[] = {
        {"Ignore: the rest is reported, not asked", {Questions::kIgnore}, 0, true, 3},
        {"Abort: the run stops at the first file", {Questions::kAbort}, 0, false, 1},
        {"Retry once the disk has room again", {Questions::kRetry}, 3, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        run_ = RunState();
        run_.ctx = DetectInstallContext();
        run_.ctx.media_folder = kit_;
        run_.ctx.destination = dest_;
        auto g = MakeGroup({"lib.dll", "later.txt", "q.l"});
        g.destination = "<TARGETDIR>\\sub\\deeper";
        struct Answering : ScriptedQuestions {
            FillingDisk* disk;
            int room;
            int AbortRetryIgnore(const std::string& text, const std::string& caption) override {
                disk->room = room;
                return ScriptedQuestions::AbortRetryIgnore(text, caption);
            }
        };
        FillingDisk fx(run_.ctx.nt_family, run_.ctx.windows_folder);
        Answering q;
        q.answers = c.answers;
        q.disk = &fx;
        q.room = c.room_after_first_answer;
        EXPECT_EQ(ProcessGroup(run_, g, true, fx, q, events_), c.result);
        EXPECT_EQ(q.asked.size(), 1u) << "asked once, not once per file";
        EXPECT_EQ(std::count_if(run_.report.begin(), run_.report.end(),
                                [](const std::string& l) { return l.rfind("CANT COPY", 0) == 0; }),
                  static_cast<long>(c.failed));
        EXPECT_EQ(run_.abort, !c.result);
        // What an undone run takes away again: the folders it made, once they are empty.
        ASSERT_EQ(run_.created_folders, (std::vector<std::string>{deeper, dest_ + "\\sub"}));
        DeleteWrittenFiles(run_, fx);
        RemoveCreatedFolders(fx, run_.created_folders);
        EXPECT_FALSE(Exists(dest_ + "\\sub"));
        EXPECT_TRUE(Exists(dest_)) << "a folder that was there before stays";
    }
}

TEST_F(LockTest, BeforeTheNtFamilyTheReplacementGoesToWininit) {
    // A Windows folder of our own, so that the test prefix's wininit.ini stays untouched.
    WinFileEffects fx(false, tmp_.Str());
    ASSERT_TRUE(fx.ScheduleReplace(dest_ + "\\lib.dla", dest_ + "\\lib.dll"));
    char buf[MAX_PATH] = {};
    GetPrivateProfileStringA("rename", (dest_ + "\\lib.dll").c_str(), "", buf, sizeof buf,
                             (tmp_ / "wininit.ini").c_str());
    EXPECT_EQ(std::string(buf), dest_ + "\\lib.dla");
}

// A missing target is made by the call that finds its name free, in folders it makes on the way,
// with the member's time; a name that is taken, or a member the archive lacks, is left to the
// overwrite rules untouched.
TEST_F(LockTest, ExtractNewMakesAMissingTargetAndLeavesATakenOneAlone) {
    WinFileEffects fx(run_.ctx.nt_family, run_.ctx.windows_folder);
    const std::string cab = kit_ + "\\setup.cab", made = dest_ + "\\sub\\deeper\\lib.dll";
    bool taken = true;
    EXPECT_EQ(fx.ExtractNew(cab, "G/lib.dll", dest_ + "\\sub\\deeper", made, taken), 0);
    EXPECT_FALSE(taken);
    EXPECT_EQ(qptest::ReadText(made), "NEW");
    ASSERT_EQ(fx.Extract(cab, "G/lib.dll", dest_, dest_ + "\\replaced.dll"), 0);
    EXPECT_EQ(fx.LastWriteTime(made), fx.LastWriteTime(dest_ + "\\replaced.dll"));
    EXPECT_NE(fx.LastWriteTime(made), ~0ull);

    qptest::WriteText(dest_ + "\\later.txt", "MINE");
    EXPECT_EQ(fx.ExtractNew(cab, "G/later.txt", dest_, dest_ + "\\later.txt", taken), kExtractNotTried);
    EXPECT_TRUE(taken);
    EXPECT_EQ(qptest::ReadText(dest_ + "\\later.txt"), "MINE");
    EXPECT_EQ(fx.ExtractNew(cab, "G/none.txt", dest_, dest_ + "\\none.txt", taken), kExtractNotTried);
    EXPECT_TRUE(taken);
    EXPECT_FALSE(Exists(dest_ + "\\none.txt"));
    fx.ReleaseArchive();
}

TEST(Context, WhatTheSystemTells) {
    InstallContext c = DetectInstallContext();
    EXPECT_EQ(c.kit_folder, OwnFolder());
    EXPECT_EQ(c.own_path.substr(0, c.kit_folder.size() + 1), c.kit_folder + "\\");
    EXPECT_EQ(c.program_files, c.system_folder.substr(0, 2) + "\\Program Files");
    EXPECT_FALSE(c.windows_folder.empty());
    EXPECT_TRUE(c.nt_family);
    EXPECT_NE(c.os_code, 0);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(c.user_shell[i].empty()) << i;
    EXPECT_FALSE(c.common_shell[kShellPrograms].empty());
    std::string owner = "unchanged";
    EXPECT_EQ(ReadRegisteredOwner(true, owner), 1);
}

TEST(SelfRegister, ResultCodes) {
    const std::string dir = OwnFolder();
    EXPECT_EQ(SelfRegisterLibrary(dir + "\\selfreg_ok.dll"), 0);
    EXPECT_EQ(SelfRegisterLibrary(dir + "\\selfreg_fail.dll"), 5);
    EXPECT_EQ(SelfRegisterLibrary(dir + "\\selfreg_none.dll"), 4);
    EXPECT_EQ(SelfRegisterLibrary(dir + "\\no_such_library.dll"), 3);
}

TEST_F(LockTest, SelfRegistrationFailureIsReportedAndDoesNotStop) {
    auto g = MakeGroup({"lib.dll", "later.txt"});
    g.self_register = 1;
    EXPECT_TRUE(Process(g));
    EXPECT_TRUE(std::find(run_.report.begin(), run_.report.end(), "Registered " + dest_ + "\\lib.dll failed") !=
                run_.report.end());
    EXPECT_EQ(qptest::ReadText(dest_ + "\\later.txt"), "LATER");
}

TEST(Restart, StepsRunAndFailuresGoToTheHookOnly) {
    std::vector<std::string> errors;
    std::string message;
    RestartComputer(true, [&](const std::string& e) { errors.push_back(e); },
                    [&](const char* m) {
                        message = m;
                        return true;
                    });
    EXPECT_EQ(message, "Click on the main window and press      the Escape key to cancel shutdown.");
    EXPECT_TRUE(errors.empty()) << errors[0];
    errors.clear();
    RestartComputer(true, [&](const std::string& e) { errors.push_back(e); }, [](const char*) { return false; });
    EXPECT_EQ(errors, std::vector<std::string>{"InitiateSystemShutdown failed."});
}

TEST(SelfDelete, CommandLineLayout) {
    EXPECT_EQ(QDeleteCommandLine("C:\\T\\Del1.tmp", 124, "C:\\P F\\setup.exe"),
              "\"C:\\T\\Del1.tmp\" QDELETE  124 \"C:\\P F\\setup.exe\"");
}

// The names in `folder`, each after a blank.
std::string Entries(const std::string& folder) {
    std::string out;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        const std::string name = fd.cFileName;
        if (name != "." && name != "..") out += " " + name;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return out;
}

// Sets TMP and TEMP for the processes this one starts, and back again.
class TempFolderFor {
public:
    explicit TempFolderFor(const std::string& folder) {
        for (const char* name : {"TMP", "TEMP"}) {
            char buf[MAX_PATH + 1] = {};
            saved_.push_back(GetEnvironmentVariableA(name, buf, MAX_PATH) ? buf : "");
            SetEnvironmentVariableA(name, folder.c_str());
        }
    }
    ~TempFolderFor() {
        SetEnvironmentVariableA("TMP", saved_[0].empty() ? nullptr : saved_[0].c_str());
        SetEnvironmentVariableA("TEMP", saved_[1].empty() ? nullptr : saved_[1].c_str());
    }

private:
    std::vector<std::string> saved_;
};

// The clean-up process inherits the two handles it needs and nothing else: a handle the
// uninstaller holds (its output, which a package manager reads to the end) is not kept open by
// the helper that waits for the uninstaller to end.
TEST(SelfDelete, TheHelperInheritsNoOtherHandle) {
    qptest::TempDir tmp;
    const std::string temp_folder = tmp / "Temp";
    CreateDirectoryA(temp_folder.c_str(), nullptr);
    TempFolderFor temp(temp_folder);
    const std::string info = tmp / "QPBInformation {X}";
    CreateDirectoryA(info.c_str(), nullptr);
    const std::string copy = info + "\\setup.exe";
    ASSERT_TRUE(CopyFileA((OwnFolder() + "\\qp_qdelete_helper.exe").c_str(), copy.c_str(), FALSE));
    const std::string held = tmp / "held.txt";
    HANDLE process = StartCommand("\"" + copy + "\" \"" + info + "\" HOLD \"" + held + "\"");
    ASSERT_TRUE(process);
    for (int i = 0; i < 400 && !Exists(held + ".closed"); ++i) Sleep(50);
    ASSERT_TRUE(Exists(held + ".closed"));
    // The copy still runs, so its clean-up process is waiting now: only it could hold the file.
    HANDLE alone = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const DWORD error = alone == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    EXPECT_NE(alone, INVALID_HANDLE_VALUE) << "the file is still held (error " << error << ")";
    if (alone != INVALID_HANDLE_VALUE) CloseHandle(alone);
    CloseHandle(CreateFileA((held + ".go").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_EQ(EndCode(process, 30000), 0u);
    for (int i = 0; i < 200 && Exists(copy); ++i) Sleep(50);
    EXPECT_FALSE(Exists(copy));
}

TEST(SelfDelete, TheCopyIsRemovedWithItsFolder) {
    // The helper lives in the temporary folder, which on many systems has blanks in its path. A
    // program at the first blank ("...\\Local.exe") must not be what the system starts instead.
    for (const char* temp_name : {"Temp", "Local Settings\\Temp"}) {
        SCOPED_TRACE(temp_name);
        qptest::TempDir tmp;
        const std::string helper = OwnFolder() + "\\qp_qdelete_helper.exe";
        const std::string temp_folder = tmp / temp_name;
        CreateDirectoryA(FolderOf(temp_folder).c_str(), nullptr);
        CreateDirectoryA(temp_folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA(helper.c_str(), (tmp / "Local.exe").c_str(), FALSE));
        TempFolderFor temp(temp_folder);
        const std::string info = tmp / "QPBInformation {X}";
        CreateDirectoryA(info.c_str(), nullptr);
        const std::string copy = info + "\\setup.exe";
        ASSERT_TRUE(CopyFileA(helper.c_str(), copy.c_str(), FALSE));
        HANDLE process = StartCommand("\"" + copy + "\" \"" + info + "\"");
        ASSERT_TRUE(process);
        EXPECT_EQ(EndCode(process, 10000), 0u);
        for (int i = 0; i < 100 && Exists(info); ++i) Sleep(100);
        EXPECT_FALSE(Exists(copy));
        EXPECT_FALSE(Exists(info));
        // The helper ran from a private folder of its own, not from the temporary folder: once
        // it has ended that folder is empty, and the next run's sweep takes it.
        std::string left;
        for (int i = 0; i < 100; ++i, Sleep(100)) {
            left = Entries(temp_folder);
            if (left.rfind(" qp-del-", 0) == 0 && left.find(' ', 1) == std::string::npos &&
                Entries(temp_folder + "\\" + left.substr(1)).empty())
                break;
        }
        EXPECT_EQ(left.rfind(" qp-del-", 0), 0u) << "left in the temporary folder:" << left;
        EXPECT_EQ(left.find(' ', 1), std::string::npos) << "left in the temporary folder:" << left;
        SweepStalePrivateFolders();
        EXPECT_EQ(Entries(temp_folder), "");
    }
}

TEST(SelfDelete, NotRunningFromTheCopyDeletesItDirectly) {
    // The "QPBInformation" folder above goes too once it is empty; no other parent does.
    struct Row {
        const char* parent;
        const char* other;  // another product's folder beside, or null
        bool parent_goes;
    } rows[] = {{"QPBInformation", nullptr, true}, {"QPBInformation", "{OTHER}", false}, {"Elsewhere", nullptr, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.parent) + (row.other ? " with another product" : ""));
        qptest::TempDir tmp;
        const std::string parent = tmp / row.parent, info = parent + "\\{X}";
        CreateDirectoryA(parent.c_str(), nullptr);
        CreateDirectoryA(info.c_str(), nullptr);
        if (row.other) CreateDirectoryA((parent + "\\" + row.other).c_str(), nullptr);
        qptest::WriteText(info + "\\setup.exe", "x");
        EXPECT_TRUE(RemoveOwnCopy(tmp / "kit\\setup.exe", info + "\\setup.exe", info));
        EXPECT_FALSE(Exists(info));
        EXPECT_EQ(Exists(parent), !row.parent_goes);
        if (row.other) RemoveDirectoryA((parent + "\\" + row.other).c_str());
        RemoveDirectoryA(parent.c_str());
    }
}

}  // namespace
