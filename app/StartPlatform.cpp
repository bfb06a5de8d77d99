#include "app/StartPlatform.h"

#include "fw/CommandLineInfo.h"

namespace {

const QByteArray Offscreen = QByteArrayLiteral("offscreen");

// The value after Qt's own option ("-platform x" or "--platform x"); empty when not given.
QString qtOption(const QStringList& arguments, const QString& name)
{
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1Char('-') + name || argument == QStringLiteral("--") + name)
            return arguments.at(i + 1);
    }
    return QString();
}

// Platforms without a screen a user could click on. Qt tries a list ("offscreen;xcb") in
// order, each name with its options ("offscreen:fontengine=freetype").
bool showsNothing(const QString& platform)
{
    const QString name = platform.section(QLatin1Char(';'), 0, 0).section(QLatin1Char(':'), 0, 0);
    return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

bool printing(const QStringList& arguments)
{
    using Command = fw::CommandLineInfo::ShellCommand;
    const Command command = fw::CommandLineInfo::parse(arguments).shellCommand;
    return command == Command::FilePrint || command == Command::FilePrintTo;
}

} // namespace

StartPlatform StartPlatform::choose(const QProcessEnvironment& environment, const QStringList& arguments)
{
    QString platform = qtOption(arguments, QStringLiteral("platform"));
    if (platform.isEmpty())
        platform = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    if (!platform.isEmpty())
        return {printing(arguments) && showsNothing(platform) ? Mode::Headless : Mode::Windows, {}};
    const bool display = !environment.value(QStringLiteral("DISPLAY")).isEmpty()
        || !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty()
        || !qtOption(arguments, QStringLiteral("display")).isEmpty();
    if (display)
        return {Mode::Windows, {}};
    // The offscreen platform starts anywhere: a print needs no window, and the editor can
    // still say in the user's language why it does not start.
    return {printing(arguments) ? Mode::Headless : Mode::NoDisplay, Offscreen};
}
