#include "db/DBSelFieldBox.h"

#include "db/DBConnection.h"

DBSelFieldBox::DBSelFieldBox(QWidget* parent)
    : QComboBox(parent)
{
}

void DBSelFieldBox::SetQuery(const QString& sql, DBConnection* connection)
{
    m_query = sql;
    m_connection = connection;
}

void DBSelFieldBox::Fill()
{
    m_filled = true;
    clear();
    if (!m_connection)
        return;
    const std::unique_ptr<DBRecordset> recordset = m_connection->CreateRecordset();
    if (!recordset->Open(m_query, false))
        return;
    for (; !recordset->IsEOF(); recordset->MoveNext()) {
        const QString text = recordset->GetFieldText(0);
        insertItem(InsertPosition(text), text, recordset->GetFieldText(1));
    }
    // Loading selects nothing (Qt would select the first item).
    setCurrentIndex(-1);
}

int DBSelFieldBox::InsertPosition(const QString& text) const
{
    if (!m_sorted)
        return count();
    int position = count();
    while (position > 0 && itemText(position - 1).compare(text, Qt::CaseInsensitive) > 0)
        --position;
    return position;
}

QString DBSelFieldBox::SelectCode(const QString& code)
{
    const int item = ItemOfCode(code);
    if (item < 0)
        return QString();
    setCurrentIndex(item);
    return itemText(item);
}

QString DBSelFieldBox::GetSelectedCode(const QString& text) const
{
    if (text.isEmpty() || currentIndex() < 0)
        return QString();
    return itemData(currentIndex()).toString();
}

void DBSelFieldBox::SetWindowText(const QString& code)
{
    if (!m_filled)
        Fill();
    // The item of that code, never another item of the same text.
    setCurrentIndex(ItemOfCode(code));
}

int DBSelFieldBox::ItemOfCode(const QString& code) const
{
    if (code.isEmpty())
        return -1;
    return findData(code, Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

QString DBSelFieldBox::GetWindowText()
{
    if (!m_filled)
        Fill();
    return GetSelectedCode(currentText());
}
