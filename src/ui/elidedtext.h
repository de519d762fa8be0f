// A text in a label of fixed width: shown whole when it fits, otherwise cut
// with "…" and given whole as the label's tooltip, so nothing is hidden
// without a hint.
#pragma once

class QLabel;
class QString;

void setElidedText(QLabel *label, const QString &text);
