// Waits until widgets have painted: a figure of a window ends when what the
// operator sees is on the surface, not when the call that changed it returns.
#pragma once

#include <QObject>
#include <QPointer>
#include <vector>

class QWidget;

class PaintProbe : public QObject
{
public:
    explicit PaintProbe(std::vector<QWidget *> widgets);
    ~PaintProbe() override;

    // Forgets earlier paints; the next wait needs a paint of every widget.
    void arm();
    // Processes events until every widget has painted since arm(). False when
    // no paint came within several seconds (the figure is then not valid).
    bool wait();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::vector<QPointer<QWidget>> m_widgets;
    std::vector<bool> m_painted;
};
