#include "datetimevalue.h"

#include <QTimeZone>
#include <cmath>

namespace datetimevalue {

namespace {
const QDate epoch(1899, 12, 30);
constexpr double msPerDay = 86400000.0;
}  // namespace

double fromDateTime(const QDateTime &local)
{
    const double days = double(epoch.daysTo(local.date()));
    const double fraction = local.time().msecsSinceStartOfDay() / msPerDay;
    // Before the epoch the whole days count down while the time of day still counts up.
    return days >= 0 ? days + fraction : days - fraction;
}

double timeOfDay(double value)
{
    return std::fabs(value - std::trunc(value));
}

namespace {

// The value's date and time of day, carried in UTC, which has no gaps.
QDateTime plainDateTime(double value)
{
    const double whole = std::trunc(value);
    qint64 ms = qint64(std::llround(timeOfDay(value) * msPerDay));
    QDate date = epoch.addDays(qint64(whole));
    if (ms >= qint64(msPerDay)) {  // rounding up to the next midnight
        ms = 0;
        date = date.addDays(value >= 0 ? 1 : -1);
    }
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms)), Qt::UTC);
}

}  // namespace

QDateTime toDateTime(double value)
{
    const QDateTime plain = plainDateTime(value);
    return QDateTime(plain.date(), plain.time());
}

namespace {

QDateTime wallClock(const QDate &date, const QTime &time, const QDateTime &zoneOf)
{
    switch (zoneOf.timeSpec()) {
    case Qt::TimeZone:
        return QDateTime(date, time, zoneOf.timeZone());
    case Qt::UTC:
        return QDateTime(date, time, Qt::UTC);
    case Qt::OffsetFromUTC:
        return QDateTime(date, time, Qt::OffsetFromUTC, zoneOf.offsetFromUtc());
    case Qt::LocalTime:
        break;
    }
    return QDateTime(date, time);
}

}  // namespace

QDateTime toDateTimeIn(double value, const QDateTime &zoneOf)
{
    if (!(value >= minValue && value < maxValue))
        return {};
    const QDateTime utc = plainDateTime(value);
    QDateTime result = wallClock(utc.date(), utc.time(), zoneOf);
    if (result.isValid())
        return result;
    // In a gap: from the next whole minute on, until the zone has the time again.
    QDateTime next = utc.addSecs(60 - utc.time().second());
    next.setTime(QTime(next.time().hour(), next.time().minute()));
    for (int minute = 0; minute < 24 * 60 && !result.isValid(); ++minute, next = next.addSecs(60))
        result = wallClock(next.date(), next.time(), zoneOf);
    return result;
}

QString timeSeparator(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    const int h = format.indexOf(QLatin1Char('h'), 0, Qt::CaseInsensitive);
    if (h >= 0) {
        int i = h;
        while (i < format.size() && format[i].toLower() == QLatin1Char('h'))
            ++i;
        int j = i;
        while (j < format.size() && format[j] != QLatin1Char('m'))
            ++j;
        if (j > i && j < format.size())
            return format.mid(i, j - i).remove(QLatin1Char('\''));
    }
    return QStringLiteral(":");
}

QString formatDayMinute(const QDateTime &t, const QString &timeSep)
{
    return t.toString(QStringLiteral("dd.MM.yyyy hh")) + timeSep + t.toString(QStringLiteral("mm"));
}

QString formatTimestamp(const QDateTime &t, const QString &timeSep)
{
    return t.toString(QStringLiteral("yyyy-MM-dd hh")) + timeSep + t.toString(QStringLiteral("mm")) + timeSep +
           t.toString(QStringLiteral("ss"));
}

}  // namespace datetimevalue
