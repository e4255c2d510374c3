// The install context: where the places named by path macros are on this computer, which
// operating system runs, and the paths of the product's installation-information folder.
// Filled once at start (win/context_win.cpp); the wizard changes destination and program folder.
#pragma once
#include <array>
#include <cstdint>
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
    // A one-file kit: the program that carries setup.cab (media_folder is then its folder) and
    // where the archive lies inside it. Empty for a kit folder.
    std::string media_program;
    std::uint64_t archive_offset = 0, archive_size = 0;
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

    // An installed product's information folder where its registration says it is, when that
    // is not under program_files (a product of an older x86 runtime on 64-bit Windows has it
    // under the 64-bit "Program Files"). Empty: the folder below.
    std::string info_folder;

    // "<program files>\QPBInformation\<GUID>" (or info_folder) and the files kept in it.
    std::string InfoFolder() const;
    std::string InfoSetupExe() const { return InfoFolder() + "\\setup.exe"; }
    std::string InfoSetupList() const { return InfoFolder() + "\\setup.lst"; }
    std::string InfoLog() const { return InfoFolder() + "\\uninst.lst"; }
    std::string InfoRecord() const { return InfoFolder() + "\\written.lst"; }  // written.h
    // The file that holds the archive: setup.cab in the media folder, or the one-file kit.
    std::string ArchivePath() const { return media_program.empty() ? media_folder + "\\setup.cab" : media_program; }
    // What "MediaPath" records: the media folder, or the one-file kit's program.
    std::string MediaPath() const { return media_program.empty() ? media_folder : media_program; }
};

constexpr char kInfoFolderName[] = "QPBInformation";

// The information folder named by a registration's "LogFile" value: the folder of `log_file`
// when it is an absolute path "<drive>:\...\QPBInformation\<guid>\uninst.lst" (any case)
// without "." or ".." parts; empty otherwise, and the default place is used.
std::string InfoFolderOfLog(const std::string& log_file, const std::string& guid);

// Removes one trailing backslash.
std::string WithoutTrailingBackslash(std::string path);

}  // namespace qp
