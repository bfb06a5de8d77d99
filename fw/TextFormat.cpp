#include "fw/TextFormat.h"

namespace fw {

namespace {

struct Spec {
    QString flags;
    int width = -1;
    int precision = -1;
    int shortLevel = 0; // 1 for "h", 2 for "hh": the value is cut to 16 or 8 bits
    QChar conversion;
};

// An integer argument as a printf of the C library sees it after the size prefix.
qint64 signedForSize(qint64 value, int shortLevel)
{
    if (shortLevel == 1)
        return qint16(value);
    if (shortLevel >= 2)
        return qint8(value);
    return qint32(value);
}

quint64 unsignedForSize(qint64 value, int shortLevel)
{
    if (shortLevel == 1)
        return quint16(value);
    if (shortLevel >= 2)
        return quint8(value);
    return quint32(value);
}

qint64 asInteger(const FormatArg& arg)
{
    const auto& v = arg.value();
    if (const auto* i = std::get_if<qint64>(&v))
        return *i;
    if (const auto* d = std::get_if<double>(&v))
        return qint64(*d);
    return std::get<QString>(v).toLongLong();
}

double asReal(const FormatArg& arg)
{
    const auto& v = arg.value();
    if (const auto* d = std::get_if<double>(&v))
        return *d;
    if (const auto* i = std::get_if<qint64>(&v))
        return double(*i);
    return std::get<QString>(v).toDouble();
}

QString asText(const FormatArg& arg)
{
    const auto& v = arg.value();
    if (const auto* s = std::get_if<QString>(&v))
        return *s;
    if (const auto* i = std::get_if<qint64>(&v))
        return QString::number(*i);
    return QString::number(std::get<double>(v));
}

QString pad(const QString& text, const Spec& spec)
{
    if (spec.width <= text.size())
        return text;
    return spec.flags.contains(QLatin1Char('-')) ? text.leftJustified(spec.width)
                                                 : text.rightJustified(spec.width);
}

QByteArray cSpec(const Spec& spec, const char* length)
{
    QByteArray out = "%" + spec.flags.toLatin1();
    if (spec.width >= 0)
        out += QByteArray::number(spec.width);
    if (spec.precision >= 0)
        out += "." + QByteArray::number(spec.precision);
    out += length;
    out += spec.conversion.toLatin1();
    return out;
}

QString render(const Spec& spec, const FormatArg* arg)
{
    const char c = spec.conversion.toLatin1();
    if (!arg)
        return pad(QString(), spec);
    switch (c) {
    case 'd':
    case 'i':
        return QString::asprintf(cSpec(spec, "ll").constData(), (long long)signedForSize(asInteger(*arg), spec.shortLevel));
    case 'u':
    case 'x':
    case 'X':
    case 'o':
        return QString::asprintf(cSpec(spec, "ll").constData(),
                                 (unsigned long long)unsignedForSize(asInteger(*arg), spec.shortLevel));
    case 'c':
        return pad(QString(QChar(char16_t(asInteger(*arg)))), spec);
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
        return QString::asprintf(cSpec(spec, "").constData(), asReal(*arg));
    case 's':
    default: {
        QString text = asText(*arg);
        if (spec.precision >= 0)
            text.truncate(spec.precision);
        return pad(text, spec);
    }
    }
}

} // namespace

QString TextFormat::format(const QString& pattern, std::initializer_list<FormatArg> args)
{
    std::size_t next = 0;
    QString out;
    out.reserve(pattern.size() + 16);
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar ch = pattern.at(i);
        if (ch != QLatin1Char('%')) {
            out += ch;
            continue;
        }
        qsizetype j = i + 1;
        if (j < pattern.size() && pattern.at(j) == QLatin1Char('%')) {
            out += QLatin1Char('%');
            i = j;
            continue;
        }
        Spec spec;
        while (j < pattern.size() && QStringLiteral("-+ 0#").contains(pattern.at(j)))
            spec.flags += pattern.at(j++);
        auto readNumber = [&](int& target) {
            int value = 0;
            bool any = false;
            while (j < pattern.size() && pattern.at(j).isDigit() && value < 1000) {
                value = value * 10 + pattern.at(j++).digitValue();
                any = true;
            }
            if (any)
                target = value;
        };
        readNumber(spec.width);
        if (j < pattern.size() && pattern.at(j) == QLatin1Char('.')) {
            ++j;
            spec.precision = 0;
            readNumber(spec.precision);
        }
        while (j < pattern.size() && QStringLiteral("hlLqjzt").contains(pattern.at(j))) {
            if (pattern.at(j) == QLatin1Char('h'))
                ++spec.shortLevel;
            ++j;
        }
        if (j >= pattern.size() || !QStringLiteral("diuxXocfFeEgGs").contains(pattern.at(j))) {
            // Not a placeholder: keep the text as written.
            out += pattern.mid(i, j - i);
            i = j - 1;
            continue;
        }
        spec.conversion = pattern.at(j);
        out += render(spec, next < args.size() ? args.begin() + next : nullptr);
        ++next;
        i = j;
    }
    return out;
}

} // namespace fw
