#pragma once

#include <QList>
#include <QString>

#include <sys/types.h>

// What mode a file had until the program set its mode, seen from below: while a probe lives,
// every fchmod of the test program passes through it and records the path that the
// descriptor names and the file's mode just before the call, then sets the mode as asked.
// Linked only into the tests of the file writers; without a probe the calls go to the system
// unchanged. One probe at a time.
class ModeProbe {
public:
    struct Change {
        QString path;
        mode_t before = 0;
        mode_t after = 0;
    };

    ModeProbe();
    ~ModeProbe();
    ModeProbe(const ModeProbe&) = delete;
    ModeProbe& operator=(const ModeProbe&) = delete;

    // The changes of mode under the folder, in their order.
    QList<Change> changesUnder(const QString& folder) const;
    QString describe() const;

    // For the interposed call.
    int change(int fd, mode_t mode);

private:
    QList<Change> m_changes;
};
