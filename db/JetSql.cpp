#include "db/JetSql.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

namespace {

bool isWordChar(QChar ch) { return ch.isLetterOrNumber() || ch == QLatin1Char('_'); }

// The end of the quoted part that starts at i (the position just past its closing quote),
// or the end of the text when it is not closed.
qsizetype skipQuoted(const QString& text, qsizetype i)
{
    const QChar open = text.at(i);
    const QChar close = open == QLatin1Char('[') ? QLatin1Char(']') : open;
    for (qsizetype j = i + 1; j < text.size(); ++j) {
        if (text.at(j) != close)
            continue;
        // A doubled quote inside a quoted text or name stands for itself.
        if (close != QLatin1Char(']') && j + 1 < text.size() && text.at(j + 1) == close) {
            ++j;
            continue;
        }
        return j + 1;
    }
    return text.size();
}

bool indexIsKeyword(const QString& previousWord)
{
    static const QStringList keywords = {QStringLiteral("CREATE"), QStringLiteral("UNIQUE"),
                                         QStringLiteral("DROP"), QStringLiteral("REINDEX")};
    return keywords.contains(previousWord, Qt::CaseInsensitive);
}

} // namespace

QString JetSql::DateLiteralToIso(const QString& inside)
{
    static const QRegularExpression us(QStringLiteral(
        R"(^\s*(\d{1,2})/(\d{1,2})/(\d{4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    static const QRegularExpression iso(QStringLiteral(
        R"(^\s*(\d{4})-(\d{1,2})-(\d{1,2})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    QDate date;
    QRegularExpressionMatch match = us.match(inside);
    if (match.hasMatch()) {
        date = QDate(match.captured(3).toInt(), match.captured(1).toInt(), match.captured(2).toInt());
    } else {
        match = iso.match(inside);
        if (!match.hasMatch())
            return QString();
        date = QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    }
    const QTime time(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return QString();
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') + time.toString(QStringLiteral("HH:mm:ss"));
}

QString JetSql::ToSqlite(const QString& statement)
{
    QString out;
    out.reserve(statement.size() + 16);
    QString previousWord;
    qsizetype i = 0;
    while (i < statement.size()) {
        const QChar ch = statement.at(i);
        if (ch == QLatin1Char('\'') || ch == QLatin1Char('"') || ch == QLatin1Char('[') || ch == QLatin1Char('`')) {
            const qsizetype end = skipQuoted(statement, i);
            out += QStringView(statement).mid(i, end - i);
            previousWord.clear();
            i = end;
        } else if (ch == QLatin1Char('#')) {
            const qsizetype close = statement.indexOf(QLatin1Char('#'), i + 1);
            const QString iso = close < 0 ? QString() : DateLiteralToIso(statement.mid(i + 1, close - i - 1));
            if (iso.isEmpty()) {
                out += ch;
                ++i;
            } else {
                out += QLatin1Char('\'') + iso + QLatin1Char('\'');
                i = close + 1;
            }
            previousWord.clear();
        } else if (isWordChar(ch)) {
            qsizetype end = i;
            while (end < statement.size() && isWordChar(statement.at(end)))
                ++end;
            const QString word = statement.mid(i, end - i);
            if (word.compare(QLatin1String("INDEX"), Qt::CaseInsensitive) == 0 && !indexIsKeyword(previousWord))
                out += QLatin1Char('[') + word + QLatin1Char(']');
            else
                out += word;
            previousWord = word;
            i = end;
        } else {
            out += ch;
            if (!ch.isSpace())
                previousWord.clear();
            ++i;
        }
    }
    return out;
}
