#pragma once

#include <QByteArray>
#include <QString>

#include <initializer_list>
#include <variant>

namespace fw {

// One value for a printf-style placeholder. Integers are carried as 64-bit values and
// printed with the 32-bit meaning the texts were written for (%ld, %d, %u, %x of a long), or
// cut to 16 or 8 bits by an "h" or "hh" size prefix as the C library does (%02hX of -20 is FFEC).
class FormatArg {
public:
    FormatArg(int v) : m_value(qint64(v)) {}
    FormatArg(long v) : m_value(qint64(v)) {}
    FormatArg(long long v) : m_value(qint64(v)) {}
    FormatArg(unsigned v) : m_value(qint64(v)) {}
    FormatArg(unsigned long v) : m_value(qint64(v)) {}
    FormatArg(unsigned long long v) : m_value(qint64(v)) {}
    FormatArg(double v) : m_value(v) {}
    FormatArg(const QString& v) : m_value(v) {}
    FormatArg(const char* v) : m_value(QString::fromUtf8(v)) {}

    const std::variant<qint64, double, QString>& value() const { return m_value; }

private:
    std::variant<qint64, double, QString> m_value;
};

// printf-style formatting that never reads past its arguments or misreads their type:
// a missing argument prints nothing, a value of another kind is converted.
class TextFormat {
public:
    static QString format(const QString& pattern, std::initializer_list<FormatArg> args);
};

} // namespace fw
