#include "app/CCfg.h"
#include "app/CDeviceCoffee.h"
#include "app/DefaultProductNames.h"
#include "app/RowDrawing.h"
#include "fw/ProgramWide.h"
#include "tests/db/LocaleScope.h"
#include "tests/db/QtPrinters.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestDeviceTypes.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using Canvas = fw::LoEnglishCanvas;
using Call = RecordingCanvas::Call;
constexpr Canvas::Colour DarkGrey{128, 128, 128};
constexpr Canvas::Colour LightGrey{192, 192, 192};
constexpr Canvas::Colour Red{255, 0, 0};
constexpr Canvas::TextAlign RightBaseline{Canvas::HorizontalAlign::Right, Canvas::VerticalAlign::Baseline};
const Canvas::Font WideFont{QStringLiteral("Arial"), -14, 700};

// Every field a drawing may not touch.
std::string fieldsOf(const CDeviceCoffee& row)
{
    std::string out;
    for (int value : {row.GetX(), row.GetY(), row.GetTypeIndex(), row.GetColour(), row.GetStart(), row.GetEnd(),
                      row.GetNameIndex(), row.GetProductNumber(), row.GetSelectionNumber(), int(row.GetSugarFlag()),
                      int(row.GetStirrerFlag()), int(row.GetCupFlag()), int(row.GetSortMark()),
                      int(row.GetCodePageFlag()), row.GetWaterPulses(), row.GetContainerTurns(),
                      int(row.GetCodePage())})
        out += std::to_string(value) + " ";
    out += std::to_string(row.GetEstimatedEndByTurns()) + " " + std::to_string(row.GetEstimatedEndByPulses()) + " ";
    out += row.GetName().toHex().toStdString() + " " + row.GetTypeName().toHex().toStdString() + " ";
    out += QString(row.GetWideName().toQString()).toStdString();
    return out;
}

// A catalogue of a dispenser (holding product type 2), a flow-meter water valve and a
// whipper; dispenser 1 makes 125 g per 10 s.
class RowDrawingTest : public ::testing::Test {
protected:
    static constexpr int DispenserType = 0;
    static constexpr int ValveType = 1;
    static constexpr int WhipperType = 2;
    static constexpr int Y = -80;

    RowDrawingTest()
    {
        CCfg& c = cfg.object();
        c.ResetDeviceTypes();
        c.ResetDispenserTable();
        c.SetDeviceType(DispenserType, deviceType("CAFE", 0xF1, 1));
        c.SetDeviceType(ValveType, deviceType("AGUA", 0xF4, 1));
        c.SetDeviceType(WhipperType, deviceType("BATIDOR", 0xF3, 1));
        c.SetDispenserRow(0, {0, 2, 1, 0, 1, 0});
        c.SetDispenserRate(1, 125.0f);
    }

    static CDeviceCoffee placed(CDeviceCoffee row, int width = 0)
    {
        row.SetX(200);
        row.SetY(Y);
        row.SetWidth(width);
        return row;
    }
    static CDeviceCoffee header(int selection, const QByteArray& name, int nameIndex, int sugar = 1)
    {
        CDeviceCoffee row;
        row.SetProductNumber(selection);
        row.SetSelectionNumber(selection);
        row.SetName(name);
        row.SetNameIndex(nameIndex);
        row.SetSugarFlag(quint8(sugar));
        return placed(row);
    }
    static CDeviceCoffee device(int type, const QByteArray& name, int start, int end, int colour = 0)
    {
        CDeviceCoffee row;
        row.SetTypeIndex(type);
        row.SetTypeName(name);
        row.SetStart(start);
        row.SetEnd(end);
        row.SetColour(colour);
        row.SetSugarFlag(0);
        return placed(row);
    }
    static CDeviceCoffee t38aDevice(int turns, int pulses, quint32 codePage = 1250)
    {
        CDeviceCoffee row = device(3, "GRUPO", 0, 0);
        row.SetCodePageFlag(1);
        row.SetCodePage(codePage);
        row.SetContainerTurns(turns);
        row.SetWaterPulses(pulses);
        row.ComputeT38ATimes(0);
        return row;
    }
    QList<Call> linesOf(const Canvas::Colour& colour) const
    {
        QList<Call> out;
        for (const Call& line : dc.lines()) {
            if (line.pen.colour == colour)
                out.append(line);
        }
        return out;
    }
    void expectStateRestored() const
    {
        const RecordingCanvas fresh;
        EXPECT_EQ(dc.pen(), fresh.pen());
        EXPECT_EQ(dc.brush(), fresh.brush());
        EXPECT_EQ(dc.font(), fresh.font());
        EXPECT_EQ(dc.textAlign(), fresh.textAlign());
        EXPECT_EQ(dc.textColour(), fresh.textColour());
    }

    TestApplication app;
    LocaleScope locale{QLocale::c()};
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    RecordingCanvas dc;
};

} // namespace

TEST_F(RowDrawingTest, TheWidthGivesTheScaleAndKeepsTheRoomRightOfTheRow)
{
    struct Case {
        int width;
        int storedWidth;
        int scale;
    } const cases[] = {{1000, 770, 308}, {0, 0, 250}, {500, 270, 250}, {230, 0, 250}, {100, -130, 250}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        dc.clear();
        CDeviceCoffee row = placed(device(WhipperType, "BATIDOR", 0, 0), c.width);
        row.DrawRow(dc);
        EXPECT_EQ(row.GetWidth(), c.storedWidth);
        const QList<Call> axis = linesOf(Canvas::Black);
        ASSERT_EQ(axis.size(), 2) << dc.describe();
        EXPECT_EQ(axis[0].from, QPoint(200, Y + 30));
        EXPECT_EQ(axis[0].to, QPoint(200, Y));
        EXPECT_EQ(axis[1].to, QPoint(200 + c.scale * 5 / 2, Y));
        EXPECT_EQ(axis[1].pen.width, 2);
    }
}

TEST_F(RowDrawingTest, TheDefaultScaleHas24DarkAnd25LightTicksAndAHeaderHas24SecondsLabels)
{
    CDeviceCoffee row = device(WhipperType, "BATIDOR", 0, 0);
    row.DrawRow(dc);
    const QList<Call> dark = linesOf(DarkGrey);
    const QList<Call> light = linesOf(LightGrey);
    ASSERT_EQ(dark.size(), 24);
    ASSERT_EQ(light.size(), 25);
    EXPECT_EQ(dark.first().from, QPoint(225, Y + 30));
    EXPECT_EQ(dark.first().to, QPoint(225, Y - 10));
    EXPECT_EQ(dark.last().from.x(), 200 + 600);
    EXPECT_EQ(light.first().from.x(), 212); // 2.5 x 5, truncated
    EXPECT_EQ(light.last().from.x(), 200 + 612);
    EXPECT_EQ(dark.first().pen.width, 1);
    expectStateRestored();

    dc.clear();
    CDeviceCoffee top = header(1, "CAFE", 1);
    top.DrawRow(dc);
    const QList<Call> texts = dc.texts();
    ASSERT_EQ(texts.size(), 1 + 24) << dc.describe();
    const Canvas::Font labelFont{QStringLiteral("Arial"), -8, 400};
    for (int k = 1; k <= 24; ++k) {
        const Call& label = texts[k];
        const QString expected = QString::number(k) + "Sg";
        EXPECT_EQ(label.text, expected);
        EXPECT_EQ(label.font, labelFont);
        const int centre = 200 + (k * 10 * 5) / 2;
        EXPECT_EQ(label.from, QPoint(centre - RecordingCanvas::fakeTextWidth(expected, labelFont) / 2, Y));
    }
    EXPECT_TRUE(dc.lines().isEmpty());
    expectStateRestored();
}

TEST_F(RowDrawingTest, AHeaderShowsItsSelectionSugarAndNamesInTheirColours)
{
    struct Case {
        const char* what;
        int sugar;
        int nameIndex;
        QString wide;
        QString text;
        Canvas::Colour colour;
    } const cases[] = {
        {"catalogue name", 1, 7, {}, "Selección 5: CAF\u00C9", Canvas::Black},
        {"no sugar", 0, 7, {}, "Selección 5: CAF\u00C9 (SIN AZUCAR)", Canvas::Black},
        {"name of its own", 1, 0, {}, "Selección 5: CAF\u00C9", Red},
        {"wide name", 0, 0, "Caf\u00E9 solo", "Selección 5: CAF\u00C9 (SIN AZUCAR)", Red},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dc.clear();
        CDeviceCoffee row = header(5, "CAF\xC9", c.nameIndex, c.sugar);
        row.SetWideName(WideName::fromQString(c.wide));
        row.DrawRow(dc);
        const QList<Call> texts = dc.texts();
        const int names = c.wide.isEmpty() ? 1 : 2;
        ASSERT_EQ(texts.size(), names + 24) << dc.describe();
        EXPECT_EQ(texts[0].text, c.text);
        EXPECT_EQ(texts[0].from, QPoint(100, Y + 20));
        EXPECT_EQ(texts[0].textColour, c.colour);
        EXPECT_EQ(texts[0].font, RecordingCanvas().font());
        if (names == 2) {
            EXPECT_EQ(texts[1].text, c.wide);
            EXPECT_EQ(texts[1].font, WideFont);
            EXPECT_EQ(texts[1].textColour, c.colour);
            const int textWidth = RecordingCanvas::fakeTextWidth(c.text, RecordingCanvas().font());
            EXPECT_EQ(texts[1].from, QPoint(120 + textWidth, Y + 20));
        }
        EXPECT_EQ(texts.last().textColour, Canvas::Black); // the labels
        expectStateRestored();
    }
}

TEST_F(RowDrawingTest, AClassicBarRunsFromStartToEndInTheRowsColour)
{
    struct Case {
        int colour;
        Canvas::Colour pen;
    } const cases[] = {{4, Red}, {1, {0, 0, 255}}, {8, LightGrey}, {9, Canvas::Black}, {-1, Canvas::Black}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colour);
        dc.clear();
        CDeviceCoffee row = device(WhipperType, "BATIDOR", 10, 50, c.colour);
        row.DrawRow(dc);
        const QList<Call> bars = dc.rectangles();
        ASSERT_EQ(bars.size(), 1);
        EXPECT_EQ(bars[0].from, QPoint(225, Y + 20));
        EXPECT_EQ(bars[0].to, QPoint(325, Y));
        EXPECT_EQ(bars[0].pen, (Canvas::Pen{c.pen, 2}));
        EXPECT_EQ(bars[0].brush, Canvas::Brush{Canvas::White});
        expectStateRestored();
    }
}

TEST_F(RowDrawingTest, TimesPastThePageRangeStayAtItsEdge)
{
    CDeviceCoffee row = device(WhipperType, "BATIDOR", INT_MIN, INT_MAX);
    row.DrawRow(dc);
    const QList<Call> bars = dc.rectangles();
    ASSERT_EQ(bars.size(), 1);
    EXPECT_EQ(bars[0].from.x(), INT_MIN + 200);
    EXPECT_EQ(bars[0].to.x(), INT_MAX);
}

TEST_F(RowDrawingTest, AClassicDeviceWithoutActiveTimeHasNoBar)
{
    for (const auto& [start, end] : {std::pair{30, 30}, std::pair{40, 20}}) {
        dc.clear();
        CDeviceCoffee row = device(DispenserType, "CAFE", start, end);
        row.DrawRow(dc);
        EXPECT_TRUE(dc.rectangles().isEmpty());
        EXPECT_EQ(linesOf(Canvas::Black).size(), 2);
        EXPECT_EQ(linesOf(DarkGrey).size(), 24);
        EXPECT_EQ(dc.textsEqualTo("CAFE").size(), 1);
    }
}

TEST_F(RowDrawingTest, TheEstimateIsCentredInItsBarAndLosesItsBlanksWhenItDoesNotFit)
{
    struct Case {
        int end;
        float rate;
        QString text;
        int fontHeight;
        int x; // from the bar's left
    } const cases[] = {
        {100, 12.5f, "12.5 gr", -10, (250 - 35) / 2 + 2}, // fits
        {60, 12.5f, "7.5 gr", -9, (150 - 27) / 2 + 2},    // a bar of 150 takes the small font
        {10, 125.0f, "12.5gr", -9, 1},                    // 12.5 gr is 31 wide in a bar of 25
        {8, 125.0f, "10.0gr", -9, -1},                    // still wider: (20 - 27) / 2 + 2
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        dc.clear();
        cfg.object().SetDispenserRate(1, c.rate);
        CDeviceCoffee row = device(DispenserType, "CAFE", 0, c.end);
        row.DrawRow(dc);
        const QList<Call> estimate = dc.textsEqualTo(c.text);
        ASSERT_EQ(estimate.size(), 1) << dc.describe();
        EXPECT_EQ(estimate[0].from, QPoint(200 + c.x, Y + 6));
        EXPECT_EQ(estimate[0].font, (Canvas::Font{QStringLiteral("Lucida Console"), c.fontHeight, 400}));
        EXPECT_EQ(estimate[0].align.vertical, Canvas::VerticalAlign::Baseline);
        EXPECT_EQ(estimate[0].align.horizontal, Canvas::HorizontalAlign::Left);
        expectStateRestored();
    }
}

TEST_F(RowDrawingTest, TheLabelEndsLeftOfTheAxisWithADispensersProductUnderIt)
{
    CDeviceCoffee dispenser = device(DispenserType, "CAF\xC9", 0, 0);
    dispenser.DrawRow(dc);
    const QList<Call> texts = dc.texts();
    ASSERT_EQ(texts.size(), 2) << dc.describe();
    EXPECT_EQ(texts[0].text, "CAF\u00C9");
    EXPECT_EQ(texts[0].from, QPoint(190, Y + 19));
    EXPECT_EQ(texts[0].align, RightBaseline);
    EXPECT_EQ(texts[1].text, QString::fromLatin1(DefaultProductNames::Spanish(2)));
    EXPECT_EQ(texts[1].from, QPoint(190, Y + 2));
    expectStateRestored();

    dc.clear();
    CDeviceCoffee whipper = device(WhipperType, "BATIDOR", 0, 0);
    whipper.DrawRow(dc);
    ASSERT_EQ(dc.texts().size(), 1);
    EXPECT_EQ(dc.texts()[0].from, QPoint(190, Y + 9));
    EXPECT_EQ(dc.texts()[0].align, RightBaseline);

    // A T38A row in the latin code page has no product under it.
    dc.clear();
    CDeviceCoffee t38a = device(DispenserType, "CAFE", 0, 0);
    t38a.SetCodePageFlag(1);
    t38a.SetCodePage(1250);
    t38a.DrawRow(dc);
    ASSERT_EQ(dc.texts().size(), 1) << dc.describe();
    EXPECT_EQ(dc.texts()[0].from, QPoint(190, Y + 19));
}

TEST_F(RowDrawingTest, AFlowMeterValveShowsItsPulsesBeyondTheTimeBar)
{
    cfg.object().SetFlowMeterMark(true);
    CDeviceCoffee valve = device(ValveType, "AGUA", 10, 110, 2);
    ASSERT_EQ(valve.GetEndTime(), 88);
    valve.DrawRow(dc);
    const QList<Call> bars = dc.rectangles();
    ASSERT_EQ(bars.size(), 2) << dc.describe();
    EXPECT_EQ(bars[0].from, QPoint(225, Y + 20));
    EXPECT_EQ(bars[0].to, QPoint(420, Y));
    EXPECT_EQ(bars[1].from, QPoint(419, Y + 10));
    EXPECT_EQ(bars[1].to, QPoint(475, Y));
    EXPECT_EQ(bars[1].pen, (Canvas::Pen{{0, 255, 0}, 2}));
    expectStateRestored();
}

TEST_F(RowDrawingTest, AT38ADeviceShowsTurnsAboveAndPulsesBelow)
{
    struct Case {
        int turns;
        int pulses;
        int turnsRight;
        int pulsesRight;
    } const cases[] = {{2, 26, 240, 250}, {0, 0, 200, 200}, {5, 13, 300, 225}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.turns);
        dc.clear();
        CDeviceCoffee row = t38aDevice(c.turns, c.pulses);
        row.DrawRow(dc);
        const QList<Call> bars = dc.rectangles();
        ASSERT_EQ(bars.size(), 2) << dc.describe();
        EXPECT_EQ(bars[0].from, QPoint(200, Y + 25));
        EXPECT_EQ(bars[0].to, QPoint(c.turnsRight, Y + 13));
        EXPECT_EQ(bars[0].brush, Canvas::Brush{Canvas::White});
        EXPECT_EQ(bars[1].from, QPoint(200, Y + 12));
        EXPECT_EQ(bars[1].to, QPoint(c.pulsesRight, Y));
        EXPECT_EQ(bars[1].brush, Canvas::Brush{RowDrawing::WaterBarColour});
        for (const Call& bar : bars)
            EXPECT_EQ(bar.pen, (Canvas::Pen{Canvas::Black, 2}));
        expectStateRestored();
    }
}

TEST_F(RowDrawingTest, NamesOfAnotherAlphabetAreShownFromTheirBytesWithoutChangingTheRow)
{
    // KOFE in code page 1251; the row's stored UTF-16 names say otherwise.
    CDeviceCoffee top = header(2, "\xCA\xCE\xD4\xC5", 0);
    top.SetCodePageFlag(1);
    top.SetCodePage(1251);
    top.SetWideName(WideName(u"stored"));
    top.SetWidth(1000);
    const std::string before = fieldsOf(top);
    top.DrawRow(dc);
    EXPECT_EQ(fieldsOf(top), before);
    EXPECT_EQ(top.GetWidth(), 770);
    ASSERT_EQ(dc.textsEqualTo(u"\u041A\u041E\u0424\u0415"_qs).size(), 1) << dc.describe();
    EXPECT_EQ(dc.textsEqualTo(u"\u041A\u041E\u0424\u0415"_qs)[0].font, WideFont);

    dc.clear();
    CDeviceCoffee t38a = t38aDevice(1, 1, 1251);
    t38a.SetTypeName("\xCA\xCE\xD4\xC5");
    t38a.SetWideName(WideName(u"stored"));
    const std::string deviceBefore = fieldsOf(t38a);
    t38a.DrawRow(dc);
    EXPECT_EQ(fieldsOf(t38a), deviceBefore);
    const QList<Call> label = dc.textsEqualTo(u"\u041A\u041E\u0424\u0415"_qs);
    ASSERT_EQ(label.size(), 1) << dc.describe();
    EXPECT_EQ(label[0].from, QPoint(190, Y + 2));
    EXPECT_EQ(label[0].font, WideFont);
    EXPECT_EQ(label[0].align, RightBaseline);
    expectStateRestored();
}

TEST_F(RowDrawingTest, ARowThatCannotShowIsNotDrawnButKeepsItsWidth)
{
    // A surface showing the band from 0 down to -50 only.
    class Band : public RecordingCanvas {
    public:
        bool RectVisible(int, int top, int, int bottom) const override { return top >= -50 && bottom <= 0; }
    } band;
    struct Case {
        int y;
        bool drawn;
    } const cases[] = {{-40, true}, {-80, true}, {-70, true}, {-120, false}, {80, false}, {-10, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        band.clear();
        CDeviceCoffee row = placed(device(WhipperType, "BATIDOR", 0, 10), 1000);
        row.SetY(c.y);
        row.DrawRow(band);
        EXPECT_EQ(row.GetWidth(), 770);
        EXPECT_EQ(band.calls().isEmpty(), !c.drawn);
    }
}

TEST_F(RowDrawingTest, OnPaperTheScaleEndsInsideThePaperAndOnTheScreenKeepsItsLeast)
{
    struct Case {
        const char* paper;
        int width;
        int storedWidth;
        int paperScale;
        int screenScale;
    } const cases[] = {
        {"A4", 826, 596, 250, 250},     {"Letter", 846, 616, 250, 250}, {"200 mm", 787, 557, 222, 250},
        {"A5", 582, 352, 140, 250},     {"wide", 1000, 770, 308, 308},  {"narrower than x", 150, -80, 0, 250},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.paper);
        for (const bool onPaper : {true, false}) {
            RecordingCanvas canvas = onPaper ? RecordingCanvas(100, 100) : RecordingCanvas();
            CDeviceCoffee row = placed(device(WhipperType, "BATIDOR", 0, 0), c.width);
            row.DrawRow(canvas);
            EXPECT_EQ(row.GetWidth(), c.storedWidth);
            const int scale = onPaper ? c.paperScale : c.screenScale;
            const QList<Call> lines = canvas.lines();
            ASSERT_GE(lines.size(), 2) << canvas.describe();
            EXPECT_EQ(lines[1].to, QPoint(200 + scale * 5 / 2, Y)) << onPaper;
            int ticks = 0;
            for (const Call& line : lines)
                ticks += line.pen.width == 1 ? 1 : 0;
            EXPECT_EQ(ticks, std::max(0, (scale + 4) / 5 - 1)) << onPaper;
        }
    }
}

TEST_F(RowDrawingTest, OnPaperBarsAndLabelsEndAtThePapersEdge)
{
    constexpr int A5Width = 582;
    cfg.object().SetFlowMeterMark(true);
    // Bars past the edge, a bar starting past it, pulses past it, and the seconds labels.
    CDeviceCoffee rows[] = {device(DispenserType, "CAFE", 300, 400), device(WhipperType, "BATIDOR", 50, 400, 4),
                            device(WhipperType, "BATIDOR", 160, 200), device(ValveType, "AGUA", 10, 600, 2),
                            t38aDevice(40, 600), header(1, "CAFE", 1)};
    for (CDeviceCoffee& row : rows) {
        SCOPED_TRACE(row.GetTypeName().constData());
        RecordingCanvas paper(148, 210);
        CDeviceCoffee onPaper = placed(row, A5Width);
        onPaper.DrawRow(paper);
        for (const Call& call : paper.calls())
            EXPECT_LE(call.pageExtent().right, A5Width) << call.describe();
        // The screen keeps its drawing.
        RecordingCanvas screen;
        CDeviceCoffee onScreen = placed(row, A5Width);
        onScreen.DrawRow(screen);
        EXPECT_GT(screen.calls().size(), paper.calls().size());
    }

    RecordingCanvas paper(148, 210);
    CDeviceCoffee cut = placed(device(WhipperType, "BATIDOR", 50, 400, 4), A5Width);
    cut.DrawRow(paper);
    ASSERT_EQ(paper.rectangles().size(), 1);
    EXPECT_EQ(paper.rectangles()[0].from, QPoint(325, Y + 20));
    EXPECT_EQ(paper.rectangles()[0].to, QPoint(A5Width, Y));

    // An estimate wider than what shows of its bar ends at the edge.
    paper.clear();
    CDeviceCoffee nearEdge = placed(device(DispenserType, "CAFE", 150, 400), A5Width);
    nearEdge.DrawRow(paper);
    ASSERT_EQ(paper.rectangles().size(), 1) << paper.describe();
    EXPECT_EQ(paper.rectangles()[0].from, QPoint(575, Y + 20));
    const QList<Call> estimate = paper.textsEqualTo("312.5gr");
    ASSERT_EQ(estimate.size(), 1) << paper.describe();
    EXPECT_EQ(estimate[0].from.x() + RecordingCanvas::fakeTextWidth("312.5gr", estimate[0].font), A5Width);

    // A bar that starts past the edge, with its estimate, is left out.
    paper.clear();
    CDeviceCoffee past = placed(device(DispenserType, "CAFE", 300, 400), A5Width);
    past.DrawRow(paper);
    EXPECT_TRUE(paper.rectangles().isEmpty());
    EXPECT_EQ(paper.texts().size(), 2) << paper.describe(); // the name and its product
    expectStateRestored();
}
