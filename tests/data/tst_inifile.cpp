#include "inifile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class IniFileTest : public QObject
{
    Q_OBJECT

private slots:
    void createdOnFirstWrite();
    void namesMatchWithoutCaseAndOtherLinesStay();
    void valuesAreTakenLiterally();

private:
    static QString contents(const QString &path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }
};

void IniFileTest::createdOnFirstWrite()
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath("data.ini"));
    QCOMPARE(ini.readString("APPLICATION", "DATAPATH", "none"), QString("none"));
    QVERIFY(!QFile::exists(ini.path()));
    QVERIFY(ini.writeString("APPLICATION", "DATAPATH", "/opt/kolv/"));
    QCOMPARE(contents(ini.path()), QString("[APPLICATION]\nDATAPATH=/opt/kolv/\n"));
}

void IniFileTest::namesMatchWithoutCaseAndOtherLinesStay()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("data.ini");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("; written by hand\r\n[Application]\r\nDataPath=C:\\Kolv\r\nOther=1\r\n\r\n[pelvar]\r\nlastgergroup=Alle\r\n");
    f.close();

    IniFile ini(path);
    QCOMPARE(ini.readString("APPLICATION", "DATAPATH", ""), QString("C:\\Kolv"));
    QVERIFY(ini.writeString("APPLICATION", "DATAPATH", "C:\\Kolv\\"));
    QVERIFY(ini.writeString("PELVAR", "LASTGERGROUP", "Werk Süd"));
    QVERIFY(ini.writeString("PELVAR", "NEWKEY", "x"));
    QCOMPARE(contents(path), QString("; written by hand\r\n[Application]\r\nDATAPATH=C:\\Kolv\\\r\nOther=1\r\n\r\n"
                                     "[pelvar]\r\nLASTGERGROUP=Werk Süd\r\nNEWKEY=x\r\n"));
}

void IniFileTest::valuesAreTakenLiterally()
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath("data.ini"));
    QVERIFY(ini.writeString("A", "PATH", "\\\\server\\share\\x;y"));
    QCOMPARE(ini.readString("a", "path", ""), QString("\\\\server\\share\\x;y"));
}

QTEST_GUILESS_MAIN(IniFileTest)
#include "tst_inifile.moc"
