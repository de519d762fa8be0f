#include "tscanningform.h"

#include "bioobjects.h"
#include "scanhost.h"
#include "ui_tscanningform.h"

#include <QShowEvent>

Tscanningform::Tscanningform(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::Tscanningform>())
{
    m_ui->setupUi(this);
    scantimer.setInterval(1000);
    scantimer.setSingleShot(true);
    connect(m_ui->scanbtn, &QPushButton::clicked, this, &Tscanningform::scanbtnClick);
    connect(m_ui->cnxbtn, &QPushButton::clicked, this, &Tscanningform::cnxbtnClick);
    connect(&scantimer, &QTimer::timeout, this, &Tscanningform::scantimerTimer);
    ResetDialog();
}

Tscanningform::~Tscanningform() = default;

void Tscanningform::ResetDialog()
{
    m_ui->scanbtn->setEnabled(true);
    m_ui->cnxbtn->setEnabled(false);
    m_ui->scanmemo->hide();
}

void Tscanningform::ShowScanning()
{
    m_ui->scanmemo->show();
    WriteScanInfo();
}

void Tscanningform::WriteScanInfo()
{
    m_ui->scanmemo->clear();
    if (!Finger)
        return;
    m_ui->scanmemo->appendPlainText(QStringLiteral("Scanne Finger Nr.") + QString::number(Finger->FingerNo));
    m_ui->scanmemo->appendPlainText(QStringLiteral("Scan Nr.") + QString::number(Finger->ScanCount + 1));
}

void Tscanningform::ShowWaiting()
{
    m_ui->scanmemo->clear();
    m_ui->scanmemo->appendPlainText(QStringLiteral("Warten"));
    scantimer.start();
}

void Tscanningform::CloseDialog()
{
    if (m_open)
        reject();
}

void Tscanningform::scanbtnClick()
{
    m_ui->scanmemo->show();
    m_ui->scanmemo->clear();
    m_ui->scanmemo->appendPlainText(QStringLiteral("Initialisiere Scanner"));
    m_ui->scanbtn->setEnabled(false);
    m_ui->cnxbtn->setEnabled(true);
    if (m_host)
        m_host->StartScan();
}

void Tscanningform::cnxbtnClick()
{
    if (m_host)
        m_host->StopScanning();
}

void Tscanningform::scantimerTimer()
{
    scantimer.stop();
    // The pause may end just as the dialog is being closed; a closed dialog starts nothing.
    if (m_open && m_host)
        m_host->StartScan();
}

void Tscanningform::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        m_open = true;
}

void Tscanningform::done(int result)
{
    if (m_open) {
        m_open = false;
        FormClose();
    }
    QDialog::done(result);
}

void Tscanningform::FormClose()
{
    scantimer.stop();
    if (!m_host)
        return;
    m_host->StopScanning();
    // Scoring errors must not keep the dialog open or reach the event loop.
    try {
        if (Finger)
            m_host->ScoreAndRank(*Finger);
    } catch (...) {
    }
}
