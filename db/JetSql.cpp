#include "db/JetSql.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

#include <algorithm>

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

// One piece of a statement for the column-type pass: a word, a quoted text or name, or one
// other character (blanks are not pieces).
struct Token {
    enum class Kind { Word, Quoted, Other };
    Kind kind;
    qsizetype start;
    qsizetype end;
};

QList<Token> tokenize(const QString& text)
{
    QList<Token> tokens;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar ch = text.at(i);
        if (ch.isSpace()) {
            ++i;
        } else if (ch == QLatin1Char('\'') || ch == QLatin1Char('"') || ch == QLatin1Char('[') || ch == QLatin1Char('`')) {
            const qsizetype end = skipQuoted(text, i);
            tokens.append({Token::Kind::Quoted, i, end});
            i = end;
        } else if (isWordChar(ch)) {
            qsizetype end = i;
            while (end < text.size() && isWordChar(text.at(end)))
                ++end;
            tokens.append({Token::Kind::Word, i, end});
            i = end;
        } else {
            tokens.append({Token::Kind::Other, i, i + 1});
            ++i;
        }
    }
    return tokens;
}

// Jet's names of text types whose SQLite affinity would turn '007' into 7; the names that hold
// CHAR or TEXT already keep text as text.
bool isJetTextType(const QString& word)
{
    static const QStringList names = {QStringLiteral("MEMO"), QStringLiteral("STRING"), QStringLiteral("NOTE"),
                                      QStringLiteral("ALPHANUMERIC"), QStringLiteral("GENERAL")};
    return names.contains(word, Qt::CaseInsensitive);
}

bool isJetCounterType(const QString& word)
{
    return word.compare(QLatin1String("COUNTER"), Qt::CaseInsensitive) == 0
        || word.compare(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive) == 0;
}

// Jet's ISNULL(x) and its '+' that joins texts, which SQLite writes (x IS NULL) and '||'.
// A '+' joins when a quoted text, or an IIF(...) with a quoted text among its results, is
// an operand on either side; both joins give null for a null operand. Other '+' add.
QString translateOperators(const QString& statement)
{
    const QList<Token> tokens = tokenize(statement);
    auto piece = [&](qsizetype n) { return QStringView(statement).mid(tokens[n].start, tokens[n].end - tokens[n].start); };
    auto isChar = [&](qsizetype n, char c) {
        return n >= 0 && n < tokens.size() && tokens[n].kind == Token::Kind::Other && statement.at(tokens[n].start) == QLatin1Char(c);
    };
    auto isWord = [&](qsizetype n, const char* word) {
        return n >= 0 && n < tokens.size() && tokens[n].kind == Token::Kind::Word
            && piece(n).compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    };
    auto isText = [&](qsizetype n) {
        return n >= 0 && n < tokens.size() && tokens[n].kind == Token::Kind::Quoted && statement.at(tokens[n].start) == QLatin1Char('\'');
    };
    // The matching parenthesis of the one at n, searching forward (step 1) or back (step -1);
    // -1 when it is not closed.
    auto matching = [&](qsizetype n, int step) -> qsizetype {
        int depth = 0;
        for (qsizetype m = n; m >= 0 && m < tokens.size(); m += step) {
            if (isChar(m, '('))
                depth += step;
            else if (isChar(m, ')'))
                depth -= step;
            if (depth == 0)
                return m;
        }
        return -1;
    };
    // Whether the IIF whose '(' is at open and ')' at close has a result that is a quoted text.
    auto iifGivesText = [&](qsizetype open, qsizetype close) {
        int depth = 0;
        int argument = 0;
        for (qsizetype m = open + 1; m < close; ++m) {
            if (isChar(m, '('))
                ++depth;
            else if (isChar(m, ')'))
                --depth;
            else if (depth == 0 && isChar(m, ','))
                ++argument;
            else if (depth == 0 && argument > 0 && isText(m))
                return true;
        }
        return false;
    };
    auto leftIsText = [&](qsizetype plus) {
        if (isText(plus - 1))
            return true;
        if (!isChar(plus - 1, ')'))
            return false;
        const qsizetype open = matching(plus - 1, -1);
        return open > 0 && isWord(open - 1, "IIF") && iifGivesText(open, plus - 1);
    };
    auto rightIsText = [&](qsizetype plus) {
        if (isText(plus + 1))
            return true;
        if (!isWord(plus + 1, "IIF") || !isChar(plus + 2, '('))
            return false;
        const qsizetype close = matching(plus + 2, 1);
        return close > 0 && iifGivesText(plus + 2, close);
    };

    struct Edit {
        qsizetype start;
        qsizetype length;
        QString text;
    };
    QList<Edit> edits;
    for (qsizetype n = 0; n < tokens.size(); ++n) {
        if (isChar(n, '+') && (leftIsText(n) || rightIsText(n))) {
            edits.append({tokens[n].start, 1, QStringLiteral("||")});
        } else if (isWord(n, "ISNULL") && isChar(n + 1, '(')) {
            const qsizetype close = matching(n + 1, 1);
            if (close < 0)
                continue;
            edits.append({tokens[n].start, tokens[n + 1].end - tokens[n].start, QStringLiteral("(")});
            edits.append({tokens[close].start, 1, QStringLiteral(" IS NULL)")});
        }
    }
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.start > b.start; });
    QString out = statement;
    for (const Edit& edit : edits)
        out.replace(edit.start, edit.length, edit.text);
    return out;
}

} // namespace

QString JetSql::TranslateColumnTypes(const QString& statement)
{
    const QList<Token> tokens = tokenize(statement);
    auto word = [&](qsizetype n) {
        return n < tokens.size() && tokens[n].kind == Token::Kind::Word
            ? statement.mid(tokens[n].start, tokens[n].end - tokens[n].start).toUpper()
            : QString();
    };
    auto isChar = [&](qsizetype n, char c) {
        return n < tokens.size() && tokens[n].kind == Token::Kind::Other && statement.at(tokens[n].start) == QLatin1Char(c);
    };
    // The positions of the column types: the piece after each column name.
    QList<qsizetype> typePositions;
    bool hasPrimaryKey = false;
    if (word(0) == QLatin1String("CREATE") && word(1) == QLatin1String("TABLE")) {
        qsizetype n = 2;
        while (n < tokens.size() && !isChar(n, '('))
            ++n;
        int depth = 0;
        bool atName = true;
        for (; n < tokens.size(); ++n) {
            if (isChar(n, '(')) {
                ++depth;
            } else if (isChar(n, ')')) {
                --depth;
            } else if (depth == 1 && isChar(n, ',')) {
                atName = true;
                continue;
            } else if (depth == 1 && atName) {
                typePositions.append(n + 1);
            }
            hasPrimaryKey = hasPrimaryKey || word(n) == QLatin1String("PRIMARY");
            if (depth == 1 && !isChar(n, '('))
                atName = false;
        }
    } else if (word(0) == QLatin1String("ALTER") && word(1) == QLatin1String("TABLE")) {
        // ALTER TABLE t ADD [COLUMN] name type
        qsizetype n = 3;
        if (word(n) == QLatin1String("ADD")) {
            ++n;
            if (word(n) == QLatin1String("COLUMN"))
                ++n;
            typePositions.append(n + 1);
            hasPrimaryKey = true; // a column added later cannot be the table's key
        }
    }

    QString out = statement;
    // From the end, so that the earlier positions stay right.
    for (auto it = typePositions.crbegin(); it != typePositions.crend(); ++it) {
        const qsizetype n = *it;
        const QString type = word(n);
        if (type.isEmpty())
            continue;
        qsizetype end = tokens[n].end;
        QString replacement;
        if (isJetTextType(type)) {
            replacement = QStringLiteral("TEXT");
        } else if (isJetCounterType(type)) {
            // An integer key numbers itself; only one key fits a table. COUNTER(seed, step)
            // drops its numbers, which the engine does not take.
            replacement = hasPrimaryKey ? QStringLiteral("INTEGER") : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
            if (isChar(n + 1, '(')) {
                qsizetype close = n + 1;
                while (close < tokens.size() && !isChar(close, ')'))
                    ++close;
                if (close < tokens.size())
                    end = tokens[close].end;
            }
        } else {
            continue;
        }
        out.replace(tokens[n].start, end - tokens[n].start, replacement);
    }
    return out;
}

QString JetSql::WithRowidColumn(const QString& select)
{
    const QList<Token> tokens = tokenize(select);
    auto text = [&](const Token& token) { return select.mid(token.start, token.end - token.start); };
    if (tokens.isEmpty() || tokens.front().kind != Token::Kind::Word
        || text(tokens.front()).compare(QLatin1String("SELECT"), Qt::CaseInsensitive) != 0)
        return QString();
    static const QStringList manyToOne = {QStringLiteral("DISTINCT"), QStringLiteral("DISTINCTROW"),
                                          QStringLiteral("GROUP"),    QStringLiteral("HAVING"),
                                          QStringLiteral("UNION"),    QStringLiteral("INTERSECT"),
                                          QStringLiteral("EXCEPT"),   QStringLiteral("JOIN"),
                                          QStringLiteral("TOP")};
    for (const Token& token : tokens) {
        if (token.kind == Token::Kind::Word
            && manyToOne.contains(text(token), Qt::CaseInsensitive))
            return QString();
    }
    // Last, so that ORDER BY 1 and the like still name the same columns: before the FROM of
    // the statement itself, outside any parentheses.
    int depth = 0;
    for (const Token& token : tokens) {
        const QString piece = text(token);
        if (token.kind == Token::Kind::Other)
            depth += piece == QLatin1String("(") ? 1 : piece == QLatin1String(")") ? -1 : 0;
        if (depth == 0 && token.kind == Token::Kind::Word && piece.compare(QLatin1String("FROM"), Qt::CaseInsensitive) == 0)
            return select.left(token.start) + QStringLiteral(", rowid AS \"ormi_rowid\" ") + select.mid(token.start);
    }
    return QString();
}

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
    return TranslateColumnTypes(translateOperators(out));
}
