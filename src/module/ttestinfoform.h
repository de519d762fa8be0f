// The result dialog of the verification test, shown without being modal: the
// log of the test's steps and of every attempt's result.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class Ttestinfoform;
}

class TestHost;

class Ttestinfoform : public QDialog
{
    Q_OBJECT

public:
    explicit Ttestinfoform(TestHost &host, QWidget *parent = nullptr);
    ~Ttestinfoform() override;

    Ui::Ttestinfoform *ui() { return m_ui.get(); }

    void ClearLines();
    void AddLine(const QString &line);
    QStringList lines() const;
    void SetNextEnabled(bool enabled);

    void ntestbtnClick();
    void cancelbtnClick();

    // Every way of closing (close button, Esc, "Abbrechen") ends here once.
    void done(int result) override;

    // Shows the dialog beside the window (to its right, or its left where
    // the screen ends), so that it covers neither the window's lists nor its buttons.
    void showBeside(const QWidget *window);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormClose();

    std::unique_ptr<Ui::Ttestinfoform> m_ui;
    TestHost &m_host;
    bool m_open = false;
};
