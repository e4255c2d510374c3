// The install context: where the places named by path macros are on this computer, which
// operating system runs, and the paths of the product's installation-information folder.
// Filled once at start (win/context_win.cpp); the wizard changes destination and program folder.
#pragma once
#include <array>
#include <string>
#include "common/strutil.h"

namespace qp {

// The four shell folders that shortcuts are placed in, in the order of the shortcut kinds 0 to 3.
enum ShellFolder { kShellDesktop = 0, kShellStartMenu = 1, kShellPrograms = 2, kShellStartup = 3 };

struct InstallContext {
    std::string own_path;        // the running program file
    std::string started_path;    // the program file the user started (own path, or the file a
                                 // private copy was made of)
    std::string kit_folder;      // the started program's folder, or the kit folder it names
    std::string media_folder;    // where setup.cab is looked for
    std::string system_folder;
    std::string windows_folder;
    std::string program_files;   // the system's folder for programs of this architecture
    std::string destination;
    std::string program_folder;
    std::string product_guid;
    std::array<std::string, 4> user_shell;    // current user's folders, empty when missing
    std::array<std::string, 4> common_shell;  // all users' folders, empty when missing
    bool nt_family = false;
    int os_code = 0;  // see osmask.h; 0 when the version could not be asked

    // "<program files>\QPBInformation\<GUID>" and the three files kept in it.
    std::string InfoFolder() const;
    std::string InfoSetupExe() const { return InfoFolder() + "\\setup.exe"; }
    std::string InfoSetupList() const { return InfoFolder() + "\\setup.lst"; }
    std::string InfoLog() const { return InfoFolder() + "\\uninst.lst"; }
    std::string ArchivePath() const { return media_folder + "\\setup.cab"; }
};

// Removes one trailing backslash.
std::string WithoutTrailingBackslash(std::string path);

}  // namespace qp
