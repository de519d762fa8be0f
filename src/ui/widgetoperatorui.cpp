#include "widgetoperatorui.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

QWidget *WidgetOperatorUi::parent()
{
    return QApplication::activeWindow();
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
