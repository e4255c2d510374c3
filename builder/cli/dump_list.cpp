// "qpbc dump" of a setup list: the shared record reader and its listing.
#include "builder/cli/dump_list.h"

#include <cstdio>
#include <cstring>
#include <ostream>

#include "builder/cli/dump.h"
#include "common/setuplist.h"

namespace qp {
namespace cli {

bool IsSetupListFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char head[kSetupListMagicSize];
    bool match = std::fread(head, 1, sizeof head, f) == sizeof head &&
                 std::memcmp(head, kSetupListMagic, sizeof head) == 0;
    std::fclose(f);
    return match;
}

int DumpSetupListFile(const std::string& path, bool utf8, Context& ctx) {
    SetupList list;
    try {
        list = LoadSetupList(path);
    } catch (const SetupListError& e) {
        ctx.err << "qpbc: error: " << path << ": " << e.what() << " (" << e.detail() << ")\n";
        return kExitFailure;
    }
    ctx.out << "Setup list " << Quote(path, utf8) << "\n";
    DumpSetupList(list, ctx.out);
    return kExitOk;
}

}  // namespace cli
}  // namespace qp
