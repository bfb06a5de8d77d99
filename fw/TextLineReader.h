#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace fw {

// The lines of a text file held in memory, as every text reader of the program takes them:
// CR LF, LF and CR alone each end a line (the files come from Windows, Unix and old Mac
// editors), the last line needs no end, and no line holds its end. A UTF-8 byte-order mark
// before the first line is dropped where the caller asks for it: in UTF-8 text, and in a
// format where those three bytes can be no text that counts. Bytes stay as the file holds them.
class TextLineReader {
public:
    enum class ByteOrderMark { Skip, Keep };

    TextLineReader(QByteArray text, ByteOrderMark mark);

    // The next line; none after the last one. The view lives as long as the reader.
    std::optional<QByteArrayView> next();

private:
    QByteArray m_text;
    qsizetype m_position = 0;
};

} // namespace fw
