// The host build has no version API and no FILETIME: the portable readers are the answer.
#include "common/fileinfo.h"

namespace qp {

std::uint64_t FileVersion(const std::string& file, std::string* text) {
    return FileVersionFromImage(file, text);
}

std::uint64_t FileTime(const std::string& file) { return FileTimePortable(file); }

}  // namespace qp
