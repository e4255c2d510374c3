// The 2188-byte settings block that the project file and the setup list carry as raw bytes.
// Reserved bytes stay as they were read, so the block travels through load and save unchanged.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace qp {

constexpr std::size_t kSettingsSize = 2188;

struct SettingsBlock {
    // Byte offsets of the fields that code reads or writes.
    static constexpr std::size_t kPageMask = 0;
    static constexpr std::size_t kProductGuid = 4;
    static constexpr std::size_t kProductGuidSize = 260;
    static constexpr std::size_t kOsMask = 1564;
    static constexpr std::size_t kTitleTextColour = 1588;
    static constexpr std::size_t kTitleShadowColour = 1592;
    static constexpr std::size_t kBottomTextColour = 1596;
    static constexpr std::size_t kBottomShadowColour = 1600;
    static constexpr std::size_t kWindowColour1 = 1604;
    static constexpr std::size_t kWindowColour2 = 1608;
    static constexpr std::size_t kFurtherColours = 1612;  // seven slots
    static constexpr std::size_t kRightBottomTextColour = 1640;
    static constexpr std::size_t kRightBottomShadowColour = 1644;

    std::array<std::uint8_t, kSettingsSize> bytes{};  // zero-filled

    std::uint32_t U32(std::size_t offset) const;
    void SetU32(std::size_t offset, std::uint32_t value);

    std::uint32_t page_mask() const { return U32(kPageMask); }
    void set_page_mask(std::uint32_t v) { SetU32(kPageMask, v); }
    std::uint32_t os_mask() const { return U32(kOsMask); }
    void set_os_mask(std::uint32_t v) { SetU32(kOsMask, v); }
    // The GUID field is zero-terminated text; a text that fills all 260 bytes ends at the field.
    std::string product_guid() const;
    void set_product_guid(const std::string& guid);  // cut to 259 bytes
};

// The colour defaults of a new settings block; every other byte keeps its value.
void DefaultSettings(SettingsBlock& block);

}  // namespace qp
