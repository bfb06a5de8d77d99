#pragma once

#include <QByteArray>
#include <QString>

#include <termios.h>

#include <atomic>

// A pseudo-terminal pair standing in for a serial line: the test's machine holds the master,
// the port under test opens the slave by its path. The slave is set raw and closed again
// before the port opens it, as a real device would be found.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isOpen() const { return m_master >= 0; }
    int master() const { return m_master; }
    const QString& slavePath() const { return m_slavePath; }

    bool write(QByteArrayView bytes);
    // Every byte into the master, waiting while the terminal's buffer is full. False at a hard
    // error, or once stop (when given) is set.
    static bool writeAll(int master, QByteArrayView bytes, const std::atomic<bool>* stop = nullptr);
    // What the master received within the time, up to count bytes.
    QByteArray read(int count, int timeoutMs);
    // The line settings as the port left them.
    termios lineSettings() const;
    // The machine goes away: the port sees a hang-up.
    void closeMaster();

private:
    int m_master = -1;
    QString m_slavePath;
};
