// The system's common dialogs: open and save (filters written with "|"), folder browser,
// colour.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace qp {

struct FileDialogOptions {
    std::string filter;         // "Text (*.txt)|*.txt|All (*.*)|*.*||"
    std::string default_ext;    // without the dot
    std::string initial_file;
    std::string title;
    bool multi_select = false;
    bool must_exist = true;
    bool hide_read_only = true;
    bool overwrite_prompt = true;  // save only
};

// Turns a "|" filter into the system's NUL-separated form (ending in two NULs).
std::string SystemFilter(const std::string& filter);
// Splits the multi-select answer (directory, NUL, names, NUL NUL; or one full path) into paths.
std::vector<std::string> SplitMultiSelect(const char* buffer);

// The chosen paths; empty when cancelled.
std::vector<std::string> OpenFileDialog(HWND owner, const FileDialogOptions& options);
// The chosen path; empty when cancelled.
std::string SaveFileDialog(HWND owner, const FileDialogOptions& options);
// The chosen directory; empty when cancelled.
std::string BrowseForFolder(HWND owner, const std::string& title);
// The same in the classic look with a status line, opened on `start` (empty: the default).
std::string BrowseForFolderAt(HWND owner, const std::string& title, const std::string& start);
// True with `colour` changed when the author accepted.
bool ChooseColour(HWND owner, COLORREF& colour);

}  // namespace qp
