// Personnel numbers as the operator types them.
#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>

// Bad operator input; the action's boundary shows the text, nothing is written.
class InputError : public std::runtime_error
{
public:
    explicit InputError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

// The 32-bit number of a decimal text ("007" is 7; blanks around are allowed).
// Throws InputError "'<text>' ist kein gültiger Integerwert für Feld '<field>'".
int32_t personnelNumber(const QString &text, const QString &field = QStringLiteral("PID"));

// Whether the text is such a number.
bool isPersonnelNumber(const QString &text);
