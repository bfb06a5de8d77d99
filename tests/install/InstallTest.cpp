// Installing into a temporary prefix: the program with its catalogue and language files and the
// sample management database, the link, the desktop entry, the icons and the .caf file type.
#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

bool run(const QString& program, const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ok = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return ok;
}

} // namespace

TEST(InstallTest, TheProgramItsFilesAndTheCafTypeAreInstalled)
{
    QTemporaryDir prefix;
    QString log;
    ASSERT_TRUE(run(QStringLiteral(ORMI_CMAKE), {"--install", ORMI_BUILD_DIR, "--prefix", prefix.path()}, &log))
        << log.toStdString();

    const QDir root(prefix.path());
    for (const char* file : {"lib/ormi/ormi", "lib/ormi/OrmiEng.lng", "lib/ormi/OrmiEngl.lng", "lib/ormi/OrmiFran.lng",
                             "lib/ormi/OrmiGerm.lng", "lib/ormi/OrmiPort.lng", "lib/ormi/ConvertLCD.txt",
                             "lib/ormi/configormi/CONFIGURACIONES.MDB", "lib/ormi/configormi/NombresProductos.MDB",
                             "lib/ormi/configormi/RELES_C200.TXT", "share/applications/ormi.desktop",
                             "share/mime/packages/ormi.xml", "share/icons/hicolor/scalable/apps/ormi.svg",
                             "share/icons/hicolor/scalable/mimetypes/application-x-pemvoraormi-document.svg"})
        EXPECT_TRUE(QFileInfo::exists(root.filePath(file))) << file;
    // The sample management database that the README points to, as the build made it.
    QFile installedSample(root.filePath("lib/ormi/management/Zentrolux.MDB"));
    QFile builtSample(QStringLiteral(ORMI_MANAGEMENT_SAMPLE));
    ASSERT_TRUE(installedSample.open(QIODevice::ReadOnly));
    ASSERT_TRUE(builtSample.open(QIODevice::ReadOnly));
    EXPECT_EQ(installedSample.readAll(), builtSample.readAll());

    const QFileInfo link(root.filePath("bin/ormi"));
    EXPECT_TRUE(link.isSymLink());
    EXPECT_EQ(link.canonicalFilePath(), QFileInfo(root.filePath("lib/ormi/ormi")).canonicalFilePath());

    QFile desktop(root.filePath("share/applications/ormi.desktop"));
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(desktop.readAll());
    EXPECT_TRUE(entry.contains("\nExec=ormi %f\n"));
    EXPECT_TRUE(entry.contains("\nMimeType=application/x-pemvoraormi-document;\n"));

    ASSERT_TRUE(run("update-mime-database", {root.filePath("share/mime")}, &log)) << log.toStdString();
    // The database is read once, on first use, from the data folders named now.
    qputenv("XDG_DATA_HOME", root.filePath("nowhere").toLocal8Bit());
    qputenv("XDG_DATA_DIRS", root.filePath("share").toLocal8Bit());
    const QMimeType type = QMimeDatabase().mimeTypeForFile("x.caf", QMimeDatabase::MatchExtension);
    EXPECT_EQ(type.name(), "application/x-pemvoraormi-document");
    EXPECT_EQ(type.comment(), "PemvoraOrmi Document");
    // A file manager shows the documents with the icon the type names, which is installed.
    EXPECT_EQ(type.iconName(), "application-x-pemvoraormi-document");
    EXPECT_TRUE(QFileInfo::exists(
        root.filePath("share/icons/hicolor/scalable/mimetypes/" + type.iconName() + ".svg")));
}
