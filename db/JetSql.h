#pragma once

#include <QString>

// The few pieces of Jet SQL that the program's statements use and SQLite lacks, rewritten
// before a statement reaches the engine:
// - a date literal #mm/dd/yyyy[ hh:mm[:ss]]# (or #yyyy-mm-dd ...#) becomes the quoted ISO
//   text 'yyyy-mm-dd hh:mm:ss' in which dates are stored;
// - the bare column name INDEX becomes [INDEX] (not after CREATE, UNIQUE, DROP or REINDEX,
//   where it is the keyword);
// - ISNULL(x) becomes (x IS NULL), and a '+' with a quoted text, or an IIF(...) having a quoted
//   text among its results, as an operand on either side becomes '||' (Jet's join); any other
//   '+' stays an addition;
// - in CREATE TABLE and ALTER TABLE ... ADD [COLUMN], the column types whose SQLite affinity
//   would change Jet's values: the text types MEMO, STRING, NOTE, ALPHANUMERIC and GENERAL
//   become TEXT (so '007' stays '007' and '1e3' stays '1e3'); COUNTER and AUTOINCREMENT become
//   INTEGER PRIMARY KEY AUTOINCREMENT, or INTEGER when the statement names a primary key of
//   its own (an INTEGER key numbers itself too). Types whose affinity keeps the values (TEXT(n),
//   CHAR, DATETIME, CURRENCY, YESNO, the number types) stay as written.
// Quoted texts and bracketed or quoted names are left alone; nothing else is translated.
class JetSql {
public:
    static QString ToSqlite(const QString& statement);
    // The SELECT with the rowid of its table as a last column, for a statement whose rows can
    // each be one row of a table (no DISTINCT, grouping, compound, join or TOP); an empty text
    // for any other. The engine refuses it when the rowid is not one table's.
    static QString WithRowidColumn(const QString& select);
    // The column-type part of ToSqlite alone.
    static QString TranslateColumnTypes(const QString& statement);

    // The ISO text of a Jet date literal's inside, or an empty text when it is no date.
    static QString DateLiteralToIso(const QString& inside);
};
