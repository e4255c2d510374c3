// The one-file kit layout: the writer's bytes against a program assembled by hand, the reader
// through a signer's padding and certificate table, and the programs it refuses.
#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>

#include "common/errors.h"
#include "common/kitpayload.h"
#include "peimage.h"

namespace {

using qptest::Bytes;
using qptest::KitProgram;
using qptest::LE16;
using qptest::LE32;
using qptest::LE64;
using qptest::Str;
using qptest::operator+;

// The hand-made runtime: the version-resource image of the PE tests, 0x2B4 bytes, with a
// checksum value of its own so that the plain copy can be seen to get it back.
Bytes Runtime() {
    peimage::Image img = peimage::MakeImage();
    peimage::Put32(img.bytes, img.optional_at + 64, 0xC0FFEE);
    return img.bytes;
}
constexpr std::size_t kSecurityEntry = 0x58 + 96 + 4 * 8;  // PE32: data directory 4

Bytes TwoFiles() { return KitProgram(Runtime(), {{"setup.lst", Str("LIST")}, {"setup.cab", Str("ARCHIVE")}}); }

// What a signer does: pad to 8, append a WIN_CERTIFICATE, point data directory 4 at it.
Bytes Signed(Bytes program, std::size_t pad_to = 8) {
    while (program.size() % pad_to) program.push_back(0);
    const std::uint32_t at = static_cast<std::uint32_t>(program.size());
    const Bytes cert = LE32(16) + LE16(0x0200) + LE16(0x0002) + Str("PKCS");
    program = program + cert;
    peimage::Put32(program, kSecurityEntry, at);
    peimage::Put32(program, kSecurityEntry + 4, static_cast<std::uint32_t>(cert.size()));
    peimage::Put32(program, 0x58 + 64, 0x5151);  // signers recompute the checksum
    return program;
}

qp::KitPayloadFound Find(const Bytes& b, qp::KitPayload& p, std::string* why = nullptr) {
    qp::MemoryByteSource src(b);
    return qp::FindKitPayload(src, p, why);
}

TEST(KitPayload, WriterBytesMatchTheLayoutAssembledByHand) {
    const Bytes runtime = Runtime();
    const std::uint64_t r = runtime.size();  // 0x2B4
    const Bytes files = Str("LIST") + Str("ARCHIVE");
    const Bytes dir = LE16(9) + Str("setup.lst") + LE64(r) + LE64(4) + LE16(9) + Str("setup.cab") + LE64(r + 4) + LE64(7);
    const std::uint64_t dir_at = r + files.size();
    Bytes pad((8 - (dir_at + dir.size()) % 8) % 8, 0);
    Bytes fields = LE64(r) + LE64(dir_at) + LE32(static_cast<std::uint32_t>(dir.size())) + LE32(2) + LE32(0xC0FFEE) +
                   LE32(1) + LE32(0);
    const Bytes covered = files + dir + pad + fields;
    const std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, covered.data(), static_cast<uInt>(covered.size())));
    const Bytes expected = runtime + covered + LE32(crc) + Str("QPKITEND");

    const Bytes written = TwoFiles();
    EXPECT_EQ(expected, written);
    EXPECT_EQ(0u, written.size() % 8) << "a signer has nothing to pad";
}

TEST(KitPayload, ReadsTheFilesBackUnsignedAndSigned) {
    for (const Bytes& program : {TwoFiles(), Signed(TwoFiles()), Signed(TwoFiles() + Bytes{0}, 16)}) {
        qp::KitPayload p;
        std::string why;
        ASSERT_EQ(qp::KitPayloadFound::kFound, Find(program, p, &why)) << why;
        ASSERT_EQ(2u, p.files.size());
        qp::MemoryByteSource src(program);
        EXPECT_EQ(Str("LIST"), qp::ReadPayloadFile(src, *p.Find("SETUP.LST")));
        EXPECT_EQ(Str("ARCHIVE"), qp::ReadPayloadFile(src, *p.Find("setup.cab")));
        EXPECT_EQ(nullptr, p.Find("setup.bmp"));
        EXPECT_EQ(Runtime(), qp::PlainRuntime(src, p)) << "the plain runtime, checksum and security entry as built";
    }
}

TEST(KitPayload, PlainRuntimesHaveNoPayload) {
    qp::KitPayload p;
    EXPECT_EQ(qp::KitPayloadFound::kNone, Find(Runtime(), p));
    EXPECT_EQ(qp::KitPayloadFound::kNone, Find(Signed(Runtime()), p)) << "a signed runtime in a folder kit";
    EXPECT_EQ(qp::KitPayloadFound::kNone, Find(Runtime() + Bytes(3, 0), p)) << "section alignment padding";
}

TEST(KitPayload, WriterDropsTheRuntimesOwnSignature) {
    const Bytes program = KitProgram(Signed(Runtime()), {{"setup.lst", Str("L")}});
    qp::KitPayload p;
    ASSERT_EQ(qp::KitPayloadFound::kFound, Find(program, p));
    qp::MemoryByteSource src(program);
    Bytes expected = Signed(Runtime());
    expected.resize(0x2B8);  // up to the certificate table, the signer's padding kept
    peimage::Put32(expected, kSecurityEntry, 0);
    peimage::Put32(expected, kSecurityEntry + 4, 0);
    EXPECT_EQ(expected, qp::PlainRuntime(src, p));
}

TEST(KitPayload, DamagedAndCutProgramsAreRefused) {
    const Bytes good = TwoFiles();
    const std::size_t trailer = good.size() - 48;
    struct Case {
        const char* what;
        std::function<Bytes()> make;
    };
    auto poke = [&](std::size_t at, std::uint8_t v) {
        Bytes b = good;
        b[at] ^= v;
        return b;
    };
    auto field64 = [&](std::size_t at, std::uint64_t v, bool fix_crc) {
        Bytes b = good;
        for (int i = 0; i < 8; ++i) b[trailer + at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        if (fix_crc) {
            const std::size_t r = Runtime().size();
            std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, b.data() + r, static_cast<uInt>(trailer + 36 - r)));
            peimage::Put32(b, trailer + 36, crc);
        }
        return b;
    };
    const Case cases[] = {
        {"cut in the trailer", [&] { return Bytes(good.begin(), good.end() - 5); }},
        {"cut in the payload", [&] { return Bytes(good.begin(), good.begin() + 0x2B4 + 6); }},
        {"a byte of a file changed", [&] { return poke(0x2B4 + 2, 0x20); }},
        {"the checksum changed", [&] { return poke(trailer + 36, 1); }},
        {"the magic changed", [&] { return poke(good.size() - 1, 1); }},
        {"directory offset past the trailer (checksum fixed)", [&] { return field64(8, good.size(), true); }},
        {"runtime size inside the sections (checksum fixed)", [&] { return field64(0, 0x100, true); }},
        {"runtime size past the directory (checksum fixed)", [&] { return field64(0, trailer, true); }},
        {"signed, then the certificate table cut", [&] {
             Bytes s = Signed(good);
             return Bytes(s.begin(), s.end() - 3);
         }},
        {"signed, then the payload damaged", [&] {
             Bytes s = Signed(good);
             s[0x2B4] ^= 1;
             return s;
         }},
        {"something appended", [&] { return good + Str("tail bytes"); }},
        {"not a program", [&] { return Str("setup.lst and setup.cab in a text file"); }},
    };
    for (const Case& c : cases) {
        qp::KitPayload p;
        std::string why;
        EXPECT_EQ(qp::KitPayloadFound::kDamaged, Find(c.make(), p, &why)) << c.what;
        EXPECT_FALSE(why.empty()) << c.what;
    }
}

TEST(KitPayload, FileOffsetsOutsideThePayloadAreRefused) {
    // A directory whose second file starts before the first ends, with a checksum that fits.
    const Bytes runtime = Runtime();
    const std::uint64_t r = runtime.size();
    for (const std::uint64_t second_at : {r + 2, r + 100, r - 1}) {
        const Bytes files = Str("LIST") + Str("CAB");
        const Bytes dir = LE16(1) + Str("a") + LE64(r) + LE64(4) + LE16(1) + Str("b") + LE64(second_at) + LE64(3);
        const std::uint64_t dir_at = r + files.size();
        Bytes pad((8 - (dir_at + dir.size()) % 8) % 8, 0);
        Bytes covered = files + dir + pad + LE64(r) + LE64(dir_at) + LE32(static_cast<std::uint32_t>(dir.size())) +
                        LE32(2) + LE32(0) + LE32(1) + LE32(0);
        const std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, covered.data(), static_cast<uInt>(covered.size())));
        qp::KitPayload p;
        EXPECT_EQ(qp::KitPayloadFound::kDamaged, Find(runtime + covered + LE32(crc) + Str("QPKITEND"), p)) << second_at;
    }
}

TEST(KitPayload, WriterRefusesBadNames) {
    qp::KitProgramWriter w([](const void*, std::size_t) { return true; });
    EXPECT_THROW(w.BeginFile("setup.lst"), qp::FormatError) << "before the runtime";
    EXPECT_THROW(w.Runtime(Str("MZ but nothing else")), qp::FormatError);
    w.Runtime(Runtime());
    w.BeginFile("setup.lst");
    EXPECT_THROW(w.BeginFile("SETUP.LST"), qp::FormatError);
    EXPECT_THROW(w.BeginFile(""), qp::FormatError);
    EXPECT_THROW(w.BeginFile(std::string(260, 'a')), qp::FormatError);
}

}  // namespace
