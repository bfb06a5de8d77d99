#include "tests/support/TestGif.h"

namespace TestGif {

namespace {

constexpr int CodeSize = 8;
constexpr int ClearCode = 1 << CodeSize;
constexpr int EndCode = ClearCode + 1;
// Literals between clear codes, few enough that the decoder's table never widens the codes.
constexpr int LiteralsPerClear = ClearCode - 4;

void appendU16(QByteArray& out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

// The packed byte's size field of a colour table: 2^(field + 1) entries.
int tableSizeField(const QByteArray& table)
{
    int field = 0;
    while ((3 << (field + 1)) < table.size())
        ++field;
    return field;
}

// The table padded with black to its power-of-two size.
QByteArray paddedTable(const QByteArray& table)
{
    QByteArray padded = table;
    padded.resize(3 << (tableSizeField(table) + 1), '\0');
    return padded;
}

class BitWriter {
public:
    void write(int code, int width)
    {
        m_accumulator |= quint32(code) << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_bytes.append(char(m_accumulator & 0xFF));
            m_accumulator >>= 8;
            m_bits -= 8;
        }
    }
    QByteArray finish()
    {
        if (m_bits > 0)
            m_bytes.append(char(m_accumulator & 0xFF));
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    quint32 m_accumulator = 0;
    int m_bits = 0;
};

QByteArray encode(const QByteArray& pixels)
{
    BitWriter bits;
    for (qsizetype k = 0; k < pixels.size(); ++k) {
        if (k % LiteralsPerClear == 0)
            bits.write(ClearCode, CodeSize + 1);
        bits.write(quint8(pixels[k]), CodeSize + 1);
    }
    bits.write(EndCode, CodeSize + 1);
    return bits.finish();
}

} // namespace

QByteArray header(int width, int height, const QByteArray& colourTable, int backgroundIndex, const char* signature)
{
    QByteArray out(signature);
    appendU16(out, width);
    appendU16(out, height);
    const bool hasTable = !colourTable.isEmpty();
    out.append(char(hasTable ? 0x80 | 0x70 | tableSizeField(colourTable) : 0));
    out.append(char(backgroundIndex));
    out.append('\0');
    if (hasTable)
        out.append(paddedTable(colourTable));
    return out;
}

QByteArray graphicControl(int delay, int disposal, int transparentIndex)
{
    QByteArray out("\x21\xF9\x04", 3);
    out.append(char((disposal & 7) << 2 | (transparentIndex >= 0 ? 1 : 0)));
    appendU16(out, delay);
    out.append(char(transparentIndex >= 0 ? transparentIndex : 0));
    out.append('\0');
    return out;
}

QByteArray image(int left, int top, int width, int height, const QByteArray& pixels, const QByteArray& localColourTable)
{
    QByteArray out(1, char(0x2C));
    appendU16(out, left);
    appendU16(out, top);
    appendU16(out, width);
    appendU16(out, height);
    const bool hasTable = !localColourTable.isEmpty();
    out.append(char(hasTable ? 0x80 | tableSizeField(localColourTable) : 0));
    if (hasTable)
        out.append(paddedTable(localColourTable));
    out.append(char(CodeSize));
    out.append(subBlocks(encode(pixels)));
    return out;
}

QByteArray filledImage(int left, int top, int width, int height, int index)
{
    return image(left, top, width, height, QByteArray(width * height, char(index)));
}

QByteArray comment(const QByteArray& text) { return QByteArray("\x21\xFE", 2) + subBlocks(text); }

QByteArray application()
{
    return QByteArray("\x21\xFF\x0BNETSCAPE2.0", 14) + subBlocks(QByteArray("\x01\x00\x00", 3));
}

QByteArray plainText(const QByteArray& text)
{
    QByteArray out("\x21\x01\x0C", 3);
    out.append(QByteArray(12, '\x01'));
    return out + subBlocks(text);
}

QByteArray subBlocks(const QByteArray& data)
{
    QByteArray out;
    for (qsizetype k = 0; k < data.size(); k += 255) {
        const QByteArray chunk = data.mid(k, 255);
        out.append(char(chunk.size()));
        out.append(chunk);
    }
    out.append('\0');
    return out;
}

QByteArray fourColours()
{
    return QByteArray("\xFF\xFF\xFF" "\xFF\x00\x00" "\x00\xFF\x00" "\x00\x00\xFF", 12);
}

} // namespace TestGif
