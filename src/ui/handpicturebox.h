// The picture of two hands on which the operator chooses fingers. Shared by
// the enrolment, transfer and change dialogs; the finger regions are in its
// pixels, so its size is fixed.
//
// Every plain repaint draws the picture file afresh, stretched to the box, so
// a repaint shows no marks. Marks are flood fills onto the displayed image
// (markAt) and stay visible until the next plain repaint.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

class HandPictureBox : public QWidget
{
    Q_OBJECT

public:
    static constexpr int BoxWidth = 249;
    static constexpr int BoxHeight = 225;

    explicit HandPictureBox(QWidget *parent = nullptr);

    // The folder of hands_small_256.bmp, ending in a path delimiter.
    void setProgramDir(const QString &programDir);
    QString pictureFile() const;

    // Whether the last drawing found the picture file.
    bool hasPicture() const { return m_hasPicture; }

    // The image as displayed, for reading pixels and filling onto it.
    QImage &image() { return m_image; }
    QRgb pixel(int x, int y) const;

    // Surface fill from the point in the colour, shown at once. Does nothing
    // without a picture, where the note would otherwise be flooded.
    void markAt(int x, int y, const QColor &colour);

    // Draws the picture file into the displayed image, dropping all marks.
    void drawPicture();

signals:
    void mouseMoved(int x, int y);
    void mousePressed(int x, int y, Qt::MouseButton button);
    void mouseReleased(int x, int y, Qt::MouseButton button);
    void doubleClicked(int x, int y);
    void contextMenuRequested(int x, int y, const QPoint &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QString m_programDir;
    QImage m_image;
    bool m_hasPicture = false;
    // Set by a mark so that the paint it asks for shows the marks instead of
    // redrawing the file over them.
    bool m_showMarks = false;
};
