// Benchmark, not a test: adds the files named in a list file to a new archive one ZpArchive
// call each, as the kit build does, and prints the seconds (the archive finished included).
//   bench_kitzip ARCHIVE NAMES_FILE
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "kitzip/kitzip.h"

static int ZP_CALL Print(char* text, unsigned long size) {
    std::fwrite(text, 1, size, stderr);
    return static_cast<int>(size);
}
static int ZP_CALL Comment(char* c) {
    c[0] = '\0';
    return 1;
}
static int ZP_CALL Password(char*, int, const char*, const char*) { return 1; }

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: bench_kitzip ARCHIVE NAMES_FILE\n";
        return 2;
    }
    std::vector<std::string> files;
    std::ifstream in(argv[2]);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) files.push_back(line);
    std::remove(argv[1]);
    ZIPUSERFUNCTIONS callbacks{Print, Comment, Password};
    ZpInit(&callbacks);
    auto start = std::chrono::steady_clock::now();
    for (std::string& f : files) {
        std::string dir = f.substr(0, f.find_last_of('/'));
        ZPOPT o{};
        o.szArchiveDir = dir.c_str();
        o.fRecurse = 1;
        o.fLevel = 6;
        ZpSetOptions(&o);
        char* list[] = {f.data()};
        if (ZpArchive(ZCL{1, argv[1], list}) != 0) {
            std::cerr << "cannot add " << f << "\n";
            return 1;
        }
    }
    if (!kitzip::FinishPendingArchive()) return 1;
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%zu %.3f\n", files.size(), took.count());
    return 0;
}
