#include "syncrequest.h"

#include "datetimevalue.h"
#include "inirows.h"

namespace kolvservice {

namespace {
const QString doUpdateKey = QStringLiteral("PELVAR_DOUPDATE");
const QString syncModeKey = QStringLiteral("PELVAR_SYNCMODE");
const QString doUpdateTimeKey = QStringLiteral("PELVAR_DOUPDATETIME");
}  // namespace

SyncRequest readSyncRequest(Tdm &db)
{
    const QHash<QString, QString> ini = readIni(db, {doUpdateKey, syncModeKey, doUpdateTimeKey});
    SyncRequest request;
    request.pending = ini.value(doUpdateKey) == QLatin1String("1");
    bool ok = false;
    request.timed = ini.value(syncModeKey).toInt(&ok, 10) == 1 && ok;
    if (ini.contains(doUpdateTimeKey))
        request.dueAt = parseDateTimeText(ini.value(doUpdateTimeKey));
    return request;
}

std::optional<double> parseDateTimeText(const QString &text)
{
    QString normal = text.trimmed();
    if (normal.count(QLatin1Char('.')) + normal.count(QLatin1Char(',')) > 1)
        return std::nullopt;  // a thousands separator or garbage, not a value we wrote
    normal.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = normal.toDouble(&ok);
    if (!ok || !(value >= datetimevalue::minValue && value < datetimevalue::maxValue))
        return std::nullopt;
    return value;
}

bool requestDue(const SyncRequest &request, const QDateTime &now)
{
    if (!request.pending)
        return false;
    if (!request.timed || !request.dueAt)
        return true;
    return datetimevalue::fromDateTime(now) >= *request.dueAt;
}

}  // namespace kolvservice
