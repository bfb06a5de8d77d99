#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Splits GIF data into frames without decoding any image: each frame is re-packed as a GIF
// of its own (the data's header, logical screen descriptor and global colour table, the
// frame's blocks, a trailer) for an image reader to decode. Every read is checked against the
// data's size: a block that runs past the end, or a graphic control extension with no image
// after it, ends counting and extraction. The parser does not own the data.
class GifFrameParser {
public:
    // The block at the parse position, by its first byte (and for 0x21 the next one).
    enum BlockKindValue {
        OtherBlock = 0,
        ApplicationBlock = 1,
        CommentBlock = 2,
        GraphicControlBlock = 3,
        PlainTextBlock = 4,
        ImageBlock = 5,
        TrailerBlock = 6,
    };

    // The delay of a frame without a graphic control extension.
    static constexpr quint32 NoDelay = 0xFFFFFFFFu;
    static constexpr qsizetype HeaderBytes = 13;
    static constexpr char Trailer = 0x3B;

    // One frame re-packed as a GIF of its own, with what its blocks say of it. A plain text
    // frame has no image descriptor: no size, no position.
    struct Frame {
        QByteArray bytes;
        quint32 delay = NoDelay;
        int width = 0;
        int height = 0;
        int left = 0;
        int top = 0;
        int disposal = 0;
        bool plainText = false;
    };

    // The signature and version: GIF87a or GIF89a.
    static bool IsGif(QByteArrayView data);

    // Reads the logical screen descriptor of GIF data (IsGif); the parse position starts at
    // the first block.
    explicit GifFrameParser(QByteArrayView data);
    // The parser keeps a view of the data: they must outlive it.
    explicit GifFrameParser(QByteArray&&) = delete;

    int screenWidth() const { return m_screenWidth; }
    int screenHeight() const { return m_screenHeight; }
    // Bytes of the global colour table, 0 without one.
    qsizetype colourTableSize() const { return m_colourTableSize; }
    bool hasBackgroundColour() const { return m_hasBackgroundColour; }
    // The colour table's entry at the background colour index, as 0xffRRGGBB.
    quint32 backgroundColour() const { return m_backgroundColour; }

    qsizetype offset() const { return m_offset; }
    void RewindToFirstBlock();
    BlockKindValue BlockKind() const;
    // The bytes of the block at the parse position; -1 when it has no valid length (a kind
    // 0 block, a sub-block chain that runs off the end). The block may still run past the
    // data: SkipBlock checks that.
    qsizetype BlockLength() const;
    // The bytes of the chain of data sub-blocks at a position, its terminating zero included;
    // -1 when the chain runs off the end of the data.
    qsizetype SubBlocksLength(qsizetype position) const;
    // Moves past the block; false (position unchanged) for a block without valid length or
    // one that runs past the data.
    bool SkipBlock();
    // Moves past the next frame; false when none follows.
    bool SkipFrame();
    // The next frame, re-packed; false when none follows.
    bool ExtractFrame(Frame& frame);
    // Frames from the first block on; leaves the position after the last.
    int CountFrames();

private:
    // Skips blocks up to the next graphic control extension, image or plain text extension;
    // false at the trailer, at a block of kind 0 or past the data.
    bool skipToFrameStart();
    // From a graphic control extension, skips it and any other blocks up to the image or plain
    // text extension it belongs to; false when none comes.
    bool skipToFrameBody();
    // A frame starts at its graphic control extension, if any; its body is the image or
    // plain text extension.
    enum class FramePart { Start, Body };
    // Skips the blocks before the next frame part; false at the trailer, at a block of kind 0
    // or past the data.
    bool skipBlocksUpTo(FramePart part);
    quint8 byteAt(qsizetype position) const { return quint8(m_data[position]); }
    quint16 u16At(qsizetype position) const { return quint16(byteAt(position) | byteAt(position + 1) << 8); }
    bool fits(qsizetype position, qsizetype count) const;

    QByteArrayView m_data;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    qsizetype m_colourTableSize = 0;
    bool m_hasBackgroundColour = false;
    quint32 m_backgroundColour = 0;
    qsizetype m_offset = 0;
};
