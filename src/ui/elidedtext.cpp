#include "elidedtext.h"

#include <QLabel>

void setElidedText(QLabel *label, const QString &text)
{
    // A name is never markup, whatever the operator typed.
    label->setTextFormat(Qt::PlainText);
    // The style sheet's font (bold) is known only once the label is polished.
    label->ensurePolished();
    const QString shown = label->fontMetrics().elidedText(text, Qt::ElideRight, label->contentsRect().width());
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : text);
}
