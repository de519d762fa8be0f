// The enrolment dialog: the operator chooses fingers on the hand picture and
// scans each several times through the scanning dialog; when a series ends,
// the finger's scans are scored on the module and all fingers ranked.
//
// It owns the ten finger records and every scan of the run; the scanning,
// transfer and change dialogs use them by reference.
#pragma once

#include "bioobjects.h"
#include "scanhost.h"

#include <QDialog>
#include <atomic>
#include <cstdint>
#include <memory>

namespace Ui {
class Tscanfingerform;
}

struct Station;
class Tscanningform;
class TsaveidForm;
class tbioscanfinger;
class QMenu;
class QAction;
class QLineEdit;

class Tscanfingerform : public QDialog, public ScanHost
{
    Q_OBJECT

public:
    Tscanfingerform(Station &station, Tscanningform &scanning, QWidget *parent = nullptr);
    ~Tscanfingerform() override;

    // The person's fields; the opener fills them for "Neu scannen".
    QLineEdit *pidedit() const;
    QLineEdit *nameedit() const;

    // The transfer dialog is created after this one, on this one's lists.
    void setSaveForm(TsaveidForm *form) { m_saveForm = form; }

    FingerList Fingers;
    ScanList Scans;
    Tfinger *CurrentFinger = nullptr;
    Tfinger *MenuFinger = nullptr;

    // Polled by the module library while a capture runs; "Abbrechen" and the
    // closing of the scanning dialog clear it.
    std::atomic<uint8_t> KeepScanning{0};
    int32_t ScanLimit = 3;
    // Set by the opener: false for a new person, true for new scans of a stored one.
    bool RescanMode = false;

    tbioscanfinger *ScanWorker() const { return m_worker.get(); }

    // Opens the module's port if needed and initialises the module once.
    bool OpenModule();

    void FormShow();
    void picboxMouseMove(int x, int y);
    void picboxDblClick();
    void PopupMenu1Popup();
    void Fingerdatenlschen1Click();
    void MarkFingers();

    void ScoreFinger(Tfinger &finger);
    void RankFingers();

    // ScanHost, for the scanning dialog.
    void StartScan() override;
    void StopScanning() override;
    void ScoreAndRank(Tfinger &finger) override;

    // The scan worker's completion handler; runs on this dialog's thread.
    void ScanDone(tbioscanfinger *worker, const uint8_t *templ, int32_t length);

    // Leaving pidedit: tells the operator when the number is taken already.
    void pideditExit();
    // "OK": validates, lets the operator choose fingers and terminals in the
    // transfer dialog, and stores the enrolment; accept() only after a
    // successful save, otherwise the dialog stays open and nothing is written.
    void BitBtn1Click();
    // In RescanMode: the person's stored scans. Called by FormShow before the ranking.
    void loadStoredScans();

    // "Abbrechen", Esc and the close button: scans taken since the showing
    // are discarded only when the operator says so.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    Station &m_station;
    Tscanningform &m_scanning;

private:
    std::unique_ptr<Ui::Tscanfingerform> m_ui;
    QMenu *PopupMenu1 = nullptr;
    QAction *Fingerdatenlschen1 = nullptr;
    std::unique_ptr<tbioscanfinger> m_worker;
    TsaveidForm *m_saveForm = nullptr;
    // Passes started on the worker, and the first pass of the open series: a
    // result of an earlier pass arrives after its series was closed and scored.
    int32_t m_passesStarted = 0;
    int32_t m_seriesFirstPass = 1;
    // The number a rescan was opened for; the save keeps to it.
    QString m_rescanPid;
    // Scans were taken or deleted since the showing.
    bool m_scansChanged = false;
};
