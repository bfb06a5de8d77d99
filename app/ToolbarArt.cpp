#include "app/ToolbarArt.h"

#include "app/CommandIds.h"

#include <QPainter>
#include <QPainterPath>

namespace {

struct Glyph {
    int command;
    QColor colour;
    const char* label;
};

// A coloured tile with a short label: plain, legible at 24 and 30 pixels.
constexpr Glyph kGlyphs[] = {
    {CommandIds::FileNew, QColor(0x3b, 0x7d, 0xd8), "+"},
    {CommandIds::FileOpen, QColor(0xd8, 0x9b, 0x3b), "A"},
    {CommandIds::FileSave, QColor(0x2f, 0x8f, 0x5b), "G"},
    {CommandIds::FilePrintPreview, QColor(0x6d, 0x6d, 0x6d), "P"},
    {CommandIds::FilePrint, QColor(0x44, 0x44, 0x44), "I"},
    {CommandIds::ExportarZentrolux, QColor(0x8a, 0x3b, 0xd8), "Z"},
    {CommandIds::ExportarQuorvanel, QColor(0xb0, 0x3b, 0x8a), "Q"},
    {CommandIds::Checksum, QColor(0x3b, 0xa8, 0xb0), "Σ"},
    {CommandIds::ModeloMaquina, QColor(0x8b, 0x5a, 0x2b), "M"},
    {CommandIds::IdiomaNombresProductos, QColor(0x4a, 0x6f, 0x2b), "Ñ"},
    {CommandIds::IdiomaSoftware, QColor(0x2b, 0x4a, 0x6f), "i"},
    {CommandIds::AppAbout, QColor(0x55, 0x55, 0x99), "?"},
    {CommandIds::Editar, QColor(0x3b, 0x7d, 0xd8), "E"},
    {CommandIds::NuevoDispositivo, QColor(0x2f, 0x8f, 0x5b), "D"},
    {CommandIds::Insertar, QColor(0xd8, 0x9b, 0x3b), "I"},
    {CommandIds::NuevoProducto, QColor(0x8a, 0x3b, 0xd8), "P"},
    {CommandIds::Borrar, QColor(0xc0, 0x39, 0x2b), "×"},
    {CommandIds::ConfiguracionAzucar, QColor(0xa0, 0x80, 0x40), "Az"},
    {CommandIds::TemperaturaTrabajo, QColor(0xd0, 0x50, 0x20), "T"},
};

QPixmap tile(const QColor& colour, const QString& label, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(1, 1, size - 2, size - 2), size / 5.0, size / 5.0);
    painter.fillPath(path, colour);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(label.size() > 1 ? size * 2 / 5 : size * 3 / 5);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, label);
    return pixmap;
}

} // namespace

QPixmap ToolbarArt::button(int commandId, int size)
{
    for (const Glyph& glyph : kGlyphs) {
        if (glyph.command == commandId)
            return tile(glyph.colour, QString::fromUtf8(glyph.label), size);
    }
    return tile(Qt::gray, QString(), size);
}

QIcon ToolbarArt::applicationIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(tile(QColor(0x6f, 0x3b, 0x1f), QStringLiteral("O"), size));
    return icon;
}
