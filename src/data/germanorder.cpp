#include "germanorder.h"

#include <QLocale>

GermanNameOrder::GermanNameOrder() : m_collator(QLocale(QLocale::German, QLocale::Germany))
{
    // Case only breaks ties ("abel" next to "Abel"), and numbers in a name
    // count by value, as an operator reads a list of halls and floors.
    m_collator.setCaseSensitivity(Qt::CaseSensitive);
    m_collator.setNumericMode(true);
}
