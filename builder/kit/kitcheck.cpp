// The checks that keep a kit from promising what the setup runtime cannot do: names it would
// refuse or turn into other paths, two files on one member, inputs that are no plain files.
#include "builder/kit/kitcheck.h"

#include "common/fsprim.h"
#include "common/pathutil.h"
#include "common/strutil.h"

namespace qp {

namespace {

bool IsDeviceName(const std::string& name) {
    // Windows takes the part before the first dot (and trailing blanks) as the device.
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    base = LowerAscii(base);
    static const char* const kDevices[] = {"con", "prn", "aux", "nul", "conin$", "conout$", "clock$"};
    for (const char* d : kDevices)
        if (base == d) return true;
    if (base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) && base[3] >= '0' &&
        base[3] <= '9')
        return true;
    return false;
}

}  // namespace

std::string PathPartProblem(const std::string& name) {
    if (name.empty()) return "is empty";
    if (name == "." || name == "..") return "is \"" + name + "\", which names a folder of the path itself";
    for (unsigned char c : name) {
        if (c < 32) return "holds a control character";
        switch (c) {
        case '\\':
        case '/': return "holds a path separator ('" + std::string(1, static_cast<char>(c)) + "'); it must be one name";
        case ':':
        case '<':
        case '>':
        case '"':
        case '|':
        case '?':
        case '*': return "holds '" + std::string(1, static_cast<char>(c)) + "', which Windows does not allow in a name";
        default: break;
        }
    }
    if (name.back() == '.' || name.back() == ' ') return "ends with a dot or a blank, which Windows drops";
    if (IsDeviceName(name)) return "is a device name on Windows";
    return std::string();
}

std::string KitNameProblem(const std::string& name) {
    std::string why = PathPartProblem(name);
    return why.empty() ? why : "the kit name \"" + name + "\" " + why + "; give one folder name";
}

std::string SourceFileName(const std::string& source_path) {
    std::size_t cut = source_path.find_last_of("\\/");
    return cut == std::string::npos ? source_path : source_path.substr(cut + 1);
}

InputKind ClassifyInput(const std::string& host_path) {
    switch (StatPath(host_path).kind) {
    case PathKind::kMissing: return InputKind::kMissing;
    case PathKind::kFile: return InputKind::kRegular;
    default: return InputKind::kOther;
    }
}

std::string InputProblem(const std::string& path) {
    switch (ClassifyInput(HostPath(path))) {
    case InputKind::kRegular: return std::string();
    case InputKind::kMissing: return path + " does not exist";
    default: return path + " is not a regular file (a folder, a pipe or a device)";
    }
}

ProjectInputs CheckProjectInputs(const CDazDoc& doc) {
    ProjectInputs out;
    for (const auto& g : doc.group_list.items) {
        static_cast<const CObListFile&>(g->file_tree).ForEachFile([&](const CObListFile& f) {
            // The archive opens HostPath of the name; so does this check.
            switch (ClassifyInput(HostPath(f.name))) {
            case InputKind::kRegular: break;
            case InputKind::kMissing: out.missing.push_back(f.name); break;
            default: out.not_regular.push_back(f.name); break;
            }
        });
    }
    return out;
}

void MemberNames::AddFolder(const std::string& member, const std::string& item) { Add(member, true, item); }
void MemberNames::AddFile(const std::string& member, const std::string& item) { Add(member, false, item); }

void MemberNames::Add(const std::string& member, bool folder, const std::string& item) {
    auto [it, added] = seen_.emplace(LowerAscii(member), Seen{folder, item});
    if (added || (folder && it->second.folder)) return;
    throw KitRefused(it->second.item + " and " + item + " would both be stored as \"" + member +
                     "\" in the kit; rename one of them or move it to another folder");
}

}  // namespace qp
