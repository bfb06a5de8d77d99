#include "fw/CommandLineInfo.h"
#include "fw/DocTemplateStrings.h"

#include <gtest/gtest.h>

using Command = fw::CommandLineInfo::ShellCommand;

TEST(CommandLineInfoTest, TheCommandLineSaysWhatToDoAtStart)
{
    const struct {
        QStringList arguments;
        Command command;
        const char* fileName;
        const char* printerName;
    } cases[] = {
        {{}, Command::FileNew, "", ""},
        {{"/home/ana/café.caf"}, Command::FileOpen, "/home/ana/café.caf", ""},
        {{"a.caf", "b.caf"}, Command::FileOpen, "a.caf", ""},
        {{"/p", "/tmp/a.caf"}, Command::FilePrint, "/tmp/a.caf", ""},
        {{"-P", "a.caf"}, Command::FilePrint, "a.caf", ""},
        {{"/pt", "a.caf", "Oficina", "driver", "port"}, Command::FilePrintTo, "a.caf", "Oficina"},
        {{"/dde"}, Command::FileNew, "", ""},
        {{"/dde", "a.caf"}, Command::FileOpen, "a.caf", ""},
        {{"/pt"}, Command::FilePrintTo, "", ""},
    };
    for (const auto& c : cases) {
        const fw::CommandLineInfo info = fw::CommandLineInfo::parse(c.arguments);
        const QString where = c.arguments.join(' ');
        EXPECT_EQ(info.shellCommand, c.command) << where.toStdString();
        EXPECT_EQ(info.fileName, QString::fromUtf8(c.fileName)) << where.toStdString();
        EXPECT_EQ(info.printerName, QString::fromUtf8(c.printerName)) << where.toStdString();
    }
}

TEST(DocTemplateStringsTest, TheTemplateStringSplitsIntoItsSevenParts)
{
    const fw::DocTemplateStrings strings = fw::DocTemplateStrings::parse(
        "Ormi\n\nOrmi\nConfiguracion dosis Dravolino (*.caf)\n.caf\nPemvoraOrmi.Document\nPemvoraOrmi Document");
    EXPECT_EQ(strings.windowTitle, "Ormi");
    EXPECT_EQ(strings.docName, "");
    EXPECT_EQ(strings.fileNewName, "Ormi");
    EXPECT_EQ(strings.filterName, "Configuracion dosis Dravolino (*.caf)");
    EXPECT_EQ(strings.filterExt, ".caf");
    EXPECT_EQ(strings.regFileTypeId, "PemvoraOrmi.Document");
    EXPECT_EQ(strings.regFileTypeName, "PemvoraOrmi Document");
    EXPECT_EQ(fw::DocTemplateStrings::parse("Solo").filterExt, "");
}
