// The import of a directory-style project (".ipr"). Until the definition files are read, an
// import yields what a directory without definition files gives: the default folder tree and
// the default shortcut folders, with a "Link" shortcut in the program folder.
#include "builder/model/projectfile.h"

namespace qp {

bool ImportDirectoryProject(CDazDoc& doc, const std::string& ipr_path, Reporter& reporter) {
    (void)ipr_path;
    (void)reporter;
    doc.CreateDefaultFolders();
    doc.CreateDefaultShortcuts("Link");
    return true;
}

}  // namespace qp
