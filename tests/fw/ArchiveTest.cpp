#include "fw/ArchiveReader.h"
#include "fw/ArchiveWriter.h"
#include "tests/support/TestBytes.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

fw::ArchiveError::Cause causeOf(const std::function<void()>& read)
{
    try {
        read();
    } catch (const fw::ArchiveError& error) {
        return error.cause();
    }
    ADD_FAILURE() << "no archive error";
    return fw::ArchiveError::Cause::BadFormat;
}

} // namespace

TEST(ArchiveTest, CountsTakeTwoBytesBelow0xFFFFAndSixFromThere)
{
    struct Case {
        quint32 count;
        QByteArray stored;
    };
    const Case cases[] = {
        {0, bytes({0x00, 0x00})},
        {2, bytes({0x02, 0x00})},
        {0xFFFE, bytes({0xFE, 0xFF})},
        {0xFFFF, bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
        {0x12345, bytes({0xFF, 0xFF, 0x45, 0x23, 0x01, 0x00})},
    };
    for (const Case& c : cases) {
        fw::ArchiveWriter writer;
        writer.writeCount(c.count);
        EXPECT_EQ(writer.data(), c.stored) << c.count;
        fw::ArchiveReader reader(c.stored);
        EXPECT_EQ(reader.readCount(0), c.count);
        EXPECT_TRUE(reader.atEnd());
    }
}

TEST(ArchiveTest, ACountTheBytesLeftCannotHoldIsAFormatError)
{
    const QByteArray stored = bytes({0x03, 0x00, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    fw::ArchiveReader fits(stored);
    EXPECT_EQ(fits.readCount(3), 3u);
    fw::ArchiveReader tooMany(stored);
    EXPECT_EQ(causeOf([&] { tooMany.readCount(4); }), fw::ArchiveError::Cause::BadFormat);
    const QByteArray hugeCount = bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    fw::ArchiveReader huge(hugeCount);
    EXPECT_EQ(causeOf([&] { huge.readCount(1); }), fw::ArchiveError::Cause::BadFormat);
}

TEST(ArchiveTest, StringsTakeTheShortestOfTheThreeLengthForms)
{
    struct Case {
        qsizetype length;
        QByteArray header;
    };
    const Case cases[] = {
        {0, bytes({0x00})},
        {5, bytes({0x05})},
        {254, bytes({0xFE})},
        {255, bytes({0xFF, 0xFF, 0x00})},
        {0xFFFD, bytes({0xFF, 0xFD, 0xFF})},
        // 0xFFFE would read as the UTF-16 mark, 0xFFFF as the escape.
        {0xFFFE, bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {0x10000, bytes({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00})},
    };
    for (const Case& c : cases) {
        const QByteArray text(c.length, 'a');
        fw::ArchiveWriter writer;
        writer.writeString(text);
        EXPECT_EQ(writer.data(), c.header + text) << c.length;
        fw::ArchiveReader reader(writer.data());
        EXPECT_EQ(reader.readString(), text) << c.length;
        EXPECT_TRUE(reader.atEnd());
    }
}

TEST(ArchiveTest, TheUtf16FormIsReadAsAnsiText)
{
    // 0xFF 0xFE 0xFF, then the length in the same scheme and that many UTF-16 units.
    const QByteArray stored = bytes({0xFF, 0xFE, 0xFF, 0x03, 'T', 0, 0xC9, 0, 0x3A, 0x04, 0x02, 'o', 'k'});
    fw::ArchiveReader shortForm(stored);
    EXPECT_EQ(shortForm.readString(), QByteArray("T\xC9?")); // U+043A has no byte in 1252
    EXPECT_EQ(shortForm.readString(), QByteArray("ok"));

    QByteArray longForm = bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x00, 0x01});
    for (int k = 0; k < 0x100; ++k)
        longForm += bytes({'x', 0});
    fw::ArchiveReader reader(longForm);
    EXPECT_EQ(reader.readString(), QByteArray(0x100, 'x'));
    EXPECT_TRUE(reader.atEnd());
}

TEST(ArchiveTest, ALengthPastTheEndIsAnEndOfFileBeforeAnythingIsTaken)
{
    const QByteArray cases[] = {
        bytes({0x05, 'a', 'b'}),
        bytes({0xFF, 0x00}),
        bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
        bytes({0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b'}), // two units need four bytes
    };
    for (const QByteArray& stored : cases) {
        fw::ArchiveReader reader(stored);
        EXPECT_EQ(causeOf([&] { reader.readString(); }), fw::ArchiveError::Cause::EndOfFile) << stored.toHex().constData();
    }
    const QByteArray three = bytes({1, 2, 3});
    fw::ArchiveReader shortInt(three);
    EXPECT_EQ(causeOf([&] { shortInt.readI32(); }), fw::ArchiveError::Cause::EndOfFile);
}

TEST(ArchiveTest, AClassIsDefinedOnceAndReferencedByItsIndexInTheMap)
{
    fw::ArchiveWriter writer;
    writer.writeObjectClass("CDeviceCoffee", 1); // map: 1 the class, 2 the object
    writer.writeObjectClass("CDeviceCoffee", 1); // 3
    writer.writeObjectClass("COther", 4);        // 4 the class, 5 the object
    writer.writeObjectClass("COther", 4);
    writer.writeObjectClass("CDeviceCoffee", 1);
    const QByteArray expected = bytes({0xFF, 0xFF, 0x01, 0x00, 0x0D, 0x00}) + "CDeviceCoffee" +
                                bytes({0x01, 0x80, 0xFF, 0xFF, 0x04, 0x00, 0x06, 0x00}) + "COther" +
                                bytes({0x04, 0x80, 0x01, 0x80});
    EXPECT_EQ(writer.data(), expected);

    fw::ArchiveReader reader(expected);
    const QByteArray names[] = {"CDeviceCoffee", "CDeviceCoffee", "COther", "COther", "CDeviceCoffee"};
    const quint16 schemas[] = {1, 1, 4, 4, 1};
    for (int k = 0; k < 5; ++k) {
        const auto info = reader.readObjectClass();
        EXPECT_EQ(info.name, names[k]);
        EXPECT_EQ(info.schema, schemas[k]);
    }
    EXPECT_TRUE(reader.atEnd());
}

TEST(ArchiveTest, TheBigTagFormReachesClassesToo)
{
    const QByteArray stored = bytes({0xFF, 0xFF, 0x01, 0x00, 0x01, 0x00, 'C', 0xFF, 0x7F, 0x01, 0x00, 0x00, 0x80});
    fw::ArchiveReader reader(stored);
    EXPECT_EQ(reader.readObjectClass().name, QByteArray("C"));
    EXPECT_EQ(reader.readObjectClass().name, QByteArray("C"));
}

TEST(ArchiveTest, NullObjectsReferencesToObjectsAndUnknownIndicesAreRefused)
{
    const QByteArray definition = bytes({0xFF, 0xFF, 0x01, 0x00, 0x01, 0x00, 'C'}); // map: 1 class, 2 object
    const QByteArray tags[] = {
        bytes({0x00, 0x00}),                         // null object
        bytes({0x02, 0x00}),                         // the object read before
        bytes({0x02, 0x80}),                         // a class tag naming that object
        bytes({0x03, 0x80}),                         // past the map
        bytes({0x00, 0x80}),                         // class index 0
        bytes({0xFF, 0x7F, 0x02, 0x00, 0x00, 0x00}), // big object reference
        bytes({0xFF, 0x7F, 0x09, 0x00, 0x00, 0x80}), // big class tag past the map
    };
    for (const QByteArray& tag : tags) {
        const QByteArray stored = definition + tag;
        fw::ArchiveReader reader(stored);
        reader.readObjectClass();
        EXPECT_EQ(causeOf([&] { reader.readObjectClass(); }), fw::ArchiveError::Cause::BadFormat) << tag.toHex().constData();
    }
    const QByteArray longTag = bytes({0xFF, 0xFF, 0x01, 0x00, 0x40, 0x00}) + QByteArray(64, 'C');
    fw::ArchiveReader longName(longTag);
    EXPECT_EQ(causeOf([&] { longName.readObjectClass(); }), fw::ArchiveError::Cause::BadFormat);
    const QByteArray cutTag = bytes({0xFF, 0xFF, 0x01, 0x00, 0x0D, 0x00}) + "CDevice";
    fw::ArchiveReader cutName(cutTag);
    EXPECT_EQ(causeOf([&] { cutName.readObjectClass(); }), fw::ArchiveError::Cause::EndOfFile);
}

TEST(ArchiveTest, SeekGoesBackToReadBytesAgainWithinTheFileOnly)
{
    const QByteArray stored = bytes({1, 0, 0, 0, 2});
    fw::ArchiveReader reader(stored);
    EXPECT_EQ(reader.readI32(), 1);
    reader.seek(reader.position() - 4);
    EXPECT_EQ(reader.readI32(), 1);
    EXPECT_EQ(reader.readU8(), 2);
    EXPECT_EQ(causeOf([&] { reader.seek(6); }), fw::ArchiveError::Cause::BadFormat);
    EXPECT_EQ(causeOf([&] { reader.seek(-1); }), fw::ArchiveError::Cause::BadFormat);
    EXPECT_TRUE(reader.atEnd());
}
