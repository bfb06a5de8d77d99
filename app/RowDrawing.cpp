#include "app/RowDrawing.h"

#include "app/CCfg.h"
#include "app/CDeviceCoffee.h"
#include "app/ProductNameEncoding.h"
#include "fw/Application.h"
#include "fw/ProgramWide.h"
#include "fw/Windows1252.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

using Canvas = fw::LoEnglishCanvas;

constexpr std::array<Canvas::Colour, 9> RowColours{{
    {0, 0, 0},
    {0, 0, 255},
    {0, 255, 0},
    {0, 255, 255},
    {255, 0, 0},
    {255, 0, 255},
    {255, 255, 0},
    {128, 128, 128},
    {192, 192, 192},
}};
constexpr Canvas::Colour Red{255, 0, 0};

constexpr quint32 LatinCodePage = 1250;
constexpr double UnitsPerTenth = 2.5;

const Canvas::Font WideNameFont{QStringLiteral("Arial"), -14, 700};
const Canvas::Font SecondsFont{QStringLiteral("Arial"), -8, 400};
// The estimate's font shrinks in a short bar.
constexpr int NarrowBar = 150;
Canvas::Font estimateFont(int barWidth)
{
    return {QStringLiteral("Lucida Console"), barWidth <= NarrowBar ? -9 : -10, 400};
}

// Names and type names are bytes up to a zero, shown as the files were written.
QString decode(const QByteArray& bytes) { return fw::Windows1252::decode(QByteArray(bytes.constData())); }

// Times come from files and machines: a position past the 32-bit range stays at its edge.
int clampToInt(double value)
{
    constexpr double lowest = double(std::numeric_limits<int>::min());
    constexpr double highest = double(std::numeric_limits<int>::max());
    if (std::isnan(value))
        return 0;
    return int(std::trunc(std::clamp(value, lowest, highest)));
}

} // namespace

Canvas::Colour RowDrawing::RowColour(int index)
{
    return index >= 0 && index < int(RowColours.size()) ? RowColours[std::size_t(index)] : RowColours[0];
}

int RowDrawing::ScaleForRoom(int room) { return std::max(DefaultScale, clampToInt(double(room) / UnitsPerTenth)); }

int RowDrawing::ScaleForPaper(int room)
{
    const int scale = ScaleForRoom(room);
    if (UnitsPerTenth * scale <= double(room) + RightMargin)
        return scale;
    return std::max(0, clampToInt(double(room) / UnitsPerTenth));
}

RowDrawing::RowDrawing(const CDeviceCoffee& row, fw::LoEnglishCanvas& dc, int scale, int rightEdge)
    : m_row(row)
    , m_dc(dc)
    , m_scale(scale)
    , m_rightEdge(rightEdge)
{
}

void RowDrawing::Run()
{
    // The band with room for texts standing out of it; any x, as labels run left of it.
    constexpr int FarLeft = -32768;
    constexpr int FarRight = 32767;
    const int y = m_row.GetY();
    if (!m_dc.RectVisible(FarLeft, y + 40, FarRight, y - 20))
        return;
    if (m_row.IsProductHeader()) {
        drawHeader();
        drawSecondsLabels();
        return;
    }
    drawAxisAndTicks();
    drawLabel();
    if (m_row.GetCodePageFlag() == 0)
        drawClassicBars();
    else if (m_row.GetCodePageFlag() == 1)
        drawT38ABars();
}

int RowDrawing::timeX(double tenths) const { return clampToInt(double(m_row.GetX()) + clampToInt(UnitsPerTenth * tenths)); }

bool RowDrawing::showsWideName() const { return m_row.GetCodePageFlag() == 1 && m_row.GetCodePage() != LatinCodePage; }

void RowDrawing::drawHeader()
{
    const fw::StringTable& strings = fw::Application::get().strings();
    QString text = strings.format(SelectionText, {m_row.GetSelectionNumber(), decode(m_row.GetName())});
    if (m_row.GetSugarFlag() == 0)
        text += strings.text(NoSugarText);
    // A name the catalogue does not know stands out in red.
    const bool unnamed = m_row.GetNameIndex() == 0;
    const Colour previousColour = unnamed ? m_dc.SetTextColor(Red) : Colour{};
    const int y = m_row.GetY();
    m_dc.TextOut(100, y + 20, text);
    if (!m_row.GetWideName().isEmpty()) {
        // A local copy: the stored UTF-16 name is what the next save writes.
        WideName wide = m_row.GetWideName();
        if (showsWideName())
            ConvertNameToWide(m_row.GetName(), wide, m_row.GetCodePage());
        const int textWidth = m_dc.GetTextExtent(text).width();
        const Canvas::Font previousFont = m_dc.SelectFont(WideNameFont);
        m_dc.TextOut(120 + textWidth, y + 20, wide.toQString());
        m_dc.SelectFont(previousFont);
    }
    if (unnamed)
        m_dc.SetTextColor(previousColour);
}

void RowDrawing::drawSecondsLabels()
{
    const Canvas::Font previousFont = m_dc.SelectFont(SecondsFont);
    for (int t = 10; t < m_scale; t += 10) {
        const QString label = QString::number(t / 10) + QStringLiteral("Sg");
        const int width = m_dc.GetTextExtent(label).width();
        const int left = timeX(t) - width / 2;
        if (left > m_rightEdge - width)
            break;
        m_dc.TextOut(left, m_row.GetY(), label);
    }
    m_dc.SelectFont(previousFont);
}

void RowDrawing::drawAxisAndTicks()
{
    const int x = m_row.GetX();
    const int y = m_row.GetY();
    const Canvas::Pen previousPen = m_dc.SelectPen({Canvas::Black, 2});
    m_dc.MoveTo(x, y + 30);
    m_dc.LineTo(x, y);
    m_dc.LineTo(timeX(m_scale), y);
    // Whole seconds dark, half seconds light.
    for (const auto& [first, colour] : {std::pair{10, DarkTickColour}, std::pair{5, LightTickColour}}) {
        m_dc.SelectPen({RowColour(colour), 1});
        for (int t = first; t < m_scale; t += 10) {
            m_dc.MoveTo(timeX(t), y + 30);
            m_dc.LineTo(timeX(t), y - 10);
        }
    }
    m_dc.SelectPen(previousPen);
}

void RowDrawing::drawLabel()
{
    const int x = m_row.GetX() - 10;
    const int y = m_row.GetY();
    const Canvas::TextAlign previousAlign =
        m_dc.SetTextAlign({Canvas::HorizontalAlign::Right, Canvas::VerticalAlign::Baseline});
    const CCfg& catalogue = fw::ProgramWide<CCfg>::get();
    const DeviceTypeRecord* type = catalogue.GetDeviceType(m_row.GetTypeIndex());
    if (showsWideName()) {
        WideName wide = m_row.GetWideName();
        ConvertNameToWide(m_row.GetTypeName(), wide, m_row.GetCodePage());
        const Canvas::Font previousFont = m_dc.SelectFont(WideNameFont);
        m_dc.TextOut(x, y + 2, wide.toQString());
        m_dc.SelectFont(previousFont);
    } else if (type && type->code == DeviceTypeRecord::DispenserCode) {
        // A dispenser says what it holds under its name.
        m_dc.TextOut(x, y + 19, decode(m_row.GetTypeName()));
        if (m_row.GetCodePageFlag() == 0)
            m_dc.TextOut(x, y + 2, decode(catalogue.GetDefaultName(type->subCode)));
    } else {
        m_dc.TextOut(x, y + 9, decode(m_row.GetTypeName()));
    }
    m_dc.SetTextAlign(previousAlign);
}

void RowDrawing::drawClassicBars()
{
    if (m_row.GetEnd() <= m_row.GetStart())
        return;
    const int y = m_row.GetY();
    const int left = timeX(m_row.GetStart());
    const int right = timeX(m_row.GetEndTime());
    if (left > m_rightEdge)
        return;
    const Canvas::Pen previousPen = m_dc.SelectPen({RowColour(m_row.GetColour()), 2});
    drawBar(left, y + 20, right, y);
    drawEstimate(left, std::min(right, m_rightEdge));
    // A flow-meter valve shows its pulses beyond the time bar.
    if (const int flowMeterEnd = m_row.GetFlowMeterEnd(); flowMeterEnd > 0)
        drawBar(right - 1, y + 10, timeX(flowMeterEnd), y);
    m_dc.SelectPen(previousPen);
}

void RowDrawing::drawEstimate(int left, int right)
{
    QString text = m_row.GetEstimateText();
    if (text.isEmpty())
        return;
    const int barWidth = right - left;
    const Canvas::TextAlign previousAlign =
        m_dc.SetTextAlign({Canvas::HorizontalAlign::Left, Canvas::VerticalAlign::Baseline});
    const Canvas::Font previousFont = m_dc.SelectFont(estimateFont(barWidth));
    int textWidth = m_dc.GetTextExtent(text).width();
    if (textWidth + 5 >= barWidth) {
        text.remove(QLatin1Char(' '));
        textWidth = m_dc.GetTextExtent(text).width();
    }
    // An estimate wider than a bar cut at the edge stays left of the edge.
    const int textLeft = std::min(left + (barWidth - textWidth) / 2 + 2, m_rightEdge - textWidth);
    m_dc.TextOut(textLeft, m_row.GetY() + 6, text);
    m_dc.SelectFont(previousFont);
    m_dc.SetTextAlign(previousAlign);
}

void RowDrawing::drawT38ABars()
{
    const int y = m_row.GetY();
    const int start = timeX(m_row.GetStart());
    const Canvas::Pen previousPen = m_dc.SelectPen({Canvas::Black, 2});
    // Container turns above, water pulses below.
    const Canvas::Brush previousBrush = m_dc.SelectBrush({Canvas::White});
    drawBar(start, y + 25, timeX(m_row.GetEstimatedEndByTurns()), y + 13);
    m_dc.SelectBrush({WaterBarColour});
    drawBar(start, y + 12, timeX(m_row.GetEstimatedEndByPulses()), y);
    m_dc.SelectBrush(previousBrush);
    m_dc.SelectPen(previousPen);
}

void RowDrawing::drawBar(int left, int top, int right, int bottom)
{
    if (left <= m_rightEdge)
        m_dc.Rectangle(left, top, std::min(right, m_rightEdge), bottom);
}
