#include "db/OrderByClause.h"

#include "db/ParseSQL.h"

#include <QStringList>

void OrderByClause::Click(const QString& expression)
{
    for (Key& key : m_keys) {
        if (key.expression == expression) {
            key.descending = !key.descending;
            return;
        }
    }
    m_keys.prepend({expression, false});
}

QString OrderByClause::Text() const
{
    QStringList parts;
    for (const Key& key : m_keys)
        parts += key.descending ? key.expression + QLatin1String(" DESC") : key.expression;
    return parts.join(QLatin1Char(','));
}

OrderByClause::Rewrite OrderByClause::BuildOrderedSql(const QString& sql, const SortSequence& sequence)
{
    if (sequence.IsEmpty())
        return {sql, QString()};

    ParseSQL split;
    split.SplitSelect(sql);
    OrderByClause clause;
    for (int slot = 0; slot < SortSequence::Slots && sequence.At(slot) != -1; ++slot) {
        const int column = sequence.At(slot);
        QString expression = split.FieldExpression(column);
        if (expression == QLatin1String("*"))
            continue;
        // An aggregate is sorted by its alias, which the engine knows in ORDER BY.
        const QString alias = split.Alias(column);
        const bool aggregate = expression.contains(QLatin1String("MAX")) ||
                               expression.contains(QLatin1String("MIN")) ||
                               expression.contains(QLatin1String("AVG"));
        if (aggregate && !alias.isEmpty())
            expression = alias;
        if (expression.isEmpty())
            continue;
        clause.Click(expression);
    }

    QString rest = sql;
    QString pivotTail;
    const qsizetype pivot = rest.indexOf(QLatin1String("PIVOT"));
    if (pivot >= 0) {
        pivotTail = QLatin1Char(' ') + rest.mid(pivot);
        rest.truncate(pivot);
    }
    const qsizetype orderBy = rest.indexOf(QLatin1String("ORDER BY "));
    if (orderBy >= 0)
        rest.truncate(orderBy);
    const QString text = clause.Text();
    if (!text.isEmpty())
        rest += QLatin1String(" ORDER BY ") + text;
    return {rest + pivotTail, text};
}
