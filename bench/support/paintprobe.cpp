#include "paintprobe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>
#include <algorithm>

PaintProbe::PaintProbe(std::vector<QWidget *> widgets) : m_painted(widgets.size(), false)
{
    for (QWidget *w : widgets) {
        m_widgets.emplace_back(w);
        w->installEventFilter(this);
    }
}

PaintProbe::~PaintProbe()
{
    for (const QPointer<QWidget> &w : m_widgets)
        if (w)
            w->removeEventFilter(this);
}

void PaintProbe::arm()
{
    std::fill(m_painted.begin(), m_painted.end(), false);
}

bool PaintProbe::wait()
{
    QElapsedTimer guard;
    guard.start();
    while (!std::all_of(m_painted.begin(), m_painted.end(), [](bool p) { return p; })) {
        if (guard.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

bool PaintProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        for (size_t i = 0; i < m_widgets.size(); ++i)
            if (m_widgets[i] == watched)
                m_painted[i] = true;
    }
    return QObject::eventFilter(watched, event);
}
