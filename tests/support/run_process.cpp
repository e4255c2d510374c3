// Process start for the tests that run our programs: CreateProcess in a job object under
// Windows, fork and exec in a process group of its own on Linux. Every run writes to files of
// its own, so that a helper process left behind by an earlier run (which may still hold that
// run's files) can neither block this run's output nor pass its own output off as this run's.
#include "support/run_process.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "common/win/process.h"
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#endif

namespace qptest {

namespace {

constexpr std::size_t kMaxOutput = 64u << 20;  // more than any of our programs writes

std::atomic<unsigned> g_runs{0};

std::string RunName(const std::string& work_dir, unsigned pid, unsigned run, const char* ext) {
#ifdef _WIN32
    const char sep = '\\';
#else
    const char sep = '/';
#endif
    std::string dir = work_dir;
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += sep;
    return dir + "qprun-" + std::to_string(pid) + "-" + std::to_string(run) + ext;
}

// Where a run's output goes: the caller's files, or fresh names of this run's own.
struct OutputFiles {
    bool fresh_out, fresh_err;
    std::string out_path, err_path;
};

OutputFiles OutputFilesOf(const std::string& work_dir, unsigned pid, const ProcessOptions& options) {
    const unsigned run = g_runs++;
    OutputFiles f{options.out_path.empty(), options.err_path.empty(), options.out_path, options.err_path};
    if (f.fresh_out) f.out_path = RunName(work_dir, pid, run, ".out");
    if (f.fresh_err) f.err_path = RunName(work_dir, pid, run, ".err");
    return f;
}

void Fail(ProcessResult& r, const std::string& why) {
    if (!r.failure.empty()) r.failure += "; ";
    r.failure += why;
    r.status = -1;
}

void Finish(ProcessResult& r) {
    if (r.failure.empty()) return;
    if (!r.err.empty() && r.err.back() != '\n') r.err += "\n";
    r.err += "[RunProcess] " + r.failure + "\n";
}

}  // namespace

std::string Describe(const ProcessResult& r) {
    std::string s = "status " + std::to_string(r.status);
    if (!r.failure.empty()) s += " (" + r.failure + ")";
    return s + "\n--- stdout:\n" + r.out + "\n--- stderr:\n" + r.err;
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, const std::string& work_dir) {
    return RunProcess(program, args, work_dir, ProcessOptions{});
}

#ifdef _WIN32

namespace {

std::string SystemError(DWORD code) {
    char buf[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf, sizeof(buf), nullptr);
    while (n && (buf[n - 1] == '\n' || buf[n - 1] == '\r' || buf[n - 1] == ' ')) buf[--n] = 0;
    return std::string(n ? buf : "unknown error") + " (error " + std::to_string(code) + ")";
}

std::string QuoteArg(const std::string& a) {
    if (!a.empty() && a.find_first_of(" \t\"") == std::string::npos) return a;
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : a) {
        if (c == '\\') {
            ++backslashes;
        } else if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
            backslashes = 0;
        } else {
            backslashes = 0;
        }
        out += c;
    }
    out.append(backslashes, '\\');
    return out + "\"";
}

// Not inheritable: only the start below, under its lock, lets the child have it.
HANDLE OpenOutput(const std::string& path, bool fresh, ProcessResult& r) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           fresh ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        Fail(r, "cannot open the output file " + path + ": " + SystemError(GetLastError()));
        return nullptr;
    }
    return h;
}

bool ReadOutput(const std::string& path, std::string& into, ProcessResult& r) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        Fail(r, "cannot read the output file " + path + ": " + SystemError(GetLastError()));
        return false;
    }
    char buf[65536];
    DWORD got = 0;
    bool ok = true;
    while (into.size() < kMaxOutput) {
        if (!ReadFile(h, buf, sizeof(buf), &got, nullptr)) {
            Fail(r, "cannot read the output file " + path + ": " + SystemError(GetLastError()));
            ok = false;
            break;
        }
        if (got == 0) break;
        into.append(buf, got);
    }
    CloseHandle(h);
    return ok;
}

// Handles become inheritable only inside this lock, so that a start on another thread never
// hands them to its child.
std::mutex g_start;

bool Start(const std::string& program, std::string cmd, HANDLE in, HANDLE out, HANDLE err, PROCESS_INFORMATION& pi,
           DWORD& error) {
    std::lock_guard<std::mutex> lock(g_start);
    HANDLE handles[3] = {in, out, err};
    for (HANDLE h : handles) SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = err;
    const bool ok = qp::StartInheritingOnly(program.c_str(), std::move(cmd), {in, out, err}, si, CREATE_SUSPENDED,
                                            nullptr, pi);
    error = ok ? 0 : GetLastError();
    for (HANDLE h : handles) SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);
    return ok;
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, const std::string& work_dir,
                         const ProcessOptions& options) {
    ProcessResult r;
    const OutputFiles files = OutputFilesOf(work_dir, GetCurrentProcessId(), options);
    const bool fresh_out = files.fresh_out, fresh_err = files.fresh_err;
    const std::string& out_path = files.out_path;
    const std::string& err_path = files.err_path;
    std::string cmd = QuoteArg(program);
    for (const auto& a : args) cmd += " " + QuoteArg(a);

    HANDLE in = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE) {
        Fail(r, "cannot open NUL for the standard input: " + SystemError(GetLastError()));
        in = nullptr;
    }
    HANDLE out = OpenOutput(out_path, fresh_out, r);
    HANDLE err = OpenOutput(err_path, fresh_err, r);
    PROCESS_INFORMATION pi{};
    if (in && out && err) {
        // Under Wine on a loaded machine a start has been seen to fail right after the previous
        // child ended; that is no fault of the program under test, so try again a few times and
        // only then give up, saying why.
        DWORD start_error = 0;
        bool started = false;
        for (int attempt = 0; attempt < 5 && !started; ++attempt) {
            if (attempt) Sleep(200 * attempt);
            started = Start(program, cmd, in, out, err, pi, start_error);
        }
        if (!started) Fail(r, "CreateProcess failed for " + cmd + ": " + SystemError(start_error));
    }
    for (HANDLE h : {in, out, err})
        if (h) CloseHandle(h);

    if (pi.hProcess) {
        // The job holds everything the program starts, so that a time-out ends all of it. It is
        // not killed when closed: helpers that outlive a program on purpose (the uninstaller's
        // self-delete) go on.
        HANDLE job = CreateJobObjectA(nullptr, nullptr);
        const bool in_job = job && AssignProcessToJobObject(job, pi.hProcess);
        ResumeThread(pi.hThread);
        CloseHandle(pi.hThread);
        if (WaitForSingleObject(pi.hProcess, options.timeout_ms) != WAIT_OBJECT_0) {
            r.timed_out = true;
            if (in_job) TerminateJobObject(job, 1);
            else TerminateProcess(pi.hProcess, 1);
            const bool ended = WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
            Fail(r, "timed out after " + std::to_string(options.timeout_ms) + " ms; killed " +
                        (in_job ? "it and the processes it started" : "it (no job object: processes it started may live on)") +
                        (ended ? "" : ", but it has not ended 30 s later"));
        } else {
            DWORD code = 0;
            if (GetExitCodeProcess(pi.hProcess, &code)) r.status = static_cast<int>(code);
            else Fail(r, "cannot ask the exit code: " + SystemError(GetLastError()));
        }
        if (job) CloseHandle(job);
        CloseHandle(pi.hProcess);
    }
    // Output of a program that never started is not read: the files are empty or someone else's.
    if (pi.hProcess) {
        ReadOutput(out_path, r.out, r);
        ReadOutput(err_path, r.err, r);
    }
    if (out && fresh_out) DeleteFileA(out_path.c_str());
    if (err && fresh_err) DeleteFileA(err_path.c_str());
    Finish(r);
    return r;
}

#else

namespace {

std::string Errno(int e) { return std::string(std::strerror(e)) + " (errno " + std::to_string(e) + ")"; }

int OpenOutput(const std::string& path, bool fresh, ProcessResult& r) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (fresh ? O_EXCL : O_TRUNC), 0644);
    if (fd < 0) Fail(r, "cannot open the output file " + path + ": " + Errno(errno));
    return fd;
}

void ReadOutput(const std::string& path, std::string& into, ProcessResult& r) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        Fail(r, "cannot read the output file " + path + ": " + Errno(errno));
        return;
    }
    char buf[65536];
    while (into.size() < kMaxOutput) {
        const ssize_t n = ::read(fd, buf, sizeof(buf));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            Fail(r, "cannot read the output file " + path + ": " + Errno(errno));
            break;
        }
        if (n == 0) break;
        into.append(buf, std::size_t(n));
    }
    ::close(fd);
}

void Nap(long ms) {
    timespec t{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, const std::string& work_dir,
                         const ProcessOptions& options) {
    ProcessResult r;
    const OutputFiles files = OutputFilesOf(work_dir, unsigned(getpid()), options);
    const bool fresh_out = files.fresh_out, fresh_err = files.fresh_err;
    const std::string& out_path = files.out_path;
    const std::string& err_path = files.err_path;
    const int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (in < 0) Fail(r, "cannot open /dev/null for the standard input: " + Errno(errno));
    const int out = OpenOutput(out_path, fresh_out, r);
    const int err = OpenOutput(err_path, fresh_err, r);
    int report[2] = {-1, -1};  // the child's exec error, if any; closed by a successful exec
    if (r.Ran() && ::pipe2(report, O_CLOEXEC) != 0) Fail(r, "cannot make a pipe: " + Errno(errno));

    pid_t pid = -1;
    if (r.Ran()) {
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        rlimit lim{};
        int max_fd = 4096;
        if (getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY && lim.rlim_cur < 65536) max_fd = int(lim.rlim_cur);
        pid = fork();
        if (pid == 0) {
            // A group of its own, so that a time-out can end everything it started.
            setpgid(0, 0);
            dup2(in, 0);
            dup2(out, 1);
            dup2(err, 2);
            for (int fd = 3; fd < max_fd; ++fd)
                if (fd != report[1]) close(fd);
            execv(program.c_str(), argv.data());
            const int e = errno;
            (void)!write(report[1], &e, sizeof(e));
            _exit(127);
        }
        if (pid < 0) Fail(r, "fork failed: " + Errno(errno));
        else setpgid(pid, pid);
    }
    for (int fd : {in, out, err, report[1]})
        if (fd >= 0) ::close(fd);
    if (pid > 0) {
        int exec_error = 0;
        ssize_t n;
        while ((n = ::read(report[0], &exec_error, sizeof(exec_error))) < 0 && errno == EINTR) {
        }
        if (n == sizeof(exec_error)) Fail(r, "cannot start " + program + ": " + Errno(exec_error));
        int status = 0;
        long waited = 0, step = 1;
        pid_t done = 0;
        while ((done = waitpid(pid, &status, WNOHANG)) == 0 && waited < long(options.timeout_ms)) {
            Nap(step);
            waited += step;
            if (step < 20) step *= 2;
        }
        if (done == 0) {
            r.timed_out = true;
            kill(-pid, SIGKILL);
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            Fail(r, "timed out after " + std::to_string(options.timeout_ms) + " ms; killed it and the processes it started");
        } else if (done < 0) {
            Fail(r, "waitpid failed: " + Errno(errno));
        } else if (WIFEXITED(status)) {
            if (r.Ran()) r.status = WEXITSTATUS(status);
        } else if (WIFSIGNALED(status)) {
            Fail(r, "killed by signal " + std::to_string(WTERMSIG(status)));
        }
        ReadOutput(out_path, r.out, r);
        ReadOutput(err_path, r.err, r);
    }
    if (report[0] >= 0) ::close(report[0]);
    if (out >= 0 && fresh_out) ::unlink(out_path.c_str());
    if (err >= 0 && fresh_err) ::unlink(err_path.c_str());
    Finish(r);
    return r;
}

#endif

}  // namespace qptest
