#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The same lines as text files hold them: ended by CR LF, LF or CR, with and without a UTF-8
// byte-order mark in front, the last line now with its end and now without.
struct TextFileShape {
    QString what;
    QByteArray bytes;
};

inline QList<TextFileShape> TextFileShapes(const QList<QByteArray>& lines)
{
    const QByteArray mark = "\xEF\xBB\xBF";
    const auto shape = [&lines](const QByteArray& start, const QByteArray& lineEnd, bool lastEnded) {
        QByteArray bytes = start + lines.join(lineEnd);
        if (lastEnded)
            bytes += lineEnd;
        return bytes;
    };
    return {
        {QStringLiteral("CR LF"), shape("", "\r\n", true)},
        {QStringLiteral("LF"), shape("", "\n", false)},
        {QStringLiteral("CR"), shape("", "\r", true)},
        {QStringLiteral("mark and CR LF"), shape(mark, "\r\n", false)},
        {QStringLiteral("mark and CR"), shape(mark, "\r", true)},
    };
}
