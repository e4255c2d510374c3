// "qpbc dump" of a kit's setup list (setup.lst), told from a project file by its magic.
#pragma once
#include <string>

#include "builder/cli/cli.h"

namespace qp {
namespace cli {

// True when the file starts with the setup list's magic.
bool IsSetupListFile(const std::string& path);
// Lists the setup list; the exit status of the command.
int DumpSetupListFile(const std::string& path, bool utf8, Context& ctx);

}  // namespace cli
}  // namespace qp
