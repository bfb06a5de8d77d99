#pragma once

#include "fw/LoEnglishCanvas.h"

#include <QList>
#include <QPoint>
#include <QString>

#include <string>

// Records every drawing call with the state it was drawn in. Its metrics are fixed and
// fake: a character is half the font's height wide, a line of text is the font's height
// plus 2; the font it starts with is "Default", -16, 400. It prints when given a page size.
class RecordingCanvas : public fw::LoEnglishCanvas {
public:
    static constexpr int DefaultFontHeight = -16;

    enum class Kind { Text, Line, Rectangle };
    // Edges in logical units, y upwards: top >= bottom.
    struct Extent {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };
    struct Call {
        Kind kind = Kind::Text;
        QPoint from; // text: its point; line: its start; rectangle: left, top
        QPoint to;   // line: its end; rectangle: right, bottom
        QString text;
        TextAlign align;
        Font font;
        Colour textColour;
        Pen pen;
        Brush brush;
        QPoint windowOrg;
        std::string describe() const;
        // What the call covers on the page (the window origin taken off), by the fake
        // metrics: a text from its top one line height down, or on its baseline its
        // character height above and 2 below; a line or rectangle its corners.
        Extent pageExtent() const;
    };

    RecordingCanvas() = default;
    // A printer whose printable area is the given whole millimetres.
    RecordingCanvas(int horzSizeMm, int vertSizeMm);

    static int fakeTextWidth(const QString& text, const Font& font);

    const QList<Call>& calls() const { return m_calls; }
    QList<Call> texts() const { return ofKind(Kind::Text); }
    QList<Call> lines() const { return ofKind(Kind::Line); }
    QList<Call> rectangles() const { return ofKind(Kind::Rectangle); }
    QList<Call> ofKind(Kind kind) const;
    // The text calls whose text is exactly this.
    QList<Call> textsEqualTo(const QString& text) const;
    void clear() { m_calls.clear(); }
    std::string describe() const;

    // What the drawing left selected.
    const Pen& pen() const { return m_pen; }
    const Brush& brush() const { return m_brush; }
    const Font& font() const { return m_font; }
    const TextAlign& textAlign() const { return m_align; }
    const Colour& textColour() const { return m_textColour; }

    bool IsPrinting() const override { return m_printing; }
    int GetDeviceCaps(DeviceCap cap) const override;
    // One device pixel is one logical unit, y downwards.
    QPoint DPtoLP(QPoint device) const override;
    // Everything shows: the recording keeps every call.
    bool RectVisible(int, int, int, int) const override { return true; }
    QPoint SetWindowOrg(QPoint origin) override;
    QPoint SetViewportOrg(QPoint origin) override;
    TextAlign SetTextAlign(TextAlign align) override;
    Colour SetTextColor(Colour colour) override;
    Pen SelectPen(const Pen& pen) override;
    Brush SelectBrush(const Brush& brush) override;
    Font SelectFont(const Font& font) override;
    void TextOut(int x, int y, const QString& text) override;
    QSize GetTextExtent(const QString& text) override;
    int GetTextHeight() override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(int left, int top, int right, int bottom) override;

private:
    Call stamped(Kind kind) const;

    bool m_printing = false;
    int m_horzSize = 0;
    int m_vertSize = 0;
    QList<Call> m_calls;
    QPoint m_position;
    QPoint m_windowOrg;
    QPoint m_viewportOrg;
    TextAlign m_align;
    Colour m_textColour = Black;
    Pen m_pen;
    Brush m_brush;
    Font m_font{QStringLiteral("Default"), DefaultFontHeight, 400};
};
