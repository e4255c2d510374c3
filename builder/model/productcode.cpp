// GUID texts, name-based GUIDs, the product GUID written back into a project file, and product
// strings set for one build.
#include "builder/model/productcode.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "builder/model/projectfile.h"
#include "common/fileio.h"
#include "common/hexdigit.h"
#include "common/keytable.h"
#include "common/strutil.h"

namespace qp {
namespace {

// SHA-1 of a byte string; only name-based GUIDs need it, so it stays small rather than fast.
std::array<std::uint8_t, 20> Sha1(const std::string& data) {
    std::uint32_t h[5] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};
    std::vector<std::uint8_t> m(data.begin(), data.end());
    const std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
    m.push_back(0x80);
    while (m.size() % 64 != 56) m.push_back(0);
    for (int i = 7; i >= 0; --i) m.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    auto rol = [](std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); };
    for (std::size_t off = 0; off < m.size(); off += 64) {
        std::uint32_t w[80];
        for (int i = 0; i < 16; ++i)
            w[i] = (std::uint32_t{m[off + 4 * i]} << 24) | (std::uint32_t{m[off + 4 * i + 1]} << 16) |
                   (std::uint32_t{m[off + 4 * i + 2]} << 8) | m[off + 4 * i + 3];
        for (int i = 16; i < 80; ++i) w[i] = rol(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (int i = 0; i < 80; ++i) {
            std::uint32_t f, k;
            if (i < 20) {
                f = (b & c) | (~b & d);
                k = 0x5A827999u;
            } else if (i < 40) {
                f = b ^ c ^ d;
                k = 0x6ED9EBA1u;
            } else if (i < 60) {
                f = (b & c) | (b & d) | (c & d);
                k = 0x8F1BBCDCu;
            } else {
                f = b ^ c ^ d;
                k = 0xCA62C1D6u;
            }
            std::uint32_t t = rol(a, 5) + f + e + k + w[i];
            e = d;
            d = c;
            c = rol(b, 30);
            b = a;
            a = t;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
        h[4] += e;
    }
    std::array<std::uint8_t, 20> out{};
    for (int i = 0; i < 20; ++i) out[i] = static_cast<std::uint8_t>(h[i / 4] >> (24 - 8 * (i % 4)));
    return out;
}

// The namespace of Quillpacker's name-based GUIDs, in network byte order.
constexpr std::uint8_t kNamespace[16] = {0x51, 0x75, 0x69, 0x6C, 0x6C, 0x70, 0x4B, 0x31,
                                         0x9A, 0x6B, 0x70, 0x72, 0x6F, 0x64, 0x75, 0x63};

bool IsWizardKey(const CDazDoc& doc, const std::string& key) {
    for (int id = 1; id < kKeyCount; ++id) {
        const char* name = KeyName(id);
        if (name && *name && EqualNoCase(key, name)) return true;
    }
    const CStringItem* s = doc.FindString(key);
    return s && s->category == CStringItem::kWizardText;
}

bool IsValidKey(const std::string& key) {
    if (key.empty() || (key[0] >= '0' && key[0] <= '9')) return false;
    for (char c : key) {
        bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) return false;
    }
    return true;
}

}  // namespace

bool ParseGuidText(const std::string& text, std::string& canonical) {
    std::string t = text;
    if (t.size() == 38 && t.front() == '{' && t.back() == '}') t = t.substr(1, 36);
    if (t.size() != 36) return false;
    std::uint8_t big[16];  // the digits in written order
    std::size_t n = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (t[i] != '-') return false;
            continue;
        }
        int hi = HexDigit(t[i]), lo = i + 1 < t.size() ? HexDigit(t[i + 1]) : -1;
        if (hi < 0 || lo < 0) return false;
        big[n++] = static_cast<std::uint8_t>(hi * 16 + lo);
        ++i;
    }
    // FormatGuid takes the system's memory order: the first three fields little-endian.
    const std::uint8_t mem[16] = {big[3], big[2], big[1], big[0], big[5],  big[4],  big[7],  big[6],
                                  big[8], big[9], big[10], big[11], big[12], big[13], big[14], big[15]};
    canonical = FormatGuid(mem);
    return true;
}

std::string NameBasedGuid(const std::string& name) {
    std::string input(reinterpret_cast<const char*>(kNamespace), sizeof kNamespace);
    input += name;
    std::array<std::uint8_t, 20> h = Sha1(input);
    h[6] = static_cast<std::uint8_t>((h[6] & 0x0F) | 0x50);  // version 5
    h[8] = static_cast<std::uint8_t>((h[8] & 0x3F) | 0x80);  // variant 10xx
    const std::uint8_t mem[16] = {h[3], h[2], h[1], h[0], h[5],  h[4],  h[7],  h[6],
                                  h[8], h[9], h[10], h[11], h[12], h[13], h[14], h[15]};
    return FormatGuid(mem);
}

std::string ImportedProductGuid(const CDazDoc& doc, const std::string& ipr_path) {
    std::string file = ipr_path.substr(ipr_path.find_last_of("\\/") + 1);
    for (char& c : file)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    auto value = [&](const char* key) {
        const CStringItem* s = doc.FindString(key);
        return s ? s->Value(0) : std::string();
    };
    // Zero bytes keep the parts apart: no two different triples give the same name.
    std::string name = "ipr";
    name += '\0' + file + '\0' + value("COMPANY_NAME") + '\0' + value("PRODUCT_NAME");
    return NameBasedGuid(name);
}

bool StoreProductGuid(const std::string& path, const std::string& guid, Reporter& reporter) {
    // The magic text (a length byte and its characters) and the version come before the block.
    constexpr std::size_t kField = 1 + sizeof(kProjectMagic) - 1 + 4 + SettingsBlock::kProductGuid;
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(path, bytes) != FileResult::kOk) {
        reporter.Report(Severity::Error, "cannot read " + path + " to store the product GUID");
        return false;
    }
    const bool ours = bytes.size() >= kField + SettingsBlock::kProductGuidSize &&
                      bytes[0] == sizeof(kProjectMagic) - 1 &&
                      std::memcmp(&bytes[1], kProjectMagic, sizeof(kProjectMagic) - 1) == 0;
    if (!ours || bytes[kField] != 0 || guid.empty() || guid.size() >= SettingsBlock::kProductGuidSize) {
        reporter.Report(Severity::Error, path + " was not changed: it is not a project file without a product GUID");
        return false;
    }
    std::memcpy(&bytes[kField], guid.data(), guid.size());
    bytes[kField + guid.size()] = 0;
    if (WriteFileReplacing(path, bytes.data(), bytes.size(), ".qptmp") != FileResult::kOk) {
        reporter.Report(Severity::Error, "cannot store the product GUID in " + path);
        return false;
    }
    return true;
}

BuildStringResult SetBuildString(CDazDoc& doc, const std::string& key, const std::string& value) {
    if (!IsValidKey(key)) return BuildStringResult::kBadKey;
    if (key.size() > kBuildStringMax || value.size() > kBuildStringMax) return BuildStringResult::kTooLong;
    if (IsWizardKey(doc, key)) return BuildStringResult::kWizardText;
    const bool added = doc.FindString(key) == nullptr;
    CStringItem* s = doc.SetString(key, value);
    if (doc.LanguageCount() == 0) s->SetValue(0, value);
    return added ? BuildStringResult::kAdded : BuildStringResult::kChanged;
}

}  // namespace qp
