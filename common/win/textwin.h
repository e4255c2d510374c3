// Putting a text file into a read-only viewer window (an edit control).
#pragma once
#include <windows.h>

#include <string>

namespace qp {

// Loads `file` as LoadViewerText does, makes it the window's text and posts a caret move to
// the start with nothing selected. False (window untouched) when the file cannot be loaded.
bool LoadTextFileIntoWindow(HWND window, const std::string& file);
// The same for a text already read (at most kViewerTextLimit bytes of it are shown).
void LoadTextIntoWindow(HWND window, const std::string& raw);

}  // namespace qp
