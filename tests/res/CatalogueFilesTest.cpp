// The files of the bundled catalogue: relay and dispenser files in the line formats the
// catalogue loaders read (Windows files with CRLF line ends), the display's character table,
// and the configurations' pictures.
#include "tests/res/BundledCatalogue.h"

#include "fw/CodePage.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QRegularExpression>

#include <cstdio>
#include <map>
#include <set>

namespace {

constexpr int kTypeCount = 30;  // device types of the catalogue
constexpr int kRowCount = 10;   // dispenser rows
constexpr int kLineLimit = 98;  // characters the loaders read of a line, its line end apart
constexpr int kDispenser = 0xF1, kWhipper = 0xF3, kValve = 0xF4;

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot open " << qPrintable(path);
        return {};
    }
    return file.readAll();
}

// The lines of a Windows text file, each of which must end with CRLF.
QList<QByteArray> windowsLines(const QString& path)
{
    const QByteArray bytes = readFile(path);
    EXPECT_TRUE(bytes.endsWith("\r\n")) << qPrintable(path) << ": last line without CRLF";
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast(); // what follows the last line end
    for (QByteArray& line : lines) {
        EXPECT_TRUE(line.endsWith('\r')) << qPrintable(path) << ": LF without CR";
        line.chop(line.endsWith('\r') ? 1 : 0);
        EXPECT_LE(line.size(), kLineLimit) << qPrintable(path) << ": " << line.constData();
    }
    return lines;
}

// The cells between the '|' of a table line, blanks trimmed.
QList<QByteArray> cells(const QByteArray& line)
{
    QList<QByteArray> parts = line.split('|');
    parts.removeFirst();
    if (!parts.isEmpty() && parts.last().trimmed().isEmpty())
        parts.removeLast();
    for (QByteArray& part : parts)
        part = part.trimmed();
    return parts;
}

// A line the loaders use: "| number |" at its start.
bool isDataLine(const QByteArray& line)
{
    static const QRegularExpression data(QStringLiteral("^\\|\\s*-?\\d+\\s*\\|"));
    return data.match(QString::fromLatin1(line)).hasMatch();
}

struct DeviceType {
    QByteArray name;
    int code = 0;
    int subCode = 0;
    int listFlag = -1; // -1: the line has no list column
};

using RelayTypes = std::map<int, DeviceType>;             // index -> type
using DispenserRows = std::map<int, std::vector<int>>;     // row 1..10 -> its six numbers

// Reads a relay file, checking every data line by the relay-file rules.
void readRelayFile(const QString& path, RelayTypes& types)
{
    std::set<std::pair<int, int>> codes;
    int columns = 0;
    for (const QByteArray& line : windowsLines(path)) {
        if (!isDataLine(line))
            continue;
        SCOPED_TRACE(line.constData());
        const QList<QByteArray> fields = cells(line);
        ASSERT_TRUE(fields.size() == 4 || fields.size() == 5);
        if (columns == 0)
            columns = int(fields.size());
        EXPECT_EQ(fields.size(), columns) << "one file, one layout";
        bool ok = false;
        const int index = fields[0].toInt(&ok);
        ASSERT_TRUE(ok && index >= 1 && index <= kTypeCount);
        EXPECT_FALSE(types.count(index)) << "index given twice";
        DeviceType type;
        type.name = fields[1];
        EXPECT_FALSE(type.name.isEmpty());
        EXPECT_LE(type.name.size(), 60);
        ASSERT_TRUE(fields[2].startsWith("0x") && fields[2].size() == 4);
        type.code = fields[2].mid(2).toInt(&ok, 16);
        ASSERT_TRUE(ok && type.code >= 0xF1 && type.code <= 0xF9);
        type.subCode = fields[3].toInt(&ok);
        ASSERT_TRUE(ok && type.subCode >= 0 && type.subCode <= 239);
        if (type.code == kDispenser) {
            EXPECT_TRUE(type.subCode >= 1 && type.subCode <= kRowCount);
        }
        EXPECT_TRUE(codes.insert({type.code, type.subCode}).second) << "code and sub-code twice";
        if (fields.size() == 5) {
            type.listFlag = fields[4].toInt(&ok);
            EXPECT_TRUE(ok && (type.listFlag == 0 || type.listFlag == 1));
        }
        types[index] = type;
    }
}

// Reads a dispenser file, checking every data line by the dispenser-file rules.
void readDispenserFile(const QString& path, DispenserRows& rows)
{
    for (const QByteArray& line : windowsLines(path)) {
        if (!isDataLine(line))
            continue;
        SCOPED_TRACE(line.constData());
        const QList<QByteArray> fields = cells(line);
        ASSERT_EQ(fields.size(), 7);
        std::vector<int> numbers;
        for (const QByteArray& field : fields) {
            bool ok = false;
            numbers.push_back(field.toInt(&ok));
            ASSERT_TRUE(ok);
        }
        const int row = numbers[0];
        ASSERT_TRUE(row >= 1 && row <= kRowCount);
        EXPECT_FALSE(rows.count(row)) << "row given twice";
        numbers.erase(numbers.begin());
        for (const int value : numbers)
            EXPECT_TRUE(value >= 0 && value <= 239) << "the machine takes one byte";
        EXPECT_TRUE(numbers[1] >= 0 && numbers[1] <= 13) << "product type with a default name";
        rows[row] = numbers;
    }
}

std::set<int> subCodesOf(const RelayTypes& types, int code)
{
    std::set<int> subCodes;
    for (const auto& [index, type] : types)
        if (type.code == code)
            subCodes.insert(type.subCode);
    return subCodes;
}

class CatalogueFilesTest : public ::testing::Test {
protected:
    BundledCatalogue catalogue;
};

TEST_F(CatalogueFilesTest, RelayFilesFollowTheLoaderRules)
{
    std::set<QByteArray> knownNames;
    const auto names = catalogue.productNames().query(
        QStringLiteral("SELECT NOMBRE FROM NOMBRES_RELES WHERE IDIOMA=0"));
    for (const auto& row : names.rows)
        knownNames.insert(row[0].toString().toLatin1());

    int checked = 0;
    for (const auto& configuration : catalogue.configurationList()) {
        if (!BundledCatalogue::hasDeviceFiles(configuration.machineType))
            continue;
        const QString path = BundledCatalogue::relayPath(configuration);
        SCOPED_TRACE(qPrintable(path));
        RelayTypes types;
        readRelayFile(path, types);
        ASSERT_FALSE(types.empty());
        // The compile step sends the named types from the first on: no gaps.
        EXPECT_EQ(types.rbegin()->first, int(types.size()));
        const bool listColumn = types.begin()->second.listFlag >= 0;
        for (const auto& [index, type] : types) {
            EXPECT_TRUE(knownNames.count(type.name))
                << "untranslated relay " << type.name.constData();
            const bool dosing = type.code == kDispenser || type.code == kWhipper || type.code == kValve;
            // Without a list column the device dialog never offers types 1, 2, 14 and 15.
            if (!listColumn && (index == 1 || index == 2 || index == 14 || index == 15)) {
                EXPECT_FALSE(dosing) << "type " << index << " could not be chosen";
            }
            if (listColumn && dosing) {
                EXPECT_EQ(type.listFlag, 1) << "type " << index << " could not be chosen";
            }
        }
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

TEST_F(CatalogueFilesTest, DispenserFilesMatchTheirRelayFiles)
{
    for (const auto& configuration : catalogue.configurationList()) {
        if (!BundledCatalogue::hasDeviceFiles(configuration.machineType))
            continue;
        SCOPED_TRACE(configuration.code);
        RelayTypes types;
        readRelayFile(BundledCatalogue::relayPath(configuration), types);
        DispenserRows rows;
        readDispenserFile(BundledCatalogue::dispenserPath(configuration), rows);
        const std::set<int> valves = subCodesOf(types, kValve);
        const std::set<int> whippers = subCodesOf(types, kWhipper);
        for (const int dispenser : subCodesOf(types, kDispenser)) {
            ASSERT_TRUE(rows.count(dispenser)) << "no row for dispenser " << dispenser;
            const std::vector<int>& row = rows.at(dispenser);
            EXPECT_GE(row[1], 1) << "dispenser " << dispenser << " without a product type";
            EXPECT_TRUE(valves.count(row[2]))
                << "dispenser " << dispenser << ": no valve " << row[2];
            if (row[4] != 0) {
                EXPECT_TRUE(whippers.count(row[4]))
                    << "dispenser " << dispenser << ": no whipper " << row[4];
            }
        }
    }
}

TEST_F(CatalogueFilesTest, CharacterTableSpellsTheCatalogueNames)
{
    const QString besideProgram = BundledCatalogue::programFolder() + QStringLiteral("/ConvertLCD.txt");
    const QString inCatalogue = BundledCatalogue::folder() + QStringLiteral("/ConvertLCD.txt");
    EXPECT_EQ(readFile(besideProgram), readFile(inCatalogue));

    std::map<char16_t, int> table;
    for (QByteArray line : windowsLines(besideProgram)) {
        line = line.trimmed().toUpper();
        if (line.isEmpty() || line.startsWith("//"))
            continue;
        SCOPED_TRACE(line.constData());
        unsigned code = 0, byte = 0;
        ASSERT_EQ(std::sscanf(line.left(5).constData(), "%x", &code), 1);
        ASSERT_EQ(std::sscanf(line.right(4).constData(), "%x", &byte), 1);
        EXPECT_TRUE(byte >= 1 && byte <= 0xEF) << "unusable byte";
        EXPECT_TRUE(table.emplace(char16_t(code), int(byte)).second) << "character given twice";
    }
    EXPECT_LE(table.size(), 1000u);

    // A name typed in the product dialog must give the same bytes as the catalogue's own name.
    const auto names = catalogue.productNames().query(QStringLiteral("SELECT NOMBRE FROM NOMBRES_PRODUCTOS"));
    ASSERT_FALSE(names.rows.empty());
    for (const auto& row : names.rows) {
        const QString name = row[0].toString();
        for (const QChar ch : name) {
            if (ch.unicode() < 0x80)
                continue;
            const auto byte = fw::CodePage::encode(QString(ch), fw::CodePage::Ansi);
            ASSERT_TRUE(byte.has_value());
            ASSERT_TRUE(table.count(ch.unicode())) << "no entry for a character of " << qPrintable(name);
            EXPECT_EQ(table.at(ch.unicode()), quint8(byte->at(0))) << qPrintable(name);
        }
    }
}

// The number of images in a GIF, walking its blocks as the picture control does; -1 when the
// block structure is broken.
int gifFrameCount(const QByteArray& data)
{
    if (!data.startsWith("GIF89a") && !data.startsWith("GIF87a"))
        return -1;
    const auto at = [&](qsizetype i) { return i < data.size() ? quint8(data[i]) : -1; };
    qsizetype pos = 13;
    if (at(10) & 0x80)
        pos += 3 << ((at(10) & 7) + 1);
    const auto skipSubBlocks = [&](qsizetype p) {
        while (at(p) > 0)
            p += at(p) + 1;
        return at(p) == 0 ? p + 1 : -1;
    };
    int frames = 0;
    while (pos >= 0 && pos < data.size()) {
        const int kind = at(pos);
        if (kind == 0x3B)
            return frames;
        if (kind == 0x21) {
            pos = skipSubBlocks(pos + 2);
        } else if (kind == 0x2C) {
            const int packed = at(pos + 9);
            pos += 10 + ((packed & 0x80) ? 3 << ((packed & 7) + 1) : 0);
            pos = skipSubBlocks(pos + 1); // past the LZW code size
            ++frames;
        } else {
            return -1;
        }
    }
    return -1;
}

TEST_F(CatalogueFilesTest, PicturesAreSmallPngOrGifFilesAndSomeAnimate)
{
    int animated = 0;
    for (const auto& configuration : catalogue.configurationList()) {
        const QString path = BundledCatalogue::path(configuration.pictureFile);
        SCOPED_TRACE(qPrintable(path));
        const QByteArray data = readFile(path);
        EXPECT_LE(data.size(), 8 * 1024);
        const bool png = data.startsWith("\x89PNG\r\n\x1a\n");
        const int frames = png ? 1 : gifFrameCount(data);
        ASSERT_GE(frames, 1) << "neither a PNG nor a well-formed GIF";
        animated += frames > 1 ? 1 : 0;
        QImage image;
        ASSERT_TRUE(image.loadFromData(data)) << "does not decode";
        // The machine-model dialog's picture frame is 180 x 180 dialog units.
        EXPECT_LE(image.width(), 270);
        EXPECT_LE(image.height(), 290);
    }
    EXPECT_GE(animated, 1);
}

} // namespace
