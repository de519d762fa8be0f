#include "characterlimit.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

void limitToCharacters(QLineEdit *edit, int maxChars)
{
    // The pattern works on code points; a text beyond the limit (or with half
    // a character) cannot match, so the edit refuses the keystroke or paste.
    auto *validator = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^.{0,%1}$").arg(maxChars),
                           QRegularExpression::DotMatchesEverythingOption),
        edit);
    edit->setValidator(validator);
    edit->setMaxLength(2 * maxChars);
}
