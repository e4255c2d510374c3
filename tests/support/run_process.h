// Runs a program as a real process with its output in files of its own, and gives its exit
// status, or says why there is none.
#pragma once
#include <string>
#include <vector>

namespace qptest {

struct ProcessResult {
    int status = -1;  // the exit status; -1 when the program did not run to its end
    std::string out;
    std::string err;  // the program's errors; when `failure` is set it ends with that text too
    bool timed_out = false;  // the program outlived its limit and was killed with what it started
    std::string failure;     // why there is no status (start, an output file, the time limit); empty when it ran
    bool Ran() const { return failure.empty(); }
};

struct ProcessOptions {
    // The program and everything it started are killed when it runs longer.
    unsigned timeout_ms = 120000;
    // Where its output goes; empty: files of this run's own in the work folder, removed once read.
    std::string out_path, err_path;
};

// `work_dir` holds the output files while the program runs. The program gets an empty standard
// input and inherits no handle of ours but its output files.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, const std::string& work_dir);
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, const std::string& work_dir,
                         const ProcessOptions& options);

// Status, failure and both outputs, for a test's failure message.
std::string Describe(const ProcessResult& r);

}  // namespace qptest
