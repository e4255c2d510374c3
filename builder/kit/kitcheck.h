// What a project must be for its kit to install: names the setup runtime can turn into member
// names and target paths, trees within the setup list reader's limits, kit names that are one
// folder, and input files that are plain files. Each check returns the reason in words, or an
// empty text when all is well.
#pragma once
#include <string>
#include <unordered_map>
#include <vector>

#include "builder/model/doc.h"
#include "common/errors.h"

namespace qp {

// A project the kit cannot be made from. what() names the item and says what to change.
class KitRefused : public FormatError {
public:
    explicit KitRefused(const std::string& what) : FormatError(what) {}
};

// Why `name` cannot be one part of a path on Windows (a file or folder name): empty, "." or
// "..", a separator, a drive colon or another character Windows refuses, a trailing dot or
// blank, a device name such as "CON" or "LPT1.txt". Empty when it can.
std::string PathPartProblem(const std::string& name);

// Why `name` cannot name a kit: the same rules, since a kit is one folder below its root.
std::string KitNameProblem(const std::string& name);

// The file name that a file node's source path gives its member and its target: the text
// after the last separator ('\' or '/').
std::string SourceFileName(const std::string& source_path);

// What kind of thing stands at `path` (the host's own path).
enum class InputKind { kMissing, kRegular, kOther };
InputKind ClassifyInput(const std::string& host_path);
// Why the file at `path` (a stored path) cannot be read into a kit: missing, or not a regular
// file (a folder, a pipe, a device). Empty when it is a regular file.
std::string InputProblem(const std::string& path);

// Every file node whose source file is missing, and every one that is not a regular file,
// found the way the archive will look for it.
struct ProjectInputs {
    std::vector<std::string> missing;
    std::vector<std::string> not_regular;
};
ProjectInputs CheckProjectInputs(const CDazDoc& doc);

// Member paths of the whole kit ("Group\folder\name"), compared as Windows compares file names.
// Throws KitRefused when two files of the project would land on the same member, or a file on
// a folder, naming both.
class MemberNames {
public:
    void AddFolder(const std::string& member, const std::string& item);
    void AddFile(const std::string& member, const std::string& item);

private:
    struct Seen {
        bool folder;
        std::string item;
    };
    void Add(const std::string& member, bool folder, const std::string& item);
    std::unordered_map<std::string, Seen> seen_;  // by folded name
};

}  // namespace qp
