// Date-time values as the Kolv software keeps them: a double counting days
// since 30 December 1899 00:00, the fraction being the time of day.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace datetimevalue {

// 1 January 100 and 1 January 10000: values outside [min, max) are no date-time.
constexpr double minValue = -657434.0;
constexpr double maxValue = 2958466.0;

double fromDateTime(const QDateTime &local);
QDateTime toDateTime(double value);
// The value as a wall-clock time in the time zone of zoneOf (local time, a
// zone, UTC or an offset). A time that the zone skips on that day (the hour
// lost in spring) becomes the first minute after it that exists; of a time
// that occurs twice (autumn) the zone's choice is kept. Invalid only for a
// value that is no date-time.
QDateTime toDateTimeIn(double value, const QDateTime &zoneOf);
// The time of day of a value, as a fraction of a day in [0, 1).
double timeOfDay(double value);

// The separator the operator's regional settings put between hours and minutes.
QString timeSeparator(const QLocale &locale = QLocale::system());

// "dd.mm.yyyy hh:nn" and "yyyy-mm-dd hh:nn:ss", the colons being the time separator.
QString formatDayMinute(const QDateTime &t, const QString &timeSep);
QString formatTimestamp(const QDateTime &t, const QString &timeSep);

}  // namespace datetimevalue
