#pragma once

#include "db/DBRecordset.h"
#include "db/SqliteCell.h"
#include "db/SqliteColumn.h"

#include <optional>
#include <vector>

class DAODBConnection;

// A recordset of a DAODBConnection. Opening reads every row of the statement, so the
// recordset moves freely both ways and knows its record count, and statements on the same
// tables may run while it is read. A dynaset over the columns of one table, each row one row
// of it, is updatable (Edit, SetFieldString, Update): Update converts each text to its
// column's type, as Jet does, and writes the row the record was read from; a snapshot is not.
//
// Closing the connection closes the recordset: it then reads as a recordset that is not open.
//
// Engine errors, a column name no column has and a read without a current row are reported
// by the connection's error mode; the failure values are those of the typed getters.
class DAODBRecordset : public DBRecordset {
public:
    explicit DAODBRecordset(DAODBConnection& connection);
    ~DAODBRecordset() override;

    int GetFieldCount() override;
    int GetFieldType(int index) override;
    QString GetFieldName(int index) override;
    using DBRecordset::GetFieldValue;
    DBValue GetFieldValue(int index) override;
    QString GetFieldText(const QString& name) override;
    QString GetFieldText(int index) override;
    void Edit() override;
    void SetFieldString(const QString& name, const QString& text) override;
    void SetFieldString(int index, const QString& text) override;
    void Update() override;
    // Runs the statement again and stands on its first row.
    void Requery() override;
    // 0 for an empty recordset, 100 after MoveLast.
    float GetPercentPosition() override;
    int GetRecordCount() override;
    bool Open(const QString& sql, bool snapshot) override;
    void MoveNext() override;
    void MovePrev() override;
    void MoveFirst() override;
    void MoveLast() override;
    bool IsEOF() override;
    bool IsBOF() override;
    OleDateTime GetFieldDate(const QString& name) override;
    QString GetFieldString(const QString& name) override;
    qint32 GetFieldLong(const QString& name) override;
    float GetFieldFloat(const QString& name) override;
    double GetFieldDouble(const QString& name) override;
    bool GetFieldBool(const QString& name) override;
    void Close() override;

    // Opens the statement for its first row only (the connection's query shortcuts).
    bool OpenFirstRow(const QString& sql);

    static QString NoCurrentRecordText() { return QStringLiteral("No hay un registro activo."); }
    static QString ItemNotFoundText() { return QStringLiteral("Elemento no encontrado en esta colección."); }
    static QString NotUpdatableText() { return QStringLiteral("No se puede actualizar. Base de datos u objeto de sólo lectura."); }
    static QString NotEditingText() { return QStringLiteral("Update o CancelUpdate sin AddNew o Edit."); }
    static QString RecordDeletedText() { return QStringLiteral("Registro eliminado."); }
    static QString DataTypeNotAllowedText() { return QStringLiteral("Tipo de datos no permitido"); }

private:
    friend class DAODBConnection;

    bool Load(const QString& sql, bool snapshot, bool firstRowOnly);
    // An expression column whose values are all in the stored date form is a date; any other
    // takes the type of its first value.
    static void TypeExpressionColumns(std::vector<SqliteColumn>& columns, const std::vector<std::vector<SqliteCell>>& rows);
    bool HasCurrentRow() const;
    // The column of the name, compared without regard to case as the engine does.
    std::optional<int> ColumnIndex(const QString& name) const;
    // The value of a column of the current row; none with the reason in error.
    std::optional<DBValue> CurrentValue(int index, QString* error) const;
    // A typed getter: the conversion of a value that is not null, the null value, the
    // message-mode result of a failure.
    template <class T, class Convert>
    T TypedValue(const QString& name, T nullValue, T failureValue, Convert convert);
    // Reports an error of the getters by name, by index, of the statement, of the edit buffer.
    void ReportNamed(const QString& name, const QString& description);
    void ReportIndexed(int index, const QString& description);
    void ReportStatement(const QString& description);
    void ReportEdit(const QString& description);
    // Writes the edits into the row the current record was read from; false with the reason
    // (the row is gone or changed, an edit does not convert to its column's type) and the row
    // as it was.
    bool WriteCurrentRow(QString* error);
    std::optional<SqliteCell> EditValue(const QString& text, const SqliteColumn& column, QString* error);

    DAODBConnection& m_connection;
    bool m_attached = true; // false once the connection is gone
    QString m_sql;
    bool m_snapshot = false;
    bool m_firstRowOnly = false;
    std::vector<SqliteColumn> m_columns;
    std::vector<std::vector<SqliteCell>> m_rows;
    std::vector<qint64> m_rowids; // of each row, for an updatable recordset
    QString m_updateTable; // the one table of an updatable recordset
    int m_current = 0;     // -1 before the first row, the row count after the last
    int m_position = 0;
    bool m_editing = false;
    std::vector<std::optional<QString>> m_edits;
};
