#include "guard.h"

#include "operatorui.h"

#include <QString>
#include <exception>

bool guarded(OperatorUi &ui, const std::function<void()> &action)
{
    try {
        action();
        return true;
    } catch (const std::exception &e) {
        ui.message(QString::fromUtf8(e.what()));
    } catch (...) {
        ui.message(QStringLiteral("Unbekannter Fehler"));
    }
    return false;
}
