// Benchmark, not a test: extracts every member named in a list file through the runtime's
// extraction entry, one call per file as the setup engine makes them, and prints the seconds.
//   bench_unzip ARCHIVE NAMES_FILE OUT_DIR
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "setup/engine/unzip.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: bench_unzip ARCHIVE NAMES_FILE OUT_DIR\n";
        return 2;
    }
    std::vector<std::string> names;
    std::ifstream in(argv[2]);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line.back() != '/') names.push_back(line);
    const std::string out = argv[3];
    std::set<std::string> made;
    auto start = std::chrono::steady_clock::now();
    for (const std::string& name : names) {
        std::string target = out + "/" + name;
        std::string folder = target.substr(0, target.find_last_of('/'));
        // The engine creates each target's folder before extracting; so does the bench.
        if (made.insert(folder).second) std::filesystem::create_directories(folder);
        int rc = qp::ExtractMember(argv[1], name, folder, target);
        if (rc != 0) {
            std::cerr << "extract " << name << ": " << rc << "\n";
            return 1;
        }
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%zu %.3f\n", names.size(), took.count());
    return 0;
}
