// Private temporary folders: where setup.exe's private copy and the uninstaller's self-delete
// helper run. Each is a new folder "qp-run-<8 hex digits>" under the user's temporary folder,
// made by this process (so nobody else can have put anything in it) with an access list of its
// own: the system, the administrators and the user, nothing inherited from the temporary
// folder, which on some systems lets every user add files.
#pragma once
#include <string>

namespace qp {

constexpr char kPrivateFolderPrefix[] = "qp-run-";
// The self-delete helper's: empty, such a folder belongs to a helper that has ended.
constexpr char kHelperFolderPrefix[] = "qp-del-";

// The user's temporary folder without its trailing backslash; empty when the system gives none.
std::string TempFolder();

// A new private folder "<prefix><8 hex digits>", or empty when none could be made.
std::string MakePrivateFolder(const char* prefix = kPrivateFolderPrefix);

// Deletes `file` (a program's image may stay mapped for a moment after its process has ended)
// and removes `folder`, trying for a few seconds.
void RemovePrivateFolder(const std::string& folder, const std::string& file);

// Private folders of earlier runs whose starter was killed (empty and older than a minute), and
// of self-delete helpers that have ended (empty): removed. A folder still holding a file belongs
// to a run still going (the programs in them are held open delete-on-close and go with their
// last user).
void SweepStalePrivateFolders();

}  // namespace qp
