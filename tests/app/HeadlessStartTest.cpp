// The built program started where there is no display (a server, a terminal, a cron job): a
// child process without DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM, in a home of its own.
#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/DocumentFile.h"
#include "app/SetupT38A.h"
#include "fw/ProgramWide.h"
#include "tests/support/TestApplication.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Far more than a start takes, even under the sanitizers.
constexpr int ChildLimitMs = 15000;

struct Ended {
    bool inTime = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int exitCode = -1;
    QString errors;
    QString output;
};

class HeadlessStartTest : public ::testing::Test {
protected:
    HeadlessStartTest()
    {
        EXPECT_TRUE(home.isValid());
        EXPECT_TRUE(QDir(home.path()).mkpath(".config/Pemvora"));
        EXPECT_TRUE(QDir(home.path()).mkpath("run"));
        QFile::setPermissions(home.filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        COrmiDoc doc;
        doc.SetMachineModel(1);
        for (int i = 0; i < 3; ++i)
            doc.AddDevice();
        EXPECT_TRUE(DocumentFile::Save(doc, home.filePath("bueno.caf")));
        QFile damaged(home.filePath("roto.caf"));
        EXPECT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write("no es un documento");
    }

    QProcessEnvironment environment(const QStringList& extra) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "PRINTER", "LPDEST"})
            environment.remove(name);
        environment.insert("HOME", home.path());
        environment.insert("XDG_CONFIG_HOME", home.filePath(".config"));
        environment.insert("XDG_RUNTIME_DIR", home.filePath("run"));
        // The print system the child asks lists no printer on any machine, so the test never
        // prints on a real one.
        environment.insert("CUPS_SERVER", home.filePath("no-print-server"));
        for (const QString& entry : extra)
            environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
        return environment;
    }

    Ended run(const QStringList& arguments, const QStringList& extraEnvironment = {})
    {
        QProcess child;
        child.setProcessEnvironment(environment(extraEnvironment));
        child.setWorkingDirectory(home.path());
        child.start(QStringLiteral(ORMI_PROGRAM), arguments);
        Ended ended;
        ended.inTime = child.waitForFinished(ChildLimitMs);
        if (!ended.inTime) {
            child.kill();
            child.waitForFinished(ChildLimitMs);
        }
        ended.status = child.exitStatus();
        ended.exitCode = child.exitCode();
        ended.errors = QString::fromLocal8Bit(child.readAllStandardError());
        ended.output = QString::fromLocal8Bit(child.readAllStandardOutput());
        return ended;
    }

    // The program's own lines on standard error; Qt and the system may add theirs.
    static QStringList programLines(const QString& errors)
    {
        QStringList lines;
        for (const QString& line : errors.split('\n', Qt::SkipEmptyParts))
            if (line.startsWith("ormi: "))
                lines << line;
        return lines;
    }

    void chooseLanguage(int idioma)
    {
        QFile profile(home.filePath(".config/Pemvora/Pemvora Pradovique.conf"));
        ASSERT_TRUE(profile.open(QIODevice::WriteOnly));
        profile.write("[Ormi]\nIdioma=" + QByteArray::number(idioma) + "\n");
    }

    TestApplication app;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    QTemporaryDir home;
};

const char NoDisplay[] = "ormi: No hay ninguna pantalla en la que mostrar el editor. Indique un servidor X en "
                         "DISPLAY, o arránquelo sin ventana con QT_QPA_PLATFORM=offscreen.";

} // namespace

TEST_F(HeadlessStartTest, APrintEndsAtOnceWithItsExitCodeAndEveryMessageALineOnStandardError)
{
    const struct {
        QStringList arguments;
        QStringList environment;
        const char* line;
    } cases[] = {
        {{"/p", "bueno.caf"}, {}, "ormi: No hay ninguna impresora predeterminada."},
        {{"/p", "roto.caf"}, {}, "ormi: Formato de archivo inesperado."},
        {{"/pt", "bueno.caf", "NOSUCHPRINTER"}, {}, "ormi: No se encuentra la impresora NOSUCHPRINTER."},
        {{"/p", "falta.caf"}, {}, "ormi: No se puede abrir el archivo falta.caf."},
        {{"/p"}, {}, "ormi: Para imprimir hace falta el nombre del archivo: ormi /p archivo.caf, u ormi /pt "
                     "archivo.caf impresora."},
        // The offscreen platform given: still no box that waits for a click.
        {{"/p", "roto.caf"}, {"QT_QPA_PLATFORM=offscreen"}, "ormi: Formato de archivo inesperado."},
    };
    for (const auto& c : cases) {
        const std::string where = (c.environment.join(' ') + " ormi " + c.arguments.join(' ')).toStdString();
        const Ended ended = run(c.arguments, c.environment);
        EXPECT_TRUE(ended.inTime) << where << "\n" << ended.errors.toStdString();
        EXPECT_EQ(ended.status, QProcess::NormalExit) << where << "\n" << ended.errors.toStdString();
        EXPECT_EQ(ended.exitCode, 1) << where << "\n" << ended.errors.toStdString();
        EXPECT_EQ(programLines(ended.errors), QStringList{c.line}) << where << "\n" << ended.errors.toStdString();
        EXPECT_EQ(ended.output, QString()) << where;
    }
}

TEST_F(HeadlessStartTest, TheEditorWithoutADisplaySaysWhatToSetAndEndsWithOne)
{
    for (const QStringList& arguments : QList<QStringList>{{}, {"bueno.caf"}}) {
        const std::string where = ("ormi " + arguments.join(' ')).toStdString();
        const Ended ended = run(arguments);
        EXPECT_TRUE(ended.inTime) << where;
        EXPECT_EQ(ended.status, QProcess::NormalExit) << where << "\n" << ended.errors.toStdString();
        EXPECT_EQ(ended.exitCode, 1) << where << "\n" << ended.errors.toStdString();
        EXPECT_EQ(programLines(ended.errors), QStringList{QString::fromUtf8(NoDisplay)})
            << where << "\n" << ended.errors.toStdString();
    }
}

TEST_F(HeadlessStartTest, TheLinesAreInTheUsersLanguage)
{
    chooseLanguage(2);
    Ended ended = run({"/pt", "bueno.caf", "Planta 2"});
    EXPECT_EQ(ended.exitCode, 1) << ended.errors.toStdString();
    EXPECT_EQ(programLines(ended.errors), QStringList{"ormi: The printer Planta 2 cannot be found."})
        << ended.errors.toStdString();
    ended = run({});
    EXPECT_EQ(ended.exitCode, 1) << ended.errors.toStdString();
    EXPECT_EQ(programLines(ended.errors),
              QStringList{"ormi: There is no display to show the editor on. Set DISPLAY to an X server, or start it "
                          "without a window with QT_QPA_PLATFORM=offscreen."})
        << ended.errors.toStdString();
}
