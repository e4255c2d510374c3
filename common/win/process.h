// Starting a child process whose output goes to handles of ours: qpbc's signing step and the
// tests that run qpbc.
#pragma once
#include <windows.h>

#include <string>

namespace qp {

// Starts `command_line` (the program is `program`, or the command line's first word when it is
// null) with our standard input and its output and errors written to `out` and `err`, which
// must be inheritable. The process handle for the caller to wait on and close, or null with
// GetLastError saying why.
HANDLE StartProcess(const char* program, std::string command_line, HANDLE out, HANDLE err);

// Waits for `process` at most `timeout_ms`, closes it and gives its exit code (`failed` when
// the code cannot be asked).
int FinishProcess(HANDLE process, DWORD timeout_ms, int failed);

}  // namespace qp
