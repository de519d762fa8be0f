// The installation data as the station reads it: the picture and the region
// file from the program directory, coloured with the station's own fill.
#include "floodfill.h"
#include "handpicture.h"

#include <QFile>
#include <QtEndian>
#include <QtTest>

namespace {

// The colours the station fills fingers with.
const QColor stationColours[] = {QColor(0, 0, 255), QColor(255, 255, 255), QColor(0, 128, 0),
                                 QColor(255, 255, 0)};

QPoint centreOf(const QRect &r)
{
    // the station's centre, from Left, Top and the excluded Right, Bottom
    const int right = r.left() + r.width();
    const int bottom = r.top() + r.height();
    return QPoint(r.left() + (right - r.left()) / 2, r.top() + (bottom - r.top()) / 2);
}

QRect paintedBounds(const QImage &image, QRgb colour, int *count)
{
    QRect bounds;
    *count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour) {
                bounds |= QRect(x, y, 1, 1);
                ++*count;
            }
    return bounds;
}

} // namespace

class HandPictureTest : public QObject {
    Q_OBJECT

    QByteArray regionBytes;
    QVector<QRect> regions;
    QImage picture;

private slots:
    void initTestCase()
    {
        const QString dir = qEnvironmentVariable("STATION_BIN_DIR");
        QVERIFY2(!dir.isEmpty(), "STATION_BIN_DIR not set");

        QFile bin(dir + "/finger.bin");
        QVERIFY2(bin.open(QIODevice::ReadOnly), qPrintable(bin.fileName()));
        regionBytes = bin.readAll();
        QCOMPARE(regionBytes.size(), 160);
        for (int n = 0; n < 10; ++n) {
            const char *rec = regionBytes.constData() + 16 * n;
            const qint32 left = qFromLittleEndian<qint32>(rec);
            const qint32 top = qFromLittleEndian<qint32>(rec + 4);
            const qint32 right = qFromLittleEndian<qint32>(rec + 8);
            const qint32 bottom = qFromLittleEndian<qint32>(rec + 12);
            regions.append(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
        }

        QFile bmp(dir + "/hands_small_256.bmp");
        QVERIFY2(bmp.open(QIODevice::ReadOnly), qPrintable(bmp.fileName()));
        const QByteArray bytes = bmp.readAll();
        QVERIFY(bytes.startsWith("BM"));
        QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 28), quint16(8)); // bits per pixel
        QVERIFY(picture.loadFromData(bytes, "BMP"));
    }

    void pictureIsThePaintBoxSizeIn256Colours()
    {
        QCOMPARE(picture.size(), QSize(249, 225));
        QCOMPARE(picture.format(), QImage::Format_Indexed8);
        QCOMPARE(picture.colorCount(), 256);
    }

    void writtenFilesAreWhatTheGeneratorDraws()
    {
        // a stale file from an older drawing would no longer match its regions
        QCOMPARE(regionBytes, regionFileBytes(fingerRegions()));
        QCOMPARE(picture.convertToFormat(QImage::Format_RGB32),
                 drawHands().convertToFormat(QImage::Format_RGB32));
    }

    void regionsLieInThePictureAndDoNotOverlap()
    {
        // overlapping regions would let the pointer over one finger pick another
        for (int i = 0; i < 10; ++i) {
            QVERIFY2(picture.rect().contains(regions[i]), qPrintable(QString::number(i + 1)));
            for (int j = i + 1; j < 10; ++j)
                QVERIFY2(!regions[i].intersects(regions[j]),
                         qPrintable(QStringLiteral("%1 and %2").arg(i + 1).arg(j + 1)));
        }
    }

    void fillFromCentreColoursTheWholeFingerOnly_data()
    {
        QTest::addColumn<int>("finger");
        const char *names[] = {"right thumb", "right index", "right middle", "right ring",
                               "right little", "left thumb", "left index", "left middle",
                               "left ring", "left little"};
        for (int n = 1; n <= 10; ++n)
            QTest::newRow(names[n - 1]) << n;
    }

    void fillFromCentreColoursTheWholeFingerOnly()
    {
        QFETCH(int, finger);
        const QRect region = regions[finger - 1];
        QImage image = picture.convertToFormat(QImage::Format_RGB32);
        const QRgb blue = qRgb(0, 0, 255);

        const int painted = floodFill(image, centreOf(region), QColor(blue));
        int count = 0;
        const QRect filled = paintedBounds(image, blue, &count);
        QCOMPARE(count, painted);
        QVERIFY2(region.contains(filled), "the fill leaves the finger's region");
        // a finger, not a speck: most of its region, and the region hugs the
        // finger (its outline lies between the fill and the region's edge)
        QVERIFY2(painted >= 400, qPrintable(QString::number(painted)));
        QVERIFY2(painted * 10 >= region.width() * region.height() * 3, qPrintable(QString::number(painted)));
        QVERIFY2(filled.adjusted(-2, -2, 2, 2).contains(region), "the region reaches past the finger");
    }

    void fingersStayApartWhateverColourTheirNeighboursHave()
    {
        QImage image = picture.convertToFormat(QImage::Format_RGB32);
        int solo[10];
        for (int n = 0; n < 10; ++n) {
            QImage single = image;
            solo[n] = floodFill(single, centreOf(regions[n]), Qt::white);
        }
        // every finger in the same colour, then each repainted in turn in
        // each of the station's colours: a leak would join two fingers
        for (int n = 0; n < 10; ++n)
            QCOMPARE(floodFill(image, centreOf(regions[n]), Qt::white), solo[n]);
        for (const QColor &colour : stationColours)
            for (int n = 0; n < 10; ++n) {
                if (image.pixel(centreOf(regions[n])) == colour.rgb())
                    continue;
                QCOMPARE(floodFill(image, centreOf(regions[n]), colour), solo[n]);
            }
    }
};

QTEST_MAIN(HandPictureTest)
#include "handpicturetest.moc"
