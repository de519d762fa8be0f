#include "tgzuweisenform.h"

#include "guard.h"
#include "personmaintenance.h"
#include "personrecords.h"
#include "persontickmodel.h"
#include "roomyrows.h"
#include "station.h"
#include "tdm.h"
#include "terminals.h"
#include "ui_tgzuweisenform.h"

#include <QShowEvent>

namespace {
enum { TerminalRole = Qt::UserRole + 1 };
}

Tgzuweisenform::Tgzuweisenform(Station &station, QWidget *parent)
    : QDialog(parent), m_station(station), m_ui(std::make_unique<Ui::Tgzuweisenform>())
{
    m_ui->setupUi(this);
    m_persons = new PersonTickModel(this);
    m_ui->pbox->setModel(m_persons);
    giveRowsRoom(m_ui->gbox);
    giveRowsRoom(m_ui->pbox);
    connect(m_ui->gbox, &QListWidget::currentRowChanged, this, [this](int) { gboxClick(); });
    connect(m_persons, &PersonTickModel::tickToggled, this, &Tgzuweisenform::pboxClickCheck);
}

Tgzuweisenform::~Tgzuweisenform() = default;

QListWidget *Tgzuweisenform::gbox() const { return m_ui->gbox; }
QListView *Tgzuweisenform::pbox() const { return m_ui->pbox; }

void Tgzuweisenform::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tgzuweisenform::LoadTerminalList()
{
    QListWidget *terminals = m_ui->gbox;
    const QSignalBlocker block(terminals);
    // The directory is read once per run: the same terminals as at the last
    // showing need no new items.
    const int count = m_station.dm->TerminalCount();
    bool same = terminals->count() == count;
    for (int i = 0; same && i < count; ++i)
        same = terminals->item(i)->data(TerminalRole).toString() == m_station.dm->GetTerminal(i)->typid;
    if (same)
        return;
    terminals->clear();
    for (int i = 0; i < count; ++i) {
        const tgeraet *t = m_station.dm->GetTerminal(i);
        auto *item = new QListWidgetItem(t->bezeichnung, terminals);
        item->setData(TerminalRole, t->typid);
    }
}

void Tgzuweisenform::FormShow()
{
    const int lastCount = m_persons->rowCount();
    m_persons->setPersons({});
    guarded(*m_station.ui, [&] {
        if (m_station.Settings)
            m_station.dm->LoadTerminals(*m_station.Settings);
        LoadTerminalList();
        m_persons->setPersons(readPersons(*m_station.dm, QStringLiteral("name"), lastCount, &m_nameOrder));
    });
    QListWidget *terminals = m_ui->gbox;
    if (terminals->count() > 0) {
        const QSignalBlocker blockTerminals(terminals);
        terminals->setCurrentRow(0);
    }
    m_ui->pbox->scrollToTop();
    gboxClick();
}

QString Tgzuweisenform::currentTerminal() const
{
    const QListWidgetItem *item = m_ui->gbox->currentItem();
    return item ? item->data(TerminalRole).toString() : QString();
}

void Tgzuweisenform::gboxClick()
{
    if (!m_ui->gbox->currentItem())
        return;
    const QString terminal = currentTerminal();
    guarded(*m_station.ui, [&] { m_persons->setTicked(readAssignedPids(*m_station.dm, terminal)); });
}

void Tgzuweisenform::pboxClickCheck(int row, bool ticked)
{
    const PersonRow *p = m_persons->person(row);
    if (!p || !m_ui->gbox->currentItem())
        return;
    const int32_t pid = p->pid;
    const QString terminal = currentTerminal();
    // The tick follows only a stored assignment, so that it never shows one
    // that does not exist.
    const bool stored = guarded(*m_station.ui, [&] {
        setAssignment(*m_station.dm, *m_station.clock, pid, terminal, ticked);
        m_station.DataChanged = true;
    });
    if (stored)
        m_persons->setTick(row, ticked);
}
