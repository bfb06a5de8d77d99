#include "ui/CAnimatedPicture.h"

#include "fw/InputFile.h"
#include "ui/GifFrameParser.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <optional>

namespace {

constexpr int ShortestDelay = 5;
constexpr int DefaultWaitMs = 100;
constexpr int DisposalToBackground = 2;
constexpr int DisposalToPrevious = 3;
// The back buffer's pixels, and those of every decoded frame (the logical screen).
constexpr qint64 BytesPerPixel = 4;

qint64 pictureBytes(const QSize& size) { return qint64(size.width()) * size.height() * BytesPerPixel; }

// Decodes a picture, refusing one whose pixels would take more than the budget.
QImage decode(const QByteArray& data, const char* format = nullptr)
{
    QBuffer buffer;
    buffer.setData(data);
    QImageReader reader(&buffer, format);
    reader.setAllocationLimit(int(CAnimatedPicture::MemoryBudget / (1024 * 1024)));
    const QSize size = reader.size();
    if (size.isValid() && pictureBytes(size) > CAnimatedPicture::MemoryBudget)
        return QImage();
    return reader.read();
}

} // namespace

int CAnimatedPicture::FrameWait(quint32 delay)
{
    // A frame without a delay would otherwise wait for days.
    if (delay < ShortestDelay || delay == GifFrameParser::NoDelay)
        return DefaultWaitMs;
    return int(delay * 10);
}

CAnimatedPicture::CAnimatedPicture(QWidget* parent)
    : QWidget(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CAnimatedPicture::stepAnimation);
}

CAnimatedPicture::~CAnimatedPicture() { OnDestroy(); }

void CAnimatedPicture::OnDestroy() { Clear(); }

bool CAnimatedPicture::LoadFromFile(const QString& path)
{
    // A configuration without a picture names no file.
    const std::optional<QByteArray> data = fw::InputFile::read(path, MaxFileBytes);
    if (!data) {
        Clear();
        return false;
    }
    return LoadFromMemory(*data);
}

bool CAnimatedPicture::LoadFromMemory(const QByteArray& data)
{
    Clear();
    bool loaded = false;
    if (GifFrameParser::IsGif(data)) {
        loaded = loadGif(data);
    } else {
        m_picture = decode(data);
        m_pictureSize = m_picture.size();
        loaded = !m_picture.isNull() && makeBackBuffer();
    }
    if (!loaded)
        Clear();
    return loaded;
}

bool CAnimatedPicture::loadGif(const QByteArray& data)
{
    m_gif = true;
    GifFrameParser parser(data);
    m_pictureSize = QSize(parser.screenWidth(), parser.screenHeight());
    if (parser.hasBackgroundColour())
        m_background = QColor(parser.backgroundColour());
    // Every frame decodes onto the whole logical screen, as the back buffer is.
    if (pictureBytes(m_pictureSize) > MemoryBudget)
        return false;
    const int frames = parser.CountFrames();
    if (frames == 0)
        return false;
    if (frames == 1) {
        m_picture = decode(data, "GIF");
        return !m_picture.isNull() && makeBackBuffer();
    }
    return loadGifFrames(data) && makeBackBuffer();
}

bool CAnimatedPicture::loadGifFrames(const QByteArray& data)
{
    GifFrameParser parser(data);
    GifFrameParser::Frame frame;
    const qint64 frameCost = std::max(pictureBytes(m_pictureSize), MinFrameCost);
    qint64 spent = 0;
    // Past the budget the frames are not even decoded, which also bounds the time taken.
    while (frameCost <= MemoryBudget - spent && parser.ExtractFrame(frame)) {
        // Qt decodes no plain text, and a frame that does not decode is dropped.
        if (frame.plainText)
            continue;
        spent += frameCost;
        FrameRecord record;
        record.picture = decode(frame.bytes, "GIF");
        if (record.picture.isNull())
            continue;
        record.width = frame.width;
        record.height = frame.height;
        record.left = frame.left;
        record.top = frame.top;
        record.delay = frame.delay;
        record.disposal = frame.disposal;
        m_frames.append(record);
    }
    return !m_frames.isEmpty();
}

bool CAnimatedPicture::makeBackBuffer()
{
    if (m_pictureSize.isEmpty() || pictureBytes(m_pictureSize) > MemoryBudget)
        return false;
    QImage buffer(m_pictureSize, QImage::Format_ARGB32_Premultiplied);
    if (buffer.isNull())
        return false;
    resize(m_pictureSize);
    m_backBuffer = buffer;
    m_background = palette().color(QPalette::Button);
    m_backBuffer.fill(palette().color(QPalette::Window));
    return true;
}

bool CAnimatedPicture::Show()
{
    if (!isBufferReady())
        return false;
    if (IsAnimated()) {
        m_timer.stop();
        applyDisposal(m_frames[m_currentFrame]);
        showCurrentFrame();
        return false;
    }
    if (!m_frames.isEmpty()) {
        drawFrame(m_frames.first());
    } else {
        QPainter painter(&m_backBuffer);
        painter.drawImage(QRect(QPoint(0, 0), m_pictureSize), m_picture);
    }
    update();
    return true;
}

void CAnimatedPicture::stepAnimation()
{
    if (!IsAnimated() || !isBufferReady())
        return;
    applyDisposal(m_frames[m_currentFrame]);
    if (++m_currentFrame == m_frames.size()) {
        m_currentFrame = 0;
        fillBuffer(m_backBuffer.rect(), m_background);
    }
    showCurrentFrame();
}

void CAnimatedPicture::showCurrentFrame()
{
    const FrameRecord& frame = m_frames[m_currentFrame];
    if (frame.disposal == DisposalToPrevious)
        m_disposalSave = m_backBuffer.copy(frameArea(frame));
    drawFrame(frame);
    update();
    m_timer.start(FrameWait(frame.delay));
}

void CAnimatedPicture::drawFrame(const FrameRecord& frame)
{
    // Qt gives the frame on the whole logical screen: only its rectangle is the frame.
    const QRect area = frameArea(frame);
    QPainter painter(&m_backBuffer);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(area.topLeft(), frame.picture, area);
}

QRect CAnimatedPicture::frameArea(const FrameRecord& frame) const
{
    // A descriptor may claim far more than the screen: nothing outside it is ever drawn.
    return QRect(frame.left, frame.top, frame.width, frame.height) & QRect(QPoint(0, 0), m_pictureSize);
}

void CAnimatedPicture::applyDisposal(const FrameRecord& frame)
{
    const QRect area = frameArea(frame);
    if (frame.disposal == DisposalToBackground) {
        fillBuffer(area, m_background);
    } else if (frame.disposal == DisposalToPrevious && !m_disposalSave.isNull()) {
        QPainter painter(&m_backBuffer);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(area.topLeft(), m_disposalSave);
        m_disposalSave = QImage();
    }
}

void CAnimatedPicture::fillBuffer(const QRect& area, const QColor& colour)
{
    QPainter painter(&m_backBuffer);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(area, colour);
}

void CAnimatedPicture::StopAnimation() { m_timer.stop(); }

bool CAnimatedPicture::IsAnimated() const { return m_gif && m_frames.size() > 1; }

void CAnimatedPicture::Clear()
{
    StopAnimation();
    m_pictureSize = QSize(0, 0);
    m_background = Qt::white;
    m_currentFrame = 0;
    m_gif = false;
    m_backBuffer = QImage();
    m_disposalSave = QImage();
    m_picture = QImage();
    m_frames.clear();
    update();
}

void CAnimatedPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    OnPaint(painter);
}

void CAnimatedPicture::OnPaint(QPainter& painter) const
{
    if (isBufferReady())
        painter.drawImage(QPoint(0, 0), m_backBuffer);
}
