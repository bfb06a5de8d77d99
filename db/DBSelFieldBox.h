#pragma once

#include <QComboBox>
#include <QString>

class DBConnection;

// A combo box filled from a two-column query: the first column is the text shown, the second
// the code kept (each item's data). Codes go in and out through the window text, as with an
// edit field: SetWindowText(code) selects that code's item, GetWindowText() gives the
// selected item's code. The items load at the first window-text exchange, or by Fill.
class DBSelFieldBox : public QComboBox {
    Q_OBJECT
public:
    explicit DBSelFieldBox(QWidget* parent = nullptr);

    // Stores the query and the connection (not owned); loads nothing.
    void SetQuery(const QString& sql, DBConnection* connection);
    // Loads the items; a query that does not open leaves the combo empty.
    void Fill();
    // Selects the first item of exactly this code and gives its text; "" (selection kept)
    // for an empty code or one no item has.
    QString SelectCode(const QString& code);
    // The selected item's code; "" for an empty text or when nothing is selected.
    QString GetSelectedCode(const QString& text) const;

    // Loads first when never loaded; a code no item has clears the selection.
    void SetWindowText(const QString& code);
    // Loads first when never loaded; "" when nothing is selected.
    QString GetWindowText();

    // A sorted combo puts each item in order of its text, without regard to case.
    void SetSorted(bool sorted) { m_sorted = sorted; }
    bool IsFilled() const { return m_filled; }

private:
    int InsertPosition(const QString& text) const;
    // The first item of exactly this code; -1 for none or an empty code.
    int ItemOfCode(const QString& code) const;

    DBConnection* m_connection = nullptr;
    bool m_filled = false;
    QString m_query;
    bool m_sorted = false;
};
