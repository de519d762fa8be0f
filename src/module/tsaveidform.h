// The transfer dialog: the operator picks the fingers whose templates go to
// the terminals, ticks the terminals that receive the person, and may test
// the templates on the module first. It writes nothing to the database; on
// OK the enrolment dialog reads the choice from it and stores the enrolment.
//
// It works on the enrolment dialog's finger and scan lists and changes only
// the fingers' Selected values.
#pragma once

#include "bioobjects.h"
#include "testhost.h"

#include <QDialog>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace Ui {
class TsaveidForm;
}

struct Station;
struct Tgergroup;
struct tgeraet;
class Ttestinfoform;
class tbiotestfinger;

class TsaveidForm : public QDialog, public TestHost
{
    Q_OBJECT

public:
    TsaveidForm(Station &station, FingerList &fingers, ScanList &scans, QWidget *parent = nullptr);
    // Ends the worker (a waiting attempt is abandoned first).
    ~TsaveidForm() override;

    // The result dialog is created after this one.
    void setTestInfoForm(Ttestinfoform *form) { m_testinfo = form; }

    Ui::TsaveidForm *ui() { return m_ui.get(); }

    // Slot p holds the finger at position p + 1 of the list when it had scans
    // at the showing; rebuilt on every showing.
    std::array<Tfinger *, 10> FingerSlots{};

    // Polled by the module library during a verification capture; closing the
    // result dialog clears it.
    std::atomic<uint8_t> KeepTesting{0};

    tbiotestfinger *TestWorker() const { return m_worker.get(); }
    // Between the start of an attempt and its result.
    bool testRunning() const { return m_attemptRunning; }

    // What the enrolment dialog reads after OK: the ticked terminals in list
    // order, and the group text it keeps as LastTerminalGroup.
    std::vector<const tgeraet *> tickedTerminals() const;
    // Before showing: the person's number and name; the terminal list is
    // hidden for new scans of a stored person, whose assignments stay.
    void setPerson(const QString &pidText, const QString &name, bool rescan);
    QString groupText() const;

    void FormShow();
    void FillGroups();
    void FillTerminals();
    void GgroupboxClick();
    void setallbtnClick();
    void ColourFingers();
    void picboxMouseDown(int x, int y);
    void BitBtn1Click();
    void Button1Click();

    // TestHost, for the result dialog.
    void NextTest() override;
    void EndTest() override;

    // The worker's result handler: runs on the worker with the library held
    // and returns what is to be shown on this dialog's thread.
    std::function<void()> TestScanDone(tbiotestfinger *worker);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillFingerColours();
    void startAttempt();
    void showTestResult(int32_t pass, const QStringList &lines);

    std::unique_ptr<Ui::TsaveidForm> m_ui;
    Station &m_station;
    FingerList &m_fingers;
    ScanList &m_scans;
    Ttestinfoform *m_testinfo = nullptr;
    std::vector<std::unique_ptr<Tgergroup>> m_groups;  // item i + 1 of Ggroupbox
    bool m_groupChosen = false;
    std::unique_ptr<tbiotestfinger> m_worker;
    // The test holds the module: from a successful opening by "Testen" until
    // the result dialog closes or another window takes the module.
    bool m_testActive = false;
    bool m_attemptRunning = false;
    bool m_testStarting = false;
    int32_t m_passesStarted = 0;
};
