// A minimal PE image with a version resource, assembled by hand, and the ways the version
// tests damage it. Shared by the portable tests and the agreement tests under Wine.
#pragma once
#include <cstring>
#include <string>

#include "support/testutil.h"

namespace peimage {

using qptest::Bytes;
using qptest::LE16;
using qptest::LE32;
using qptest::operator+;

inline void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Layout of the image that MakeImage assembles, so tests can damage single fields.
struct Image {
    Bytes bytes;
    std::size_t optional_at = 0x58;  // after the 0x40 DOS header and the 24-byte PE/COFF header
    std::size_t section_at = 0;      // the one section header (".rsrc")
    std::size_t rsrc = 0x200;        // file offset of the resource section
    // Offsets inside the resource section.
    static constexpr std::size_t kTypeDir = 0x00, kNameDir = 0x18, kLangDir = 0x30, kDataEntry = 0x48,
                                 kVersionInfo = 0x58;
};

// A minimal PE image: one section ".rsrc" at RVA 0x1000 holding one version resource (type 16,
// name 1, language 0x409) with file version 1.2.3.4 and product version 9.9.9.9.
inline Image MakeImage(bool pe32plus = false) {
    Image img;
    const std::uint16_t optional_size = pe32plus ? 240 : 224;
    const std::size_t count_at = pe32plus ? 108 : 92;
    img.section_at = img.optional_at + optional_size;

    Bytes b(img.rsrc, 0);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 60, 0x40);
    std::memcpy(&b[0x40], "PE\0\0", 4);
    Put16(b, 0x44, pe32plus ? 0x8664 : 0x14C);  // machine
    Put16(b, 0x46, 1);                          // sections
    Put16(b, 0x54, optional_size);
    Put16(b, img.optional_at, pe32plus ? 0x20B : 0x10B);
    Put32(b, img.optional_at + count_at, 16);
    Put32(b, img.optional_at + count_at + 4 + 16, 0x1000);  // resource directory RVA
    Put32(b, img.optional_at + count_at + 4 + 20, 0xB4);    // and size
    std::memcpy(&b[img.section_at], ".rsrc\0\0\0", 8);
    Put32(b, img.section_at + 8, 0xB4);     // virtual size
    Put32(b, img.section_at + 12, 0x1000);  // virtual address
    Put32(b, img.section_at + 16, 0xB4);    // raw size
    Put32(b, img.section_at + 20, 0x200);   // raw offset

    // Directories: characteristics, time, major, minor, named count, id count, then entries.
    Bytes dir_head = LE32(0) + LE32(0) + LE16(0) + LE16(0) + LE16(0) + LE16(1);
    Bytes rsrc = dir_head + LE32(16) + LE32(0x80000000u | Image::kNameDir)  // type 16 (version)
                 + dir_head + LE32(1) + LE32(0x80000000u | Image::kLangDir)  // name 1
                 + dir_head + LE32(0x409) + LE32(Image::kDataEntry)          // language, data entry
                 + LE32(0x1000 + Image::kVersionInfo) + LE32(92) + LE32(0) + LE32(0);
    // VS_VERSIONINFO: length, value length, type, key, padding, fixed file information.
    Bytes key;
    for (char c : std::string("VS_VERSION_INFO")) key = key + Bytes{static_cast<std::uint8_t>(c), 0};
    key = key + Bytes{0, 0};
    rsrc = rsrc + LE16(92) + LE16(52) + LE16(0) + key + LE16(0)  // 6 + 32 + 2 = 40
           + LE32(0xFEEF04BD) + LE32(0x00010000) + LE32(0x00010002) + LE32(0x00030004)  // file 1.2.3.4
           + LE32(0x00090009) + LE32(0x00090009) + Bytes(28, 0);
    img.bytes = b + rsrc;
    return img;
}

const std::uint64_t kImageVersion = 0x0001000200030004ull;

struct Damage {
    const char* what;
    void (*apply)(Image&);
    // We refuse, but Wine's version.dll reads on: it ignores the data directory count (the
    // Windows loader does not), and reads fixed information that lies past the end of the
    // file or past the resource's own size (zeros or neighbouring bytes, not a version).
    bool stricter_than_wine = false;
};

// Damage that leaves no version to read.
inline const Damage kDamages[] = {
    {"pe offset past the end", [](Image& i) { Put32(i.bytes, 60, 0xFFFFFFF0u); }},
    {"unknown optional magic", [](Image& i) { Put16(i.bytes, i.optional_at, 0x107); }},
    {"too few data directories", [](Image& i) { Put32(i.bytes, i.optional_at + 92, 2); }, true},
    {"optional header too short", [](Image& i) { Put16(i.bytes, 0x54, 96); }},
    {"huge section count", [](Image& i) { Put16(i.bytes, 0x46, 0xFFFF); }},
    {"resource rva outside every section", [](Image& i) { Put32(i.bytes, i.optional_at + 112, 0x9000); }},
    {"raw data past the end", [](Image& i) { Put32(i.bytes, i.section_at + 20, 0x7FFFFFF0u); }},
    {"huge entry count", [](Image& i) { Put16(i.bytes, i.rsrc + Image::kTypeDir + 14, 0xFFFF); }},
    {"type directory points at itself",
     [](Image& i) { Put32(i.bytes, i.rsrc + Image::kTypeDir + 20, 0x80000000u); }},
    {"name directory entry is data", [](Image& i) { Put32(i.bytes, i.rsrc + Image::kTypeDir + 20, 0x30); }},
    {"language entry is a directory",
     [](Image& i) { Put32(i.bytes, i.rsrc + Image::kLangDir + 20, 0x80000000u | Image::kTypeDir); }},
    {"resource named 2, not 1", [](Image& i) { Put32(i.bytes, i.rsrc + Image::kNameDir + 16, 2); }},
    {"data rva outside the section",
     [](Image& i) { Put32(i.bytes, i.rsrc + Image::kDataEntry, 0x1000 + 0xB0); }, true},
    {"resource smaller than its fixed information",
     [](Image& i) { Put32(i.bytes, i.rsrc + Image::kDataEntry + 4, 60); }, true},
    {"no fixed value", [](Image& i) { Put16(i.bytes, i.rsrc + Image::kVersionInfo + 2, 0); }},
    {"fixed value too short", [](Image& i) { Put16(i.bytes, i.rsrc + Image::kVersionInfo + 2, 8); }},
};

// Fields that the system's query does not check either: the version is still read.
inline const Damage kIgnored[] = {
    {"bad fixed signature", [](Image& i) { Put32(i.bytes, i.rsrc + Image::kVersionInfo + 40, 0xFEEF04BE); }},
    {"other key text", [](Image& i) { i.bytes[i.rsrc + Image::kVersionInfo + 6] = 'X'; }},
    {"block length too short", [](Image& i) { Put16(i.bytes, i.rsrc + Image::kVersionInfo, 60); }},
};

}  // namespace peimage
