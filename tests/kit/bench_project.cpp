// For scripts/bench-build.sh (not a test): makes a project that holds every file below a
// directory, one group per top-level folder, sub-folders as folder nodes, absolute paths.
// Usage: bench_make_project OUTPUT.qpk DIR
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "builder/model/doc.h"
#include "builder/model/projectfile.h"

namespace fs = std::filesystem;

namespace {

class StderrReporter : public qp::Reporter {
public:
    using Reporter::Report;
    void Report(qp::Severity, const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

std::vector<fs::path> Sorted(const fs::path& dir) {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

void AddTree(qp::CObListFile& node, const fs::path& dir, std::size_t& files) {
    for (const auto& p : Sorted(dir)) {
        if (fs::is_directory(p)) {
            AddTree(*node.AddFolder(p.filename().string()), p, files);
        } else if (fs::is_regular_file(p)) {
            node.AddFile(fs::absolute(p).string());
            ++files;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_make_project OUTPUT.qpk DIR\n");
        return 2;
    }
    qp::CDazDoc doc;
    doc.AddLanguage(0);
    std::size_t files = 0;
    for (const auto& top : Sorted(argv[2])) {
        if (!fs::is_directory(top)) continue;
        qp::CItemGroup* g = doc.group_list.Add(top.filename().string());
        g->shared = 0;  // so that the install benchmark's removal deletes the files
        AddTree(g->file_tree, top, files);
        doc.root_component.AddChild(g->name)->file_groups.push_back(g);
    }
    StderrReporter reporter;
    if (!qp::SaveProject(doc, argv[1], reporter)) return 1;
    std::fprintf(stderr, "%zu files in %zu groups\n", files, doc.group_list.size());
    return 0;
}
