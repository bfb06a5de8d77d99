#include "app/ToolbarArt.h"

#include "app/CommandIds.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

// Every pictogram is drawn on a 24 × 24 grid and scaled: one drawing serves the menus (16),
// the editing toolbar (24), the main toolbar (30) and anything larger.
namespace {

using namespace CommandIds;

constexpr qreal Grid = 24.0;

const QColor Outline(0x2e, 0x34, 0x36);
const QColor Paper(0xff, 0xff, 0xff);
const QColor PaperShade(0xd3, 0xd7, 0xcf);
const QColor TextLine(0x88, 0x8a, 0x85);
const QColor Metal(0xba, 0xbd, 0xb6);
const QColor DarkMetal(0x55, 0x57, 0x53);
const QColor Blue(0x34, 0x65, 0xa4);
const QColor LightBlue(0x72, 0x9f, 0xcf);
const QColor Green(0x4e, 0x9a, 0x06);
const QColor LightGreen(0x8a, 0xe2, 0x34);
const QColor Red(0xcc, 0x00, 0x00);
const QColor DarkRed(0xa4, 0x00, 0x00);
const QColor Orange(0xf5, 0x79, 0x00);
const QColor LightOrange(0xfc, 0xaf, 0x3e);
const QColor Brown(0x8f, 0x59, 0x02);
const QColor LightBrown(0xe9, 0xb9, 0x6e);
const QColor Yellow(0xfc, 0xe9, 0x4f);
const QColor DarkYellow(0xc4, 0xa0, 0x00);

QPen outline(qreal width = 1.0, const QColor& colour = Outline)
{
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void fill(QPainter& p, const QColor& brush, qreal width = 1.0)
{
    p.setPen(outline(width));
    p.setBrush(brush);
}

// --- parts shared by several pictures ---

// A sheet with a folded corner and lines of text.
void page(QPainter& p, const QRectF& r)
{
    const qreal fold = r.width() * 0.32;
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    fill(p, Paper);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    fill(p, PaperShade);
    p.drawPath(corner);
    p.setPen(outline(1.0, TextLine));
    for (qreal y = r.top() + fold + 2.5; y < r.bottom() - 1.5; y += 2.5)
        p.drawLine(QPointF(r.left() + 2.5, y), QPointF(r.right() - 2.5, y));
}

void disc(QPainter& p, QPointF centre, qreal radius, const QColor& colour)
{
    fill(p, colour);
    p.drawEllipse(centre, radius, radius);
}

void plusBadge(QPainter& p, QPointF c)
{
    disc(p, c, 5.0, Green);
    p.setPen(outline(2.0, Paper));
    p.drawLine(QPointF(c.x() - 2.6, c.y()), QPointF(c.x() + 2.6, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - 2.6), QPointF(c.x(), c.y() + 2.6));
}

void checkBadge(QPainter& p, QPointF c)
{
    disc(p, c, 5.0, Green);
    p.setPen(outline(2.0, Paper));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF{{c.x() - 2.6, c.y()}, {c.x() - 0.6, c.y() + 2.2}, {c.x() + 2.7, c.y() - 2.2}});
}

// The earth with its meridian and parallels: a language.
void globe(QPainter& p, QPointF c, qreal r)
{
    disc(p, c, r, LightBlue);
    p.setPen(outline(0.9, Blue));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.45, r);
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    const qreal h = r * 0.5, w = std::sqrt(r * r - h * h);
    p.drawLine(QPointF(c.x() - w, c.y() - h), QPointF(c.x() + w, c.y() - h));
    p.drawLine(QPointF(c.x() - w, c.y() + h), QPointF(c.x() + w, c.y() + h));
    p.setPen(outline());
    p.drawEllipse(c, r, r);
}

void gear(QPainter& p, QPointF c, qreal r)
{
    QPainterPath teeth;
    constexpr int Teeth = 8;
    for (int k = 0; k < Teeth * 2; ++k) {
        const qreal a = k * M_PI / Teeth;
        const qreal a2 = (k + 1) * M_PI / Teeth;
        const qreal radius = k % 2 ? r * 0.72 : r;
        const QPointF from(c.x() + radius * std::cos(a), c.y() + radius * std::sin(a));
        const QPointF to(c.x() + radius * std::cos(a2), c.y() + radius * std::sin(a2));
        if (k == 0)
            teeth.moveTo(from);
        else
            teeth.lineTo(from);
        teeth.lineTo(to);
    }
    teeth.closeSubpath();
    teeth.addEllipse(c, r * 0.3, r * 0.3);
    fill(p, Metal);
    p.drawPath(teeth);
}

// A green arrow from one point to another.
void arrow(QPainter& p, QPointF from, QPointF to)
{
    const QLineF line(from, to);
    const qreal head = 4.5;
    QLineF back(to, from);
    back.setLength(head);
    const QPointF base = back.p2();
    const QPointF across = QPointF(-(to.y() - from.y()), to.x() - from.x()) / line.length() * (head * 0.75);
    QPainterPath shape;
    p.setPen(outline(4.2));
    p.drawLine(from, base);
    p.setPen(outline(2.2, Green));
    p.drawLine(from, base);
    shape.moveTo(to);
    shape.lineTo(base + across);
    shape.lineTo(base - across);
    shape.closeSubpath();
    fill(p, Green, 0.9);
    p.drawPath(shape);
}

// A row of the configuration: a strip with its device's time bar.
void row(QPainter& p, const QRectF& r, const QColor& bar = LightBlue)
{
    fill(p, Paper);
    p.drawRoundedRect(r, 1.2, 1.2);
    fill(p, bar, 0.8);
    const qreal inset = r.height() * 0.28;
    p.drawRect(QRectF(r.left() + r.width() * 0.35, r.top() + inset, r.width() * 0.45, r.height() - 2 * inset));
}

void pencil(QPainter& p, QPointF tip, QPointF end)
{
    const QLineF axis(tip, end);
    p.save();
    p.translate(tip);
    p.rotate(-axis.angle());
    const qreal length = axis.length();
    const qreal half = 2.0;
    fill(p, Yellow, 0.9);
    p.drawRect(QRectF(4.0, -half, length - 6.5, 2 * half));
    fill(p, QColor(0xef, 0x29, 0x29), 0.9);
    p.drawRect(QRectF(length - 2.5, -half, 2.5, 2 * half));
    fill(p, LightBrown, 0.9);
    p.drawPolygon(QPolygonF{{0, 0}, {4.0, -half}, {4.0, half}});
    p.setPen(Qt::NoPen);
    p.setBrush(Outline);
    p.drawPolygon(QPolygonF{{0, 0}, {1.5, -0.75}, {1.5, 0.75}});
    p.restore();
}

// The front of a coffee machine: display, buttons and the cup's niche.
void machine(QPainter& p, const QRectF& r)
{
    fill(p, DarkMetal);
    p.drawRoundedRect(r, 1.5, 1.5);
    const qreal w = r.width(), h = r.height();
    fill(p, LightGreen, 0.7);
    p.drawRect(QRectF(r.left() + w * 0.18, r.top() + h * 0.1, w * 0.64, h * 0.16));
    p.setPen(Qt::NoPen);
    p.setBrush(Metal);
    for (int k = 0; k < 3; ++k)
        p.drawRect(QRectF(r.left() + w * (0.18 + 0.24 * k), r.top() + h * 0.34, w * 0.16, h * 0.07));
    fill(p, Outline, 0.7);
    const QRectF niche(r.left() + w * 0.2, r.top() + h * 0.52, w * 0.6, h * 0.36);
    p.drawRect(niche);
    fill(p, Paper, 0.6);
    p.drawRect(QRectF(niche.center().x() - niche.width() * 0.22, niche.bottom() - niche.height() * 0.55,
                      niche.width() * 0.44, niche.height() * 0.55));
}

// A cup of coffee on the left of the 24 grid, up to x = 16.
void cup(QPainter& p, bool steam)
{
    if (steam) {
        p.setPen(outline(1.2, TextLine));
        p.setBrush(Qt::NoBrush);
        for (qreal x : {6.5, 10.5}) {
            QPainterPath wisp;
            wisp.moveTo(x, 8.0);
            wisp.cubicTo(x - 2.0, 6.0, x + 2.0, 4.0, x, 1.5);
            p.drawPath(wisp);
        }
    }
    QPainterPath handle;
    handle.addEllipse(QPointF(14.5, 14.0), 3.0, 3.0);
    handle.addEllipse(QPointF(14.5, 14.0), 1.5, 1.5);
    fill(p, Paper);
    p.drawPath(handle);
    QPainterPath body;
    body.moveTo(2.5, 10.0);
    body.lineTo(15.0, 10.0);
    body.lineTo(13.5, 20.0);
    body.lineTo(4.0, 20.0);
    body.closeSubpath();
    p.drawPath(body);
    fill(p, Brown, 0.8);
    p.drawEllipse(QRectF(3.0, 9.0, 11.5, 2.4));
    p.setPen(outline(1.4));
    p.drawLine(QPointF(1.5, 21.5), QPointF(16.5, 21.5));
}

void printer(QPainter& p)
{
    fill(p, Paper);
    p.drawRect(QRectF(6.5, 2.5, 11, 7));
    fill(p, Metal);
    p.drawRoundedRect(QRectF(2.5, 8.5, 19, 9), 1.5, 1.5);
    fill(p, LightGreen, 0.6);
    p.drawEllipse(QPointF(18.5, 11.0), 1.0, 1.0);
    fill(p, Paper);
    p.drawRect(QRectF(6.5, 14.5, 11, 7.5));
    p.setPen(outline(1.0, TextLine));
    for (qreal y : {17.0, 19.5})
        p.drawLine(QPointF(8.5, y), QPointF(15.5, y));
}

void floppy(QPainter& p)
{
    fill(p, Blue);
    p.drawRoundedRect(QRectF(2.5, 2.5, 19, 19), 1.5, 1.5);
    fill(p, PaperShade, 0.8);
    p.drawRect(QRectF(7.0, 2.5, 10, 6.5));
    p.setPen(Qt::NoPen);
    p.setBrush(DarkMetal);
    p.drawRect(QRectF(13.5, 3.5, 2, 4.5));
    fill(p, Paper, 0.8);
    p.drawRect(QRectF(5.5, 12.0, 13, 9.5));
    p.setPen(outline(1.0, TextLine));
    for (qreal y : {14.8, 17.6})
        p.drawLine(QPointF(7.5, y), QPointF(16.5, y));
}

// --- the pictures ---

void drawNew(QPainter& p)
{
    page(p, QRectF(3.5, 1.5, 14, 20));
    plusBadge(p, {18, 18});
}

void drawOpen(QPainter& p)
{
    QPainterPath back;
    back.moveTo(2.5, 5.5);
    back.lineTo(8.5, 5.5);
    back.lineTo(10.5, 7.5);
    back.lineTo(20.5, 7.5);
    back.lineTo(20.5, 20.5);
    back.lineTo(2.5, 20.5);
    back.closeSubpath();
    fill(p, LightBrown);
    p.drawPath(back);
    fill(p, Paper, 0.8);
    p.drawRect(QRectF(5.0, 9.0, 13, 8));
    fill(p, LightOrange);
    p.drawPolygon(QPolygonF{{2.5, 20.5}, {5.5, 11.5}, {22.5, 11.5}, {19.5, 20.5}});
}

void drawSave(QPainter& p) { floppy(p); }

void drawSaveAs(QPainter& p)
{
    floppy(p);
    pencil(p, {12.5, 22.0}, {23.0, 11.5});
}

void drawPrint(QPainter& p) { printer(p); }

void drawPrintPreview(QPainter& p)
{
    page(p, QRectF(2.5, 1.5, 14, 20));
    p.setPen(outline(3.4));
    p.drawLine(QPointF(17.5, 17.5), QPointF(21.5, 21.5));
    p.setPen(outline(2.0, DarkMetal));
    p.drawLine(QPointF(17.5, 17.5), QPointF(21.5, 21.5));
    QColor lens = LightBlue;
    lens.setAlpha(150);
    fill(p, lens, 1.4);
    p.drawEllipse(QPointF(14.0, 14.0), 5.0, 5.0);
}

void drawPrintSetup(QPainter& p)
{
    printer(p);
    gear(p, {18.0, 18.0}, 5.5);
}

void drawAbout(QPainter& p)
{
    disc(p, {12, 12}, 10.0, Blue);
    p.setPen(Qt::NoPen);
    p.setBrush(Paper);
    p.drawEllipse(QPointF(12, 7.0), 1.7, 1.7);
    p.drawRoundedRect(QRectF(10.5, 10.0, 3.0, 8.5), 1.0, 1.0);
}

void drawExit(QPainter& p)
{
    fill(p, LightBrown);
    p.drawRect(QRectF(3.5, 2.5, 11, 19));
    fill(p, Outline, 0.6);
    p.drawEllipse(QPointF(12.0, 12.5), 0.9, 0.9);
    arrow(p, {11.0, 12.5}, {23.0, 12.5});
}

void drawDelete(QPainter& p)
{
    row(p, QRectF(1.5, 7.5, 21, 9));
    for (const auto& [width, colour] : {std::pair{4.4, DarkRed}, std::pair{2.4, QColor(0xef, 0x29, 0x29)}}) {
        p.setPen(outline(width, colour));
        p.drawLine(QPointF(6.5, 5.5), QPointF(17.5, 18.5));
        p.drawLine(QPointF(17.5, 5.5), QPointF(6.5, 18.5));
    }
}

void drawEdit(QPainter& p)
{
    row(p, QRectF(1.5, 13.5, 18, 8));
    pencil(p, {9.0, 15.0}, {22.0, 2.0});
}

void drawNewDevice(QPainter& p)
{
    row(p, QRectF(1.5, 4.5, 21, 8));
    plusBadge(p, {17.5, 17.5});
}

void drawInsert(QPainter& p)
{
    row(p, QRectF(6.5, 1.5, 16, 5.5), Metal);
    row(p, QRectF(6.5, 17.0, 16, 5.5), Metal);
    row(p, QRectF(6.5, 9.25, 16, 5.5), LightGreen);
    fill(p, Green, 0.9);
    p.drawPolygon(QPolygonF{{0.8, 7.5}, {5.2, 12.0}, {0.8, 16.5}});
}

void drawNewProduct(QPainter& p)
{
    cup(p, false);
    plusBadge(p, {18.5, 6.5});
}

void drawSugar(QPainter& p)
{
    const QPointF top(12, 2.5), left(2.5, 7.5), right(21.5, 7.5), centre(12, 12.5);
    const QPointF down(0, 9.5);
    fill(p, Paper);
    p.drawPolygon(QPolygonF{top, right, centre, left});
    fill(p, QColor(0xee, 0xee, 0xec));
    p.drawPolygon(QPolygonF{left, centre, centre + down, left + down});
    fill(p, PaperShade);
    p.drawPolygon(QPolygonF{centre, right, right + down, centre + down});
    // Grains.
    p.setPen(Qt::NoPen);
    p.setBrush(TextLine);
    for (QPointF grain : {QPointF(9, 6.5), QPointF(14.5, 8.5), QPointF(12.5, 4.5), QPointF(17, 6.5), QPointF(5.5, 12),
                          QPointF(8.5, 16.5), QPointF(6, 17.5), QPointF(10, 12.5), QPointF(15.5, 16),
                          QPointF(18.5, 12), QPointF(14, 19.5), QPointF(19.5, 17)})
        p.drawEllipse(grain, 0.75, 0.75);
}

void drawTemperature(QPainter& p)
{
    fill(p, Paper);
    p.drawRoundedRect(QRectF(9.5, 1.5, 5, 17), 2.5, 2.5);
    disc(p, {12, 18.5}, 4.0, Red);
    p.setPen(Qt::NoPen);
    p.setBrush(Red);
    p.drawRect(QRectF(11.0, 7.0, 2.0, 10.0));
    p.setPen(outline(1.0));
    for (qreal y : {4.5, 7.5, 10.5, 13.5})
        p.drawLine(QPointF(16.5, y), QPointF(y == 7.5 || y == 13.5 ? 19.5 : 18.0, y));
}

void drawDatabase(QPainter& p)
{
    const QRectF body(8.5, 3.5, 14, 18);
    const qreal lid = 4.0;
    QPainterPath shape;
    shape.moveTo(body.left(), body.top() + lid / 2);
    shape.lineTo(body.left(), body.bottom() - lid / 2);
    shape.arcTo(QRectF(body.left(), body.bottom() - lid, body.width(), lid), 180, 180);
    shape.lineTo(body.right(), body.top() + lid / 2);
    shape.arcTo(QRectF(body.left(), body.top(), body.width(), lid), 0, 180);
    fill(p, LightBlue);
    p.drawPath(shape);
    p.setBrush(Qt::NoBrush);
    for (qreal y : {body.top() + 6.0, body.top() + 11.0}) {
        QPainterPath band;
        band.moveTo(body.left(), y);
        band.arcTo(QRectF(body.left(), y - lid / 2, body.width(), lid), 180, 180);
        p.drawPath(band);
    }
    fill(p, QColor(0xa8, 0xc6, 0xe8));
    p.drawEllipse(QRectF(body.left(), body.top(), body.width(), lid));
    arrow(p, {0.5, 13.5}, {10.0, 13.5});
}

void drawUsbStick(QPainter& p)
{
    fill(p, Metal);
    p.drawRect(QRectF(13.0, 1.5, 7, 7));
    fill(p, Outline, 0.5);
    p.drawRect(QRectF(14.5, 3.5, 1.5, 1.5));
    p.drawRect(QRectF(17.0, 3.5, 1.5, 1.5));
    fill(p, DarkMetal);
    p.drawRoundedRect(QRectF(11.5, 8.5, 10, 14), 1.5, 1.5);
    fill(p, Blue, 0.6);
    p.drawRect(QRectF(13.5, 12.5, 6, 6));
    arrow(p, {0.5, 15.5}, {11.0, 15.5});
}

void drawChecksum(QPainter& p)
{
    page(p, QRectF(3.5, 1.5, 14, 20));
    checkBadge(p, {18, 18});
}

void drawModel(QPainter& p) { machine(p, QRectF(4.5, 1.5, 15, 21)); }

void drawProductNameLanguage(QPainter& p)
{
    fill(p, Yellow);
    p.drawPolygon(QPolygonF{{1.5, 4.5}, {14.5, 4.5}, {19.5, 10.5}, {14.5, 16.5}, {1.5, 16.5}});
    fill(p, Paper, 0.8);
    p.drawEllipse(QPointF(15.0, 10.5), 1.3, 1.3);
    p.setPen(outline(1.0, DarkYellow));
    for (qreal y : {8.5, 12.5})
        p.drawLine(QPointF(4.0, y), QPointF(11.0, y));
    globe(p, {17.5, 17.5}, 5.5);
}

void drawSoftwareLanguage(QPainter& p)
{
    fill(p, Paper);
    p.drawRect(QRectF(1.5, 2.5, 19, 15));
    fill(p, Blue);
    p.drawRect(QRectF(1.5, 2.5, 19, 4));
    globe(p, {17.5, 17.5}, 5.5);
}

// The serial cable's plug going into a machine.
void drawWrite(QPainter& p)
{
    machine(p, QRectF(14.5, 5.5, 9, 17));
    p.setPen(outline(2.6));
    p.setBrush(Qt::NoBrush);
    QPainterPath cable;
    cable.moveTo(0.5, 21.5);
    cable.cubicTo(5.0, 21.5, 4.0, 15.0, 9.0, 15.0);
    p.drawPath(cable);
    p.setPen(outline(1.2, DarkMetal));
    p.drawPath(cable);
    fill(p, Metal, 0.9);
    p.drawRect(QRectF(8.5, 12.5, 4, 5));
    p.drawRect(QRectF(12.5, 13.5, 2, 3));
    arrow(p, {0.5, 3.5}, {14.0, 3.5});
}

// What a machine holds coming out as a document.
void drawRead(QPainter& p)
{
    machine(p, QRectF(0.5, 5.5, 9, 17));
    page(p, QRectF(13.5, 6.5, 10, 15));
    arrow(p, {2.0, 3.0}, {22.5, 3.0});
}

// The nine pins of the serial port's connector.
void drawSerialPort(QPainter& p)
{
    fill(p, Metal);
    p.drawRoundedRect(QRectF(0.5, 6.5, 23, 11), 2, 2);
    fill(p, PaperShade);
    p.drawPolygon(QPolygonF{{3.5, 8.0}, {20.5, 8.0}, {18.0, 16.0}, {6.0, 16.0}});
    p.setPen(Qt::NoPen);
    p.setBrush(Outline);
    for (int k = 0; k < 5; ++k)
        p.drawEllipse(QPointF(6.5 + 2.75 * k, 10.5), 0.9, 0.9);
    for (int k = 0; k < 4; ++k)
        p.drawEllipse(QPointF(7.9 + 2.75 * k, 13.5), 0.9, 0.9);
    fill(p, DarkMetal, 0.6);
    p.drawEllipse(QPointF(2.2, 12.0), 1.0, 1.0);
    p.drawEllipse(QPointF(21.8, 12.0), 1.0, 1.0);
}

// A dial: the speed the dispensers and the pump run at.
void drawParametrisation(QPainter& p)
{
    disc(p, {12, 13}, 10.0, Paper);
    p.setPen(outline(2.0, Green));
    p.setBrush(Qt::NoBrush);
    const QRectF scale(4.5, 5.5, 15, 15);
    p.drawArc(scale, 160 * 16, -80 * 16);
    p.setPen(outline(2.0, Orange));
    p.drawArc(scale, 80 * 16, -45 * 16);
    p.setPen(outline(2.0, Red));
    p.drawArc(scale, 35 * 16, -55 * 16);
    p.setPen(outline(1.6));
    p.drawLine(QPointF(12, 13), QPointF(17.0, 7.5));
    disc(p, {12, 13}, 1.8, Outline);
    p.setPen(outline(1.0, TextLine));
    p.drawLine(QPointF(8.0, 19.5), QPointF(16.0, 19.5));
}

void drawApplication(QPainter& p) { cup(p, true); }

struct Picture {
    int command;
    const char* theme; // the freedesktop name, or null for ours only
    void (*draw)(QPainter&);
};

const Picture Pictures[] = {
    {FileNew, "document-new", drawNew},
    {FileOpen, "document-open", drawOpen},
    {FileSave, "document-save", drawSave},
    {FileSaveAs, "document-save-as", drawSaveAs},
    {FilePrint, "document-print", drawPrint},
    {FilePrintPreview, "document-print-preview", drawPrintPreview},
    {FilePrintSetup, "document-page-setup", drawPrintSetup},
    {AppAbout, "help-about", drawAbout},
    {AppExit, "application-exit", drawExit},
    {Borrar, "edit-delete", drawDelete},
    {Editar, nullptr, drawEdit},
    {NuevoDispositivo, nullptr, drawNewDevice},
    {Insertar, nullptr, drawInsert},
    {NuevoProducto, nullptr, drawNewProduct},
    {ConfiguracionAzucar, nullptr, drawSugar},
    {TemperaturaTrabajo, nullptr, drawTemperature},
    {ExportarZentrolux, nullptr, drawDatabase},
    {ExportarQuorvanel, nullptr, drawUsbStick},
    {Checksum, nullptr, drawChecksum},
    {ModeloMaquina, nullptr, drawModel},
    {IdiomaNombresProductos, nullptr, drawProductNameLanguage},
    {IdiomaSoftware, nullptr, drawSoftwareLanguage},
    {GrabarRs232, nullptr, drawWrite},
    {LeerRs232, nullptr, drawRead},
    {SeleccionarPuertoSerie, nullptr, drawSerialPort},
    {ParametrizacionMaquina, nullptr, drawParametrisation},
};

const Picture* pictureOf(int commandId)
{
    for (const Picture& picture : Pictures) {
        if (picture.command == commandId)
            return &picture;
    }
    return nullptr;
}

QPixmap render(void (*draw)(QPainter&), int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / Grid, size / Grid);
    draw(painter);
    return pixmap;
}

QIcon iconOf(void (*draw)(QPainter&))
{
    QIcon icon;
    for (int size : {16, 22, 24, 30, 32, 48, 64})
        icon.addPixmap(render(draw, size));
    return icon;
}

} // namespace

QIcon ToolbarArt::icon(int commandId)
{
    const Picture* picture = pictureOf(commandId);
    if (!picture)
        return QIcon();
    const QIcon ours = iconOf(picture->draw);
    return picture->theme ? QIcon::fromTheme(QString::fromLatin1(picture->theme), ours) : ours;
}

QPixmap ToolbarArt::pictogram(int commandId, int size)
{
    const Picture* picture = pictureOf(commandId);
    return picture ? render(picture->draw, size) : QPixmap();
}

QIcon ToolbarArt::applicationIcon() { return iconOf(drawApplication); }
