// The member names of a finished zip archive, read from its central directory, so that the
// build can check that the archive holds exactly what the setup list promises.
#pragma once
#include <string>
#include <vector>

namespace qp {

// True when the end records of the archive can be read and place its directory inside it.
bool ZipHasEndRecords(const std::string& host_path);
// False when the file cannot be read or its end records or central directory are damaged.
bool ReadZipMemberNames(const std::string& host_path, std::vector<std::string>& names);

}  // namespace qp
