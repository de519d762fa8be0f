#include "datetimevalue.h"
#include "kolvfixture.h"
#include "tdbini.h"

#include <QtTest>

class SettingsStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void keysAreUpperCasedInAsciiOnly();
    void readsFallBackOrConvert_data();
    void readsFallBackOrConvert();
    void lowerCaseNamesFindTheSameRow();
    void rewriteChangesTheRowInPlace();
    void readCreatesNoRow();
    void dateTimeUsesTheOperatorsSeparator();
    void dateTimeOutsideTheRangeGivesTheDefault();
};

void SettingsStoreTest::keysAreUpperCasedInAsciiOnly()
{
    QCOMPARE(Tdbini::settingsKey("PELVAR", "COMPORT"), QString("PELVAR_COMPORT"));
    QCOMPARE(Tdbini::settingsKey("DOCKPORT12", "fingertype"), QString("DOCKPORT12_FINGERTYPE"));
    QCOMPARE(Tdbini::settingsKey("dockport", "grüße"), QString("DOCKPORT_GRüßE"));
}

// kind, stored text (null = no row), expected value as text
void SettingsStoreTest::readsFallBackOrConvert_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected");
    QTest::newRow("int missing") << "int" << QString() << "42";
    QTest::newRow("int plain") << "int" << "7" << "7";
    QTest::newRow("int negative") << "int" << "-12" << "-12";
    QTest::newRow("int not a number") << "int" << "abc" << "42";
    QTest::newRow("int empty") << "int" << "" << "42";
    QTest::newRow("int beyond 32 bits") << "int" << "4294967296" << "42";
    QTest::newRow("string missing") << "string" << QString() << "unbekannt";
    QTest::newRow("string empty is not the default") << "string" << "" << "";
    QTest::newRow("string kept as is") << "string" << "10.12.2026 09:00:01" << "10.12.2026 09:00:01";
    QTest::newRow("bool missing") << "bool" << QString() << "false";
    QTest::newRow("bool 1") << "bool" << "1" << "true";
    QTest::newRow("bool 0") << "bool" << "0" << "false";
    QTest::newRow("bool word true") << "bool" << "true" << "false";
    QTest::newRow("bool blank before 1") << "bool" << " 1" << "false";
}

void SettingsStoreTest::readsFallBackOrConvert()
{
    QFETCH(QString, kind);
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    KolvFixture kolv(false);
    QVERIFY2(kolv.ok(), qPrintable(kolv.error()));
    if (!stored.isNull())
        kolv.sql("insert into ini (schluessel,wert) values(?,?)", {"PELVAR_X", stored});
    Tdbini settings(kolv.dm());
    QString actual;
    if (kind == "int")
        actual = QString::number(settings.ReadInteger("PELVAR", "X", 42));
    else if (kind == "string")
        actual = settings.ReadString("PELVAR", "X", "unbekannt");
    else
        actual = settings.ReadBool("PELVAR", "X", false) ? "true" : "false";
    QCOMPARE(actual, expected);
}

void SettingsStoreTest::lowerCaseNamesFindTheSameRow()
{
    KolvFixture kolv(false);
    kolv.sql("insert into ini (schluessel,wert) values('PELVAR_SECURITY','80')");
    Tdbini settings(kolv.dm());
    QCOMPARE(settings.ReadInteger("pelvar", "security", 60), 80);
    settings.WriteInteger("Pelvar", "Security", 90);
    QCOMPARE(kolv.rows("select schluessel, wert from ini"), QStringList{"PELVAR_SECURITY|90"});
}

void SettingsStoreTest::rewriteChangesTheRowInPlace()
{
    KolvFixture kolv(false);
    kolv.sql("insert into ini (schluessel,wert) values('OTHER_KEY','x')");
    Tdbini settings(kolv.dm());
    settings.WriteString("PELVAR", "COMPORT", "COM3");
    settings.WriteString("PELVAR", "COMPORT", "COM4");
    settings.WriteBool("PELVAR", "DOUPDATE", true);
    QCOMPARE(kolv.rows("select schluessel, wert from ini order by schluessel"),
             (QStringList{"OTHER_KEY|x", "PELVAR_COMPORT|COM4", "PELVAR_DOUPDATE|1"}));
}

void SettingsStoreTest::readCreatesNoRow()
{
    KolvFixture kolv(false);
    Tdbini settings(kolv.dm());
    QCOMPARE(settings.ReadInteger("PELVAR", "SECURITY", 60), 60);
    QCOMPARE(kolv.value("select count(*) from ini").toInt(), 0);
}

void SettingsStoreTest::dateTimeUsesTheOperatorsSeparator()
{
    KolvFixture kolv(false);
    Tdbini comma(kolv.dm());
    comma.setDecimalSeparator(",");
    const double evening = datetimevalue::fromDateTime(QDateTime(QDate(2024, 12, 6), QTime(18, 0)));
    comma.WriteFloat("PELVAR", "SYNCTIME", evening);
    QVERIFY(kolv.value("select wert from ini").toString().endsWith(",75"));
    QCOMPARE(comma.ReadFloat("PELVAR", "SYNCTIME", 1.0), evening);

    // Read where the separator is a point, the text does not parse: 0.0, midnight, not the default.
    Tdbini point(kolv.dm());
    point.setDecimalSeparator(".");
    QCOMPARE(point.ReadFloat("PELVAR", "SYNCTIME", 1234.5), 0.0);
}

void SettingsStoreTest::dateTimeOutsideTheRangeGivesTheDefault()
{
    KolvFixture kolv(false);
    kolv.sql("insert into ini (schluessel,wert) values('PELVAR_A','2958466'),('PELVAR_B','-657434'),"
             "('PELVAR_C','-657435')");
    Tdbini settings(kolv.dm());
    settings.setDecimalSeparator(".");
    QCOMPARE(settings.ReadFloat("PELVAR", "A", 5.0), 5.0);
    QCOMPARE(settings.ReadFloat("PELVAR", "B", 5.0), -657434.0);
    QCOMPARE(settings.ReadFloat("PELVAR", "C", 5.0), 5.0);
}

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "tst_settingsstore.moc"
