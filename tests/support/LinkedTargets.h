#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Names that reach their file through links, for the tests of every writer: the file that
// opening the name gives is the one replaced (or made), and nothing else under the root
// changes. The system takes a link's text from the folder the link really lies in, so ".."
// after a linked folder leads above the folder the link names; reading ".." as text leads
// elsewhere, where each case lays an unrelated file when it can.
namespace LinkedTargets {

struct Link {
    QString name;
    QString text;
};

struct Case {
    const char* what;
    QStringList folders;
    QList<Link> links;
    QStringList unrelated; // files holding UnrelatedBytes
    QString name;          // what the writer is given
    QString opened;        // the file that opening the name gives
    bool openedThere = true; // false: the last link names a file not made yet
};

inline const QByteArray UnrelatedBytes = "AN UNRELATED FILE";

QList<Case> cases();
// Lays the case out under the root (all names of a case are under it), the opened file
// holding the bytes when it is there. False when it cannot, or when the system does not take
// the name to the opened file.
bool make(const QString& root, const Case& c, const QByteArray& bytes);
// Every entry under the root but the opened file, sorted, one a line: folders, links with
// their text, files with their bytes (or their size, when the bytes are no short text).
QString others(const QString& root, const Case& c);

} // namespace LinkedTargets
