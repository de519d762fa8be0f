#pragma once

#include <QString>
#include <stdexcept>

// An error of the database layer, carrying the driver's text. It ends the
// operator's action; the action's boundary (guard.h) shows the text.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString &text() const { return m_text; }

private:
    QString m_text;
};
