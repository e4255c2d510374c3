// SHA-256, for the installer hash of the package manager's manifests: the same digest on every
// platform the builder runs on, without a crypto library.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace qp {

class Sha256 {
public:
    Sha256();
    void Update(const void* data, std::size_t n);
    std::array<std::uint8_t, 32> Final();
    // The digest as 64 hexadecimal digits, upper case as the package manager writes them.
    std::string FinalHex();

private:
    void Block(const std::uint8_t* p);
    std::uint32_t h_[8];
    std::uint8_t buf_[64];
    std::size_t used_ = 0;
    std::uint64_t total_ = 0;
};

// The digest of a whole file, in upper-case hexadecimal; empty when it cannot be read.
std::string FileSha256(const std::string& path);

}  // namespace qp
