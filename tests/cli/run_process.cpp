// Process start for the qpbc tests: CreateProcess under Windows, fork and exec on Linux.
#include "run_process.h"

#include "support/testutil.h"

#ifdef _WIN32
#include "common/win/process.h"
#endif

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace qptest {

#ifdef _WIN32

namespace {

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

HANDLE OpenOutput(const std::string& path) {
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, const std::string& work_dir) {
    ProcessResult result;
    std::string out_path = work_dir + "\\stdout.txt", err_path = work_dir + "\\stderr.txt";
    std::string cmd = QuoteArg(program);
    for (const auto& a : args) cmd += " " + QuoteArg(a);
    HANDLE out = OpenOutput(out_path), err = OpenOutput(err_path);
    // Under Wine on a loaded machine a start has been seen to fail right after the previous
    // child ended; that is no fault of the program under test, so try again a few times and
    // only then give up, saying why.
    HANDLE process = nullptr;
    DWORD start_error = 0;
    for (int attempt = 0; attempt < 5 && !process; ++attempt) {
        if (attempt) Sleep(200 * attempt);
        process = qp::StartProcess(program.c_str(), cmd, out, err);
        if (!process) start_error = GetLastError();
    }
    CloseHandle(out);
    CloseHandle(err);
    if (!process) {
        result.err = "CreateProcess failed with error " + std::to_string(start_error) + " for " + cmd;
        return result;
    }
    result.status = qp::FinishProcess(process, 60000, 0);
    result.out = ReadText(out_path);
    result.err = ReadText(err_path);
    return result;
}

#else

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, const std::string& work_dir) {
    ProcessResult result;
    std::string out_path = work_dir + "/stdout.txt", err_path = work_dir + "/stderr.txt";
    pid_t pid = fork();
    if (pid == 0) {
        int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    result.out = ReadText(out_path);
    result.err = ReadText(err_path);
    return result;
}

#endif

}  // namespace qptest
