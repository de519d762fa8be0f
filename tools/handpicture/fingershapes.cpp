#include "fingershapes.h"

#include <QTransform>
#include <QtMath>

namespace {

// Left hand, back view. Lengths vary as on a real hand (middle longest, little
// shortest); the fingers fan out slightly and the thumb is angled out towards
// the other hand.
const FingerShape shapes[5] = {
    // baseX, baseY, angle, length, baseWidth, tipWidth
    {79.7, 152, 38, 56, 22, 20},   // thumb
    {76, 110, 6, 88, 18, 16},      // index
    {58, 106, 1, 98, 19, 17},      // middle
    {39, 108, -2, 90, 18, 16},     // ring
    {23, 117, -8, 66, 16, 14},     // little
};

// How far the thumb reaches in under the palm: the palm's outline crosses the
// thumb there, square to it, like the crease at the base of a real thumb.
const double thumbUnderPalm = 12;

QTransform mirror(bool rightHand)
{
    // Mirrors about the vertical centre line; x -> width - x maps pixel
    // centres onto pixel centres.
    return rightHand ? QTransform(-1, 0, 0, 1, HandPictureSize.width(), 0) : QTransform();
}

} // namespace

QPainterPath fingerPath(int fingerOfHand, bool rightHand)
{
    const FingerShape &f = shapes[fingerOfHand];
    const double rb = f.baseWidth / 2;
    const double rt = f.tipWidth / 2;
    const double tipCentre = f.length - rt;

    // Built upright with the base at the origin, then turned and placed.
    QPainterPath p;
    p.moveTo(-rb, 0);
    p.lineTo(-rt, -tipCentre);
    p.arcTo(QRectF(-rt, -tipCentre - rt, 2 * rt, 2 * rt), 180, -180);
    p.lineTo(rb, 0);
    p.closeSubpath();

    QTransform t;
    t.translate(f.baseX, f.baseY);
    t.rotate(f.angle);
    return (t * mirror(rightHand)).map(p);
}

QPainterPath palmPath(bool rightHand)
{
    const FingerShape &thumb = shapes[0];
    const double a = qDegreesToRadians(thumb.angle);
    const QPointF along(qSin(a), -qCos(a));
    const QPointF across(qCos(a), qSin(a));
    const QPointF crease = QPointF(thumb.baseX, thumb.baseY) + thumbUnderPalm * along;
    // ending just inside the thumb, so the web runs on into its outline
    const double half = thumb.baseWidth / 2 - 0.5;
    const QPointF web = crease - half * across;
    const QPointF ball = crease + half * across;

    QPainterPath p;
    p.moveTo(28, 194);
    // little-finger side, up to the knuckles
    p.cubicTo(20, 170, 11, 146, 11, 122);
    p.cubicTo(11, 108, 13, 100, 19, 95);
    // knuckle line, highest behind the middle finger
    p.cubicTo(34, 84, 70, 82, 89, 97);
    // thumb side: into the web, across the base of the thumb, round its ball
    // and in to the wrist
    p.cubicTo(91, 110, web.x() + 3, web.y() - 16, web.x(), web.y());
    p.lineTo(ball);
    // leaving the ball in line with the thumb's lower edge keeps the outline smooth
    const QPointF onward = ball - 8 * along;
    p.cubicTo(onward.x(), onward.y(), 90, 180, 82, 194);
    p.closeSubpath();
    return mirror(rightHand).map(p);
}

QPainterPath cuffPath(bool rightHand)
{
    QPainterPath p;
    p.addRoundedRect(QRectF(22, 190, 66, 16), 4, 4);
    return mirror(rightHand).map(p);
}

QPainterPath knucklePath(bool rightHand)
{
    // a small arch over the base of each long finger, on the back of the hand
    QPainterPath p;
    for (int k = 1; k < 5; ++k) {
        const FingerShape &f = shapes[k];
        const double a = qDegreesToRadians(f.angle);
        const QPointF centre = QPointF(f.baseX, f.baseY) + 5 * QPointF(qSin(a), -qCos(a));
        const double w = f.baseWidth * 0.45;
        const QRectF box(centre.x() - w / 2, centre.y() - 2, w, 4);
        p.arcMoveTo(box, 160 - f.angle);
        p.arcTo(box, 160 - f.angle, -140);
    }
    return mirror(rightHand).map(p);
}
