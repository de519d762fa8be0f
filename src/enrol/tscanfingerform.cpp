#include "tscanfingerform.h"

#include "enrolmentstore.h"
#include "fingerregions.h"
#include "characterlimit.h"
#include "guard.h"
#include "modulelibrary.h"
#include "modulesession.h"
#include "operatorui.h"
#include "personname.h"
#include "personnelnumber.h"
#include "scoring.h"
#include "station.h"
#include "tbioscanfinger.h"
#include "tdbini.h"
#include "tdm.h"
#include "tsaveidform.h"
#include "tscanningform.h"
#include "ui_tscanfingerform.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMenu>
#include <QShowEvent>
#include <QStyle>
#include <cstring>

Tscanfingerform::Tscanfingerform(Station &station, Tscanningform &scanning, QWidget *parent)
    : QDialog(parent), m_station(station), m_scanning(scanning), m_ui(std::make_unique<Ui::Tscanfingerform>())
{
    m_ui->setupUi(this);
    limitToCharacters(m_ui->nameedit, PersonNameMaxChars);
    m_ui->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    m_ui->BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    m_ui->picbox->setProgramDir(station.ProgramDir);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Fingerdatenlschen1 = PopupMenu1->addAction(QStringLiteral("Fingerdaten löschen"));
    Fingerdatenlschen1->setObjectName(QStringLiteral("Fingerdatenlschen1"));

    auto *picbox = m_ui->picbox;
    connect(picbox, &HandPictureBox::mouseMoved, this, &Tscanfingerform::picboxMouseMove);
    connect(picbox, &HandPictureBox::doubleClicked, this, [this](int, int) { picboxDblClick(); });
    connect(picbox, &HandPictureBox::contextMenuRequested, this, [this](int, int, const QPoint &globalPos) {
        PopupMenu1Popup();
        PopupMenu1->exec(globalPos);
    });
    connect(Fingerdatenlschen1, &QAction::triggered, this, &Tscanfingerform::Fingerdatenlschen1Click);
    connect(m_ui->BitBtn1, &QPushButton::clicked, this, &Tscanfingerform::BitBtn1Click);
    m_ui->pidedit->installEventFilter(this);
    connect(m_ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    // A region file that cannot be used leaves the fingers unreachable; say
    // why once, instead of a picture on which no finger can be hit.
    const QString regionError = CreateFingers(Fingers, station.ProgramDir);
    if (!regionError.isEmpty() && station.ui)
        station.ui->message(regionError);
    m_scanning.setHost(this);
}

Tscanfingerform::~Tscanfingerform()
{
    m_scanning.setHost(nullptr);
    // The worker goes first: it may still read KeepScanning or wait in a
    // hand-over that would touch the lists.
    m_worker.reset();
}

QLineEdit *Tscanfingerform::pidedit() const { return m_ui->pidedit; }
QLineEdit *Tscanfingerform::nameedit() const { return m_ui->nameedit; }

bool Tscanfingerform::OpenModule()
{
    return m_station.module && m_station.module->OpenModule();
}

void Tscanfingerform::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tscanfingerform::FormShow()
{
    CurrentFinger = nullptr;
    MenuFinger = nullptr;
    Scans.clear();
    for (int pos = 1; pos <= Fingers.size(); ++pos) {
        Tfinger *f = Fingers.FingerAtPosition(pos);
        f->ScanCount = 0;
        f->BestScan = 0;
        f->BestScore = 0;
        f->Selected = false;
        f->Rank = 0;
    }
    m_scansChanged = false;
    // Marks of the previous enrolment must not survive into this one.
    m_ui->picbox->drawPicture();
    m_ui->picbox->update();
    // New scans of a stored person stay under the person's number; a
    // number is changed with "Eintrag bearbeiten".
    m_ui->pidedit->setReadOnly(RescanMode);
    m_rescanPid = RescanMode ? m_ui->pidedit->text() : QString();
    if (!RescanMode)
        return;
    const bool loaded = guarded(*m_station.ui, [this] {
        loadStoredScans();
        RankFingers();
    });
    // Saving after a failed load would replace the stored scans with what
    // little was read: the rescan ends here, the stored data stays as it is.
    if (!loaded)
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

void Tscanfingerform::picboxMouseMove(int x, int y)
{
    Tfinger *f = Fingers.FingerAt(x, y);
    if (!f)
        return;
    QPlainTextEdit *memo = m_ui->resultmemo;
    memo->clear();
    if (f->ScanCount > 0) {
        QStringList lines;
        lines << QStringLiteral("Finger:") + QString::number(f->FingerNo);
        for (int i = 1; i <= f->ScanCount; ++i) {
            lines << (i == f->BestScan ? QStringLiteral("*") : QString()) + QStringLiteral("Scan:") +
                         QString::number(i);
            if (const Tscan *scan = Scans.FindScan(f->FingerNo, i)) {
                lines << QStringLiteral("Qualität: ") + QString::number(scan->quality());
                lines << QStringLiteral("Anzahl Minutien: ") + QString::number(scan->minutiae());
                lines << QStringLiteral("Score:") + QString::number(scan->Score);
            }
        }
        memo->setPlainText(lines.join(QLatin1Char('\n')));
    }
    CurrentFinger = f;
    m_ui->Label1->setText(QStringLiteral("Finger:") + QString::number(f->FingerNo));
    MarkFingers();
}

void Tscanfingerform::picboxDblClick()
{
    guarded(*m_station.ui, [this] {
        ScanLimit = m_station.Settings ? m_station.Settings->ReadInteger(QStringLiteral("PELVAR"),
                                                                         QStringLiteral("NOFSCANS"), 3)
                                       : 3;
        if (!CurrentFinger)
            return;
        if (CurrentFinger->ScanCount < ScanLimit) {
            m_scanning.ResetDialog();
            m_scanning.Finger = CurrentFinger;
            m_seriesFirstPass = m_passesStarted + 1;
            m_scanning.exec();
        } else {
            m_station.ui->message(QStringLiteral("Es sind bereits ") + QString::number(CurrentFinger->ScanCount) +
                                  QStringLiteral(" Scans vorhanden"));
        }
    });
}

void Tscanfingerform::PopupMenu1Popup()
{
    MenuFinger = CurrentFinger;
}

void Tscanfingerform::Fingerdatenlschen1Click()
{
    if (!MenuFinger)
        return;
    Scans.DeleteScans(MenuFinger->FingerNo);
    m_scansChanged = true;
    MenuFinger->ScanCount = 0;
    MenuFinger->BestScan = -1;
    MenuFinger->BestScore = 0;
    MenuFinger->Rank = 0;
    RankFingers();
    MarkFingers();
}

void Tscanfingerform::MarkFingers()
{
    HandPictureBox *picbox = m_ui->picbox;
    for (int pos = 1; pos <= 10; ++pos) {
        const Tfinger *f = Fingers.FingerAtPosition(pos);
        if (!f)
            continue;
        QColor colour;
        if (f == CurrentFinger)
            colour = QColor(0, 0, 255);
        else if (f->ScanCount == 0)
            colour = QColor(255, 255, 255);
        else if (f->Rank == 1)
            colour = QColor(0, 128, 0);
        else
            colour = QColor(255, 255, 0);
        picbox->markAt(f->Region.centreX(), f->Region.centreY(), colour);
    }
}

void Tscanfingerform::ScoreFinger(Tfinger &finger)
{
    ScoringModule scoring;
    if (!m_station.module) {
        scoring.open = [] { return false; };
        scoring.close = [] {};
        ::ScoreFinger(finger, Scans, scoring);
        return;
    }
    ModuleSession &session = *m_station.module;
    ModuleLibrary &library = session.library();
    // A verification attempt may wait in the library for a finger; it is
    // ended before the library is held here, or the hold would wait for it.
    session.endBackgroundUse();
    // A capture abandoned by the closing of the scanning dialog may still be
    // inside the library on the worker: scoring waits here until it has left,
    // and no capture can begin until the scoring is done.
    ModuleLibrary::Hold hold(library);
    const Tscan *inSlot0 = nullptr;
    scoring.open = [this] { return OpenModule(); };
    scoring.clear = [&session] { session.ClearModule(); };
    scoring.match = [&library, &inSlot0](const Tscan &a, const Tscan &b, int *score) {
        if (&a != inSlot0) {
            library.SetTemplate(a.Template, 0);
            inSlot0 = &a;
        }
        library.SetTemplate(b.Template, 1);
        uint8_t matchScore = 0;
        int64_t personId = 0;
        uint8_t fingerNo = 0;
        const bool matched = library.MatchTemplate(1, 1, &matchScore, &personId, &fingerNo);
        *score = matchScore;
        return matched;
    };
    scoring.close = [&session] { session.CloseModule(); };
    ::ScoreFinger(finger, Scans, scoring);
}

void Tscanfingerform::RankFingers()
{
    ::RankFingers(Fingers);
}

void Tscanfingerform::StartScan()
{
    KeepScanning = 1;
    if (!OpenModule()) {
        KeepScanning = 0;
        m_scanning.ResetDialog();
        return;
    }
    if (!m_worker && m_station.module)
        m_worker = std::make_unique<tbioscanfinger>(m_station.module->library(), KeepScanning);
    if (!m_worker)
        return;
    m_worker->OnScanDone = [this](tbioscanfinger *worker, const uint8_t *templ, int32_t length) {
        ScanDone(worker, templ, length);
    };
    KeepScanning = 1;
    ++m_passesStarted;
    m_worker->Start();
    m_scanning.ShowScanning();
}

void Tscanfingerform::StopScanning()
{
    KeepScanning = 0;
}

void Tscanfingerform::ScoreAndRank(Tfinger &finger)
{
    ScoreFinger(finger);
    RankFingers();
}

void Tscanfingerform::ScanDone(tbioscanfinger *worker, const uint8_t *templ, int32_t length)
{
    Tfinger *finger = m_scanning.Finger;
    // A capture abandoned by closing the scanning dialog reports after its
    // series was scored, perhaps while another finger's series is open. It
    // shows its result but neither adds a scan nor closes or scores anything.
    const bool stale = !m_scanning.isOpen() || worker->Pass < m_seriesFirstPass || !finger;
    if (stale) {
        if (worker->ResultText != QLatin1String("OK"))
            m_ui->resultmemo->appendPlainText(worker->ResultText);
        return;
    }
    m_ui->resultmemo->appendPlainText(worker->ResultText);
    if (worker->ResultText != QLatin1String("OK")) {
        m_scanning.CloseDialog();
        return;
    }
    auto scan = std::make_unique<Tscan>();
    scan->FingerNo = finger->FingerNo;
    scan->ScanIndex = finger->ScanCount;
    std::memcpy(scan->Template, templ, TEMPLATE_SIZE);
    scan->TemplateLength = qBound(0, length, int(TEMPLATE_SIZE));
    Scans.append(std::move(scan));
    m_scansChanged = true;
    ++finger->ScanCount;
    if (finger->ScanCount >= ScanLimit)
        m_scanning.CloseDialog();
    else
        m_scanning.ShowWaiting();
}

bool Tscanfingerform::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->pidedit && event->type() == QEvent::FocusOut) {
        // Only the operator leaving the field checks it: not a message box
        // or another application taking the focus, and not "OK" (which
        // checks the number itself) or "Abbrechen".
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        const QWidget *next = QApplication::focusWidget();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            next != m_ui->BitBtn1 && next != m_ui->BitBtn2)
            pideditExit();
    }
    return QDialog::eventFilter(watched, event);
}

void Tscanfingerform::reject()
{
    // A rescan's loaded scans are stored already; only new ones are lost.
    const bool unsaved = Scans.size() > 0 && (!RescanMode || m_scansChanged);
    if (unsaved &&
        !m_station.ui->confirm(QStringLiteral("Scandaten verwerfen ??"), OperatorUi::Default::No))
        return;
    QDialog::reject();
}

void Tscanfingerform::pideditExit()
{
    const QString text = m_ui->pidedit->text();
    if (text.isEmpty() || RescanMode || !m_station.dm)
        return;
    guarded(*m_station.ui, [&] {
        if (const auto holder = personHolding(*m_station.dm, personnelNumber(text)))
            m_station.ui->message(pidTakenMessage(*holder));
    });
}

void Tscanfingerform::BitBtn1Click()
{
    OperatorUi &ui = *m_station.ui;
    const QString pidText = m_ui->pidedit->text();
    const QString name = m_ui->nameedit->text();
    if (pidText.isEmpty()) {
        ui.message(QStringLiteral("Keine PersonalId eingetragen !!"));
        return;
    }
    if (name.isEmpty()) {
        ui.message(QStringLiteral("Kein Name eingetragen !!"));
        return;
    }
    if (Scans.size() == 0) {
        ui.message(QStringLiteral("Keine Scandaten vorhanden !!"));
        return;
    }
    if (!m_saveForm || !m_station.dm)
        return;
    guarded(ui, [&] {
        // The number is checked before any statement uses it.
        const int32_t pid = personnelNumber(pidText);
        if (!RescanMode) {
            if (const auto holder = personHolding(*m_station.dm, pid)) {
                ui.message(pidTakenMessage(*holder));
                return;
            }
        }
        m_saveForm->setPerson(pidText, name, RescanMode);
        if (m_saveForm->exec() != QDialog::Accepted)
            return;

        EnrolmentSave save;
        save.pidText = pidText;
        save.name = name;
        save.rescan = RescanMode;
        save.rescanPidText = m_rescanPid;
        save.dataFormat = m_station.DataFormat;
        std::copy(m_saveForm->FingerSlots.begin(), m_saveForm->FingerSlots.end(), save.fingerSlots.begin());
        if (!RescanMode)
            save.terminals = m_saveForm->tickedTerminals();
        saveEnrolment(*m_station.dm, *m_station.clock, Fingers, Scans, save);
        if (!RescanMode)
            m_station.LastTerminalGroup = m_saveForm->groupText();
        m_station.DataChanged = true;
        accept();
    });
}

void Tscanfingerform::loadStoredScans()
{
    if (!m_station.dm)
        return;
    const int32_t pid = personnelNumber(m_ui->pidedit->text());
    ::loadStoredScans(*m_station.dm, pid, Fingers, Scans, [this](Tfinger &f) { ScoreFinger(f); });
}
