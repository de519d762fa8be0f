#include "tsetupform.h"

#include "operatorui.h"
#include "personnelnumber.h"
#include "widgetoperatorui.h"

#include "ui_tsetupform.h"

#include <QButtonGroup>

namespace {

void chooseItem(QButtonGroup *group, int index)
{
    const QList<QAbstractButton *> items = group->buttons();
    if (items.isEmpty())
        return;
    if (index < 0 || index >= items.size())
        index = int(items.size()) - 1;
    group->button(index)->setChecked(true);
}

}  // namespace

TSetupform::TSetupform(std::function<QStringList()> portNames, QWidget *parent) : TSetupform(QStringList(), parent)
{
    m_portSource = std::move(portNames);
}

TSetupform::TSetupform(const QStringList &portNames, QWidget *parent)
    : QDialog(parent), ui(new Ui::TSetupform), m_schnittstelle(new QButtonGroup(this)),
      m_formatgroup(new QButtonGroup(this))
{
    ui->setupUi(this);

    m_schnittstelle->addButton(ui->SchnittstelleUSB, 0);
    m_schnittstelle->addButton(ui->SchnittstelleSeriell, 1);
    m_formatgroup->addButton(ui->formatDin, 0);
    m_formatgroup->addButton(ui->formatIdencom, 1);

    setPortList(portNames);

    // The form's own connection of OK to accept() is replaced by the check.
    disconnect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TSetupform::BitBtn1Click);
    connect(ui->SchnittstelleSeriell, &QRadioButton::toggled, this, [this] { SchnittstelleClick(); });
    connect(ui->syncimmediate, &QRadioButton::toggled, this, [this] { syncimmediateClick(); });
    for (QSlider *slider : {ui->securitytrack, ui->qualitytrack, ui->minuzientrack}) {
        connect(slider, &QSlider::valueChanged, this,
                [this, slider](int position) { securitytrackPositionChanged(slider, position); });
        securitytrackPositionChanged(slider, slider->value());
    }
    SchnittstelleClick();
    syncimmediateClick();
}

TSetupform::~TSetupform()
{
    delete ui;
}

void TSetupform::setPortList(const QStringList &portNames)
{
    QStringList sorted = portNames;
    sorted.sort(Qt::CaseInsensitive);
    ui->Comcombo->addItems(sorted);
    if (!sorted.isEmpty())
        ui->Comcombo->setCurrentIndex(0);
}

void TSetupform::ensurePortList()
{
    if (!m_portSource)
        return;
    const std::function<QStringList()> source = std::move(m_portSource);
    m_portSource = nullptr;
    setPortList(source());
}

int TSetupform::SchnittstelleIndex() const
{
    return m_schnittstelle->checkedId();
}

void TSetupform::setSchnittstelleIndex(int index)
{
    chooseItem(m_schnittstelle, index);
}

int TSetupform::formatgroupIndex() const
{
    return m_formatgroup->checkedId();
}

void TSetupform::setFormatgroupIndex(int index)
{
    chooseItem(m_formatgroup, index);
}

void TSetupform::SchnittstelleClick()
{
    ui->Comcombo->setEnabled(SchnittstelleIndex() == 1);
}

void TSetupform::syncimmediateClick()
{
    ui->syncedit->setEnabled(!ui->syncimmediate->isChecked());
}

void TSetupform::securitytrackPositionChanged(QSlider *slider, int position)
{
    if (slider == ui->securitytrack)
        ui->seclabel->setText(QStringLiteral("Sicherheit:") + QString::number(position));
    else if (slider == ui->qualitytrack)
        ui->quallabel->setText(QStringLiteral("Qualität:") + QString::number(position));
    else if (slider == ui->minuzientrack)
        ui->minlabel->setText(QStringLiteral("Minimum-Minuzien:") + QString::number(position));
}

void TSetupform::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TSetupform::FormShow()
{
    ensurePortList();
    SchnittstelleClick();
}

void TSetupform::choosePort(const QString &port)
{
    if (port.isEmpty())
        return;
    int index = ui->Comcombo->findText(port, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index < 0) {
        ui->Comcombo->addItem(port);
        index = ui->Comcombo->count() - 1;
    }
    ui->Comcombo->setCurrentIndex(index);
}

void TSetupform::BitBtn1Click()
{
    if (!isPersonnelNumber(ui->scans->text())) {
        const QString text =
            QStringLiteral("'%1' ist kein gültiger Integerwert für Feld '%2'").arg(ui->scans->text(), ui->scansLabel->text());
        if (m_operatorUi) {
            m_operatorUi->message(text);
        } else {
            WidgetOperatorUi fallback;
            fallback.message(text);
        }
        ui->scans->setFocus();
        ui->scans->selectAll();
        return;
    }
    accept();
}
