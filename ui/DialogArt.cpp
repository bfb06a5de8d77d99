#include "ui/DialogArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace DialogArt {

namespace {
constexpr int Size = 24;

QPixmap canvas()
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}
} // namespace

QIcon productIcon()
{
    QPixmap pixmap = canvas();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // A hopper: a funnel over a spout, half full of brown powder.
    QPainterPath hopper;
    hopper.moveTo(3, 3);
    hopper.lineTo(21, 3);
    hopper.lineTo(14, 15);
    hopper.lineTo(14, 21);
    hopper.lineTo(10, 21);
    hopper.lineTo(10, 15);
    hopper.closeSubpath();
    painter.fillPath(hopper, QColor(0xF2, 0xEB, 0xDF));
    QPainterPath powder;
    powder.moveTo(7.7, 9);
    powder.lineTo(16.3, 9);
    powder.lineTo(14, 15);
    powder.lineTo(14, 21);
    powder.lineTo(10, 21);
    powder.lineTo(10, 15);
    powder.closeSubpath();
    painter.fillPath(powder, QColor(0x7A, 0x4A, 0x22));
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.2));
    painter.drawPath(hopper);
    return QIcon(pixmap);
}

QIcon waterIcon()
{
    QPixmap pixmap = canvas();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
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
    return QIcon(pixmap);
}

} // namespace DialogArt
