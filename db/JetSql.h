#pragma once

#include <QString>

// The few pieces of Jet SQL that the program's statements use and SQLite lacks, rewritten
// before a statement reaches the engine:
// - a date literal #mm/dd/yyyy[ hh:mm[:ss]]# (or #yyyy-mm-dd ...#) becomes the quoted ISO
//   text 'yyyy-mm-dd hh:mm:ss' in which dates are stored;
// - the bare column name INDEX becomes [INDEX] (not after CREATE, UNIQUE, DROP or REINDEX,
//   where it is the keyword).
// Quoted texts and bracketed or quoted names are left alone; nothing else is translated.
class JetSql {
public:
    static QString ToSqlite(const QString& statement);

    // The ISO text of a Jet date literal's inside, or an empty text when it is no date.
    static QString DateLiteralToIso(const QString& inside);
};
