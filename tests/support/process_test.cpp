// The process helper itself: it must never pass off stale or missing output as a program's, and
// a program that outlives its limit is killed with what it started and reported as such.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "support/run_process.h"
#include "support/testutil.h"
#include "support/wait.h"

namespace {

namespace fs = std::filesystem;
using qptest::ProcessOptions;
using qptest::ProcessResult;
using qptest::RunProcess;

const std::string kChild = QP_PROCESS_CHILD;

bool ProcessGone(long pid) {
#ifdef _WIN32
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (!h) return true;
    const bool gone = WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
    CloseHandle(h);
    return gone;
#else
    // A killed process whose parent is gone may stay a zombie: that is gone too.
    std::string stat;
    try {
        stat = qptest::ReadText("/proc/" + std::to_string(pid) + "/stat");
    } catch (const std::exception&) {
        return true;
    }
    const std::size_t close = stat.rfind(')');
    return close == std::string::npos || stat.compare(close + 1, 3, " Z ") == 0 || stat.compare(close + 1, 3, " X ") == 0;
#endif
}

TEST(RunProcess, GivesStatusAndBothOutputsOrSaysWhyNot) {
    qptest::TempDir dir;
    struct Case {
        const char* name;
        std::string program;
        std::vector<std::string> args;
        bool ran;
        int status;
        std::string out, err, failure;
    };
    const Case cases[] = {
        {"exit 0", kChild, {"print", "to out", "to err", "0"}, true, 0, "to out", "to err", ""},
        {"exit 7", kChild, {"print", "a b", "", "7"}, true, 7, "a b", "", ""},
        {"no such program", dir / "missing.exe", {}, false, -1, "", "", "missing.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProcessResult r = RunProcess(c.program, c.args, dir.Str());
        EXPECT_EQ(c.ran, r.Ran()) << qptest::Describe(r);
        EXPECT_EQ(c.status, r.status) << qptest::Describe(r);
        EXPECT_FALSE(r.timed_out);
        EXPECT_EQ(c.out, r.out);
        if (c.ran) {
            EXPECT_EQ(c.err, r.err);
        } else {
            EXPECT_NE(std::string::npos, r.err.find(r.failure)) << "the failure is in err for tests that print err";
        }
        EXPECT_NE(std::string::npos, r.failure.find(c.failure)) << r.failure;
    }
    // Nothing of the runs is left in the work folder.
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

// A helper the program leaves behind keeps the program's output open: the next run in the
// same folder still gets output of its own, and the run does not wait for the helper.
TEST(RunProcess, AHelperLeftHoldingTheOutputCannotStaleTheNextRun) {
    qptest::TempDir dir;
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult first = RunProcess(kChild, {"linger", "20000", "first"}, dir.Str());
    EXPECT_EQ(0, first.status) << qptest::Describe(first);
    EXPECT_EQ("first", first.out);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(18)) << "waited for the helper left behind";
    for (const char* text : {"second", "third"}) {
        const ProcessResult r = RunProcess(kChild, {"print", text, text, "0"}, dir.Str());
        EXPECT_EQ(0, r.status) << qptest::Describe(r);
        EXPECT_EQ(text, r.out);
        EXPECT_EQ(text, r.err);
    }
}

// A folder holding a deleted output file that a helper left behind still has open (the
// uninstaller's self-delete helper does that) goes once the helper lets go, and its removal
// never hangs: under Wine the deleted file stays listed until then.
TEST(TempDir, GoesOnceAHelperLeftBehindLetsGoOfItsFiles) {
    fs::path where;
    const auto start = std::chrono::steady_clock::now();
    {
        qptest::TempDir dir;
        where = dir.Path();
        const ProcessResult r = RunProcess(kChild, {"linger", "3000", "x"}, dir.Str());
        ASSERT_EQ(0, r.status) << qptest::Describe(r);
    }
    EXPECT_FALSE(fs::exists(where)) << where.string();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

// An output file that cannot be opened is a failure that names it; the file's old content is
// never reported as the program's output.
TEST(RunProcess, AnOutputFileThatCannotBeOpenedIsReportedNotRead) {
    qptest::TempDir dir;
    const std::string held = dir / "held.txt", ready = dir / "ready";
    qptest::WriteText(held, "stale output of an earlier run");
    ProcessResult holder;
#ifdef _WIN32
    // Another process has the file open and shares it with nobody.
    std::thread hold([&] {
        ProcessOptions o;
        o.timeout_ms = 120000;
        holder = RunProcess(kChild, {"hold", held, ready, "110000"}, dir.Str(), o);
    });
    const bool holding = qptest::WaitFor([&] { return fs::exists(ready); }, 60000);
#endif
    struct Case {
        const char* name;
        std::string out_path;
    };
    const Case cases[] = {
#ifdef _WIN32
        {"held by another process", held},
#endif
        {"in a folder that does not exist", dir / "no/such/folder/out.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProcessOptions o;
        o.out_path = c.out_path;
        const ProcessResult r = RunProcess(kChild, {"print", "fresh", "", "0"}, dir.Str(), o);
        EXPECT_FALSE(r.Ran());
        EXPECT_EQ(-1, r.status);
        EXPECT_EQ("", r.out);
        EXPECT_NE(std::string::npos, r.failure.find("cannot open the output file " + c.out_path)) << r.failure;
    }
#ifdef _WIN32
    EXPECT_TRUE(holding) << "the holder never got the file";
    fs::remove(ready);  // lets the holder end
    hold.join();
    EXPECT_EQ(0, holder.status) << qptest::Describe(holder);
#endif
    EXPECT_EQ("stale output of an earlier run", qptest::ReadText(held));
}

// A program that outlives its limit is killed, and so is the helper it started.
TEST(RunProcess, ATimeOutKillsTheProgramAndWhatItStarted) {
    qptest::TempDir dir;
    const std::string pid_file = dir / "helper.pid";
    ProcessOptions o;
    o.timeout_ms = 10000;
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult r = RunProcess(kChild, {"tree", "200000", pid_file}, dir.Str(), o);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
    EXPECT_TRUE(r.timed_out);
    EXPECT_EQ(-1, r.status);
    EXPECT_NE(std::string::npos, r.failure.find("timed out after 10000 ms")) << r.failure;
    ASSERT_TRUE(fs::exists(pid_file)) << "the program did not start its helper within the limit";
    const long helper = std::stol(qptest::ReadText(pid_file));
    EXPECT_TRUE(qptest::WaitFor([&] { return ProcessGone(helper); }, 30000)) << "helper " << helper << " lives on";
}

// The program inherits its three standard handles and nothing else of ours.
TEST(RunProcess, OnlyTheOutputHandlesAreInherited) {
    qptest::TempDir dir;
    const std::string ours = dir / "ours.txt";
#ifdef _WIN32
    // An inheritable handle of ours on a file shared with nobody: had the program (or the helper
    // it leaves behind) inherited it, the file could not be opened once we close ours.
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    HANDLE h = CreateFileA(ours.c_str(), GENERIC_WRITE, 0, &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    const ProcessResult r = RunProcess(kChild, {"linger", "20000", "x"}, dir.Str());
    EXPECT_EQ(0, r.status) << qptest::Describe(r);
    CloseHandle(h);
    HANDLE again = CreateFileA(ours.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, again) << "the file is still open elsewhere, error " << GetLastError();
    if (again != INVALID_HANDLE_VALUE) CloseHandle(again);
#else
    const int fd = ::open(ours.c_str(), O_WRONLY | O_CREAT, 0644);  // no O_CLOEXEC
    ASSERT_GE(fd, 0);
    const ProcessResult r = RunProcess(kChild, {"fds"}, dir.Str());
    ::close(fd);
    EXPECT_EQ(0, r.status) << qptest::Describe(r);
    EXPECT_EQ("", r.out) << "descriptors the program inherited";
#endif
}

}  // namespace
