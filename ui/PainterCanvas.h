#pragma once

#include "fw/LoEnglishCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPoint>

#include <vector>

class QPainter;

// The canvas on a QPainter: the view's viewport, an image, a printer page or a preview
// page. Points are mapped by hand (x * dpi / 100, -y * dpi / 100, with the window and
// viewport origins) so that text stays upright; a font of height h is |h| * dpi / 100
// pixels high and text is measured with the metrics of the painter's device. It starts with
// the application's default font at its point size.
class PainterCanvas : public fw::LoEnglishCanvas {
public:
    // The mapping between logical units and the pixels of a device.
    struct Mapping {
        double dpiX = 96.0;
        double dpiY = 96.0;
        QPoint windowOrg;
        QPoint viewportOrg;
        QPoint toDevice(QPoint logical) const;
        QPoint toLogical(QPoint device) const;
        int toDeviceLength(int logical) const;
    };

    // The screen or an image.
    explicit PainterCanvas(QPainter& painter);
    // A printer (or a preview page) whose printable area is the given whole millimetres.
    PainterCanvas(QPainter& painter, int horzSizeMm, int vertSizeMm);

    // The default font as the canvas holds it.
    static Font DefaultFont();

    bool IsPrinting() const override { return m_printing; }
    int GetDeviceCaps(DeviceCap cap) const override;
    QPoint DPtoLP(QPoint device) const override { return m_mapping.toLogical(device); }
    // Against the painter's clip, or the whole device without one.
    bool RectVisible(int left, int top, int right, int bottom) const override;
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
    // The fonts made so far with their metrics: a drawing selects a handful over and over.
    struct MadeFont {
        Font font;
        QFont qfont;
        QFontMetrics metrics;
    };
    const MadeFont& made();

    QPainter& m_painter;
    bool m_printing = false;
    int m_horzSize = 0;
    int m_vertSize = 0;
    Mapping m_mapping;
    TextAlign m_align;
    Colour m_textColour = Black;
    Pen m_pen;
    Brush m_brush;
    Font m_font;
    std::vector<MadeFont> m_madeFonts;
    std::size_t m_current = 0;
    QPoint m_position;
};
