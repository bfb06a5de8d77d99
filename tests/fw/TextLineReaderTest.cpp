#include "fw/TextLineReader.h"

#include <QList>

#include <gtest/gtest.h>

namespace {

using Mark = fw::TextLineReader::ByteOrderMark;

QList<QByteArray> linesOf(const QByteArray& text, Mark mark)
{
    QList<QByteArray> lines;
    fw::TextLineReader reader(text, mark);
    while (const std::optional<QByteArrayView> line = reader.next())
        lines += line->toByteArray();
    return lines;
}

} // namespace

TEST(TextLineReaderTest, CrLfLfAndCrEachEndALineAndTheLastNeedsNoEnd)
{
    struct Case {
        const char* what;
        QByteArray text;
        QList<QByteArray> lines;
    };
    const Case cases[] = {
        {"CR LF", "uno\r\ndos\r\n", {"uno", "dos"}},
        {"LF", "uno\ndos\n", {"uno", "dos"}},
        {"CR", "uno\rdos\r", {"uno", "dos"}},
        {"mixed", "uno\r\ndos\ntres\rcuatro", {"uno", "dos", "tres", "cuatro"}},
        {"no end at all", "uno", {"uno"}},
        {"empty lines", "\r\n\n\r", {"", "", ""}},
        {"CR CR LF", "uno\r\r\ndos", {"uno", "", "dos"}},
        {"LF CR is two ends", "uno\n\rdos", {"uno", "", "dos"}},
        {"a CR last", "uno\r", {"uno"}},
        {"nothing", "", {}},
        {"NUL bytes stay", QByteArray("a\0b\nc", 5), {QByteArray("a\0b", 3), "c"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(linesOf(c.text, Mark::Keep), c.lines) << c.what;
        EXPECT_EQ(linesOf(c.text, Mark::Skip), c.lines) << c.what;
    }
}

TEST(TextLineReaderTest, ALeadingByteOrderMarkIsSkippedOnlyWhenAskedAndOnlyAtTheStart)
{
    struct Case {
        const char* what;
        QByteArray text;
        QList<QByteArray> skipped;
        QList<QByteArray> kept;
    };
    const Case cases[] = {
        {"a mark", "\xEF\xBB\xBFuno\r\ndos", {"uno", "dos"}, {"\xEF\xBB\xBFuno", "dos"}},
        {"only a mark", "\xEF\xBB\xBF", {}, {"\xEF\xBB\xBF"}},
        {"a mark and an end", "\xEF\xBB\xBF\r\n", {""}, {"\xEF\xBB\xBF"}},
        {"a second mark stays", "\xEF\xBB\xBF\xEF\xBB\xBFuno", {"\xEF\xBB\xBFuno"}, {"\xEF\xBB\xBF\xEF\xBB\xBFuno"}},
        {"a mark on a later line", "uno\n\xEF\xBB\xBF" "dos", {"uno", "\xEF\xBB\xBF" "dos"}, {"uno", "\xEF\xBB\xBF" "dos"}},
        {"part of a mark", "\xEF\xBBuno", {"\xEF\xBBuno"}, {"\xEF\xBBuno"}},
        {"a UTF-16 mark is no UTF-8 mark", "\xFF\xFEu", {"\xFF\xFEu"}, {"\xFF\xFEu"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(linesOf(c.text, Mark::Skip), c.skipped) << c.what;
        EXPECT_EQ(linesOf(c.text, Mark::Keep), c.kept) << c.what;
    }
}
