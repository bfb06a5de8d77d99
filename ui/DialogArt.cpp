#include "ui/DialogArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace DialogArt {

namespace {
constexpr int Size = 24;

// A transparent picture of the icons' size, drawn antialiased by the given function.
template <typename Draw>
QIcon drawn(Draw draw)
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
    }
    return QIcon(pixmap);
}

// A funnel from its top edge down to a spout: the hopper's outline and the powder in it.
QPainterPath funnel(qreal top, qreal left, qreal right)
{
    QPainterPath path;
    path.moveTo(left, top);
    path.lineTo(right, top);
    path.lineTo(14, 15);
    path.lineTo(14, 21);
    path.lineTo(10, 21);
    path.lineTo(10, 15);
    path.closeSubpath();
    return path;
}
} // namespace

QIcon productIcon()
{
    return drawn([](QPainter& painter) {
        // A hopper: a funnel over a spout, half full of brown powder.
        const QPainterPath hopper = funnel(3, 3, 21);
        painter.fillPath(hopper, QColor(0xF2, 0xEB, 0xDF));
        painter.fillPath(funnel(9, 7.7, 16.3), QColor(0x7A, 0x4A, 0x22));
        painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.2));
        painter.drawPath(hopper);
    });
}

QIcon waterIcon()
{
    return drawn([](QPainter& painter) {
        QPainterPath drop;
        drop.moveTo(12, 2);
        drop.cubicTo(12, 2, 4, 12, 4, 15);
        drop.cubicTo(4, 19.5, 7.6, 22, 12, 22);
        drop.cubicTo(16.4, 22, 20, 19.5, 20, 15);
        drop.cubicTo(20, 12, 12, 2, 12, 2);
        painter.fillPath(drop, QColor(0x2E, 0x86, 0xDE));
        painter.setPen(QPen(QColor(0x1B, 0x4F, 0x8A), 1.2));
        painter.drawPath(drop);
        painter.setPen(QPen(Qt::white, 1.6));
        painter.drawArc(QRectF(7, 13, 6, 6), 180 * 16, 90 * 16);
    });
}

} // namespace DialogArt
