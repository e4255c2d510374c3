// Benchmark helper (not a test): makes a large project, or opens one and saves it again,
// printing how long each step took. Driven by scripts/bench-project.sh.
//   bench_project gen PATH GROUPS FILES COMPONENTS REFS
//   bench_project roundtrip IN OUT
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "builder/model/projectfile.h"

namespace {

struct StderrReporter : qp::Reporter {
    void Report(qp::Severity, const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

double Since(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

int Generate(const std::string& path, long groups, long files, long components, long refs) {
    qp::CDazDoc doc;
    doc.NewProject();
    long per_group = files / groups;
    for (long g = 0; g < groups; ++g) {
        qp::CItemGroup* group = doc.group_list.Add("Group " + std::to_string(g));
        qp::CObListFile* folder = nullptr;
        for (long f = 0; f < per_group; ++f) {
            if (f % 10 == 0) folder = group->file_tree.AddFolder("dir" + std::to_string(f / 10));
            folder->AddFile("C:\\Source\\Product\\group" + std::to_string(g) + "\\file" + std::to_string(f) + ".dll");
        }
    }
    for (long c = 0; c < components; ++c) {
        qp::CItemComponent* comp = doc.root_component.AddChild("Component " + std::to_string(c));
        comp->description = "Description of component " + std::to_string(c);
        for (long r = 0; r < refs; ++r)
            comp->file_groups.push_back(doc.group_list.items[(c * refs + r) % groups].get());
        if (c > 0) comp->required_components.push_back(doc.root_component.children[c - 1].get());
    }
    StderrReporter rep;
    return qp::SaveProject(doc, path, rep) ? 0 : 1;
}

int Roundtrip(const std::string& in, const std::string& out) {
    StderrReporter rep;
    // CPU time next to wall time: on a shared machine the wall clock says more about the others.
    auto t0 = std::chrono::steady_clock::now();
    std::clock_t c0 = std::clock();
    auto doc = qp::OpenProject(in, rep);
    if (!doc) return 1;
    double open_s = Since(t0), open_cpu = double(std::clock() - c0) / CLOCKS_PER_SEC;
    auto t1 = std::chrono::steady_clock::now();
    std::clock_t c1 = std::clock();
    if (!qp::SaveProject(*doc, out, rep)) return 1;
    double save_s = Since(t1), save_cpu = double(std::clock() - c1) / CLOCKS_PER_SEC;
    std::printf("open %.3f s (cpu %.3f s), save %.3f s (cpu %.3f s), groups %zu, components %zu\n", open_s, open_cpu,
                save_s, save_cpu, doc->group_list.size(), doc->root_component.children.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "gen" && argc == 7)
        return Generate(argv[2], std::atol(argv[3]), std::atol(argv[4]), std::atol(argv[5]), std::atol(argv[6]));
    if (mode == "roundtrip" && argc == 4) return Roundtrip(argv[2], argv[3]);
    std::fprintf(stderr, "usage: bench_project gen PATH GROUPS FILES COMPONENTS REFS | roundtrip IN OUT\n");
    return 2;
}
