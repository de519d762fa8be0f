#include "statusicons.h"

#include <QFont>
#include <QPainter>
#include <QPolygonF>
#include <QtMath>
#include <functional>

namespace {

QPixmap drawnIcon(const std::function<void(QPainter &)> &draw)
{
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return p;
}

}  // namespace

QPixmap tickIcon()
{
    static const QPixmap icon = drawnIcon([](QPainter &painter) {
        painter.setPen(QPen(QColor(0, 150, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
    });
    return icon;
}

QPixmap stopIcon()
{
    static const QPixmap icon = drawnIcon([](QPainter &painter) {
        QPolygonF octagon;
        for (int i = 0; i < 8; ++i) {
            const double a = qDegreesToRadians(22.5 + 45.0 * i);
            octagon << QPointF(8 + 7.6 * qCos(a), 8 + 7.6 * qSin(a));
        }
        painter.setPen(QPen(Qt::white, 0.8));
        painter.setBrush(QColor(210, 0, 0));
        painter.drawPolygon(octagon);
        QFont font(QStringLiteral("Sans"));
        font.setPixelSize(5);
        font.setBold(true);
        font.setStretch(QFont::Condensed);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("STOP"));
    });
    return icon;
}
