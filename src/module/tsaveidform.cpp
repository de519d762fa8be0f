#include "tsaveidform.h"

#include "elidedtext.h"
#include "floodfill.h"
#include "germanorder.h"
#include "guard.h"
#include "modulelibrary.h"
#include "modulesession.h"
#include "operatorui.h"
#include "personnelnumber.h"
#include "station.h"
#include "tbiotestfinger.h"
#include "tdbini.h"
#include "tdm.h"
#include "templateheader.h"
#include "terminals.h"
#include "ttestinfoform.h"
#include "ui_tsaveidform.h"

#include <QCoreApplication>
#include <QShowEvent>
#include <QSqlQuery>

namespace {

// Shows a line at once without letting the operator's clicks in meanwhile.
void showNow()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

TsaveidForm::TsaveidForm(Station &station, FingerList &fingers, ScanList &scans, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TsaveidForm>()), m_station(station), m_fingers(fingers),
      m_scans(scans)
{
    m_ui->setupUi(this);
    m_ui->picbox->setProgramDir(station.ProgramDir);
    m_ui->picbox->colourFingers = [this] { fillFingerColours(); };
    connect(m_ui->picbox, &HandPictureBox::mousePressed, this,
            [this](int x, int y, Qt::MouseButton) { picboxMouseDown(x, y); });
    connect(m_ui->Ggroupbox, QOverload<int>::of(&QComboBox::activated), this, [this](int) { GgroupboxClick(); });
    connect(m_ui->setallbtn, &QPushButton::clicked, this, &TsaveidForm::setallbtnClick);
    connect(m_ui->BitBtn1, &QPushButton::clicked, this, &TsaveidForm::BitBtn1Click);
    connect(m_ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->Button1, &QPushButton::clicked, this, &TsaveidForm::Button1Click);
}

TsaveidForm::~TsaveidForm()
{
    if (m_testActive && m_station.module)
        m_station.module->clearBackgroundUse();
    // Clears KeepTesting first, so a waiting capture is abandoned before the wait.
    m_worker.reset();
}

void TsaveidForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        guarded(*m_station.ui, [this] { FormShow(); });
}

void TsaveidForm::FormShow()
{
    int chosen = 0;
    for (int p = 1; p <= 10; ++p) {
        Tfinger *f = m_fingers.FingerAtPosition(p);
        FingerSlots[size_t(p - 1)] = nullptr;
        if (!f || f->ScanCount <= 0)
            continue;
        FingerSlots[size_t(p - 1)] = f;
        f->Selected = chosen < 2;
        ++chosen;
    }
    ColourFingers();
    FillGroups();
    FillTerminals();
}

void TsaveidForm::FillGroups()
{
    if (m_ui->Ggroupbox->count() == 0 && m_station.dm) {
        struct Row { QString text; int level; QString ref; };
        std::vector<Row> rows;
        m_station.dm->forEachRow(QStringLiteral("select typ, level, ref, bezeichnung from geraetetree"), {},
                                 [&](const QSqlQuery &q) {
                                     if (q.value(0).toString() != QLatin1String("G"))
                                         rows.push_back({q.value(3).toString(), q.value(1).toInt(),
                                                         q.value(2).toString()});
                                 });
        sortByLevelAndName(rows, [](const Row &r) { return r.level; }, [](const Row &r) { return r.text; });
        m_groups.clear();
        m_ui->Ggroupbox->addItem(QStringLiteral("Alle"));
        for (const Row &row : rows) {
            m_groups.push_back(std::make_unique<Tgergroup>(Tgergroup{row.level, row.ref}));
            m_ui->Ggroupbox->addItem(row.text);
        }
    }
    if (m_station.dm && m_station.Settings)
        m_station.dm->LoadTerminals(*m_station.Settings);
}

void TsaveidForm::FillTerminals()
{
    QComboBox *groups = m_ui->Ggroupbox;
    if (!m_groupChosen && groups->count() > 0) {
        const int last = groups->findText(m_station.LastTerminalGroup, Qt::MatchExactly);
        groups->setCurrentIndex(last >= 0 ? last : 0);
        m_groupChosen = true;
    }
    QListWidget *list = m_ui->gbox;
    list->clear();
    auto *heading = new QListWidgetItem(QStringLiteral("Geräte"), list);
    heading->setFlags(Qt::ItemIsEnabled);
    if (!m_station.dm)
        return;
    const int index = groups->currentIndex();
    const Tgergroup *group = index > 0 ? m_groups[size_t(index - 1)].get() : nullptr;
    for (int i = 0; i < m_station.dm->TerminalCount(); ++i) {
        const tgeraet *terminal = m_station.dm->GetTerminal(i);
        if (group && terminal->parentref != group->ref)
            continue;
        auto *item = new QListWidgetItem(terminal->bezeichnung, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
        item->setData(Qt::UserRole, QVariant::fromValue(quintptr(terminal)));
    }
}

void TsaveidForm::GgroupboxClick()
{
    FillTerminals();
    m_station.LastTerminalGroup = m_ui->Ggroupbox->currentText();
}

void TsaveidForm::setallbtnClick()
{
    for (int i = 1; i < m_ui->gbox->count(); ++i)
        m_ui->gbox->item(i)->setCheckState(Qt::Checked);
}

std::vector<const tgeraet *> TsaveidForm::tickedTerminals() const
{
    std::vector<const tgeraet *> ticked;
    for (int i = 1; i < m_ui->gbox->count(); ++i) {
        const QListWidgetItem *item = m_ui->gbox->item(i);
        if (item->checkState() == Qt::Checked)
            ticked.push_back(reinterpret_cast<const tgeraet *>(item->data(Qt::UserRole).value<quintptr>()));
    }
    return ticked;
}

void TsaveidForm::setPerson(const QString &pidText, const QString &name, bool rescan)
{
    m_ui->idlabel->setText(pidText);
    setElidedText(m_ui->namelabel, name);
    m_ui->gbox->setVisible(!rescan);
}

QString TsaveidForm::groupText() const
{
    return m_ui->Ggroupbox->currentText();
}

void TsaveidForm::ColourFingers()
{
    m_ui->picbox->recolour();
}

void TsaveidForm::fillFingerColours()
{
    QImage &image = m_ui->picbox->image();
    for (int p = 1; p <= 10; ++p) {
        const Tfinger *f = m_fingers.FingerAtPosition(p);
        if (!f)
            continue;
        QColor colour(255, 255, 255);
        if (f->ScanCount > 0)
            colour = f->Selected ? QColor(0, 128, 0) : QColor(255, 255, 0);
        floodFill(image, QPoint(f->Region.centreX(), f->Region.centreY()), colour);
    }
}

void TsaveidForm::picboxMouseDown(int x, int y)
{
    if (Tfinger *f = m_fingers.FingerAt(x, y); f && f->ScanCount > 0)
        f->Selected = !f->Selected;
    ColourFingers();
}

void TsaveidForm::BitBtn1Click()
{
    int chosen = 0;
    for (const Tfinger *f : FingerSlots)
        if (f && f->Selected)
            ++chosen;
    OperatorUi &ui = *m_station.ui;
    if (chosen == 2) {
        accept();
    } else if (chosen > 2) {
        ui.message(QStringLiteral("Sie haben mehr als zwei Finger gewählt"));
    } else if (chosen == 0) {
        ui.message(QStringLiteral("Sie haben keinen Finger gewählt"));
    } else if (ui.confirm(QStringLiteral("Sie haben nur einen Finger gewählt-Weiter ??"), OperatorUi::Default::No)) {
        accept();
    }
}

void TsaveidForm::Button1Click()
{
    // The module library must not be entered while an attempt waits in it.
    if (m_attemptRunning || m_testStarting) {
        m_station.ui->message(QStringLiteral("Es läuft bereits ein Test"));
        return;
    }
    ModuleSession *session = m_station.module;
    if (!session || !m_testinfo)
        return;
    m_testStarting = true;
    struct Reset { bool &flag; ~Reset() { flag = false; } } reset{m_testStarting};

    // A test left open between attempts ends here; this one starts afresh.
    session->endBackgroundUse();
    m_testinfo->ClearLines();
    m_testinfo->showBeside(this);
    m_testinfo->AddLine(QStringLiteral("Initialisiere Scanner"));
    showNow();
    const auto holdModule = [this, session] {
        m_testActive = true;
        session->setBackgroundUse([this] {
            if (m_testinfo && m_testinfo->isVisible())
                m_testinfo->close();
            EndTest();
        });
    };
    if (!session->OpenModule()) {
        // A port that opened for a module that would not initialise is the
        // test's as well: closing the result dialog closes it.
        if (m_station.ModuleOpen)
            holdModule();
        return;
    }
    m_testinfo->AddLine(QStringLiteral("Lösche Scannerdatenbank"));
    showNow();
    session->ClearModule();
    holdModule();

    const bool written = guarded(*m_station.ui, [this] {
        const int32_t pid = personnelNumber(m_ui->idlabel->text());
        ModuleLibrary &library = m_station.module->library();
        for (const Tfinger *f : FingerSlots) {
            if (!f)
                continue;
            const Tscan *best = m_scans.FindScan(f->FingerNo, f->BestScan);
            if (!best)
                continue;
            uint8_t buffer[TEMPLATE_SIZE];
            stampTemplate(*best, pid, buffer);
            m_testinfo->AddLine(QStringLiteral("schreibe Datenbank: Finger ") + QString::number(f->FingerNo));
            showNow();
            library.WriteTemplate(pid, uint8_t(f->FingerNo), buffer, best->TemplateLength);
        }
    });
    if (!written)
        return;

    if (!m_worker) {
        m_worker = std::make_unique<tbiotestfinger>(session->library(), KeepTesting);
        m_worker->OnScanDone = [this](tbiotestfinger *worker) { return TestScanDone(worker); };
    }
    KeepTesting = 1;
    startAttempt();
    m_testinfo->AddLine(QStringLiteral("Bitte Finger scannen"));
    m_testinfo->SetNextEnabled(false);
}

void TsaveidForm::startAttempt()
{
    m_attemptRunning = true;
    ++m_passesStarted;
    m_worker->Start();
}

void TsaveidForm::NextTest()
{
    if (!m_worker || !m_testActive || m_attemptRunning || !m_testinfo)
        return;
    m_testinfo->SetNextEnabled(false);
    startAttempt();
    m_testinfo->AddLine(QStringLiteral("-------------------"));
    m_testinfo->AddLine(QStringLiteral("Bitte Finger scannen"));
}

void TsaveidForm::EndTest()
{
    KeepTesting = 0;
    m_attemptRunning = false;
    if (!m_testActive)
        return;
    m_testActive = false;
    if (ModuleSession *session = m_station.module) {
        session->clearBackgroundUse();
        // Takes the library, so it waits until the abandoned capture has left it.
        session->CloseModule();
    }
}

std::function<void()> TsaveidForm::TestScanDone(tbiotestfinger *worker)
{
    QStringList lines;
    try {
        if (worker->ResultText == QLatin1String("OK")) {
            uint8_t score = 0;
            int64_t personId = 0;
            uint8_t fingerNo = 0;
            if (worker->library().MatchTemplate(1, 0, &score, &personId, &fingerNo)) {
                lines << QStringLiteral("Ergebnis:") << QStringLiteral("Scan erfolgreich")
                      << QStringLiteral("Personalid=") + QString::number(personId)
                      << QStringLiteral("Fingerid=") + QString::number(fingerNo)
                      << QStringLiteral("Trefferquote=") + QString::number(score);
            } else {
                lines << QStringLiteral("Ergebnis:") << QStringLiteral("Scan nicht erfolgreich");
            }
        }
    } catch (...) {
        // A failed match shows no result; the next attempt may still work.
    }
    const int32_t pass = worker->Pass;
    return [this, pass, lines] { showTestResult(pass, lines); };
}

void TsaveidForm::showTestResult(int32_t pass, const QStringList &lines)
{
    // The result of an attempt that a newer one replaced, or of a test that
    // ended meanwhile, shows nothing.
    if (pass != m_passesStarted)
        return;
    m_attemptRunning = false;
    if (!m_testinfo)
        return;
    if (m_testActive)
        for (const QString &line : lines)
            m_testinfo->AddLine(line);
    m_testinfo->SetNextEnabled(true);
}
