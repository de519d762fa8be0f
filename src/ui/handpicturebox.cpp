#include "handpicturebox.h"

#include "floodfill.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

HandPictureBox::HandPictureBox(QWidget *parent)
    : QWidget(parent), m_image(BoxWidth, BoxHeight, QImage::Format_RGB32)
{
    setFixedSize(BoxWidth, BoxHeight);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    drawPicture();
}

void HandPictureBox::setProgramDir(const QString &programDir)
{
    m_programDir = programDir;
    drawPicture();
    update();
}

QString HandPictureBox::pictureFile() const
{
    return m_programDir + QStringLiteral("hands_small_256.bmp");
}

QRgb HandPictureBox::pixel(int x, int y) const
{
    return m_image.rect().contains(x, y) ? m_image.pixel(x, y) : 0;
}

void HandPictureBox::markAt(int x, int y, const QColor &colour)
{
    if (!m_hasPicture)
        return;
    floodFill(m_image, QPoint(x, y), colour);
    m_showMarks = true;
    update();
}

void HandPictureBox::drawPicture()
{
    QImage picture;
    m_hasPicture = !m_programDir.isEmpty() && picture.load(pictureFile());
    QPainter painter(&m_image);
    if (m_hasPicture) {
        painter.drawImage(m_image.rect(), picture);
        return;
    }
    // A missing picture is the installation's fault; say so in the box itself
    // instead of a message box at every repaint.
    painter.fillRect(m_image.rect(), QColor(211, 211, 211));
    painter.setPen(Qt::black);
    painter.drawText(m_image.rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                     QStringLiteral("Handbild fehlt:\nhands_small_256.bmp"));
}

void HandPictureBox::paintEvent(QPaintEvent *)
{
    if (!m_showMarks)
        drawPicture();
    m_showMarks = false;
    QPainter painter(this);
    painter.drawImage(rect(), m_image);
}

void HandPictureBox::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    emit mouseMoved(p.x(), p.y());
}

void HandPictureBox::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    emit mousePressed(p.x(), p.y(), event->button());
}

void HandPictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    emit mouseReleased(p.x(), p.y(), event->button());
}

void HandPictureBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    emit doubleClicked(p.x(), p.y());
}

void HandPictureBox::contextMenuEvent(QContextMenuEvent *event)
{
    emit contextMenuRequested(event->pos().x(), event->pos().y(), event->globalPos());
}
