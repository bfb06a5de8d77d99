#pragma once

#include "db/SortSequence.h"

#include <QList>
#include <QString>

// The ORDER BY list the grid builds from its sort sequence, kept as (expression, descending)
// keys so that one expression that contains another cannot be mistaken for it.
class OrderByClause {
public:
    // The query rewritten from the sort sequence, with the clause it used.
    struct Rewrite {
        QString sql;
        QString clause;
    };

    // An expression not yet in the clause becomes the first key, ascending; one already in it
    // turns between ascending and descending in its place.
    void Click(const QString& expression);
    bool IsEmpty() const { return m_keys.isEmpty(); }
    // "expr[ DESC]" joined by ",".
    QString Text() const;

    // Column n of the grid stands for the n-th select-list entry of the query. An empty
    // sequence leaves the query as it is, its own ORDER BY included. Otherwise the query's
    // ORDER BY is replaced by the clause (none when no clicked column names an expression),
    // which goes before a crosstab's PIVOT part.
    static Rewrite BuildOrderedSql(const QString& sql, const SortSequence& sequence);

private:
    struct Key {
        QString expression;
        bool descending;
    };
    QList<Key> m_keys;
};
