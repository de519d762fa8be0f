#pragma once

#include <QDateTime>

// The one source of the current local date and time. Tests set it; once set it
// stands still until set again or cleared.
class Clock
{
public:
    QDateTime now() const { return m_fixed.isValid() ? m_fixed : QDateTime::currentDateTime(); }
    void set(const QDateTime &localTime) { m_fixed = localTime; }
    void clear() { m_fixed = QDateTime(); }

private:
    QDateTime m_fixed;
};
