// The zip directory reader against hand-assembled archives: the end record with its comment,
// the Zip64 locator and end record, the central record with its Zip64 extra field, and the
// refusals of cut or garbled directories.
#include "common/zipdir.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/errors.h"
#include "support/testutil.h"

namespace {

using qptest::Bytes;
using qptest::LE16;
using qptest::LE32;
using qptest::LE64;
using qptest::Str;
using qptest::operator+;

Bytes Central(const std::string& name, std::uint32_t csize, std::uint32_t size, std::uint32_t offset,
              const Bytes& extra = {}) {
    return LE32(0x02014b50) + LE16(20) + LE16(20) + LE16(0x0800) + LE16(8) + LE32(0x5A216C3B) +
           LE32(0xCAFEF00D) + LE32(csize) + LE32(size) + LE16(static_cast<std::uint16_t>(name.size())) +
           LE16(static_cast<std::uint16_t>(extra.size())) + LE16(3) + LE16(0) + LE16(0) + LE32(0) + LE32(offset) +
           Str(name) + extra + Str("cmt");
}

Bytes End(std::uint16_t count, std::uint32_t cd_size, std::uint32_t cd_offset, const std::string& comment,
          std::uint16_t disk = 0) {
    return LE32(0x06054b50) + LE16(disk) + LE16(0) + LE16(count) + LE16(count) + LE32(cd_size) + LE32(cd_offset) +
           LE16(static_cast<std::uint16_t>(comment.size())) + Str(comment);
}

Bytes Zip64End(std::uint64_t count, std::uint64_t cd_size, std::uint64_t cd_offset) {
    return LE32(0x06064b50) + LE64(44) + LE16(45) + LE16(45) + LE32(0) + LE32(0) + LE64(count) + LE64(count) +
           LE64(cd_size) + LE64(cd_offset);
}

Bytes Locator(std::uint64_t end64) { return LE32(0x07064b50) + LE32(0) + LE64(end64) + LE32(1); }

qp::ZipEnd ReadEnd(const Bytes& b, qp::ZipEndSearch search = qp::ZipEndSearch::kCommentFits) {
    return qp::ReadZipEnd(b.size(), [&b](std::uint64_t pos, void* buf, std::size_t n) {
        if (pos > b.size() || n > b.size() - pos) throw qp::FormatError("read past the end");
        std::memcpy(buf, b.data() + pos, n);
    }, search);
}

// Ten bytes standing for the members' data, one central record, the end record.
const Bytes kData(10, 0xAA);
const Bytes kCentral = Central("dir/a.txt", 7, 9, 0);
const Bytes kClassic = kData + kCentral + End(1, static_cast<std::uint32_t>(kCentral.size()), 10, "note");

TEST(ZipDirLayout, ClassicEndRecordAndCentralRecordFieldByField) {
    const qp::ZipEnd e = ReadEnd(kClassic);
    EXPECT_EQ(e.count, 1u);
    EXPECT_EQ(e.cd_offset, 10u);
    EXPECT_EQ(e.cd_size, kCentral.size());
    EXPECT_EQ(e.end_at, 10 + kCentral.size());
    EXPECT_EQ(e.limit, e.end_at);
    EXPECT_EQ(e.comment, "note");

    qp::ByteReader r(kCentral);
    const qp::ZipCentralRecord z = qp::ReadZipCentralRecord(r);
    EXPECT_TRUE(r.AtEnd());  // past the name, the extra field and the comment
    EXPECT_EQ(z.name, "dir/a.txt");
    EXPECT_EQ(z.flags, 0x0800);
    EXPECT_EQ(z.method, 8);
    EXPECT_EQ(z.dos_time, 0x5A216C3Bu);
    EXPECT_EQ(z.crc, 0xCAFEF00Du);
    EXPECT_EQ(z.compressed_size, 7u);
    EXPECT_EQ(z.size, 9u);
    EXPECT_EQ(z.header_offset, 0u);
}

TEST(ZipDirLayout, Zip64RecordsReplaceTheOverflowingFields) {
    // An unknown extra block first, then the Zip64 one with only the marked fields, in order.
    const Bytes extra = LE16(0x5455) + LE16(1) + Bytes{0} + LE16(0x0001) + LE16(24) + LE64(0x123456789ull) +
                        LE64(0x100000000ull) + LE64(10);
    const Bytes central = Central("big.bin", 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, extra);
    const std::uint64_t end64_at = 10 + central.size();
    const Bytes zip = kData + central + Zip64End(1, central.size(), 10) + Locator(end64_at) +
                      End(0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, "");
    const qp::ZipEnd e = ReadEnd(zip);
    EXPECT_EQ(e.count, 1u);
    EXPECT_EQ(e.cd_offset, 10u);
    EXPECT_EQ(e.cd_size, central.size());
    EXPECT_EQ(e.limit, end64_at);  // the directory may not reach into the Zip64 records
    EXPECT_EQ(e.end_at, end64_at + 56 + 20);

    qp::ByteReader r(central);
    const qp::ZipCentralRecord z = qp::ReadZipCentralRecord(r);
    EXPECT_EQ(z.size, 0x123456789ull);
    EXPECT_EQ(z.compressed_size, 0x100000000ull);
    EXPECT_EQ(z.header_offset, 10u);
}

TEST(ZipDirLayout, OverflowMarkWithoutLocatorKeepsTheClassicFields) {
    // 65535 members fit the classic count exactly; such an archive has no Zip64 records.
    const std::size_t cd_size = 0xFFFF * qp::kZipCentralSize;
    const Bytes zip = Bytes(cd_size, 0) + End(0xFFFF, static_cast<std::uint32_t>(cd_size), 0, "");
    const qp::ZipEnd e = ReadEnd(zip);
    EXPECT_EQ(e.count, 0xFFFFu);
    EXPECT_EQ(e.cd_size, cd_size);
}

TEST(ZipDirLayout, EndSearchSkipsSignaturesInTheCommentAndMayRequireNothingAfterIt) {
    // A comment that holds an end signature whose own comment would not fit.
    const Bytes fake = LE32(0x06054b50) + Bytes(16, 0) + LE16(500);
    const std::string comment(fake.begin(), fake.end());
    const Bytes zip = kData + kCentral + End(1, static_cast<std::uint32_t>(kCentral.size()), 10, comment);
    EXPECT_EQ(ReadEnd(zip).comment, comment);
    EXPECT_EQ(ReadEnd(zip, qp::ZipEndSearch::kCommentReachesEnd).comment, comment);

    const Bytes trailing = kClassic + Str("xyz");
    EXPECT_EQ(ReadEnd(trailing).comment, "note");
    EXPECT_THROW(ReadEnd(trailing, qp::ZipEndSearch::kCommentReachesEnd), qp::FormatError);
}

TEST(ZipDirRefusals, CutOrGarbledEndRecordsThrow) {
    const std::uint32_t cd = static_cast<std::uint32_t>(kCentral.size());
    const Bytes end64_good = kData + kCentral + Zip64End(1, cd, 10) + Locator(10 + cd) + End(0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, "");
    Bytes end64_bad_sig = end64_good;
    end64_bad_sig[10 + cd] = 'X';
    const Bytes cases[] = {
        Bytes(21, 0),                                                 // shorter than an end record
        kData + kCentral + Bytes(22, 0),                              // no end signature
        Bytes(kClassic.begin(), kClassic.end() - 1),                  // comment cut short
        kData + kCentral + End(1, cd, 10, "", 1),                     // on another disk
        kData + kCentral + End(2, cd, 10, ""),                        // more entries than bytes
        kData + kCentral + End(1, cd + 1, 10, ""),                    // directory reaches the end record
        kData + kCentral + End(1, cd, 0xFFFFFF00, ""),                // directory past the end
        kData + kCentral + Locator(0x7FFFFFFF) + End(0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, ""),  // locator past
        kData + kCentral + Locator(10 + cd - 30) + End(0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, ""),  // no room for it
        end64_bad_sig,                                                // Zip64 end record garbled
    };
    EXPECT_NO_THROW(ReadEnd(end64_good));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_THROW(ReadEnd(cases[i]), qp::FormatError);
    }
}

TEST(ZipDirRefusals, GarbledCentralRecordsThrow) {
    Bytes bad_sig = kCentral;
    bad_sig[0] = 'X';
    Bytes long_name = kCentral;
    long_name[28] = 0xFF;
    const Bytes cases[] = {
        bad_sig,
        long_name,                                                              // name past the record
        Bytes(kCentral.begin(), kCentral.end() - 1),                            // comment cut
        Central("a", 1, 1, 0, LE16(0x0001) + LE16(9) + LE64(1)),                // extra block past its field
        Central("a", 0xFFFFFFFF, 0xFFFFFFFF, 0, LE16(0x0001) + LE16(8) + LE64(5)),  // Zip64 field missing
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        qp::ByteReader r(cases[i]);
        EXPECT_THROW(qp::ReadZipCentralRecord(r), qp::FormatError);
    }
}

}  // namespace
