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
    void encodingIsKeptAsRead_data();
    void encodingIsKeptAsRead();

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

void IniFileTest::encodingIsKeptAsRead_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("after");
    // As Windows tools write it: "ü" is one byte, 0xFC, and "€" is 0x80.
    QTest::newRow("Windows-1252") << QByteArray("[APPLICATION]\r\nDATAPATH=C:\\M\xfcller\x80\\\r\n[PELVAR]\r\n"
                                                "LASTGERGROUP=Alle\r\n")
                                  << QString("C:\\Müller€\\")
                                  << QByteArray("[APPLICATION]\r\nDATAPATH=C:\\M\xfcller\x80\\\r\n[PELVAR]\r\n"
                                                "LASTGERGROUP=Werk S\xfc" "d\r\n");
    QTest::newRow("UTF-8") << QByteArray("[APPLICATION]\nDATAPATH=/opt/M\xc3\xbcller/\n")
                           << QString("/opt/Müller/")
                           << QByteArray("[APPLICATION]\nDATAPATH=/opt/M\xc3\xbcller/\n[PELVAR]\n"
                                         "LASTGERGROUP=Werk S\xc3\xbc" "d\n");
    QTest::newRow("UTF-8 with byte order mark")
        << QByteArray("\xef\xbb\xbf[APPLICATION]\nDATAPATH=/opt/M\xc3\xbcller/\n")
        << QString("/opt/Müller/")
        << QByteArray("\xef\xbb\xbf[APPLICATION]\nDATAPATH=/opt/M\xc3\xbcller/\n[PELVAR]\n"
                      "LASTGERGROUP=Werk S\xc3\xbc" "d\n");
}

void IniFileTest::encodingIsKeptAsRead()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, path);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString file = dir.filePath("data.ini");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(before);
    f.close();
    IniFile ini(file);
    QCOMPARE(ini.readString("APPLICATION", "DATAPATH", ""), path);
    QVERIFY(ini.writeString("PELVAR", "LASTGERGROUP", "Werk Süd"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), after);
    f.close();
    QCOMPARE(ini.readString("PELVAR", "LASTGERGROUP", ""), QString("Werk Süd"));
}

QTEST_GUILESS_MAIN(IniFileTest)
#include "tst_inifile.moc"
