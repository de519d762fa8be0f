#include "handfixture.h"
#include "widgetoperatorui.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The real message boxes: where they open and that the operator can answer them.
class TestOperatorUi : public QObject
{
    Q_OBJECT

    struct Seen
    {
        QWidget *parent = nullptr;
        QPoint centre;
        QString text;
    };

    // Notes the box on top and answers it with a click on its button named answer.
    static void answerNextBox(Seen &seen, const QString &answer)
    {
        QTimer::singleShot(0, [&seen, answer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen.parent = box->parentWidget();
            seen.centre = box->frameGeometry().center();
            seen.text = box->text();
            for (QAbstractButton *button : box->buttons())
                if (button->text() == answer)
                    clickThroughWindow(button);
        });
    }

private slots:
    void boxesOpenOverTheModalDialogTheOperatorWorksIn()
    {
        QMainWindow main;
        main.setGeometry(0, 0, 300, 200);
        main.show();
        QDialog dialog(&main);
        dialog.setGeometry(420, 300, 360, 240);
        WidgetOperatorUi ui;
        Seen message, question;
        bool answeredYes = true;
        QTimer::singleShot(0, &dialog, [&] {
            answerNextBox(message, "OK");
            ui.message("Kein Name eingetragen !!");
            answerNextBox(question, "&Nein");
            answeredYes = ui.confirm("Scandaten verwerfen ??", OperatorUi::Default::No);
            dialog.reject();
        });
        dialog.exec();
        QCOMPARE(message.text, QString("Kein Name eingetragen !!"));
        QCOMPARE(message.parent, &dialog);
        QVERIFY(dialog.frameGeometry().contains(message.centre));
        QCOMPARE(question.parent, &dialog);
        QVERIFY(dialog.frameGeometry().contains(question.centre));
        QVERIFY(!answeredYes);
    }
};

QTEST_MAIN(TestOperatorUi)
#include "tst_operatorui.moc"
