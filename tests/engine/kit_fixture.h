// A tiny kit for engine tests: a setup list built from records and a stored zip archive, in a
// temporary folder, with the run state pointing at it.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "common/setuplist.h"
#include "setup/engine/questions.h"
#include "setup/engine/runstate.h"
#include "setup/engine/written.h"

namespace enginetest {

// Writes a zip archive with stored members (name -> content).
void WriteStoredZip(const std::string& path, const std::map<std::string, std::string>& members);

// A file node with a source path as the builder stores it.
qp::FileNode FileLeaf(const std::string& source_path);
qp::FileNode Folder(const std::string& name, std::vector<qp::FileNode> children);
qp::GroupRecord Group(const std::string& name, std::vector<qp::FileNode> files);
qp::ComponentRecord Component(const std::string& name, std::vector<std::string> groups);
qp::StringRecord Text(const std::string& key, const std::string& value);

// The files of a record of written files, in order.
std::vector<qp::WrittenFile> FilesOf(const qp::WrittenRecord& r);

// Answers the engine's questions from a script and records what it was told.
struct ScriptedQuestions : qp::Questions {
    std::vector<int> answers;  // Abort/Retry/Ignore answers, in order; Ignore when used up
    std::vector<std::string> asked;
    std::vector<std::string> messages;  // "caption|text"
    std::vector<std::string> folders;   // folders to pick, in order; cancel when used up

    int AbortRetryIgnore(const std::string& text, const std::string& caption) override;
    void Message(const std::string& text, const std::string& caption, Icon icon) override;
    bool PickFolder(const std::string& title, std::string& folder) override;
};

struct RecordingEvents : qp::EngineEvents {
    std::vector<std::string> statuses;
    int range = -1;
    int last_pos = 0;
    void Status(const std::string& text) override { statuses.push_back(text); }
    void ProgressRange(int n) override { range = n; }
    void ProgressPos(int p) override { last_pos = p; }
};

}  // namespace enginetest
