#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

namespace fw {

// A drawing surface in 0.01 inch units with y growing upwards, as the rows, the view and the
// printed pages draw: the screen, a printer, a preview page or a recording in tests. Text
// is measured on the surface it is drawn on. Pens, brushes, fonts, colours and alignments
// are selected as values and each Select returns the one it replaced, so a drawing puts
// back what it changed.
class LoEnglishCanvas {
public:
    struct Colour {
        int red = 0;
        int green = 0;
        int blue = 0;
        bool operator==(const Colour&) const = default;
    };
    static constexpr Colour Black{0, 0, 0};
    static constexpr Colour White{255, 255, 255};

    // A pen draws inside the frame of a rectangle; width in logical units.
    struct Pen {
        Colour colour = Black;
        int width = 1;
        bool operator==(const Pen&) const = default;
    };
    struct Brush {
        Colour colour = White;
        bool operator==(const Brush&) const = default;
    };
    // Height in logical units; negative: the character height without the internal
    // leading. Weight 400 normal, 700 bold.
    struct Font {
        QString face;
        int height = 0;
        int weight = 400;
        bool operator==(const Font&) const = default;
    };

    enum class HorizontalAlign { Left, Right, Centre };
    enum class VerticalAlign { Top, Baseline };
    struct TextAlign {
        HorizontalAlign horizontal = HorizontalAlign::Left;
        VerticalAlign vertical = VerticalAlign::Top;
        bool operator==(const TextAlign&) const = default;
    };

    // The printable area of a printer, in whole millimetres.
    enum class DeviceCap { HorzSize, VertSize };

    virtual ~LoEnglishCanvas() = default;

    // A printer or a print preview page; the screen and images are not.
    virtual bool IsPrinting() const = 0;
    virtual int GetDeviceCaps(DeviceCap cap) const = 0;
    // A device pixel of the surface (before any origin) in logical units.
    virtual QPoint DPtoLP(QPoint device) const = 0;

    // Whether any part of the rectangle can show on the surface: what cannot is clipped away
    // anyway, so a drawing may skip it.
    virtual bool RectVisible(int left, int top, int right, int bottom) const = 0;

    // Logical point shown at the device origin's place; returns the previous one.
    virtual QPoint SetWindowOrg(QPoint origin) = 0;
    // Device pixel where the window origin is shown (the scroll offset); returns the previous.
    virtual QPoint SetViewportOrg(QPoint origin) = 0;

    virtual TextAlign SetTextAlign(TextAlign align) = 0;
    virtual Colour SetTextColor(Colour colour) = 0;
    virtual Pen SelectPen(const Pen& pen) = 0;
    virtual Brush SelectBrush(const Brush& brush) = 0;
    virtual Font SelectFont(const Font& font) = 0;

    virtual void TextOut(int x, int y, const QString& text) = 0;
    // The size of the text in the current font, in logical units.
    virtual QSize GetTextExtent(const QString& text) = 0;
    // The height of the current font's lines (ascent plus descent), in logical units.
    virtual int GetTextHeight() = 0;

    virtual void MoveTo(int x, int y) = 0;
    // A line with the current pen from the current position, which then moves there.
    virtual void LineTo(int x, int y) = 0;
    // Corners in any order; framed with the current pen inside, filled with the current brush.
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
};

} // namespace fw
