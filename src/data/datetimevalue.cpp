#include "datetimevalue.h"

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

QDateTime toDateTime(double value)
{
    const double whole = std::trunc(value);
    qint64 ms = qint64(std::llround(timeOfDay(value) * msPerDay));
    QDate date = epoch.addDays(qint64(whole));
    if (ms >= qint64(msPerDay)) {  // rounding up to the next midnight
        ms = 0;
        date = date.addDays(value >= 0 ? 1 : -1);
    }
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms)));
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
