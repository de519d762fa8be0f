#include "widgetoperatorui.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

QWidget *WidgetOperatorUi::parent()
{
    // The box belongs to the dialog the operator works in: the modal one on
    // top, even while the station is not the active application (without a
    // parent the box would open in the middle of the screen).
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->isVisible() && top->inherits("QMainWindow"))
            return top;
    return nullptr;
}

void WidgetOperatorUi::message(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent());
    box.exec();
}

bool WidgetOperatorUi::confirm(const QString &text, Default defaultButton)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text, QMessageBox::NoButton,
                    parent());
    QPushButton *yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    box.setDefaultButton(defaultButton == Default::Yes ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

QString WidgetOperatorUi::chooseFolder(const QString &title)
{
    return QFileDialog::getExistingDirectory(parent(), title, QString(), QFileDialog::ShowDirsOnly);
}

QString WidgetOperatorUi::chooseFile()
{
    return QFileDialog::getOpenFileName(parent());
}
