// Starting child processes: with output written to handles of ours (qpbc's signing step, the
// tests that run qpbc), and in general with only the handles the child is meant to have.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>

namespace qp {

// Starts `command_line` (the program is `program`, or the command line's first word when it is
// null) so that it inherits the handles of `inherit` and no other handle of this process, where
// the system honours a handle list (everywhere from Windows Vista on). Null, invalid, repeated
// and non-inheritable handles are left out of the list; with none left the child inherits
// nothing. `si` gives the window state and the standard handles, `folder` the current folder
// (null: ours). The child's process and thread handles come back in `pi`, for the caller to
// close; false with GetLastError saying why.
bool StartInheritingOnly(const char* program, std::string command_line, std::initializer_list<HANDLE> inherit,
                         const STARTUPINFOA& si, DWORD flags, const char* folder, PROCESS_INFORMATION& pi);

// Starts `command_line` with our standard input and its output and errors written to `out` and
// `err`, which must be inheritable; it inherits those three and nothing else. The process
// handle for the caller to wait on and close, or null with GetLastError saying why.
HANDLE StartProcess(const char* program, std::string command_line, HANDLE out, HANDLE err);

// Waits for `process` at most `timeout_ms`, closes it and gives its exit code (`failed` when
// the code cannot be asked).
int FinishProcess(HANDLE process, DWORD timeout_ms, int failed);

}  // namespace qp
