#include "tests/db/DatabaseTest.h"

#include <QFile>

QString DatabaseTest::MakeDatabase(const QString& name, const QStringList& statements)
{
    const QString path = Path(name);
    DAODBConnection connection;
    EXPECT_TRUE(connection.CreateDatabase(path));
    EXPECT_TRUE(connection.Open(path, false, false));
    for (const QString& statement : statements)
        EXPECT_GE(connection.Execute(statement), 0) << statement.toStdString();
    EXPECT_EQ(Boxes(), QStringList());
    return path;
}

std::unique_ptr<DAODBConnection> DatabaseTest::OpenDatabase(const QString& path, bool exclusive, bool readOnly)
{
    auto connection = std::make_unique<DAODBConnection>();
    connection->SetClock(clock);
    if (!connection->Open(path, exclusive, readOnly)) {
        ADD_FAILURE() << "cannot open " << path.toStdString();
        return nullptr;
    }
    return connection;
}

QString DatabaseTest::FileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
