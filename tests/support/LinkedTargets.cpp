#include "tests/support/LinkedTargets.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <algorithm>
#include <climits>

namespace LinkedTargets {

namespace {

QString linkText(const QString& path)
{
    char text[PATH_MAX];
    const ssize_t length = ::readlink(QFile::encodeName(path).constData(), text, sizeof text);
    return length > 0 ? QFile::decodeName(QByteArray(text, length)) : QString();
}

QString shown(const QByteArray& bytes)
{
    const bool text = bytes.size() <= 64 && std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= ' ' && c < 127; });
    return text ? QString::fromLatin1(bytes) : QStringLiteral("%1 bytes").arg(bytes.size());
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

QList<Case> cases()
{
    const Link alias{"z/alias", "real/docs"};
    return {
        {"a link whose text holds .., reached through a linked folder",
         {"z/real/docs", "z/real/data", "z/data"},
         {alias, {"z/real/docs/l.caf", "../data/t.caf"}},
         {"z/data/t.caf"},
         "z/alias/l.caf", "z/real/data/t.caf"},
        {"the same without the folder that reading .. as text names",
         {"z/real/docs", "z/real/data"},
         {alias, {"z/real/docs/l.caf", "../data/t.caf"}},
         {},
         "z/alias/l.caf", "z/real/data/t.caf"},
        {"a name with .. after a linked folder",
         {"z/real/docs", "z/real/data", "z/data"},
         {alias},
         {"z/data/t.caf"},
         "z/alias/../data/t.caf", "z/real/data/t.caf"},
        {"a chain of relative links with .. through linked folders",
         {"z/real/docs", "z/real/data", "z/data", "far", "data"},
         {alias,
          {"z/real/docs/c1.caf", "../../alias/../data/c2.caf"},
          {"z/real/data/c2.caf", "../up/c3.caf"},
          {"z/real/up", "../../far"},
          {"far/c3.caf", "../z/alias/../data/t.caf"}},
         {"data/c2.caf", "z/data/t.caf"},
         "z/alias/c1.caf", "z/real/data/t.caf"},
        {"a link through a linked folder to a name not made yet",
         {"z/real/docs", "z/real/data", "z/data"},
         {alias, {"z/real/docs/n.caf", "../data/n.caf"}},
         {},
         "z/alias/n.caf", "z/real/data/n.caf", false},
    };
}

bool make(const QString& root, const Case& c, const QByteArray& bytes)
{
    const QDir dir(root);
    for (const QString& folder : c.folders) {
        if (!dir.mkpath(folder))
            return false;
    }
    for (const Link& link : c.links) {
        if (::symlink(QFile::encodeName(link.text).constData(), QFile::encodeName(dir.filePath(link.name)).constData()) != 0)
            return false;
    }
    for (const QString& file : c.unrelated) {
        if (!writeFile(dir.filePath(file), UnrelatedBytes))
            return false;
    }
    if (!c.openedThere)
        return QFileInfo(dir.filePath(c.name)).isSymLink() && !QFileInfo::exists(dir.filePath(c.opened));
    if (!writeFile(dir.filePath(c.opened), bytes))
        return false;
    // The system's own answer (realpath) to what the name opens.
    const QString opened = QFileInfo(dir.filePath(c.name)).canonicalFilePath();
    return !opened.isEmpty() && opened == QFileInfo(dir.filePath(c.opened)).canonicalFilePath();
}

QString others(const QString& root, const Case& c)
{
    const QDir dir(root);
    QStringList lines;
    QDirIterator entries(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        const QString name = dir.relativeFilePath(entry.filePath());
        if (entry.isSymLink()) {
            lines << name + " -> " + linkText(entry.filePath());
        } else if (entry.isDir()) {
            lines << name + "/";
        } else if (name != c.opened) {
            QFile file(entry.filePath());
            lines << name + ": " + (file.open(QIODevice::ReadOnly) ? shown(file.readAll()) : QStringLiteral("(unreadable)"));
        }
    }
    lines.sort();
    return lines.join(QLatin1Char('\n'));
}

} // namespace LinkedTargets
