#pragma once

#include "fw/MessageSink.h"

#include <QString>

#include <cstdio>

namespace fw {

// Writes each message as one line "<program>: <text>" on a stream, for a run in which no one
// can click a box (the program's standard error when it prints without a display). A text of
// several lines is joined into one; a question takes its default answer.
class LineMessageSink : public MessageSink {
public:
    LineMessageSink(std::FILE* stream, const QString& program);

    MessageAnswer show(const Message& message) override;

    // The line written for a text, without its end of line.
    static QString line(const QString& program, const QString& text);

private:
    std::FILE* m_stream;
    QString m_program;
};

} // namespace fw
