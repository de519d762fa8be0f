#include "inirows.h"

#include "tdm.h"

#include <QSqlQuery>
#include <QVariant>

namespace kolvservice {

QHash<QString, QString> readIni(Tdm &db, const QStringList &keys)
{
    QHash<QString, QString> values;
    if (keys.isEmpty())
        return values;
    QStringList marks;
    QVariantList bound;
    for (const QString &key : keys) {
        marks << QStringLiteral("?");
        bound << key;
    }
    db.forEachRow(QStringLiteral("select schluessel, wert from ini where schluessel in (%1)").arg(marks.join(',')),
                  bound, [&](const QSqlQuery &q) { values.insert(q.value(0).toString(), q.value(1).toString()); });
    return values;
}

void writeIni(Tdm &db, const QString &key, const QString &value)
{
    // Update first: the unique index on schluessel would refuse a second row.
    if (db.execute(QStringLiteral("update ini set wert=? where schluessel=?"), {value, key}) > 0)
        return;
    db.execute(QStringLiteral("insert into ini (schluessel,wert) values(?,?)"), {key, value});
}

}  // namespace kolvservice
