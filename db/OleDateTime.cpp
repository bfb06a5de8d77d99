#include "db/OleDateTime.h"

#include <QRegularExpression>

#include <cmath>

namespace {

constexpr double MinDays = -657434.0;          // 1 January 100
constexpr double MaxDays = 2958465.99999999;   // 31 December 9999, 23:59:59
constexpr qint64 SecondsPerDay = 86400;

QDate epoch() { return QDate(1899, 12, 30); }
QDate lastDay() { return QDate(9999, 12, 31); }

} // namespace

OleDateTime::OleDateTime(double days, Status status)
    : m_days(days)
    , m_status(status)
{
}

OleDateTime::OleDateTime(int year, int month, int day, int hour, int minute, int second)
    : m_status(Status::Invalid)
{
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (year < 100 || year > 9999 || !date.isValid() || !time.isValid())
        return;
    const double whole = double(epoch().daysTo(date));
    const double fraction = double(time.msecsSinceStartOfDay() / 1000) / double(SecondsPerDay);
    m_days = whole >= 0 ? whole + fraction : whole - fraction;
    m_status = Status::Valid;
}

OleDateTime OleDateTime::FromDateTime(const QDateTime& dateTime)
{
    if (!dateTime.isValid())
        return OleDateTime(0.0, Status::Invalid);
    const QDate d = dateTime.date();
    const QTime t = dateTime.time();
    return OleDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
}

OleDateTime OleDateTime::FromText(const QString& text)
{
    static const QRegularExpression iso(QStringLiteral(
        R"(^\s*(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T](\d{1,2}):(\d{2})(?::(\d{2})(?:\.\d+)?)?)?\s*$)"));
    static const QRegularExpression display(QStringLiteral(
        R"(^\s*(\d{1,2})/(\d{1,2})/(\d{4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    int year = 0;
    int month = 0;
    int day = 0;
    QRegularExpressionMatch match = iso.match(text);
    if (match.hasMatch()) {
        year = match.captured(1).toInt();
        month = match.captured(2).toInt();
        day = match.captured(3).toInt();
    } else {
        match = display.match(text);
        if (!match.hasMatch())
            return OleDateTime(0.0, Status::Invalid);
        day = match.captured(1).toInt();
        month = match.captured(2).toInt();
        year = match.captured(3).toInt();
    }
    // A missing time part captures nothing and reads as 0.
    return OleDateTime(year, month, day, match.captured(4).toInt(), match.captured(5).toInt(),
                       match.captured(6).toInt());
}

std::optional<OleDateTime::Parts> OleDateTime::Split() const
{
    if (m_status != Status::Valid || !std::isfinite(m_days) || m_days < MinDays || m_days > MaxDays)
        return std::nullopt;
    const double whole = std::trunc(m_days);
    qint64 seconds = std::llround(std::fabs(m_days - whole) * double(SecondsPerDay));
    QDate date = epoch().addDays(qint64(whole));
    if (seconds >= SecondsPerDay && date == lastDay()) {
        // The last half-second of the range stays in it rather than rounding into year 10000.
        seconds = SecondsPerDay - 1;
    } else if (seconds >= SecondsPerDay) {
        // Rounded up to the next midnight: the time of day always runs forward.
        seconds -= SecondsPerDay;
        date = date.addDays(1);
    }
    return Parts{date, QTime::fromMSecsSinceStartOfDay(int(seconds * 1000))};
}

std::optional<QDateTime> OleDateTime::ToDateTime() const
{
    const std::optional<Parts> parts = Split();
    if (!parts)
        return std::nullopt;
    return QDateTime(parts->date, parts->time);
}

int OleDateTime::GetYear() const { const auto p = Split(); return p ? p->date.year() : -1; }
int OleDateTime::GetMonth() const { const auto p = Split(); return p ? p->date.month() : -1; }
int OleDateTime::GetDay() const { const auto p = Split(); return p ? p->date.day() : -1; }
int OleDateTime::GetHour() const { const auto p = Split(); return p ? p->time.hour() : -1; }
int OleDateTime::GetMinute() const { const auto p = Split(); return p ? p->time.minute() : -1; }
int OleDateTime::GetSecond() const { const auto p = Split(); return p ? p->time.second() : -1; }
