#pragma once

#include "db/DBValue.h"
#include "db/OleDateTime.h"

#include <QString>

#include <optional>

class DBConnection;

// A cursor over the rows of one SELECT of a connection. Error mode, SQL log and value
// formatting are those of the connection. A recordset that did not open is at its end.
//
// The protocol of every caller: DBConnection::CreateRecordset, Open (the statement, snapshot
// false), while !IsEOF() read fields and MoveNext, then destroy it (which closes it).
class DBRecordset {
public:
    // Field type codes of GetFieldType.
    enum FieldType {
        Boolean = 0,
        Integer16 = 1,
        Byte = 2,
        Long = 3,
        Single = 4,
        Double = 5,
        Text = 6, // also memo, and any type the layer does not support
        Date = 7,
        Currency = 8,
    };

    explicit DBRecordset(DBConnection& connection);
    virtual ~DBRecordset() = default;
    DBRecordset(const DBRecordset&) = delete;
    DBRecordset& operator=(const DBRecordset&) = delete;

    virtual int GetFieldCount() = 0;
    virtual int GetFieldType(int index) = 0;
    virtual QString GetFieldName(int index) = 0;
    // By exact, case-sensitive column name. A name no column has: "Campo no encontrado",
    // shown in message mode (the value is then null) or thrown in throw mode.
    DBValue GetFieldValue(const QString& name);
    virtual DBValue GetFieldValue(int index) = 0;
    virtual QString GetFieldText(const QString& name) = 0;
    virtual QString GetFieldText(int index) = 0;
    virtual void Edit() = 0;
    virtual void SetFieldString(const QString& name, const QString& text) = 0;
    virtual void SetFieldString(int index, const QString& text) = 0;
    virtual void Update() = 0;
    virtual void Requery() = 0;
    virtual float GetPercentPosition() = 0;
    virtual int GetRecordCount() = 0;
    virtual bool Open(const QString& sql, bool snapshot) = 0;
    virtual void MoveNext() = 0;
    virtual void MovePrev() = 0;
    virtual void MoveFirst() = 0;
    virtual void MoveLast() = 0;
    virtual bool IsEOF() = 0;
    virtual bool IsBOF() = 0;
    bool IsFieldNull(int index);
    bool IsFieldNull(const QString& name);
    virtual OleDateTime GetFieldDate(const QString& name) = 0;
    virtual QString GetFieldString(const QString& name) = 0;
    virtual qint32 GetFieldLong(const QString& name) = 0;
    int GetFieldInt(const QString& name) { return GetFieldLong(name); }
    virtual float GetFieldFloat(const QString& name) = 0;
    virtual double GetFieldDouble(const QString& name) = 0;
    virtual bool GetFieldBool(const QString& name) = 0;
    virtual void Close() = 0;

    bool IsOpen() const { return m_open; }

    static QString FieldNotFoundText() { return QStringLiteral("Campo no encontrado"); }

protected:
    void SetOpen(bool open) { m_open = open; }

private:
    // The index of the column with exactly this name; reports the name when none has it.
    std::optional<int> LookUpField(const QString& name);

    bool m_open = false;
    DBConnection* m_connection;
};
