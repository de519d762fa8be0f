// Rows of the Kolv settings table ini as the service reads and writes them.
// Unlike the station's settings store, a failed write is not silent here: the
// service must not report a synchronisation it could not record.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class Tdm;

namespace kolvservice {

// The values of the given settings keys that have a row, in one select. Throws DbError.
QHash<QString, QString> readIni(Tdm &db, const QStringList &keys);

// Updates the row of the key, or inserts it when there is none. Throws DbError.
void writeIni(Tdm &db, const QString &key, const QString &value);

}  // namespace kolvservice
