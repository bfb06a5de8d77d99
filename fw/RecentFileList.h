#pragma once

#include <QString>
#include <QStringList>

namespace fw {

class Profile;

// The most recently used files, newest first, kept in the profile as section "Recent File
// List", values File1..FileN (an empty value is no entry).
class RecentFileList {
public:
    static constexpr const char* Section = "Recent File List";
    // A display name longer than this is shortened.
    static constexpr int MaxDisplayLength = 30;

    RecentFileList(Profile& profile, int size);

    const QStringList& files() const { return m_files; }

    void ReadList();
    // Puts the file at the top, once; the oldest beyond the size drop out. Written at once.
    void Add(const QString& path);
    // Written at once; an index outside the list changes nothing.
    void Remove(int index);

    // The entry's name for the menu: the file's name when it lies in the given folder, else
    // its path, shortened in the middle ("/.../folder/name") to fit MaxDisplayLength, down to
    // the file's name alone.
    QString GetDisplayName(int index, const QString& currentFolder) const;

private:
    void WriteList();

    Profile* m_profile;
    int m_size;
    QStringList m_files;
};

} // namespace fw
