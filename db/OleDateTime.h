#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// A date and time as the database layer exchanges it: a day count from 30 December 1899
// (the fraction is the time of day, counted forward even for negative days) with a status.
class OleDateTime {
public:
    enum class Status { Valid, Invalid, Null };

    OleDateTime() = default;
    explicit OleDateTime(double days, Status status = Status::Valid);
    // Invalid when a part is out of its range or the date is outside the years 100..9999.
    OleDateTime(int year, int month, int day, int hour, int minute, int second);

    static OleDateTime FromDateTime(const QDateTime& dateTime);
    static OleDateTime Null() { return OleDateTime(0.0, Status::Null); }
    // "yyyy-mm-dd[ hh:mm[:ss]]" (also with a 'T') or "dd/mm/yyyy[ hh:mm[:ss]]"; invalid otherwise.
    static OleDateTime FromText(const QString& text);

    double Days() const { return m_days; }
    Status GetStatus() const { return m_status; }
    bool IsValid() const { return m_status == Status::Valid; }

    // The date and time to the second; none when the value is not valid or cannot be split.
    std::optional<QDateTime> ToDateTime() const;
    // Each part, or -1 when the value cannot be split.
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;

    bool operator==(const OleDateTime& other) const = default;

private:
    struct Parts {
        QDate date;
        QTime time;
    };
    // The calendar date and the time to the second, without any time-zone adjustment.
    std::optional<Parts> Split() const;

    double m_days = 0.0;
    Status m_status = Status::Valid;
};
