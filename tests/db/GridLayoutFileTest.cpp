#include "db/GridLayoutFile.h"
#include "tests/db/QtPrinters.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/FileOwners.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/LinkedTargets.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/ProtectedTargets.h"
#include "tests/support/SyncProbe.h"
#include "tests/support/Watchdog.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

QByteArray ordenar(std::initializer_list<int> columns)
{
    QByteArray out;
    int slot = 0;
    for (int column : columns)
        out += "Ordenar " + QByteArray::number(slot++) + ": " + QByteArray::number(column) + "\r\n";
    return out;
}

TEST(GridLayoutFile, WritesTheExactBytes)
{
    GridLayout layout;
    layout.query = QStringLiteral("SELECT CÓDIGO, NOMBRE\nFROM T ORDER BY NOMBRE");
    layout.sort.Push(1);
    layout.columns = {{QStringLiteral("CÓDIGO"), 120, 1}, {QStringLiteral("NOMBRE"), 0, 0}};

    const QByteArray expected = QByteArray("Query viewer setup file V 1.0\r\n"
                                           "SELECT C\xD3" "DIGO, NOMBRE@FROM T ORDER BY NOMBRE\r\n") +
                                ordenar({1, -1, -1, -1, -1, -1, -1, -1, -1, -1}) +
                                "C\xD3" "DIGO# -> Width:120 Order: 1\r\n"
                                "NOMBRE# -> Width:0 Order: 0\r\n"
                                "END\r\n";
    EXPECT_EQ(GridLayoutFile::Write(layout), expected);
}

TEST(GridLayoutFile, ReadsWhatItWroteWhateverItsLineEnds)
{
    GridLayout layout;
    // A query of several lines, whatever ends them, stays one line of the file.
    layout.query = QStringLiteral("SELECT A\r\nFROM T\rWHERE 1\nORDER BY A");
    layout.sort.Push(2);
    layout.sort.Push(0);
    layout.columns = {{QStringLiteral("CÓDIGO"), 120, 2}, {QStringLiteral("A B"), 7, 0}, {"C", 30, 1}};
    const QByteArray written = GridLayoutFile::Write(layout);
    EXPECT_TRUE(written.contains("\r\nSELECT A@FROM T@WHERE 1@ORDER BY A\r\nOrdenar 0: 2\r\n"));

    const std::pair<const char*, const char*> lineEnds[] = {{"CR LF", "\r\n"}, {"LF", "\n"}, {"CR", "\r"}};
    for (const auto& [what, lineEnd] : lineEnds) {
        QByteArray bytes = written;
        bytes.replace("\r\n", lineEnd);
        const GridLayoutFile::Contents read = GridLayoutFile::Read(bytes, 3);
        EXPECT_EQ(read.sort[0], 2) << what;
        EXPECT_EQ(read.sort[1], 0) << what;
        EXPECT_EQ(read.sort[2], -1) << what;
        EXPECT_EQ(read.columns, layout.columns) << what;
    }
}

TEST(GridLayoutFile, RefusesWhatDoesNotFitTheGrid)
{
    const QByteArray bytes = QByteArray("anything\r\nSELECT\r\n") +
                             "Ordenar 0: 2\r\n"          // a column of the grid
                             "Ordenar 1: 3\r\n"          // no such column
                             "Ordenar x: 1\r\n"          // garbled
                             "Ordenar 3: -1\r\n"         // ends the sequence
                             "Ordenar 4: -2\r\n"         // neither
                             "Ordenar 5:\r\n"            // cut
                             "\r\n"
                             "Ordenar 7: 1 extra\r\n"    // what follows a match is not read
                             "Ordenar 8: 0\r\n"
                             "Ordenar 9: 1\r\n"          // the tenth slot always ends the sequence
                             "A# -> Width:10 Order: 0\r\n"
                             "B# -> Width:-5 Order: 1\r\n"     // negative width
                             "C# -> Width:10 Order: 3\r\n"     // outside the grid
                             "D# -> Width:10 Order: -1\r\n"
                             "E# -> Width:10\r\n"              // cut
                             "#F# -> Width:10 Order: 1\r\n"    // no header
                             "G -> Width:10 Order: 1\r\n"      // no mark
                             "X#Y# -> Width:10 Order: 1\r\n"   // cut at the first mark, the rest fits no more
                             + QByteArray(200, 'H') + "# -> Width:10 Order: 1\r\n" // beyond the buffer
                             + QByteArray(199, 'H') + "# -> Width:10 Order: 2\r\n"
                             "Z#  ->  Width: 4 Order:2\r\n"    // blanks as the pattern allows
                             "END\r\n"
                             "K# -> Width:10 Order: 0\r\n";
    const GridLayoutFile::Contents read = GridLayoutFile::Read(bytes, 3);

    const std::array<std::optional<int>, 10> sort{2, std::nullopt, std::nullopt, -1, std::nullopt, std::nullopt,
                                                  std::nullopt, 1, 0, std::nullopt};
    EXPECT_EQ(read.sort, sort);
    const QList<GridLayoutColumn> columns{{"A", 10, 0}, {QString(199, QLatin1Char('H')), 10, 2}, {"Z", 4, 2}};
    EXPECT_EQ(read.columns, columns);
}

TEST(GridLayoutFile, ReadsAShortFileAsFarAsItGoes)
{
    const GridLayoutFile::Contents read = GridLayoutFile::Read("Query viewer setup file V 1.0\r\nQ\r\nOrdenar 0: 1\r\n", 2);
    EXPECT_EQ(read.sort[0], 1);
    EXPECT_FALSE(read.sort[1].has_value());
    EXPECT_TRUE(read.columns.isEmpty());
}

struct PathCase {
    const char* name;
    QString folder;
    QString layoutName;
    int controlId;
    QString expected;
};

class GridLayoutPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(GridLayoutPath, GluesTheNameToTheFolderValue)
{
    const PathCase& c = GetParam();
    EXPECT_EQ(GridLayoutFile::Path(c.folder, c.layoutName, c.controlId), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, GridLayoutPath,
    ::testing::Values(PathCase{"ControlId", "/v/", "", 1035, "/v/SETUP1035"},
                      PathCase{"SmallControlId", "", "", 7, "SETUP007"},
                      PathCase{"LayoutName", "/v/", "MAQUINAS", 1035, "/v/MAQUINAS"},
                      PathCase{"FolderWithoutSeparator", "/x/Vistas", "", 1035, "/x/VistasSETUP1035"},
                      PathCase{"DontSave", "/v/", "DONTSAVE", 1035, ""},
                      PathCase{"NoName", "/v/", "", 0, ""}),
    [](const ::testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

TEST(GridLayoutFile, SavesAtomicallyAndLoads)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("SETUP001");
    GridLayout layout;
    layout.query = "Q";
    ASSERT_TRUE(GridLayoutFile::Save(path, layout));
    EXPECT_EQ(GridLayoutFile::Load(path), GridLayoutFile::Write(layout));
    EXPECT_FALSE(GridLayoutFile::Load(dir.filePath("none")).has_value());
    EXPECT_FALSE(GridLayoutFile::Save(dir.filePath("no/such/folder/SETUP001"), layout));
}

TEST(GridLayoutFile, ASaveThatFailsOnAFullDiskLeavesTheOldLayout)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("SETUP1035");
    GridLayout old;
    old.query = "SELECT 1";
    ASSERT_TRUE(GridLayoutFile::Save(path, old));
    GridLayout wider;
    for (int c = 0; c < 40; ++c)
        wider.columns += GridLayoutColumn{QString("COLUMNA%1").arg(c), 100, c};
    {
        FileSizeLimit full(GridLayoutFile::Write(old).size());
        ASSERT_TRUE(full.held());
        EXPECT_FALSE(GridLayoutFile::Save(path, wider));
    }
    EXPECT_EQ(GridLayoutFile::Load(path), GridLayoutFile::Write(old));
}

TEST(GridLayoutFile, ALayoutOfTheLongestNameIsSavedAndReplaced)
{
    QTemporaryDir dir;
    // A folder value without its separator glued to the name: 255 bytes.
    const QString path = dir.filePath(QString(246, 'V') + "SETUP1035");
    GridLayout layout;
    layout.query = "SELECT 1";
    ASSERT_TRUE(GridLayoutFile::Save(path, layout));
    layout.query = "SELECT 2";
    ASSERT_TRUE(GridLayoutFile::Save(path, layout));
    EXPECT_EQ(GridLayoutFile::Load(path), GridLayoutFile::Write(layout));
}

TEST(GridLayoutFile, ASaveKeepsTheFilesGroupAndOwnerAndFailsWhenTheFolderCannotBeSynced)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("SETUP1035");
    GridLayout layout;
    layout.query = "SELECT 1";
    ASSERT_TRUE(GridLayoutFile::Save(path, layout));
    if (FileOwners::mayGiveAway()) {
        ASSERT_TRUE(FileOwners::give(path, FileOwners::OtherUser, FileOwners::OtherGroup, 0640));
        ASSERT_TRUE(GridLayoutFile::Save(path, layout));
        const struct stat saved = FileOwners::status(path);
        EXPECT_EQ(saved.st_uid, FileOwners::OtherUser);
        EXPECT_EQ(saved.st_gid, FileOwners::OtherGroup);
        EXPECT_EQ(saved.st_mode & 07777, 0640u);
    }
    SyncProbe probe;
    probe.failFolders(EIO);
    layout.query = "SELECT 2";
    EXPECT_FALSE(GridLayoutFile::Save(path, layout));
    EXPECT_TRUE(probe.syncsUnder(dir.path()).back().folder) << probe.describe().toStdString();
}

TEST(GridLayoutFile, ASaveReplacesTheFileThatOpeningItsNameGivesWhateverLinksLeadThere)
{
    GridLayout layout;
    layout.query = "SELECT 1";
    for (const LinkedTargets::Case& c : LinkedTargets::cases()) {
        QTemporaryDir dir;
        ASSERT_TRUE(LinkedTargets::make(dir.path(), c, "Query viewer setup file V 1.0\r\n")) << c.what;
        const QString others = LinkedTargets::others(dir.path(), c);
        EXPECT_TRUE(GridLayoutFile::Save(dir.path() + "/" + c.name, layout)) << c.what;
        EXPECT_EQ(GridLayoutFile::Load(dir.filePath(c.opened)), GridLayoutFile::Write(layout)) << c.what;
        EXPECT_EQ(LinkedTargets::others(dir.path(), c), others) << c.what;
    }
}

TEST(GridLayoutFile, AFileTheUserMayNotWriteIsNotSavedOver)
{
    const OrdinaryUser user;
    if (!user.available())
        GTEST_SKIP() << user.whyNot().toStdString();
    GridLayout layout;
    layout.query = "SELECT 2";
    QStringList notRun;
    for (const ProtectedTargets::Case& c : ProtectedTargets::runnableCases(notRun)) {
        QTemporaryDir dir;
        const QString path = dir.filePath("SETUP1035");
        GridLayout old;
        old.query = "SELECT 1";
        ASSERT_TRUE(ProtectedTargets::make(path, GridLayoutFile::Write(old), c, user)) << c.what;
        const QString before = ProtectedTargets::state(path);
        const QString result = user.run([&] { return GridLayoutFile::Save(path, layout) ? "saved" : "not saved"; });
        EXPECT_EQ(result, c.refused ? "not saved" : "saved") << c.what;
        if (c.refused) {
            EXPECT_EQ(ProtectedTargets::state(path), before) << c.what;
        } else {
            EXPECT_EQ(GridLayoutFile::Load(path), GridLayoutFile::Write(layout)) << c.what;
        }
    }
    if (!notRun.isEmpty())
        GTEST_SKIP() << ProtectedTargets::notRunReason(notRun);
}

TEST(GridLayoutFile, WhatIsNoRegularFileOrTooLargeIsNeitherLoadedNorReplaced)
{
    QTemporaryDir dir;
    int n = 0;
    for (const DamagedFiles::Unreadable& c : DamagedFiles::UnreadableFiles(GridLayoutFile::MaxBytes)) {
        const std::string what = c.what.toStdString();
        const QString path = dir.filePath(QString("SETUP%1").arg(++n));
        ASSERT_TRUE(c.make(path)) << what;
        const Watchdog bound(what);
        EXPECT_FALSE(GridLayoutFile::Load(path).has_value()) << what;
    }
    const QString fifo = dir.filePath("SETUP1");
    EXPECT_FALSE(GridLayoutFile::Save(fifo, GridLayout()));
    EXPECT_FALSE(QFileInfo(fifo).isFile());
}

} // namespace
