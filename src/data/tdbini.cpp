#include "tdbini.h"

#include "datetimevalue.h"
#include "tdm.h"

#include <QLocale>
#include <QVariant>

Tdbini::Tdbini(Tdm &table) : Table(table), m_decimal(QLocale::system().decimalPoint()) {}

QString Tdbini::settingsKey(const QString &section, const QString &key)
{
    QString result = section + QLatin1Char('_') + key;
    for (QChar &c : result) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return result;
}

bool Tdbini::read(const QString &key, QString *value)
{
    QSqlQuery &q = Table.run(QStringLiteral("select wert from ini where schluessel=?"), {key});
    const bool found = q.next();
    if (found)
        *value = q.value(0).toString();
    q.finish();
    return found;
}

QString Tdbini::ReadString(const QString &section, const QString &key, const QString &defaultValue)
{
    QString value;
    return read(settingsKey(section, key), &value) ? value : defaultValue;
}

void Tdbini::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString k = settingsKey(section, key);
    // Both statements in one transaction (or the caller's), so that two
    // writers of a new key cannot both insert it.
    Table.transaction([&] {
        if (Table.execute(QStringLiteral("update ini set wert=? where schluessel=?"), {value, k}) == 0)
            Table.execute(QStringLiteral("insert into ini (schluessel,wert) values(?,?)"), {k, value});
    });
}

void Tdbini::transaction(const std::function<void()> &work)
{
    Table.transaction(work);
}

int Tdbini::ReadInteger(const QString &section, const QString &key, int defaultValue)
{
    QString text;
    if (!read(settingsKey(section, key), &text))
        return defaultValue;
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

void Tdbini::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

bool Tdbini::ReadBool(const QString &section, const QString &key, bool defaultValue)
{
    QString text;
    if (!read(settingsKey(section, key), &text))
        return defaultValue;
    return text == QLatin1String("1");
}

void Tdbini::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString Tdbini::floatText(double value, const QString &decimalSeparator)
{
    QString text = QString::number(value, 'g', 15);
    text.replace(QLatin1Char('.'), decimalSeparator);
    return text;
}

bool Tdbini::parseFloat(const QString &text, const QString &decimalSeparator, double *value)
{
    // Only the operator's separator counts: "0.75" does not parse where it is a comma.
    QString normal = text.trimmed();
    if (decimalSeparator != QLatin1String(".")) {
        if (normal.contains(QLatin1Char('.')))
            return false;
        normal.replace(decimalSeparator, QLatin1String("."));
    }
    bool ok = false;
    *value = normal.toDouble(&ok);
    return ok;
}

double Tdbini::ReadFloat(const QString &section, const QString &key, double defaultValue)
{
    QString text;
    if (!read(settingsKey(section, key), &text))
        return defaultValue;
    double value = 0.0;
    if (!parseFloat(text, m_decimal, &value))
        value = 0.0;
    if (!(value >= datetimevalue::minValue && value < datetimevalue::maxValue))
        return defaultValue;
    return value;
}

void Tdbini::WriteFloat(const QString &section, const QString &key, double value)
{
    WriteString(section, key, floatText(value, m_decimal));
}
