// Replays seed files through a fuzz target's entry point with the ordinary compiler, so that
// every test run feeds the readers the inputs the fuzzer starts from.
//   NAME_replay SEED_FOLDER      exit 0 when every seed went through, 77 when there is none
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SEED_FOLDER\n", argv[0]);
        return 2;
    }
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    namespace fs = std::filesystem;
    std::vector<fs::path> seeds;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(argv[1], ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        if (it->is_regular_file()) seeds.push_back(it->path());
    std::sort(seeds.begin(), seeds.end());
    if (seeds.empty()) {
        std::printf("no seed files in %s: nothing replayed\n", argv[1]);
        return 77;
    }
    for (const fs::path& seed : seeds) {
        std::ifstream in(seed, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", seed.string().c_str());
            return 1;
        }
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::printf("%s (%zu bytes)\n", seed.string().c_str(), bytes.size());
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%zu seed files replayed\n", seeds.size());
    return 0;
}
