#include "export/CExportaUSB.h"
#include "export/SaveDialogHost.h"
#include "tests/export/FakeUsbSystem.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestBytes.h"

#include <gtest/gtest.h>

namespace {

const QString NoDeviceQuestion = QStringLiteral("No hay ningún dispositivo Quorvanel conectado\n \t¿Desea continuar?");
const QString FirstCharacterRule =
    QStringLiteral("El primer carácter del nombre del fichero no puede ser numérico, ni '+', ni '-'");
const QString LengthRule = QStringLiteral("El nombre del fichero debe tener como máximo 8 caracteres");

QByteArray sequence(int first, int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += char(first + i);
    return out;
}

// A locator over an empty fake system: it finds nothing.
UsbDeviceLocator noDevice(const FakeUsbSystem& system) { return UsbDeviceLocator(system.sysfsRoot(), system.mountList()); }

class Exporter : public ::testing::Test {
protected:
    std::string text() const { return exporter.text().toStdString(); }

    TestApplication app;
    FakeUsbSystem system;
    CExportaUSB exporter{noDevice(system)};
};

} // namespace

TEST_F(Exporter, WritesTheWorkedExampleByteForByte)
{
    QByteArray file;
    CExportaUSB::EscribeCabecera(87, file);
    EXPECT_TRUE(exporter.EscribeDatos('Q', 1, "AB"));
    EXPECT_TRUE(exporter.EscribeDatos('6', 0, bytes({0x02, 0x50})));
    EXPECT_TRUE(exporter.EscribeDatos('5', 3, sequence(0, 30)));
    exporter.EscribeByte('3', 2, 7, 1);
    exporter.EscribeByte('L', 0, 90, 1);
    file += exporter.text();

    EXPECT_EQ(file.toStdString(),
              "87\r\n"
              "EC510134313432\r\n"
              "EC36005002\r\n"
              "EC3503"
              "3030303130323033303430353036303730383039304130423043304430453046"
              "313031313132313331343135313631373138\r\n"
              "EC3503"
              "31393141314231433144\r\n"
              "EC330207\r\n"
              "EC4C0090\r\n");
}

TEST_F(Exporter, CutsHexTextIntoLinesOfAtMost25PayloadBytes)
{
    const struct {
        int length;
        std::vector<int> digitsPerLine;
    } cases[] = {{0, {0}}, {1, {4}}, {25, {100}}, {26, {100, 4}}, {50, {100, 100}}, {51, {100, 100, 4}}};
    for (const auto& c : cases) {
        CExportaUSB usb{noDevice(system)};
        EXPECT_TRUE(usb.EscribeDatos('5', 7, QByteArray(c.length, char(0xAB))));
        const QList<QByteArray> lines = usb.text().split('\n');
        ASSERT_EQ(lines.size(), qsizetype(c.digitsPerLine.size()) + 1) << c.length;
        EXPECT_TRUE(lines.last().isEmpty());
        for (size_t i = 0; i < c.digitsPerLine.size(); ++i) {
            const QByteArray& line = lines[qsizetype(i)];
            EXPECT_EQ(line.left(6), "EC3507");
            EXPECT_EQ(line.size() - 7, c.digitsPerLine[i]) << c.length << " line " << i;
            EXPECT_TRUE(line.endsWith('\r'));
            EXPECT_EQ(line.mid(6, line.size() - 7), QByteArray(c.digitsPerLine[i] / 4, 'X').replace("X", "4142"));
        }
    }
}

TEST_F(Exporter, AnEmptyNameRecordIsABareLine)
{
    EXPECT_TRUE(exporter.EscribeDatos('Q', 0x1A, {}));
    EXPECT_EQ(text(), "EC511A\r\n");
}

TEST_F(Exporter, WritesRawBlocksReversedInWholePairs)
{
    const struct {
        char block;
        QByteArray payload;
        const char* line;
    } cases[] = {
        {'L', bytes({0x12, 0x34}), "EC4C033412\r\n"},
        {'3', bytes({0x00, 0xFF}), "EC3303FF00\r\n"},
        {'E', bytes({0x01, 0x00}), "EC45030001\r\n"},
        {'6', bytes({0x99, 0x99}), "EC36039999\r\n"},
        // An odd length carries its reversed pairs only; no payload, the bare line.
        {'6', bytes({1, 2, 3}), "EC36030302\r\n"},
        {'6', bytes({1}), "EC3603\r\n"},
        {'6', {}, "EC3603\r\n"},
        {'6', bytes({1, 2, 3, 4}), "EC360304030201\r\n"},
    };
    for (const auto& c : cases) {
        CExportaUSB usb{noDevice(system)};
        EXPECT_TRUE(usb.EscribeDatos(quint8(c.block), 3, c.payload));
        EXPECT_EQ(usb.text().toStdString(), c.line);
    }
}

TEST_F(Exporter, WritesByteRecordsInDecimalWithAtLeastTwoDigits)
{
    for (int value : {0, 7, 90, 200, 255})
        EXPECT_TRUE(exporter.EscribeByte(0x21, 0, quint8(value), 1));
    EXPECT_EQ(text(), "EC210000\r\nEC210007\r\nEC210090\r\nEC2100200\r\nEC2100255\r\n");
}

TEST_F(Exporter, RefusesByteRecordsLargerThanTheirOneByte)
{
    // Size 0 is the empty record; more than one byte would be read past the value.
    EXPECT_TRUE(exporter.EscribeByte('3', 2, 7, 0));
    EXPECT_EQ(text(), "EC3302\r\n");
    for (qint32 size : {2, 4, -1}) {
        EXPECT_FALSE(exporter.EscribeByte('3', 2, 7, size)) << size;
        EXPECT_FALSE(exporter.EscribeByte('L', 0, 7, size)) << size;
    }
    EXPECT_EQ(text(), "EC3302\r\n");
}

TEST_F(Exporter, IgnoresStatusTextsProgressAndProducts)
{
    exporter.MuestraMensaje(QStringLiteral("producto 1"));
    exporter.MuestraProgreso(50);
    exporter.AsignaProducto(1, "CAFE");
    EXPECT_TRUE(exporter.text().isEmpty());
    EXPECT_TRUE(app.messages().shown().isEmpty());
}

TEST_F(Exporter, HeaderAndLineWriters)
{
    QByteArray header = "old";
    CExportaUSB::EscribeCabecera(42, header);
    EXPECT_EQ(header, "42\r\n");
    CExportaUSB::EscribeCabecera(100, header);
    EXPECT_EQ(header, "100\r\n");

    QByteArray line = "x";
    CExportaUSB::EscribeLineaHex(bytes({0xEC, 0x51, 0x01, 0x34, 0x31, 0xFF}), line, 1);
    EXPECT_EQ(line, "xEC51013431\r\n");
}

TEST_F(Exporter, AppliesTheFileNameRule)
{
    const struct {
        const char* name;
        const QString* refusal; // null: accepted
    } cases[] = {
        {"PROG1.prg", nullptr},
        {"ABC.PRG", nullptr},
        {".prg", nullptr}, // an empty name
        {"ABCDEFGH.prg", nullptr},
        {"A.prg.prg", nullptr}, // only the first ".prg" goes: "A.prg"
        {"PROGRAMA1.prg", &LengthRule},
        {"ABCDEFGHI.PRG", &LengthRule},
        {"ABCDEF.PRG", &LengthRule}, // the upper-case extension stays and counts
        {"1PROG.prg", &FirstCharacterRule},
        {"0PROG.prg", &FirstCharacterRule},
        {"+A.prg", &FirstCharacterRule},
        {"-A.prg", &FirstCharacterRule},
        {"9ABCDEFGHIJ.prg", &FirstCharacterRule}, // the first-character rule comes first
        {"ÑANDU.prg", nullptr},
        {"ÑANDUÑANDU.prg", &LengthRule},
    };
    for (const auto& c : cases) {
        app.messages().clear();
        EXPECT_EQ(CExportaUSB::CompruebaNombreFichero(QString::fromUtf8(c.name)), c.refusal == nullptr) << c.name;
        if (c.refusal)
            EXPECT_EQ(app.messages().texts(), QStringList{*c.refusal}) << c.name;
        else
            EXPECT_TRUE(app.messages().shown().isEmpty()) << c.name;
    }
}

TEST_F(Exporter, PreparesTheDialogOnTheDevicesFolder)
{
    system.addDisk({});
    const QString medium = system.addMedium(QStringLiteral("STICK"), {QStringLiteral("Data/ProgMaq")});
    system.addMount(8, 17, medium);
    const CExportaUSB usb(UsbDeviceLocator(system.sysfsRoot(), system.mountList()));
    SaveDialogRequest request;
    request.fileName = QStringLiteral("stale");
    ASSERT_TRUE(usb.PreparaDialogoGuardar(request));
    EXPECT_TRUE(app.messages().shown().isEmpty());
    EXPECT_EQ(request.initialFolder, medium + QStringLiteral("/Data/ProgMaq"));
    EXPECT_EQ(request.defaultExtension, QStringLiteral("prg"));
    EXPECT_TRUE(request.fileName.isEmpty());
    ASSERT_EQ(request.filters.size(), 2);
    EXPECT_EQ(request.filters[0].label, QStringLiteral("Ficheros prg(*.prg)"));
    EXPECT_EQ(request.filters[0].pattern, QStringLiteral("*.prg"));
    EXPECT_EQ(request.filters[1].label, QStringLiteral("All Files (*.*)"));
    EXPECT_EQ(request.filters[1].pattern, QStringLiteral("*"));
}

TEST_F(Exporter, WithoutTheDeviceAsksWhetherToGoOn)
{
    SaveDialogRequest request;
    request.initialFolder = QStringLiteral("stale");
    app.messages().queueAnswer(fw::MessageAnswer::No);
    EXPECT_FALSE(exporter.PreparaDialogoGuardar(request));
    ASSERT_EQ(app.messages().shown().size(), 1);
    const fw::Message& question = app.messages().shown().first();
    EXPECT_EQ(question.text, NoDeviceQuestion);
    EXPECT_EQ(question.buttons, fw::MessageButtons::YesNo);

    app.messages().clear();
    app.messages().queueAnswer(fw::MessageAnswer::Yes);
    ASSERT_TRUE(exporter.PreparaDialogoGuardar(request));
    EXPECT_EQ(app.messages().texts(), QStringList{NoDeviceQuestion});
    EXPECT_TRUE(request.initialFolder.isEmpty());
    EXPECT_EQ(request.defaultExtension, QStringLiteral("prg"));
    EXPECT_EQ(request.filters.size(), 2);
}
