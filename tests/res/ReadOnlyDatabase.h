#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

struct sqlite3;

// A catalogue database opened read-only, as the program opens it, to check what it holds.
class ReadOnlyDatabase {
public:
    struct Result {
        bool ok = false;
        QString error;
        QStringList columns;
        std::vector<std::vector<QVariant>> rows; // a null cell is an invalid QVariant
    };

    explicit ReadOnlyDatabase(const QString& path);
    ~ReadOnlyDatabase();
    ReadOnlyDatabase(const ReadOnlyDatabase&) = delete;
    ReadOnlyDatabase& operator=(const ReadOnlyDatabase&) = delete;

    bool isOpen() const { return db_ != nullptr; }
    const QString& openError() const { return openError_; }
    sqlite3* handle() const { return db_; }

    // Runs one statement to its end; integers come back as qlonglong, text as QString.
    Result query(const QString& sql) const;

private:
    sqlite3* db_ = nullptr;
    QString openError_;
};
