#include "ttestinfoform.h"

#include "testhost.h"
#include "ui_ttestinfoform.h"

#include <QCloseEvent>
#include <QShowEvent>

Ttestinfoform::Ttestinfoform(TestHost &host, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::Ttestinfoform>()), m_host(host)
{
    m_ui->setupUi(this);
    setModal(false);
    connect(m_ui->ntestbtn, &QPushButton::clicked, this, &Ttestinfoform::ntestbtnClick);
    connect(m_ui->cancelbtn, &QPushButton::clicked, this, &Ttestinfoform::cancelbtnClick);
}

Ttestinfoform::~Ttestinfoform() = default;

void Ttestinfoform::ClearLines()
{
    m_ui->testinfomemo->clear();
}

void Ttestinfoform::AddLine(const QString &line)
{
    m_ui->testinfomemo->appendPlainText(line);
}

QStringList Ttestinfoform::lines() const
{
    const QString text = m_ui->testinfomemo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void Ttestinfoform::SetNextEnabled(bool enabled)
{
    m_ui->ntestbtn->setEnabled(enabled);
}

void Ttestinfoform::ntestbtnClick()
{
    m_host.NextTest();
}

void Ttestinfoform::cancelbtnClick()
{
    close();
}

void Ttestinfoform::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_open = true;
}

void Ttestinfoform::closeEvent(QCloseEvent *event)
{
    FormClose();
    QDialog::closeEvent(event);
}

void Ttestinfoform::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void Ttestinfoform::FormClose()
{
    if (!m_open)
        return;
    m_open = false;
    m_host.EndTest();
}
