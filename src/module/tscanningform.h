// The small modal dialog in which the series of scans of one finger is taken.
// It never calls the module itself: its host runs the scans and drives it
// back through ResetDialog, ShowScanning, ShowWaiting and CloseDialog.
#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>

namespace Ui {
class Tscanningform;
}

struct Tfinger;
class ScanHost;

class Tscanningform : public QDialog
{
    Q_OBJECT

public:
    explicit Tscanningform(QWidget *parent = nullptr);
    ~Tscanningform() override;

    void setHost(ScanHost *host) { m_host = host; }

    // The finger being scanned; set by the host before showing, not owned.
    Tfinger *Finger = nullptr;

    void ResetDialog();
    void ShowScanning();
    void WriteScanInfo();
    void ShowWaiting();
    // Closes the dialog as the window's close button does; does nothing when it is not open.
    void CloseDialog();

    // Between FormShow and FormClose.
    bool isOpen() const { return m_open; }

    Ui::Tscanningform *ui() { return m_ui.get(); }
    QTimer scantimer;

    void scanbtnClick();
    void cnxbtnClick();
    void scantimerTimer();

    // Every way of closing (close button, Esc, CloseDialog) ends here once.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormClose();

    std::unique_ptr<Ui::Tscanningform> m_ui;
    ScanHost *m_host = nullptr;
    bool m_open = false;
};
