#include "handpicture.h"

#include "fingershapes.h"

#include <QDataStream>
#include <QDir>
#include <QFont>
#include <QHash>
#include <QPainter>
#include <QSaveFile>

namespace {

const QRgb background = qRgb(226, 234, 241);
const QRgb fingerSkin = qRgb(250, 221, 190);
const QRgb palmSkin = qRgb(238, 200, 164);
const QRgb outline = qRgb(96, 58, 38);
const QRgb knuckle = qRgb(214, 170, 134);
const QRgb cuff = qRgb(104, 128, 168);
const QRgb cuffLine = qRgb(60, 78, 112);
const QRgb labelColour = qRgb(52, 60, 72);

struct Colours {
    QRgb finger[10]; // by finger number - 1
    QRgb fingerOutline[10];
    QRgb palm, palmOutline, knuckles, cuff, cuffOutline;
};

// Antialiasing stays off: a blended edge pixel inside a finger would stop the
// station's surface fill short of the outline.
void drawHand(QPainter &p, bool rightHand, const Colours &c)
{
    // Fingers first: the palm drawn over them hides their bases and its
    // outline closes each finger off.
    for (int k = 0; k < 5; ++k) {
        const int no = (rightHand ? 1 : 6) + k;
        p.setPen(QPen(QColor(c.fingerOutline[no - 1]), 1));
        p.setBrush(QColor(c.finger[no - 1]));
        p.drawPath(fingerPath(k, rightHand));
    }
    p.setPen(QPen(QColor(c.palmOutline), 1));
    p.setBrush(QColor(c.palm));
    p.drawPath(palmPath(rightHand));
    p.setPen(QPen(QColor(c.knuckles), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(knucklePath(rightHand));
    p.setPen(QPen(QColor(c.cuffOutline), 1));
    p.setBrush(QColor(c.cuff));
    p.drawPath(cuffPath(rightHand));
}

QImage drawBoth(const Colours &c)
{
    QImage image(HandPictureSize, QImage::Format_RGB32);
    image.fill(background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    drawHand(p, false, c);
    drawHand(p, true, c);
    return image;
}

void drawLabels(QImage &image)
{
    QPainter p(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    p.setPen(QColor(labelColour));
    const int w = HandPictureSize.width();
    const QRect line(0, 209, w / 2, 15);
    p.drawText(line.translated(2, 0), Qt::AlignCenter, QStringLiteral("linke Hand"));
    p.drawText(line.translated(w - line.width() - 2, 0), Qt::AlignCenter, QStringLiteral("rechte Hand"));
}

// Exact colours only: each colour of the drawing gets its own table entry,
// so no finger is dithered or shifted to a neighbouring shade. A drawing of
// more than 256 colours gives a null image rather than a wrong one.
QImage toIndexed(const QImage &rgb)
{
    QImage out(rgb.size(), QImage::Format_Indexed8);
    QVector<QRgb> table;
    QHash<QRgb, int> index;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *src = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uchar *dst = out.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = src[x] | 0xff000000u;
            auto it = index.find(c);
            if (it == index.end()) {
                if (table.size() == 256)
                    return QImage();
                it = index.insert(c, table.size());
                table.append(c);
            }
            dst[x] = uchar(it.value());
        }
    }
    // Qt writes a table of up to 16 colours as a 4-bit file; the station's
    // picture is a 256-colour bitmap, so the table is filled up with unused
    // greys.
    for (int g = 0; table.size() < 256; ++g)
        table.append(qRgb(g, g, g));
    out.setColorTable(table);
    return out;
}

} // namespace

QImage drawHands()
{
    Colours c;
    for (int i = 0; i < 10; ++i) {
        c.finger[i] = fingerSkin;
        c.fingerOutline[i] = outline;
    }
    c.palm = palmSkin;
    c.palmOutline = outline;
    c.knuckles = knuckle;
    c.cuff = cuff;
    c.cuffOutline = cuffLine;
    QImage image = drawBoth(c);
    drawLabels(image);
    return toIndexed(image);
}

QVector<QRect> fingerRegions()
{
    // Drawn once more with each finger, outline included, in a colour of its
    // own: what stays of that colour is the finger's visible area.
    Colours c;
    for (int i = 0; i < 10; ++i)
        c.finger[i] = c.fingerOutline[i] = qRgb(i + 1, 0, 0);
    c.palm = c.palmOutline = c.knuckles = c.cuff = c.cuffOutline = qRgb(0, 0, 0);
    const QImage ids = drawBoth(c);

    QVector<QRect> regions(10);
    for (int y = 0; y < ids.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(ids.constScanLine(y));
        for (int x = 0; x < ids.width(); ++x) {
            const int id = qRed(row[x]);
            if (id >= 1 && id <= 10)
                regions[id - 1] |= QRect(x, y, 1, 1);
        }
    }
    return regions;
}

QByteArray regionFileBytes(const QVector<QRect> &regions)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    for (const QRect &r : regions)
        out << qint32(r.left()) << qint32(r.top()) << qint32(r.left() + r.width())
            << qint32(r.top() + r.height());
    return bytes;
}

QString writeInstallationData(const QString &dir)
{
    const QImage picture = drawHands();
    if (picture.isNull())
        return QStringLiteral("Das Handbild hat mehr als 256 Farben");
    const QByteArray regions = regionFileBytes(fingerRegions());

    QSaveFile bmp(QDir(dir).filePath(QStringLiteral("hands_small_256.bmp")));
    if (!bmp.open(QIODevice::WriteOnly) || !picture.save(&bmp, "BMP") || !bmp.commit())
        return QStringLiteral("Kann %1 nicht schreiben: %2").arg(bmp.fileName(), bmp.errorString());

    QSaveFile bin(QDir(dir).filePath(QStringLiteral("finger.bin")));
    if (!bin.open(QIODevice::WriteOnly) || bin.write(regions) != regions.size() || !bin.commit())
        return QStringLiteral("Kann %1 nicht schreiben: %2").arg(bin.fileName(), bin.errorString());
    return QString();
}
