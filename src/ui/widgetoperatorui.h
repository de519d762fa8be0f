#pragma once

#include "operatorui.h"

class QWidget;

// The real boxes and choosers, parented to the active window.
class WidgetOperatorUi : public OperatorUi
{
public:
    void message(const QString &text) override;
    bool confirm(const QString &text, Default defaultButton) override;
    QString chooseFolder(const QString &title) override;
    QString chooseFile() override;

private:
    static QWidget *parent();
};
