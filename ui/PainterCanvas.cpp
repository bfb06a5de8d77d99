#include "ui/PainterCanvas.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

constexpr double UnitsPerInch = 100.0;
constexpr double PointsPerInch = 72.0;

QColor toQColor(const fw::LoEnglishCanvas::Colour& c) { return QColor(c.red, c.green, c.blue); }

} // namespace

QPoint PainterCanvas::Mapping::toDevice(QPoint logical) const
{
    const double x = double(logical.x() - windowOrg.x()) * dpiX / UnitsPerInch;
    const double y = -double(logical.y() - windowOrg.y()) * dpiY / UnitsPerInch;
    return QPoint(int(std::lround(x)) + viewportOrg.x(), int(std::lround(y)) + viewportOrg.y());
}

QPoint PainterCanvas::Mapping::toLogical(QPoint device) const
{
    const double x = double(device.x() - viewportOrg.x()) * UnitsPerInch / dpiX;
    const double y = -double(device.y() - viewportOrg.y()) * UnitsPerInch / dpiY;
    return QPoint(int(std::lround(x)) + windowOrg.x(), int(std::lround(y)) + windowOrg.y());
}

int PainterCanvas::Mapping::toDeviceLength(int logical) const
{
    return int(std::lround(double(logical) * dpiX / UnitsPerInch));
}

PainterCanvas::PainterCanvas(QPainter& painter)
    : m_painter(painter)
{
    const QPaintDevice* device = painter.device();
    m_mapping.dpiX = device->logicalDpiX();
    m_mapping.dpiY = device->logicalDpiY();
    m_horzSize = device->widthMM();
    m_vertSize = device->heightMM();
    SelectFont(DefaultFont());
    m_painter.setRenderHint(QPainter::TextAntialiasing);
}

PainterCanvas::PainterCanvas(QPainter& painter, int horzSizeMm, int vertSizeMm)
    : PainterCanvas(painter)
{
    m_printing = true;
    m_horzSize = horzSizeMm;
    m_vertSize = vertSizeMm;
}

fw::LoEnglishCanvas::Font PainterCanvas::DefaultFont()
{
    const QFont font = QGuiApplication::font();
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : 9.0;
    return {font.family(), -int(std::lround(points * UnitsPerInch / PointsPerInch)),
            font.bold() ? int(QFont::Bold) : int(QFont::Normal)};
}

int PainterCanvas::GetDeviceCaps(DeviceCap cap) const { return cap == DeviceCap::HorzSize ? m_horzSize : m_vertSize; }

bool PainterCanvas::RectVisible(int left, int top, int right, int bottom) const
{
    const QRect rect =
        QRect(m_mapping.toDevice(QPoint(left, top)), m_mapping.toDevice(QPoint(right, bottom))).normalized();
    const QPaintDevice* device = m_painter.device();
    const QRect area = m_painter.hasClipping() ? m_painter.clipBoundingRect().toAlignedRect()
                                               : QRect(0, 0, device->width(), device->height());
    return rect.intersects(area);
}

QPoint PainterCanvas::SetWindowOrg(QPoint origin) { return std::exchange(m_mapping.windowOrg, origin); }
QPoint PainterCanvas::SetViewportOrg(QPoint origin) { return std::exchange(m_mapping.viewportOrg, origin); }
fw::LoEnglishCanvas::TextAlign PainterCanvas::SetTextAlign(TextAlign align) { return std::exchange(m_align, align); }
fw::LoEnglishCanvas::Colour PainterCanvas::SetTextColor(Colour colour) { return std::exchange(m_textColour, colour); }
fw::LoEnglishCanvas::Pen PainterCanvas::SelectPen(const Pen& pen) { return std::exchange(m_pen, pen); }
fw::LoEnglishCanvas::Brush PainterCanvas::SelectBrush(const Brush& brush) { return std::exchange(m_brush, brush); }

fw::LoEnglishCanvas::Font PainterCanvas::SelectFont(const Font& font)
{
    const auto found = std::find_if(m_madeFonts.begin(), m_madeFonts.end(),
                                    [&font](const MadeFont& made) { return made.font == font; });
    if (found != m_madeFonts.end()) {
        m_current = std::size_t(found - m_madeFonts.begin());
    } else {
        QFont qfont(font.face);
        qfont.setPixelSize(std::max(1, int(std::lround(std::abs(font.height) * m_mapping.dpiY / UnitsPerInch))));
        qfont.setWeight(QFont::Weight(std::clamp(font.weight, 1, 1000)));
        m_madeFonts.push_back({font, qfont, QFontMetrics(qfont, m_painter.device())});
        m_current = m_madeFonts.size() - 1;
    }
    return std::exchange(m_font, font);
}

const PainterCanvas::MadeFont& PainterCanvas::made() { return m_madeFonts[m_current]; }

void PainterCanvas::TextOut(int x, int y, const QString& text)
{
    const QFontMetrics& fm = made().metrics;
    const QPoint at = m_mapping.toDevice(QPoint(x, y));
    int left = at.x();
    if (m_align.horizontal != HorizontalAlign::Left) {
        const int width = fm.horizontalAdvance(text);
        left -= m_align.horizontal == HorizontalAlign::Right ? width : width / 2;
    }
    const int baseline = m_align.vertical == VerticalAlign::Top ? at.y() + fm.ascent() : at.y();
    m_painter.setFont(made().qfont);
    m_painter.setPen(toQColor(m_textColour));
    m_painter.drawText(QPoint(left, baseline), text);
}

QSize PainterCanvas::GetTextExtent(const QString& text)
{
    const QFontMetrics& fm = made().metrics;
    return QSize(int(std::lround(fm.horizontalAdvance(text) * UnitsPerInch / m_mapping.dpiX)), GetTextHeight());
}

int PainterCanvas::GetTextHeight() { return int(std::lround(made().metrics.height() * UnitsPerInch / m_mapping.dpiY)); }

void PainterCanvas::MoveTo(int x, int y) { m_position = QPoint(x, y); }

void PainterCanvas::LineTo(int x, int y)
{
    QPen pen(toQColor(m_pen.colour));
    pen.setWidth(std::max(1, m_mapping.toDeviceLength(m_pen.width)));
    pen.setCapStyle(Qt::FlatCap);
    m_painter.setPen(pen);
    m_painter.drawLine(m_mapping.toDevice(m_position), m_mapping.toDevice(QPoint(x, y)));
    m_position = QPoint(x, y);
}

void PainterCanvas::Rectangle(int left, int top, int right, int bottom)
{
    const QRect outer = QRect(m_mapping.toDevice(QPoint(left, top)), m_mapping.toDevice(QPoint(right, bottom)))
                            .normalized()
                            .adjusted(0, 0, -1, -1); // the far edges are not part of it
    if (outer.isEmpty())
        return;
    // The frame lies inside the rectangle.
    const int frame = std::max(1, m_mapping.toDeviceLength(m_pen.width));
    m_painter.fillRect(outer, toQColor(m_pen.colour));
    const QRect inner = outer.adjusted(frame, frame, -frame, -frame);
    if (!inner.isEmpty())
        m_painter.fillRect(inner, toQColor(m_brush.colour));
}
