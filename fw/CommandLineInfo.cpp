#include "fw/CommandLineInfo.h"

namespace fw {

namespace {

// The flags the shell passes; any other word, "/home/..." included, is a file or a printer.
const QStringList KnownFlags{QStringLiteral("p"), QStringLiteral("pt"), QStringLiteral("dde"),
                             QStringLiteral("automation"), QStringLiteral("embedding")};

QString flagName(const QString& argument)
{
    if (!argument.startsWith(QLatin1Char('/')) && !argument.startsWith(QLatin1Char('-')))
        return QString();
    const QString name = argument.mid(1).toLower();
    return KnownFlags.contains(name) ? name : QString();
}

} // namespace

CommandLineInfo CommandLineInfo::parse(const QStringList& arguments)
{
    CommandLineInfo info;
    bool printing = false;
    bool printerExpected = false;
    for (const QString& argument : arguments) {
        const QString name = flagName(argument);
        if (!name.isEmpty()) {
            if (name == QLatin1String("p")) {
                printing = true;
                info.shellCommand = ShellCommand::FilePrint;
            } else if (name == QLatin1String("pt")) {
                printing = true;
                printerExpected = true;
                info.shellCommand = ShellCommand::FilePrintTo;
            }
            continue;
        }
        if (info.fileName.isEmpty())
            info.fileName = argument;
        else if (printerExpected && info.printerName.isEmpty())
            info.printerName = argument;
    }
    if (!printing && !info.fileName.isEmpty())
        info.shellCommand = ShellCommand::FileOpen;
    return info;
}

} // namespace fw
