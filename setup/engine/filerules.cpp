// The portable decisions of the file installation rules: the overwrite decision, the names of
// a file node's target and archive member, the temporary name of a locked target, report texts.
#include "setup/engine/filerules.h"

namespace qp {

namespace {

enum class Order { Earlier, Equal, Later };

Order Compare(std::uint64_t packaged, std::uint64_t target) {
    if (packaged < target) return Order::Earlier;
    if (packaged > target) return Order::Later;
    return Order::Equal;
}

// The sub-modes are tried in a fixed order; the first one set decides. `decided` stays false
// when none is set, so the caller falls through to the next check.
bool BySubMode(std::uint32_t word, std::uint32_t newer, std::uint32_t same, std::uint32_t older, Order order,
               bool& decided) {
    decided = true;
    if (word & newer) return order == Order::Later;
    if (word & same) return order != Order::Earlier;
    if (word & older) return order == Order::Earlier;
    decided = false;
    return true;
}

}  // namespace

bool OverwriteDecision(std::uint32_t word, const OverwriteFacts& f) {
    using namespace overwrite;
    if (!f.target_exists) return true;
    if (word & kAlways) return true;
    if (word & kNever) return false;
    const Order by_date = Compare(f.packaged_time, f.target_time);
    const Order by_version = Compare(f.packaged_version, f.target_version);
    bool decided = false;
    if (word & kByDate) {
        bool r = BySubMode(word, kNewerDate, kNewerOrSameDate, kOlderDate, by_date, decided);
        if (decided) return r;
    }
    if (word & kByVersion) {
        bool r = BySubMode(word, kNewerVersion, kNewerOrSameVersion, kOlderVersion, by_version, decided);
        if (decided) return r;
    }
    if (word & kByVersionAndDate) {
        bool r = BySubMode(word, kNewerVersion, kNewerOrSameVersion, kOlderVersion, by_version, decided);
        if (decided) return r;
        r = BySubMode(word, kNewerDate, kNewerOrSameDate, kOlderDate, by_date, decided);
        if (decided) return r;
    }
    return true;
}

std::string NodeFileName(const std::string& node_name) {
    auto pos = node_name.rfind('\\');
    return pos == std::string::npos ? node_name : node_name.substr(pos + 1);
}

std::string RelativeFolder(const std::string& full_path) {
    auto first = full_path.find('\\');
    auto last = full_path.rfind('\\');
    if (first == std::string::npos || first == last) return "";
    return full_path.substr(first + 1, last - first - 1);
}

std::string TargetPath(const std::string& expanded_destination, const std::string& full_path) {
    std::string path = expanded_destination;
    if (!path.empty() && path.back() == '\\') path.pop_back();
    path += '\\';
    std::string folder = RelativeFolder(full_path);
    if (!folder.empty()) path += folder + '\\';
    auto pos = full_path.rfind('\\');
    path += pos == std::string::npos ? full_path : full_path.substr(pos + 1);
    return path;
}

std::string MemberName(const std::string& full_path) {
    std::string member = full_path;
    for (char& c : member)
        if (c == '\\') c = '/';
    return member;
}

std::string TemporaryNameFor(const std::string& target, const std::function<bool(const std::string&)>& exists) {
    for (std::size_t i = target.size(); i-- > 0;) {
        const char c = target[i];
        if (c == '.') continue;
        if (c == '\\' || c == ':') return "";
        std::string candidate = target;
        for (char letter = 'a'; letter <= 'y'; ++letter) {
            candidate[i] = letter;
            if (!exists(candidate)) return candidate;
        }
    }
    return "";
}

std::string ReportPair(const std::string& word, const std::string& path) { return word + " " + path; }
std::string LockedFileText(const std::string& target) { return "File " + target + " is  locked!"; }
std::string RestartByText(const std::string& target) { return "Restart By " + target; }
std::string RegisterFailedText(const std::string& target) { return "Registered " + target + " failed"; }

}  // namespace qp
