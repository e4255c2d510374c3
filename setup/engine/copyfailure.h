// What the file phase does when a file cannot be copied. A full disk fails every file that
// follows the first; the user is asked once for the run, not once per file: Abort stops the run
// (which is then undone as a cancel is), Retry tries the file again, Ignore goes on and reports
// every later failure without asking. An unattended run ignores (every failure goes to its log
// and the run ends with the files-failed status).
//
// Also the folders a run creates, so that an undone run takes them away again.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace qp {

class FileEffects;
class Questions;

class CopyFailures {
public:
    enum Next { kRetry, kGoOn, kStop };
    // One failure; `text` is the report line of the file ("CANT COPY <path>").
    Next OnFailure(Questions& questions, const std::string& text);

private:
    bool ignore_rest_ = false;
};

// Adds to `created` every folder of `folder`'s path, from `folder` up, that does not exist yet
// (to be called just before the path is created). Drive roots are never added.
void NoteMissingFolders(const std::function<bool(const std::string&)>& exists, const std::string& folder,
                        std::vector<std::string>& created);
void NoteMissingFolders(FileEffects& fx, const std::string& folder, std::vector<std::string>& created);

// Removes the noted folders that are empty now, deepest first, and forgets them all.
void RemoveCreatedFolders(FileEffects& fx, std::vector<std::string>& created);

}  // namespace qp
