#include "fw/ByteReader.h"
#include "fw/ByteWriter.h"

#include <gtest/gtest.h>

TEST(ByteReaderTest, ReadsLittleEndianAndRefusesToRunPastTheEnd)
{
    const QByteArray bytes("\x01\x34\x12\x78\x56\x34\x12\xFF", 8);
    fw::ByteReader reader(bytes);
    EXPECT_EQ(reader.u8(), 0x01);
    EXPECT_EQ(reader.u16(), 0x1234);
    EXPECT_EQ(reader.u32(), 0x12345678u);
    EXPECT_EQ(reader.remaining(), 1);
    EXPECT_THROW(reader.u16(), fw::ByteRangeError);
    EXPECT_EQ(reader.position(), 7); // a refused read consumes nothing
    EXPECT_THROW(reader.bytes(2), fw::ByteRangeError);
    EXPECT_THROW(reader.bytes(-1), fw::ByteRangeError);
    EXPECT_EQ(reader.peek(), 0xFF);
    EXPECT_EQ(qint8(reader.u8()), -1);
    EXPECT_TRUE(reader.atEnd());
    EXPECT_THROW(reader.u8(), fw::ByteRangeError);
    EXPECT_THROW(reader.skip(1), fw::ByteRangeError);
}

TEST(ByteWriterTest, WritesLittleEndianAndDropsWhatDoesNotFitItsCapacity)
{
    fw::ByteWriter unbounded;
    unbounded.u8(0x01);
    unbounded.u16(0x1234);
    unbounded.u32(0xCBF43926u);
    EXPECT_EQ(unbounded.data(), QByteArray("\x01\x34\x12\x26\x39\xF4\xCB", 7));
    EXPECT_FALSE(unbounded.overflowed());

    fw::ByteWriter bounded(3);
    EXPECT_TRUE(bounded.u16(0xAABB));
    EXPECT_FALSE(bounded.u16(0xCCDD)); // would make 4
    EXPECT_TRUE(bounded.overflowed());
    EXPECT_TRUE(bounded.u8(0xEE));
    EXPECT_FALSE(bounded.bytes("x"));
    EXPECT_EQ(bounded.data(), QByteArray("\xBB\xAA\xEE", 3));
}
