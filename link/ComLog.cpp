#include "link/ComLog.h"

#include "fw/Clock.h"
#include "link/T38AFrame.h"

ComLog::ComLog(const QString& path, fw::Clock& clock)
    : m_file(path)
    , m_clock(clock)
{
}

void ComLog::open()
{
    if (!m_file.isOpen())
        m_file.open(QIODevice::WriteOnly | QIODevice::Append);
}

void ComLog::close() { m_file.close(); }

void ComLog::timePrefix()
{
    open();
    const QString time = m_clock.CurrentDateTime().toString(QStringLiteral("HH:mm:ss"));
    write(QStringLiteral("%1 %2 ").arg(time).arg(m_clock.TickCount() % 10000).toUtf8());
}

void ComLog::hex(const quint8* bytes, int count)
{
    open();
    if (!isOpen() || count <= 0)
        return;
    if (m_lineStart)
        timePrefix();
    m_lineStart = false;
    QByteArray dump;
    for (int i = 0; i < count; ++i)
        dump += QByteArray::number(bytes[i], 16).toUpper().rightJustified(2, '0') + ' ';
    if (bytes[count - 1] == T38AFrame::Eot) {
        dump += '\n';
        m_lineStart = true;
    }
    write(dump);
}

void ComLog::text(const QString& line)
{
    open();
    if (!isOpen())
        return;
    timePrefix();
    write(line.toUtf8() + '\n');
    m_lineStart = true;
}

void ComLog::newLine()
{
    open();
    write("\n");
}

void ComLog::write(const QByteArray& bytes)
{
    if (!m_file.isOpen())
        return;
    m_file.write(bytes);
    m_file.flush();
}
