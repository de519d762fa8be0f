#include "personnelnumber.h"

bool isPersonnelNumber(const QString &text)
{
    bool ok = false;
    text.trimmed().toInt(&ok, 10);
    return ok;
}

int32_t personnelNumber(const QString &text, const QString &field)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw InputError(QStringLiteral("'%1' ist kein gültiger Integerwert für Feld '%2'").arg(text, field));
    return value;
}
