#pragma once

#include <QFile>
#include <QString>

namespace fw {
class Clock;
}

// The text log of the T38A frame exchanges. Lines begin with the local time and the tick
// count modulo 10000 ("%H:%M:%S %d "); received bytes are dumped one at a time as they come,
// so a reply shows as one line ending "04 ". Opened for appending on the first entry; every
// entry is flushed. A log that cannot be opened stays silent.
class ComLog {
public:
    ComLog(const QString& path, fw::Clock& clock);

    void open();
    void close();
    bool isOpen() const { return m_file.isOpen(); }

    void timePrefix();
    // Each byte as "%02X "; a prefix first at a line start; a line end when the last byte is EOT.
    void hex(const quint8* bytes, int count);
    // A prefix, the text and a line end.
    void text(const QString& line);
    // Only a line end.
    void newLine();

private:
    void write(const QByteArray& bytes);

    QFile m_file;
    fw::Clock& m_clock;
    bool m_lineStart = true;
};
