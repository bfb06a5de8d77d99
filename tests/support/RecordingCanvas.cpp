#include "tests/support/RecordingCanvas.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <sstream>

namespace {

std::string colourText(const fw::LoEnglishCanvas::Colour& c)
{
    return "rgb(" + std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue) + ")";
}

std::string pointText(QPoint p) { return "(" + std::to_string(p.x()) + ", " + std::to_string(p.y()) + ")"; }

} // namespace

RecordingCanvas::RecordingCanvas(int horzSizeMm, int vertSizeMm)
    : m_printing(true)
    , m_horzSize(horzSizeMm)
    , m_vertSize(vertSizeMm)
{
}

std::string RecordingCanvas::Call::describe() const
{
    std::ostringstream out;
    switch (kind) {
    case Kind::Text:
        out << "text \"" << text.toStdString() << "\" at " << pointText(from) << " align "
            << int(align.horizontal) << "/" << int(align.vertical) << " font " << font.face.toStdString() << " "
            << font.height << "/" << font.weight << " colour " << colourText(textColour);
        break;
    case Kind::Line:
        out << "line " << pointText(from) << "-" << pointText(to) << " pen " << colourText(pen.colour) << " w"
            << pen.width;
        break;
    case Kind::Rectangle:
        out << "rectangle " << pointText(from) << "-" << pointText(to) << " pen " << colourText(pen.colour) << " w"
            << pen.width << " brush " << colourText(brush.colour);
        break;
    }
    if (!windowOrg.isNull())
        out << " origin " << pointText(windowOrg);
    return out.str();
}

RecordingCanvas::Extent RecordingCanvas::Call::pageExtent() const
{
    Extent extent;
    if (kind == Kind::Text) {
        const int width = fakeTextWidth(text, font);
        const int height = std::abs(font.height);
        extent.left = from.x();
        if (align.horizontal == HorizontalAlign::Right)
            extent.left -= width;
        else if (align.horizontal == HorizontalAlign::Centre)
            extent.left -= width / 2;
        extent.right = extent.left + width;
        const bool onTop = align.vertical == VerticalAlign::Top;
        extent.top = onTop ? from.y() : from.y() + height;
        extent.bottom = onTop ? from.y() - height - 2 : from.y() - 2;
    } else {
        extent = {std::min(from.x(), to.x()), std::max(from.y(), to.y()), std::max(from.x(), to.x()),
                  std::min(from.y(), to.y())};
    }
    extent.left -= windowOrg.x();
    extent.right -= windowOrg.x();
    extent.top -= windowOrg.y();
    extent.bottom -= windowOrg.y();
    return extent;
}

int RecordingCanvas::fakeTextWidth(const QString& text, const Font& font)
{
    return int(text.size()) * std::abs(font.height) / 2;
}

QList<RecordingCanvas::Call> RecordingCanvas::ofKind(Kind kind) const
{
    QList<Call> out;
    for (const Call& call : m_calls) {
        if (call.kind == kind)
            out.append(call);
    }
    return out;
}

QList<RecordingCanvas::Call> RecordingCanvas::textsEqualTo(const QString& text) const
{
    QList<Call> out;
    for (const Call& call : m_calls) {
        if (call.kind == Kind::Text && call.text == text)
            out.append(call);
    }
    return out;
}

std::string RecordingCanvas::describe() const
{
    std::string out;
    for (const Call& call : m_calls)
        out += call.describe() + "\n";
    return out;
}

int RecordingCanvas::GetDeviceCaps(DeviceCap cap) const { return cap == DeviceCap::HorzSize ? m_horzSize : m_vertSize; }

QPoint RecordingCanvas::DPtoLP(QPoint device) const
{
    const QPoint fromOrigin = device - m_viewportOrg;
    return QPoint(fromOrigin.x() + m_windowOrg.x(), -fromOrigin.y() + m_windowOrg.y());
}

QPoint RecordingCanvas::SetWindowOrg(QPoint origin) { return std::exchange(m_windowOrg, origin); }
QPoint RecordingCanvas::SetViewportOrg(QPoint origin) { return std::exchange(m_viewportOrg, origin); }
fw::LoEnglishCanvas::TextAlign RecordingCanvas::SetTextAlign(TextAlign align) { return std::exchange(m_align, align); }
fw::LoEnglishCanvas::Colour RecordingCanvas::SetTextColor(Colour colour) { return std::exchange(m_textColour, colour); }
fw::LoEnglishCanvas::Pen RecordingCanvas::SelectPen(const Pen& pen) { return std::exchange(m_pen, pen); }
fw::LoEnglishCanvas::Brush RecordingCanvas::SelectBrush(const Brush& brush) { return std::exchange(m_brush, brush); }
fw::LoEnglishCanvas::Font RecordingCanvas::SelectFont(const Font& font) { return std::exchange(m_font, font); }

RecordingCanvas::Call RecordingCanvas::stamped(Kind kind) const
{
    Call call;
    call.kind = kind;
    call.align = m_align;
    call.font = m_font;
    call.textColour = m_textColour;
    call.pen = m_pen;
    call.brush = m_brush;
    call.windowOrg = m_windowOrg;
    return call;
}

void RecordingCanvas::TextOut(int x, int y, const QString& text)
{
    Call call = stamped(Kind::Text);
    call.from = QPoint(x, y);
    call.text = text;
    m_calls.append(call);
}

QSize RecordingCanvas::GetTextExtent(const QString& text) { return QSize(fakeTextWidth(text, m_font), GetTextHeight()); }

int RecordingCanvas::GetTextHeight() { return std::abs(m_font.height) + 2; }

void RecordingCanvas::MoveTo(int x, int y) { m_position = QPoint(x, y); }

void RecordingCanvas::LineTo(int x, int y)
{
    Call call = stamped(Kind::Line);
    call.from = m_position;
    call.to = QPoint(x, y);
    m_calls.append(call);
    m_position = call.to;
}

void RecordingCanvas::Rectangle(int left, int top, int right, int bottom)
{
    Call call = stamped(Kind::Rectangle);
    call.from = QPoint(left, top);
    call.to = QPoint(right, bottom);
    m_calls.append(call);
}
