// A stand-in hand picture for window tests, simpler to reason about than the
// real one: ten finger areas of one colour inside black outlines, side by
// side, with the matching region file. Finger n spans x 24n-20 .. 24n and
// y 40 .. 140 of the picture box.
#pragma once

#include <QColor>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <QtGlobal>

// The colour of every finger area before it is marked.
inline const QColor HandSkin(240, 210, 180);

// Writes hands_small_256.bmp and finger.bin into dir (ending in a delimiter).
void writeHandFiles(const QString &dir);

inline QPoint centreOf(int fingerNo) { return {24 * fingerNo - 10, 90}; }

// A control of a window by its design name; a missing one ends the test run.
template <typename T>
T *control(QWidget *window, const char *name)
{
    T *widget = window->findChild<T *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

// Types text into the widget key by key, umlauts included (QTest::keyClicks
// takes Latin-1 characters only).
void typeText(QWidget *widget, const QString &text);

// A left click on the control through its window, as the window system
// delivers it: a window blocked by a modal dialog does not get it (a click
// sent to the widget itself would pass the block).
void clickThroughWindow(QWidget *control);
// A key pressed in the window that holds widget, delivered the same way.
void keyThroughWindow(QWidget *widget, Qt::Key key);
