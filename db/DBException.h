#pragma once

#include <QString>

// The database layer's error: the engine's description (or the layer's own text) and the
// statement or column name that failed. Thrown and caught by value.
class DBException {
public:
    explicit DBException(const QString& message, const QString& query = QString());

    QString GetErrorMessage() const { return m_message; }
    QString GetQuery() const { return m_query; }
    int GetCode() const { return m_code; }

private:
    QString m_message;
    QString m_query;
    int m_code = 0;
};
