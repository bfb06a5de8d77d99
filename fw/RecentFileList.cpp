#include "fw/RecentFileList.h"

#include "fw/Profile.h"

#include <QDir>
#include <QFileInfo>

namespace fw {

namespace {

QString entryName(int index) { return QStringLiteral("File%1").arg(index + 1); }

QString section() { return QString::fromLatin1(RecentFileList::Section); }

// The same file, whichever way its path was written.
QString canonical(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

QString shortened(const QString& path)
{
    if (path.size() <= RecentFileList::MaxDisplayLength)
        return path;
    const QString native = QDir::toNativeSeparators(path);
    const QChar separator = QDir::separator();
    QStringList parts = native.split(separator);
    const QString fileName = parts.takeLast();
    const QString root = parts.isEmpty() ? QString() : parts.takeFirst();
    // Drop folders after the root until the rest fits.
    while (!parts.isEmpty()) {
        parts.removeFirst();
        const QString candidate =
            root + separator + QStringLiteral("...") + separator + (parts.isEmpty() ? QString() : parts.join(separator) + separator) + fileName;
        if (candidate.size() <= RecentFileList::MaxDisplayLength)
            return candidate;
    }
    return fileName;
}

} // namespace

RecentFileList::RecentFileList(Profile& profile, int size)
    : m_profile(&profile)
    , m_size(size)
{
}

void RecentFileList::ReadList()
{
    m_files.clear();
    for (int i = 0; i < m_size; ++i) {
        const QString path = m_profile->GetString(section(), entryName(i));
        if (!path.isEmpty() && !m_files.contains(path))
            m_files.append(path);
    }
}

void RecentFileList::Add(const QString& path)
{
    const QString file = canonical(path);
    m_files.removeAll(file);
    m_files.prepend(file);
    while (m_files.size() > m_size)
        m_files.removeLast();
    WriteList();
}

void RecentFileList::Remove(int index)
{
    if (index < 0 || index >= m_files.size())
        return;
    m_files.removeAt(index);
    WriteList();
}

QString RecentFileList::GetDisplayName(int index, const QString& currentFolder) const
{
    if (index < 0 || index >= m_files.size())
        return QString();
    const QFileInfo file(m_files.at(index));
    if (!currentFolder.isEmpty() && canonical(file.absolutePath()) == canonical(currentFolder))
        return file.fileName();
    return shortened(m_files.at(index));
}

void RecentFileList::WriteList()
{
    for (int i = 0; i < m_size; ++i)
        m_profile->WriteString(section(), entryName(i), m_files.value(i));
}

} // namespace fw
