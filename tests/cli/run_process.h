// Runs a program as a real process with its output in files, and gives its exit status.
#pragma once
#include <string>
#include <vector>

namespace qptest {

struct ProcessResult {
    int status = -1;  // the exit status; -1 when the program could not be started
    std::string out;
    std::string err;
};

// `work_dir` holds the two output files while the program runs.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, const std::string& work_dir);

}  // namespace qptest
