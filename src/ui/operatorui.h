// Everything the station asks of or tells the operator goes through this
// interface, so that tests can answer from a script instead of blocking on a
// modal box (see tests/support/scriptedoperatorui.h).
#pragma once

#include <QString>

class OperatorUi
{
public:
    enum class Default { Yes, No };

    virtual ~OperatorUi() = default;

    // A plain message box with one OK button.
    virtual void message(const QString &text) = 0;
    // A confirmation with the buttons "Ja" and "Nein"; true for "Ja".
    virtual bool confirm(const QString &text, Default defaultButton) = 0;
    // The folder chooser; an empty text when the operator cancels.
    virtual QString chooseFolder(const QString &title) = 0;
    // The file-open dialog (no filter, no title); an empty text on cancel.
    virtual QString chooseFile() = 0;
};
