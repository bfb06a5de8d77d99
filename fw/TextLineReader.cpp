#include "fw/TextLineReader.h"

#include <algorithm>

namespace fw {

namespace {

constexpr QByteArrayView Utf8Mark("\xEF\xBB\xBF");

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

} // namespace

TextLineReader::TextLineReader(QByteArray text, ByteOrderMark mark)
    : m_text(std::move(text))
{
    if (mark == ByteOrderMark::Skip && m_text.startsWith(Utf8Mark))
        m_position = Utf8Mark.size();
}

std::optional<QByteArrayView> TextLineReader::next()
{
    if (m_position >= m_text.size())
        return std::nullopt;
    const char* const begin = m_text.constData();
    const char* const start = begin + m_position;
    const char* const end = begin + m_text.size();
    const char* const lineEnd = std::find_if(start, end, isLineEnd);
    const char* after = lineEnd;
    if (after != end)
        after += (*after == '\r' && after + 1 != end && after[1] == '\n') ? 2 : 1;
    m_position = after - begin;
    return QByteArrayView(start, lineEnd - start);
}

} // namespace fw
