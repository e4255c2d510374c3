// The project file (".qpk"): load and save of a whole document, and the ".ipr" dispatch.
// Failures reach the user through the Reporter with the texts below; nothing throws out of
// LoadProject, OpenProject or SaveProject.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "builder/model/doc.h"
#include "common/errors.h"
#include "common/report.h"

namespace qp {

constexpr char kProjectMagic[] = "HeaderFile Quillpack CopyRight 2001";
constexpr std::int32_t kProjectVersion = 1;

// The project file's own messages, and the texts for the failures of a load or save as a whole.
constexpr char kMsgUnknownFormat[] = "Unknown file format";
constexpr char kMsgNewerVersion[] = "Version is newer than program";
constexpr char kMsgLoadFailed[] = "Failed to open document.";
constexpr char kMsgSaveFailed[] = "Failed to save document.";

// Reads the project at `path` into `doc`, which must be freshly constructed (it carries the
// default string keys that the file's strings merge into). A path ending in ".ipr" runs the
// directory-project import instead; the document's path then ends in ".qpk" and it is marked
// modified. True when the read completed (doc.read_ok is 1); on false the document is half
// built and should be discarded.
bool LoadProject(CDazDoc& doc, const std::string& path, Reporter& reporter);

// Constructs a document and loads it; null when the open failed.
std::unique_ptr<CDazDoc> OpenProject(const std::string& path, Reporter& reporter,
                                     WizardTextSource* wizard_texts = nullptr);

// Writes the project to `path` through a temporary file beside it; the previous file stays
// intact when anything fails. On success the document's path is `path` and it is unmodified.
bool SaveProject(CDazDoc& doc, const std::string& path, Reporter& reporter);

// A refusal with a message of its own: what() is kMsgUnknownFormat or kMsgNewerVersion.
class ProjectFileRefusal : public FormatError {
public:
    explicit ProjectFileRefusal(const char* message) : FormatError(message) {}
};

// The bytes of the project file, and the reverse. ReadProjectBytes throws ProjectFileRefusal
// for a wrong magic or a newer version, and FormatError for a damaged file.
// `project_path` is the file's path, used to expand bare file names (empty: no expansion).
std::vector<std::uint8_t> WriteProjectBytes(const CDazDoc& doc);
void ReadProjectBytes(CDazDoc& doc, const std::uint8_t* data, std::size_t size, const std::string& project_path);

// The import of a directory-style project (".ipr") into a freshly constructed document.
bool ImportDirectoryProject(CDazDoc& doc, const std::string& ipr_path, Reporter& reporter);

}  // namespace qp
