#include "handfixture.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QtEndian>
#include <cstdint>

void writeHandFiles(const QString &dir)
{
    QImage picture(249, 225, QImage::Format_RGB32);
    picture.fill(QColor(200, 200, 200));
    QByteArray regions;
    QPainter painter(&picture);
    for (int n = 1; n <= 10; ++n) {
        const QRect area(24 * n - 20, 40, 20, 100);
        painter.setPen(Qt::black);
        painter.setBrush(HandSkin);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        for (int32_t v : {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()}) {
            char le[4];
            qToLittleEndian<int32_t>(v, le);
            regions.append(le, 4);
        }
    }
    painter.end();
    picture.save(dir + "hands_small_256.bmp", "BMP");
    QFile file(dir + "finger.bin");
    if (file.open(QIODevice::WriteOnly))
        file.write(regions);
}

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        const Qt::Key key = c.isLetterOrNumber() && c.unicode() < 128 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, widget, key, QString(c), Qt::NoModifier);
    }
}

void clickThroughWindow(QWidget *control)
{
    QWidget *top = control->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, control->mapTo(top, control->rect().center()));
}

void keyThroughWindow(QWidget *widget, Qt::Key key)
{
    QTest::keyClick(widget->window()->windowHandle(), key);
}
