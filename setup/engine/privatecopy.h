// The command line of setup.exe's private copy. A setup.exe started from a kit folder (or an
// uninstaller started from the information folder) does not run there: the folder may hold
// whatever else was downloaded, and the system looks for DLLs in a program's own folder first.
// It copies itself into a new private temporary folder, runs the copy with the arguments below,
// waits for it, returns its exit status and removes it. The copy's own folder holds nothing
// but the copy.
//
// Internal argument form (after the copy's own path):
//
//   QRUN <handle> "<started program>" "<kit folder>" <the user's arguments, as they were given>
//
//   <handle>           decimal value of a handle of the starting process that the copy inherits
//                      (SYNCHRONIZE only): a removal run of the copy has the starter's file
//                      deleted once the starter has ended.
//   <started program>  full path of the program file the user started: the kit's setup.exe,
//                      the uninstaller in the information folder, or a one-file kit that carries
//                      its kit inside itself.
//   <kit folder>       where setup.lst, setup.cab and the side files are: the started program's
//                      folder for a plain kit; a one-file kit names the folder it unpacked into.
//
// Paths never hold a double quote, so the quotes need no escaping; the copy splits its command
// line with SplitCommandLine.
#pragma once
#include <string>
#include <vector>

namespace qp::setup {

constexpr char kPrivateCopySwitch[] = "QRUN";

struct PrivateCopyArgs {
    bool present = false;         // the line had the form above
    std::string handle;           // the starter's process handle, in decimal
    std::string started_path;     // the program file the user started
    std::string kit_folder;       // where the kit's files are
    std::vector<std::string> rest;  // the user's own arguments
};

// The copy's whole command line.
std::string PrivateCopyCommandLine(const std::string& copy_path, unsigned long handle,
                                   const std::string& started_path, const std::string& kit_folder,
                                   const std::string& user_arguments);

// `args` excludes the program name. present is false (and rest is `args`) unless the first
// argument is "QRUN" (in any case) followed by a handle number and two non-empty paths.
PrivateCopyArgs ParsePrivateCopy(const std::vector<std::string>& args);

// What follows the program name in a command line, as it stands (quotes and spacing kept,
// leading blanks dropped): the program name is the first quoted run, or the text up to the
// first blank.
std::string ArgumentsAfterProgram(const std::string& command_line);

// The folder part of a path (without the last backslash), empty when there is none.
std::string FolderOf(const std::string& path);

}  // namespace qp::setup
