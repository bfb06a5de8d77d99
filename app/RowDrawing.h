#pragma once

#include "fw/LoEnglishCanvas.h"

#include <QByteArray>
#include <QString>

#include <limits>

class CDeviceCoffee;

// Draws one row as a line of the time chart, in 0.01 inch with y upwards. A row occupies
// the band from y - 10 to y + 30; times (tenths of a second) run right of x at 2.5 units
// each, over the scale given in tenths. Every pen, brush, font, colour and alignment it
// selects is put back before it returns, and the row is only read. On paper the scale, the
// bars, their estimates and the seconds labels stop at the paper's right edge: a bar is cut
// there, and what would start past it is left out.
class RowDrawing {
public:
    using Colour = fw::LoEnglishCanvas::Colour;

    static constexpr int DefaultScale = 250;
    // What a row's width keeps right of the scale's room, for the last seconds label.
    static constexpr int RightMargin = 30;
    // The screen's window cuts the rows itself.
    static constexpr int NoEdge = std::numeric_limits<int>::max();
    // "Selección %d: %s" and " (SIN AZUCAR)"
    static constexpr int SelectionText = 1544;
    static constexpr int NoSugarText = 1569;
    static constexpr Colour WaterBarColour{40, 170, 180};
    static constexpr int DarkTickColour = 7;
    static constexpr int LightTickColour = 8;

    // Colour 0..8 of the row colour table; any other index is colour 0.
    static Colour RowColour(int index);
    // The scale over the room a width leaves right of x: a tenth per 2.5 units, at least
    // the default.
    static int ScaleForRoom(int room);
    // The same on paper, where the room ends the margin short of the paper's edge; the
    // default gives way where it would end past the edge, and the scale fills the room.
    static int ScaleForPaper(int room);

    // rightEdge: the x that nothing drawn passes.
    RowDrawing(const CDeviceCoffee& row, fw::LoEnglishCanvas& dc, int scale, int rightEdge = NoEdge);
    // Draws the row when its band can show on the canvas.
    void Run();

private:
    int timeX(double tenths) const;
    void drawHeader();
    void drawSecondsLabels();
    void drawAxisAndTicks();
    void drawLabel();
    void drawClassicBars();
    void drawEstimate(int left, int right);
    void drawT38ABars();
    // A bar cut at the right edge; one that starts past it is not drawn.
    void drawBar(int left, int top, int right, int bottom);
    // Names of another alphabet are shown from their UTF-16 form, rebuilt from the bytes.
    bool showsWideName() const;

    const CDeviceCoffee& m_row;
    fw::LoEnglishCanvas& m_dc;
    int m_scale;
    int m_rightEdge;
};
