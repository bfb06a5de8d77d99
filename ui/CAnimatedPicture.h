#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QSize>
#include <QTimer>
#include <QWidget>

class QPainter;

// Shows a picture file at its own size in the control's top-left corner: any still picture
// Qt's image reader decodes, and GIF data with all their frames, animated with the frames'
// delays and disposal methods. The GIF data are split into one-frame GIFs by GifFrameParser
// and each is decoded on its own. The control resizes itself to the picture.
//
// The animation runs on the user-interface thread: a single-shot timer draws one frame per
// timeout into the back buffer, which the paint handler copies, so nothing races the painting.
//
// A picture file comes from outside: what it costs is bounded. The file is read only when it
// is a regular file of at most MaxFileBytes; a picture, and the back buffer, each take at most
// MemoryBudget, and so do the decoded frames together (each frame counted at least
// MinFrameCost). Frames past the budget are not decoded: the picture animates the frames it
// has, or shows its first one still. Every frame's rectangle is clipped to the logical screen.
class CAnimatedPicture : public QWidget {
    Q_OBJECT
public:
    static constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;
    static constexpr qint64 MemoryBudget = 64 * 1024 * 1024;
    static constexpr qint64 MinFrameCost = 64 * 1024;

    // A frame of an animated GIF: its decoded picture (the logical screen, the frame drawn
    // in its rectangle), its rectangle, its delay in hundredths of a second and its disposal.
    struct FrameRecord {
        QImage picture;
        int width = 0;
        int height = 0;
        int left = 0;
        int top = 0;
        quint32 delay = 0;
        int disposal = 0;
    };

    // What a frame waits: 100 ms below 5 hundredths or without a delay, else the delay.
    static int FrameWait(quint32 delay);

    explicit CAnimatedPicture(QWidget* parent = nullptr);
    ~CAnimatedPicture() override;

    // The whole file through LoadFromMemory; false (the control empty) when it cannot be read,
    // is no regular file or is larger than MaxFileBytes.
    bool LoadFromFile(const QString& path);
    // Replaces the content by the picture in the data; true when the back buffer was made.
    // Anything that does not decode leaves the control empty.
    bool LoadFromMemory(const QByteArray& data);
    // Draws a still picture into the back buffer (true), or starts the animation from the
    // current frame (false, as nothing is drawn for good). Nothing without a back buffer.
    bool Show();
    // Stops the animation and drops pictures, frames and buffers: size 0 × 0, background white.
    void Clear();
    void StopAnimation();
    // GIF data of more than one frame.
    bool IsAnimated() const;
    // The window goes: the animation stops first.
    void OnDestroy();

    QSize pictureSize() const { return m_pictureSize; }
    QColor backgroundColour() const { return m_background; }
    const QImage& backBuffer() const { return m_backBuffer; }
    bool isBufferReady() const { return !m_backBuffer.isNull(); }
    int currentFrame() const { return m_currentFrame; }
    const QList<FrameRecord>& frames() const { return m_frames; }
    bool isAnimationRunning() const { return m_timer.isActive(); }
    // The wait the running timer was started with, in ms.
    int animationWait() const { return m_timer.interval(); }

    // One timeout of the animation: the shown frame's disposal, then the next frame drawn
    // and waited for. Tests step with it instead of waiting.
    void stepAnimation();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Copies the back buffer to the top-left corner.
    void OnPaint(QPainter& painter) const;
    bool loadGif(const QByteArray& data);
    bool loadGifFrames(const QByteArray& data);
    bool makeBackBuffer();
    void applyDisposal(const FrameRecord& frame);
    // Draws the frame in its rectangle, over what the buffer holds.
    void drawFrame(const FrameRecord& frame);
    // The frame's rectangle on the logical screen: what its descriptor says, clipped.
    QRect frameArea(const FrameRecord& frame) const;
    // The current frame drawn (its area saved first for disposal 3) and its wait started.
    void showCurrentFrame();
    void fillBuffer(const QRect& area, const QColor& colour);

    QSize m_pictureSize;
    QColor m_background = Qt::white;
    int m_currentFrame = 0;
    bool m_gif = false;
    QImage m_backBuffer;
    QImage m_disposalSave;
    QImage m_picture;
    QList<FrameRecord> m_frames;
    QTimer m_timer;
};
