// The portable half of the file installation rules: target and member names of a file node,
// the overwrite decision, the temporary name of a locked target, and the report texts.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/groupbits.h"

namespace qp {

// What is known of a packaged file and of the file already at its target.
struct OverwriteFacts {
    bool target_exists = false;
    std::uint64_t packaged_version = 0;
    std::uint64_t target_version = 0;  // 0 without a version resource
    std::uint64_t packaged_time = 0;
    std::uint64_t target_time = ~0ull;  // all bits set when the target cannot be opened
};

// True when the packaged file is to be written over the target.
bool OverwriteDecision(std::uint32_t overwrite_word, const OverwriteFacts& facts);

// The file name of a file node: the part of its name after the last backslash.
std::string NodeFileName(const std::string& node_name);
// `full_path` is the node's ancestors' names from the root down, then its file name, joined by
// "\". The folder between the root's name and the file name, or "" when there is none.
std::string RelativeFolder(const std::string& full_path);
// The target of a file node under an expanded destination.
std::string TargetPath(const std::string& expanded_destination, const std::string& full_path);
// The archive member of a file node: its full path with "/" for "\".
std::string MemberName(const std::string& full_path);

// A free name beside a locked target, for a replacement at restart: the target with one
// character changed to a letter a..y, tried from the last position towards the first; "" when
// a backslash or colon is reached first. `exists` tells whether a name is taken.
std::string TemporaryNameFor(const std::string& target, const std::function<bool(const std::string&)>& exists);

// Report texts: a word and a path joined by one blank ("Delete " brings a blank of its own).
std::string ReportPair(const std::string& word, const std::string& path);
std::string LockedFileText(const std::string& target);      // "File <path> is  locked!"
std::string RestartByText(const std::string& target);       // "Restart By <path>"
std::string RegisterFailedText(const std::string& target);  // "Registered <path> failed"

// What ExtractNew gives back when it did not try (the target is taken).
constexpr int kExtractNotTried = -1;

// The file-system effects the rules need; win/filerules_win.cpp has the real ones.
class FileEffects {
public:
    virtual ~FileEffects() = default;
    virtual bool Exists(const std::string& path) = 0;
    // Exists and cannot be opened for reading and writing.
    virtual bool IsLocked(const std::string& path) = 0;
    virtual std::uint64_t Version(const std::string& path) = 0;        // 0 without a resource
    virtual std::uint64_t LastWriteTime(const std::string& path) = 0;  // all ones when unreadable
    // Creates the folder with every missing level; true when it exists afterwards.
    virtual bool CreateFolderPath(const std::string& folder) = 0;
    // Extracts one archive member to `output`; 0 on success.
    virtual int Extract(const std::string& archive, const std::string& member, const std::string& folder,
                        const std::string& output) = 0;
    // Extracts a member to `output` only when nothing is there: the call that finds the name
    // free creates the file (and `folder` with its missing levels when it lacks), and the data
    // and the time go through that one handle. `taken` = true: something is at `output`, or
    // that could not be told; nothing was done and the caller treats the target as existing.
    // Otherwise the result is Extract's (0 written; on failure nothing is left at `output`).
    virtual int ExtractNew(const std::string& archive, const std::string& member, const std::string& folder,
                           const std::string& output, bool& taken);
    virtual bool Delete(const std::string& path) = 0;
    virtual bool RemoveFolder(const std::string& folder) = 0;  // only an empty one
    // Moves `temp` onto `target` at the next start of the system.
    virtual bool ScheduleReplace(const std::string& temp, const std::string& target) = 0;
    // 0 success; 2 OLE failed; 3 not loadable; 4 no DllRegisterServer; 5 it failed.
    virtual int SelfRegister(const std::string& path) = 0;
    virtual bool Copy(const std::string& from, const std::string& to) = 0;
    // Writes `bytes` as the file `to`, replacing what is there only once the new file is whole.
    virtual bool Write(const std::string& to, const std::vector<std::uint8_t>& bytes) = 0;
    // Lets go of the kit archive, which extraction may keep open between files, so that its
    // disk can be taken out.
    virtual void ReleaseArchive() = 0;
    // The system's use count of a shared file; -1 when it has none.
    virtual std::int64_t SharedCount(const std::string& path) = 0;
    // Sets the use count; a count below 1 removes it.
    virtual void SetSharedCount(const std::string& path, std::int64_t count) = 0;
};

struct RunState;
struct GroupRecord;
class Questions;
class EngineEvents;

// Installs or removes the files of one group on behalf of a component. False when the user
// chose Abort at a locked file; the abort flag is then set.
bool ProcessGroup(RunState& run, const GroupRecord& group, bool install, FileEffects& fx, Questions& questions,
                  EngineEvents& events);

// The folders from which files were deleted, each pruned once when the deletions are done: the
// folder and then each parent for as long as it is empty, the deepest first, so that a folder
// whose sub-folders go goes too. Never a drive root.
class EmptiedFolders {
public:
    // The folder of `path`, a file just deleted (or not: its folder is then simply not empty).
    void NoteFileOf(const std::string& path);
    // Removes what the noted folders leave empty, and forgets them.
    void Prune(FileEffects& fx);
    // The same for the folder of one deleted file.
    static void PruneFolderOf(FileEffects& fx, const std::string& path);

private:
    std::vector<std::string> folders_;
    std::unordered_set<std::string> seen_;
};

}  // namespace qp
