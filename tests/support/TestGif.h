#pragma once

#include <QByteArray>

// Writes GIF data block by block for tests and benchmarks: images really encoded (LZW with a
// clear code often enough that the code width never grows), so Qt's reader decodes them.
namespace TestGif {

// Header, logical screen descriptor and a global colour table of red, green, blue triples
// (2, 4, ... 256 entries; none when empty).
QByteArray header(int width, int height, const QByteArray& colourTable, int backgroundIndex = 0,
                  const char* signature = "GIF89a");
// A graphic control extension; a transparent index below 0 sets none.
QByteArray graphicControl(int delay, int disposal, int transparentIndex = -1);
// An image descriptor, its local colour table when given, and the pixels' colour indices
// (width × height, row by row) encoded.
QByteArray image(int left, int top, int width, int height, const QByteArray& pixels,
                 const QByteArray& localColourTable = {});
// An image of one colour index.
QByteArray filledImage(int left, int top, int width, int height, int index);
QByteArray comment(const QByteArray& text);
// A NETSCAPE2.0 looping block.
QByteArray application();
QByteArray plainText(const QByteArray& text);
// Data cut into sub-blocks of at most 255 bytes, and the terminating zero.
QByteArray subBlocks(const QByteArray& data);
inline QByteArray trailer() { return QByteArray(1, char(0x3B)); }

// Four colours: white, red, green, blue.
QByteArray fourColours();

} // namespace TestGif
