#include "fw/LineMessageSink.h"

#include <QRegularExpression>

namespace fw {

LineMessageSink::LineMessageSink(std::FILE* stream, const QString& program)
    : m_stream(stream)
    , m_program(program)
{
}

MessageAnswer LineMessageSink::show(const Message& message)
{
    const QByteArray bytes = (line(m_program, message.text) + QLatin1Char('\n')).toLocal8Bit();
    // Nowhere is left to report a stream that refuses the line.
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_stream);
    std::fflush(m_stream);
    return message.defaultAnswer;
}

QString LineMessageSink::line(const QString& program, const QString& text)
{
    static const QRegularExpression LineBreaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    return program + QStringLiteral(": ") + text.trimmed().replace(LineBreaks, QStringLiteral(" "));
}

} // namespace fw
