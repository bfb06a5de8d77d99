#pragma once

#include <QString>

#include <array>

// Splits a SELECT statement (or a crosstab TRANSFORM ... SELECT ... PIVOT) into its select-list
// entries, each a field expression and its alias, so that a grid column number names the
// expression to sort by. A plain left-to-right scanner: TRANSFORM, SELECT, TOP, DISTINCT, AS and
// FROM are known only in upper case, AS and FROM only with one blank on each side. Parentheses
// and quoted texts protect the commas inside them.
class ParseSQL {
public:
    static constexpr int MaxEntries = 100;

    // Splits the statement; a ParseSQL serves one split. An unexpected shape only clears the
    // complete flag and keeps the entries found before it (none for a statement that does
    // not start as expected). A list longer than the tables ends the split, incomplete.
    void SplitSelect(const QString& sql);

    // Empty beyond the entries of the statement and outside 0..99.
    QString FieldExpression(int index) const;
    QString Alias(int index) const;
    const QString& Head() const { return m_head; }
    const QString& Tail() const { return m_tail; }
    bool IsComplete() const { return m_complete; }

private:
    std::array<QString, MaxEntries> m_fieldExpressions;
    std::array<QString, MaxEntries> m_aliases;
    QString m_head;
    QString m_tail;
    bool m_complete = false;
};
