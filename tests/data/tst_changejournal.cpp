#include "changejournal.h"
#include "clock.h"
#include "kolvfixture.h"
#include "personnelnumber.h"

#include <QtTest>

class ChangeJournalTest : public QObject
{
    Q_OBJECT

private slots:
    void rowsCarryTheClocksTime();
    void deleteRemovesOnlyThePersonsRows();
    void personnelNumbers_data();
    void personnelNumbers();
};

void ChangeJournalTest::rowsCarryTheClocksTime()
{
    KolvFixture kolv;
    Clock clock;
    clock.set(QDateTime(QDate(2011, 1, 31), QTime(8, 5, 9)));
    AppendJournalRow(kolv.dm(), clock, 17, "3", journal::put);
    AppendJournalRow(kolv.dm(), clock, 17, "Tor 'Süd'", journal::remove);
    QCOMPARE(kolv.rows("select pid, geraet, action, postet from fingerstatus order by id"),
             (QStringList{"17|3|+|2011-01-31 08:05:09", "17|Tor 'Süd'|-|2011-01-31 08:05:09"}));
}

void ChangeJournalTest::deleteRemovesOnlyThePersonsRows()
{
    KolvFixture kolv;
    Clock clock;
    for (int pid : {1, 2, 1})
        AppendJournalRow(kolv.dm(), clock, pid, "1", journal::put);
    DeleteJournalRows(kolv.dm(), 1);
    QCOMPARE(kolv.rows("select pid from fingerstatus"), QStringList{"2"});
}

void ChangeJournalTest::personnelNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "17" << true << 17;
    QTest::newRow("leading zeros") << "007" << true << 7;
    QTest::newRow("negative") << "-5" << true << -5;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("beyond 32 bits") << "2147483648" << false << 0;
    QTest::newRow("letters") << "12a" << false << 0;
    QTest::newRow("sql") << "1 or 1=1" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
}

void ChangeJournalTest::personnelNumbers()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    QCOMPARE(isPersonnelNumber(text), valid);
    if (valid) {
        QCOMPARE(personnelNumber(text), value);
    } else {
        try {
            personnelNumber(text, "PID");
            QFAIL("accepted");
        } catch (const InputError &e) {
            QCOMPARE(e.text(), QString("'%1' ist kein gültiger Integerwert für Feld 'PID'").arg(text));
        }
    }
}

QTEST_GUILESS_MAIN(ChangeJournalTest)
#include "tst_changejournal.moc"
