#include "ui/GifFrameParser.h"

namespace {

// Fixed parts of the blocks, up to their data sub-blocks.
constexpr qsizetype ApplicationHead = 14;
constexpr qsizetype CommentHead = 2;
constexpr qsizetype GraphicControlLength = 8;
constexpr qsizetype PlainTextHead = 15;
// The image descriptor and the LZW code size byte, before any local colour table counted.
constexpr qsizetype ImageHead = 11;
constexpr qsizetype ImagePackedByte = 9;
constexpr quint8 ColourTableFlag = 0x80;

// Bytes of a colour table whose packed byte sets its flag.
qsizetype colourTableBytes(quint8 packed)
{
    return (packed & ColourTableFlag) ? 3 * (qsizetype(1) << ((packed & 7) + 1)) : 0;
}

} // namespace

bool GifFrameParser::IsGif(QByteArrayView data)
{
    return data.startsWith(QByteArrayView("GIF87a")) || data.startsWith(QByteArrayView("GIF89a"));
}

GifFrameParser::GifFrameParser(QByteArrayView data)
    : m_data(data)
{
    if (fits(0, HeaderBytes)) {
        m_screenWidth = u16At(6);
        m_screenHeight = u16At(8);
        const quint8 packed = byteAt(10);
        m_colourTableSize = colourTableBytes(packed);
        const qsizetype entry = HeaderBytes + 3 * qsizetype(byteAt(11));
        if (m_colourTableSize > 0 && entry + 3 <= HeaderBytes + m_colourTableSize && fits(entry, 3)) {
            m_hasBackgroundColour = true;
            m_backgroundColour = 0xFF000000u | quint32(byteAt(entry)) << 16 | quint32(byteAt(entry + 1)) << 8 | byteAt(entry + 2);
        }
    }
    RewindToFirstBlock();
}

bool GifFrameParser::fits(qsizetype position, qsizetype count) const
{
    return position >= 0 && count >= 0 && position <= m_data.size() && count <= m_data.size() - position;
}

void GifFrameParser::RewindToFirstBlock() { m_offset = HeaderBytes + m_colourTableSize; }

GifFrameParser::BlockKindValue GifFrameParser::BlockKind() const
{
    if (!fits(m_offset, 1))
        return OtherBlock;
    const quint8 first = byteAt(m_offset);
    if (first == 0x2C)
        return ImageBlock;
    if (first == 0x3B)
        return TrailerBlock;
    if (first != 0x21 || !fits(m_offset, 2))
        return OtherBlock;
    switch (byteAt(m_offset + 1)) {
    case 0xFF:
        return ApplicationBlock;
    case 0xFE:
        return CommentBlock;
    case 0xF9:
        return GraphicControlBlock;
    case 0x01:
        return PlainTextBlock;
    default:
        return OtherBlock;
    }
}

qsizetype GifFrameParser::SubBlocksLength(qsizetype position) const
{
    qsizetype length = 0;
    for (;;) {
        if (!fits(position + length, 1))
            return -1;
        const quint8 size = byteAt(position + length);
        length += 1 + size;
        if (size == 0)
            return length;
    }
}

qsizetype GifFrameParser::BlockLength() const
{
    // A head and the sub-blocks after it; no valid length when the chain has none.
    const auto withSubBlocks = [this](qsizetype head) {
        const qsizetype chain = SubBlocksLength(m_offset + head);
        return chain > 0 ? head + chain : qsizetype(-1);
    };
    switch (BlockKind()) {
    case ApplicationBlock:
        return withSubBlocks(ApplicationHead);
    case CommentBlock:
        return withSubBlocks(CommentHead);
    case GraphicControlBlock:
        return GraphicControlLength;
    case PlainTextBlock:
        return withSubBlocks(PlainTextHead);
    case ImageBlock:
        if (!fits(m_offset + ImagePackedByte, 1))
            return -1;
        return withSubBlocks(ImageHead + colourTableBytes(byteAt(m_offset + ImagePackedByte)));
    case TrailerBlock:
        return 1;
    case OtherBlock:
        break;
    }
    return -1;
}

bool GifFrameParser::SkipBlock()
{
    const qsizetype length = BlockLength();
    if (length <= 0 || !fits(m_offset, length))
        return false;
    m_offset += length;
    return true;
}

bool GifFrameParser::skipToFrameStart() { return skipBlocksUpTo(FramePart::Start); }

bool GifFrameParser::skipToFrameBody() { return SkipBlock() && skipBlocksUpTo(FramePart::Body); }

bool GifFrameParser::skipBlocksUpTo(FramePart part)
{
    for (;;) {
        switch (BlockKind()) {
        case ImageBlock:
        case PlainTextBlock:
            return true;
        case TrailerBlock:
        case OtherBlock:
            return false;
        case GraphicControlBlock:
            if (part == FramePart::Start)
                return true;
            [[fallthrough]];
        case ApplicationBlock:
        case CommentBlock:
            if (!SkipBlock())
                return false;
            break;
        }
    }
}

bool GifFrameParser::SkipFrame()
{
    if (!skipToFrameStart())
        return false;
    if (BlockKind() == GraphicControlBlock && !skipToFrameBody())
        return false;
    return SkipBlock();
}

bool GifFrameParser::ExtractFrame(Frame& frame)
{
    if (!skipToFrameStart())
        return false;
    const qsizetype frameStart = m_offset;
    Frame found;
    if (BlockKind() == GraphicControlBlock) {
        if (!fits(m_offset, GraphicControlLength))
            return false;
        found.delay = u16At(m_offset + 4);
        found.disposal = (byteAt(m_offset + 3) >> 2) & 7;
        if (!skipToFrameBody())
            return false;
    }
    const bool image = BlockKind() == ImageBlock;
    const qsizetype body = m_offset;
    if (!SkipBlock())
        return false;
    if (image) {
        found.left = u16At(body + 1);
        found.top = u16At(body + 3);
        found.width = u16At(body + 5);
        found.height = u16At(body + 7);
    } else {
        found.plainText = true;
    }
    const qsizetype head = HeaderBytes + m_colourTableSize;
    found.bytes.reserve(head + (m_offset - frameStart) + 1);
    found.bytes.append(m_data.first(head));
    found.bytes.append(m_data.sliced(frameStart, m_offset - frameStart));
    found.bytes.append(Trailer);
    frame = std::move(found);
    return true;
}

int GifFrameParser::CountFrames()
{
    RewindToFirstBlock();
    int frames = 0;
    while (SkipFrame())
        ++frames;
    return frames;
}
