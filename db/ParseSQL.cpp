#include "db/ParseSQL.h"

namespace {

bool isBlankOrLineFeed(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\n'); }

// The run of blanks and line feeds at the front of s, taken off.
QString takeBlanks(QString& s)
{
    qsizetype n = 0;
    while (n < s.size() && isBlankOrLineFeed(s.at(n)))
        ++n;
    const QString run = s.left(n);
    s.remove(0, n);
    return run;
}

// The length of the quoted text at the front of s (a doubled quote stays inside it); the
// whole rest when it is never closed.
qsizetype quotedLength(const QString& s)
{
    const QChar quote = s.at(0);
    qsizetype i = 1;
    while (i < s.size()) {
        if (s.at(i) == quote) {
            if (i + 1 < s.size() && s.at(i + 1) == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return s.size();
}

bool isQuote(QChar c) { return c == QLatin1Char('\'') || c == QLatin1Char('"'); }

} // namespace

QString ParseSQL::FieldExpression(int index) const
{
    return index >= 0 && index < MaxEntries ? m_fieldExpressions[size_t(index)] : QString();
}

QString ParseSQL::Alias(int index) const
{
    return index >= 0 && index < MaxEntries ? m_aliases[size_t(index)] : QString();
}

void ParseSQL::SplitSelect(const QString& sql)
{
    static const QString Select = QStringLiteral("SELECT");
    static const QString From = QStringLiteral(" FROM ");
    static const QString As = QStringLiteral(" AS ");

    QString s = sql;
    m_complete = true;

    if (s.startsWith(QLatin1String("TRANSFORM"))) {
        const qsizetype select = s.indexOf(Select);
        if (select < 0) {
            m_complete = false;
            return;
        }
        m_head += s.left(select);
        s.remove(0, select);
    }
    if (!s.startsWith(Select)) {
        m_complete = false;
        return;
    }
    m_head += Select;
    s.remove(0, Select.size());
    m_head += takeBlanks(s);

    if (s.startsWith(QLatin1String("TOP"))) {
        m_head += QLatin1String("TOP ");
        s.remove(0, 3);
        takeBlanks(s);
        qsizetype digits = 0;
        while (digits < s.size() && s.at(digits).isDigit())
            ++digits;
        m_head += s.left(digits);
        s.remove(0, digits);
        m_head += takeBlanks(s);
    }
    if (s.startsWith(QLatin1String("DISTINCT"))) {
        m_head += QLatin1String("DISTINCT ");
        s.remove(0, 8);
        m_head += takeBlanks(s);
    }

    int i = 0;
    int depth = 0;
    QString token;
    // The token ends entry i: as its expression while that is empty, else as its alias.
    auto closeEntry = [&] {
        QString& expression = m_fieldExpressions[size_t(i)];
        QString& alias = m_aliases[size_t(i)];
        if (expression.isEmpty())
            expression = token;
        else
            alias = token;
        expression = expression.trimmed();
        alias = alias.trimmed();
        token.clear();
    };
    for (;;) {
        if (s.isEmpty() || (depth == 0 && s.startsWith(From)))
            break;
        const QChar c = s.at(0);
        if (isQuote(c)) {
            const qsizetype length = quotedLength(s);
            token += s.left(length);
            s.remove(0, length);
            continue;
        }
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            --depth;
        if (depth == 0 && s.startsWith(As)) {
            m_fieldExpressions[size_t(i)] = token;
            s.remove(0, As.size());
            token.clear();
            continue;
        }
        if (depth == 0 && c == QLatin1Char(',')) {
            closeEntry();
            s.remove(0, 1);
            if (++i == MaxEntries) {
                m_complete = false;
                return;
            }
            continue;
        }
        token += c;
        s.remove(0, 1);
    }
    if (!s.startsWith(From)) {
        m_complete = false;
        return;
    }
    closeEntry();
    m_tail = s;
}
