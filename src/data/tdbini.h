// The settings store on the Kolv table ini, addressed like an initialisation
// file by section and key. It keeps no cache: every read sees what the Kolv
// software and its service wrote last.
//
// Reads never fail for a missing row or a bad value (they give the default);
// a database error, while reading or writing, is thrown as DbError, so that
// no caller can take a failed write for a stored value.
#pragma once

#include <QString>
#include <functional>

class Tdm;

class Tdbini
{
public:
    explicit Tdbini(Tdm &table);

    // Section + "_" + key, upper-cased in the ASCII letters only.
    static QString settingsKey(const QString &section, const QString &key);

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue);
    void WriteString(const QString &section, const QString &key, const QString &value);
    int ReadInteger(const QString &section, const QString &key, int defaultValue);
    void WriteInteger(const QString &section, const QString &key, int value);
    bool ReadBool(const QString &section, const QString &key, bool defaultValue);
    void WriteBool(const QString &section, const QString &key, bool value);
    double ReadFloat(const QString &section, const QString &key, double defaultValue);
    void WriteFloat(const QString &section, const QString &key, double value);

    // Several writes as one: all stored or, on a DbError, none.
    void transaction(const std::function<void()> &work);

    // The operator's decimal separator for date-time values; the system's by default.
    void setDecimalSeparator(const QString &separator) { m_decimal = separator; }

    // Value texts, shared with whoever writes the same table.
    static QString floatText(double value, const QString &decimalSeparator);
    static bool parseFloat(const QString &text, const QString &decimalSeparator, double *value);

private:
    // The row's value, or false when there is no row. Throws DbError.
    bool read(const QString &settingsKey, QString *value);

    Tdm &Table;
    QString m_decimal;
};
