// The byte reader's bounds: a hostile count or a short input never reads past the end.
#include <gtest/gtest.h>

#include "common/byteio.h"
#include "support/testutil.h"

using namespace qptest;

TEST(ByteIo, WriterIsLittleEndianAndReaderMirrorsIt) {
    qp::ByteWriter w;
    w.U8(0x23);
    w.U16(0x1234);
    w.U32(0xA1B2C3D4);
    w.Fixed("ab", 4);
    EXPECT_EQ(w.Data(), Bytes({0x23, 0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1, 'a', 'b', 0, 0}));
    qp::ByteReader r(w.Data());
    EXPECT_EQ(r.U8(), 0x23);
    EXPECT_EQ(r.U16(), 0x1234);
    EXPECT_EQ(r.U32(), 0xA1B2C3D4u);
    EXPECT_EQ(r.Fixed(4), "ab");
    EXPECT_TRUE(r.AtEnd());
}

TEST(ByteIo, ShortInputAndAbsurdCountsAreRefused) {
    Bytes b = {1, 2, 3};
    qp::ByteReader r(b);
    EXPECT_THROW(r.U32(), qp::FormatError);
    EXPECT_EQ(r.Pos(), 0u);
    EXPECT_THROW(r.NeedItems(0xFFFFFFFFu, 8), qp::FormatError);
    EXPECT_NO_THROW(r.NeedItems(3, 1));
    EXPECT_THROW(r.Bytes(4), qp::FormatError);
    EXPECT_EQ(r.Fixed(3), std::string("\x01\x02\x03"));
}
