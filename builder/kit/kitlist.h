// The conversion of a project into setup-list records: what the kit build writes as setup.lst.
// Each file node's size, version and time are read from the file on disk at conversion time.
#pragma once
#include <cstdint>
#include <string>

#include "builder/model/doc.h"
#include "common/errors.h"
#include "common/setuplist.h"

namespace qp {

// A project text that does not fit the runtime's 260-byte field. what() names the item and the
// field; the text is never cut.
class TextTooLong : public FormatError {
public:
    explicit TextTooLong(const std::string& what) : FormatError(what) {}
};

// Size (whole kilobytes, 0 when it cannot be found), version and time of the file at `path`
// (a stored path; '\' works on the host too).
struct FileFacts {
    std::int32_t size_kb = 0;
    std::uint64_t version = 0;
    std::uint64_t time = 0;
};
FileFacts ReadFileFacts(const std::string& path);

// The records of the whole project. Throws TextTooLong for the first text that does not fit.
// Files below the project's folder are named relative to it (the runtime needs only the name).
// The product GUID is taken as the document holds it (the pipeline makes one first when empty).
SetupList MakeSetupList(const CDazDoc& doc);

// The text that goes into the setup list for a file node's source path: the runtime takes the
// file name after the last '\', so '/' (a separator on both systems) is written as '\'.
std::string StoredFileName(const std::string& source_path);

}  // namespace qp
