#include "ui/CMySplashWnd.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>

namespace {
constexpr int MaxPaletteColours = 256;
constexpr int TextPointSize = 16;
} // namespace

CMySplashWnd::CMySplashWnd(quint32 bitmapId, quint32 durationMs, const QString& text)
    // A splash window has no frame and no task-bar entry; it stays over the main window.
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_bitmapId(bitmapId)
    , m_duration(durationMs)
    , m_text(text)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Pemvora Splash Window"));
}

CMySplashWnd::~CMySplashWnd() = default;

bool CMySplashWnd::Create()
{
    if (!LoadBitmapPalette(m_bitmapId, m_bitmap, m_palette))
        return false;
    setFixedSize(m_bitmap.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    show();
    update();
    m_timerId = startTimer(int(m_duration));
    return true;
}

bool CMySplashWnd::LoadBitmapPalette(quint32 bitmapId, QImage& bitmap, QList<QRgb>& palette)
{
    QImage picture(QStringLiteral(":/bitmaps/%1.png").arg(bitmapId));
    if (picture.isNull())
        return false;
    // Screens here are not palette-based; the colours are kept as the picture's own table.
    palette = picture.colorCount() > 0 && picture.colorCount() <= MaxPaletteColours ? picture.colorTable()
                                                                                     : QList<QRgb>();
    bitmap = std::move(picture);
    return true;
}

void CMySplashWnd::paintEvent(QPaintEvent*) { OnPaint(); }

void CMySplashWnd::OnPaint()
{
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_bitmap);
    if (m_text.isEmpty())
        return;
    QFont font(QStringLiteral("Arial Black"));
    font.setPointSize(TextPointSize);
    // Where that face is missing, the heaviest of the one that stands in for it.
    font.setWeight(QFont::Black);
    painter.setFont(font);
    painter.setPen(m_textColour);
    painter.setBackground(m_backgroundColour);
    painter.setBackgroundMode(Qt::OpaqueMode);
    // The text's top-left corner at the text position, as the picture leaves room for it.
    painter.drawText(QPoint(TextX, TextY + QFontMetrics(font, this).ascent()), m_text);
}

void CMySplashWnd::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timerId)
        OnTimer(event->timerId());
    else
        QWidget::timerEvent(event);
}

void CMySplashWnd::OnTimer(int) { closeNow(); }

bool CMySplashWnd::event(QEvent* event)
{
    if (PreTranslateMessage(event))
        return true;
    return QWidget::event(event);
}

bool CMySplashWnd::PreTranslateMessage(QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        break;
    case QEvent::MouseButtonPress: {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        if (button != Qt::LeftButton && button != Qt::RightButton && button != Qt::MiddleButton)
            return false;
        break;
    }
    default:
        return false;
    }
    closeNow();
    return true;
}

void CMySplashWnd::closeNow()
{
    if (m_timerId != 0) {
        killTimer(m_timerId);
        m_timerId = 0;
    }
    // Deleted once the event that closed it is done with it.
    hide();
    deleteLater();
}
