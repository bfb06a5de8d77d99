#include "fw/WindowsPath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace fw {

namespace {

bool isNamePart(const QString& part)
{
    return !part.isEmpty() && part != QLatin1String(".") && part != QLatin1String("..");
}

// The entry of the folder that equals the name without regard to case, or an empty text.
QString entryIgnoringCase(const QString& folder, const QString& name)
{
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return QString();
}

} // namespace

QString WindowsPath::resolve(const QString& path)
{
    QString slashed = path;
    slashed.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList parts = slashed.split(QLatin1Char('/'));
    bool searching = true;
    QString done; // the parts before the current one, joined
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (searching && isNamePart(parts[i])) {
            const QString folder = i == 0 ? QStringLiteral(".") : done.isEmpty() ? QStringLiteral("/") : done;
            if (!QFileInfo::exists(folder + QLatin1Char('/') + parts[i])) {
                const QString entry = entryIgnoringCase(folder, parts[i]);
                if (entry.isEmpty())
                    searching = false;
                else
                    parts[i] = entry;
            }
        }
        done = i == 0 ? parts[i] : done + QLatin1Char('/') + parts[i];
    }
    return done;
}

} // namespace fw
