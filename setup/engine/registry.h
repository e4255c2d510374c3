// Registry values of the project: the conversion of a node's data text to the bytes written,
// and the walk that installs or removes the values tied to file groups.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qp {

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;

// Hexadecimal digit pairs, high digit first; an odd last digit is dropped.
std::vector<std::uint8_t> BinaryFromHex(const std::string& digits);
// One hexadecimal number; empty gives 0; any other character (or more than 32 bits) 0xFFFFFFFF.
std::uint32_t DwordFromHex(const std::string& digits);

// The registry effects; win/registry_win.cpp writes the real registry.
class RegistryEffects {
public:
    virtual ~RegistryEffects() = default;
    // Creates `key` with every missing level under the predefined `root`; when `type` is not 0
    // sets the value `name` to `data`. False when the key cannot be created or opened.
    virtual bool SetValue(std::uint32_t root, const std::string& key, const std::string& name, std::uint32_t type,
                          const std::vector<std::uint8_t>& data) = 0;
    virtual void DeleteValue(std::uint32_t root, const std::string& key, const std::string& name) = 0;
    // Deletes a key with everything below it.
    virtual void DeleteKeyTree(std::uint32_t root, const std::string& key) = 0;
};

struct InstallContext;
struct RunState;

// Sets a value of node kind 3 (key only), 4 (text, macros expanded), 5 (binary) or 6 (double
// word). Returns 0 when the key cannot be created or opened, 1 otherwise.
int SetRegistryValue(RegistryEffects& reg, const InstallContext& ctx, std::uint32_t root, const std::string& key,
                     const std::string& name, const std::string& data, int kind);

// Visits the registry tree: each registry set installed, removed or left by its groups.
void ApplyRegistry(RunState& run, RegistryEffects& reg);

}  // namespace qp
