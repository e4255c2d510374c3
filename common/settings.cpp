// The settings block's field access and its colour defaults.
#include "settings.h"

#include <cstring>

namespace qp {

std::uint32_t SettingsBlock::U32(std::size_t offset) const {
    return static_cast<std::uint32_t>(bytes.at(offset)) | (static_cast<std::uint32_t>(bytes.at(offset + 1)) << 8) |
           (static_cast<std::uint32_t>(bytes.at(offset + 2)) << 16) | (static_cast<std::uint32_t>(bytes.at(offset + 3)) << 24);
}

void SettingsBlock::SetU32(std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

std::string SettingsBlock::product_guid() const {
    const char* p = reinterpret_cast<const char*>(bytes.data() + kProductGuid);
    std::size_t n = 0;
    while (n < kProductGuidSize && p[n]) ++n;
    return std::string(p, n);
}

void SettingsBlock::set_product_guid(const std::string& guid) {
    std::size_t n = guid.size() < kProductGuidSize ? guid.size() : kProductGuidSize - 1;
    std::memset(bytes.data() + kProductGuid, 0, kProductGuidSize);
    std::memcpy(bytes.data() + kProductGuid, guid.data(), n);
}

void DefaultSettings(SettingsBlock& block) {
    block.SetU32(SettingsBlock::kTitleTextColour, 0x00FFFF);
    block.SetU32(SettingsBlock::kTitleShadowColour, 0x000000);
    block.SetU32(SettingsBlock::kBottomTextColour, 0x00FFFF);
    block.SetU32(SettingsBlock::kBottomShadowColour, 0x000000);
    block.SetU32(SettingsBlock::kWindowColour1, 0x993300);
    block.SetU32(SettingsBlock::kWindowColour2, 0xCC6633);
    for (std::size_t i = 0; i < 7; ++i) block.SetU32(SettingsBlock::kFurtherColours + 4 * i, 0x1701FF);
    block.SetU32(SettingsBlock::kRightBottomTextColour, 0x00FFFF);
    block.SetU32(SettingsBlock::kRightBottomShadowColour, 0x000000);
}

}  // namespace qp
