#include "db/DBConnection.h"

#include "db/DBException.h"
#include "fw/Application.h"
#include "fw/MessageBoxes.h"
#include "fw/TextFormat.h"

#include <QLocale>

DBConnection::DBConnection()
    : m_clock(&fw::Clock::System())
{
}

DBConnection::~DBConnection() = default;

bool DBConnection::Rollback()
{
    m_transDepth = 0;
    return true;
}

bool DBConnection::CommitTrans(bool)
{
    if (m_transDepth > 0)
        --m_transDepth;
    return true;
}

bool DBConnection::BeginTrans()
{
    ++m_transDepth;
    return true;
}

DBConnection::ThrowModeScope::ThrowModeScope(DBConnection& connection)
    : m_connection(connection)
    , m_saved(connection.m_throwMode)
{
    m_connection.m_throwMode = true;
}

DBConnection::ThrowModeScope::~ThrowModeScope() { m_connection.m_throwMode = m_saved; }

void DBConnection::ReportError(const QString& description, const QString& query, bool databaseUnusable)
{
    m_lastErrorUnusable = databaseUnusable;
    if (m_throwMode)
        throw DBException(description, query);
    fw::MessageBoxes::box(description);
}

int DBConnection::ExecuteRetry(const QString& sql, int attempts)
{
    // Restores the caller's error mode however the loop ends.
    const ThrowModeScope guard(*this);
    const int limit = qMax(attempts, 1);
    for (int failures = 0;;) {
        try {
            return Execute(sql, 0);
        } catch (const DBException& e) {
            ++failures;
            WriteSqlLog(fw::TextFormat::format(QStringLiteral("Excepcion al ejecutar query (%d reintentos): %s"),
                                               {failures, e.GetErrorMessage()}));
            if (failures >= limit) {
                if (guard.SavedThrowMode())
                    throw;
                fw::MessageBoxes::box(e.GetErrorMessage());
                return -1;
            }
        }
        m_clock->Sleep(RetryWaitMs(failures));
    }
}

int DBConnection::RetryWaitMs(int failures)
{
    int wait = int(m_clock->TickCount() % 10 + 1) * 200;
    if (failures > 5)
        wait *= 2;
    if (failures > 7)
        wait *= 5;
    return qMin(wait, 10000);
}

void DBConnection::WriteSqlLog(const QString& text)
{
    if (m_sqlLogName.isEmpty())
        return;
    const QDateTime now = m_clock->CurrentDateTime();
    const QDate today = now.date();
    if (m_sqlLog.isOpen()
        && (m_logStamp.date().year() != today.year() || m_logStamp.date().month() != today.month()))
        m_sqlLog.close();
    if (!m_sqlLog.isOpen()) {
        m_logStamp = now;
        const QString name = QString::asprintf("_%02d%02d.sql", today.year(), today.month());
        const QString folder = fw::Application::get().profile().GetString(QStringLiteral("Configuracion"),
                                                                           QStringLiteral("TempDir"));
        m_sqlLog.setFileName(folder + m_sqlLogName + name);
        if (!m_sqlLog.open(QIODevice::Append | QIODevice::Text))
            return; // no line this time; the next call tries again
    }
    const QString entry = QLocale().toString(now, QLocale::ShortFormat) + QLatin1Char(' ') + text + QStringLiteral("\n\n");
    m_sqlLog.write(entry.toUtf8());
    m_sqlLog.flush();
}
