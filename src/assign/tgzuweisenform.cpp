#include "tgzuweisenform.h"

#include "guard.h"
#include "personmaintenance.h"
#include "personrecords.h"
#include "roomyrows.h"
#include "station.h"
#include "tdm.h"
#include "terminals.h"
#include "ui_tgzuweisenform.h"

#include <QShowEvent>

namespace {
enum { TerminalRole = Qt::UserRole + 1, PersonRole };
}

Tgzuweisenform::Tgzuweisenform(Station &station, QWidget *parent)
    : QDialog(parent), m_station(station), m_ui(std::make_unique<Ui::Tgzuweisenform>())
{
    m_ui->setupUi(this);
    giveRowsRoom(m_ui->gbox);
    giveRowsRoom(m_ui->pbox);
    connect(m_ui->gbox, &QListWidget::currentRowChanged, this, [this](int) { gboxClick(); });
    connect(m_ui->pbox, &QListWidget::itemChanged, this, &Tgzuweisenform::pboxClickCheck);
}

Tgzuweisenform::~Tgzuweisenform() = default;

QListWidget *Tgzuweisenform::gbox() const { return m_ui->gbox; }
QListWidget *Tgzuweisenform::pbox() const { return m_ui->pbox; }

const tperson *Tgzuweisenform::personOf(const QListWidgetItem *item) const
{
    if (!item)
        return nullptr;
    const int index = item->data(PersonRole).toInt();
    return index >= 0 && size_t(index) < m_persons.size() ? &m_persons[size_t(index)] : nullptr;
}

void Tgzuweisenform::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tgzuweisenform::FormShow()
{
    QListWidget *terminals = m_ui->gbox;
    QListWidget *people = m_ui->pbox;
    {
        const QSignalBlocker blockTerminals(terminals);
        const QSignalBlocker blockPeople(people);
        terminals->clear();
        people->clear();
        m_persons.clear();
    }
    guarded(*m_station.ui, [&] {
        if (m_station.Settings)
            m_station.dm->LoadTerminals(*m_station.Settings);
        const QSignalBlocker blockTerminals(terminals);
        for (int i = 0; i < m_station.dm->TerminalCount(); ++i) {
            const tgeraet *t = m_station.dm->GetTerminal(i);
            auto *item = new QListWidgetItem(t->bezeichnung, terminals);
            item->setData(TerminalRole, t->typid);
        }
        const QVector<PersonRow> rows = readPersons(*m_station.dm, QStringLiteral("name"));
        const QSignalBlocker blockPeople(people);
        // Thousands of items: one layout pass at the end instead of one per item.
        people->setUpdatesEnabled(false);
        m_persons.reserve(size_t(rows.size()));
        for (const PersonRow &row : rows) {
            auto *item = new QListWidgetItem(row.name);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
            item->setData(PersonRole, int(m_persons.size()));
            m_persons.push_back(tperson{row.pid});
            people->addItem(item);
        }
        people->setUpdatesEnabled(true);
    });
    if (terminals->count() > 0) {
        const QSignalBlocker blockTerminals(terminals);
        terminals->setCurrentRow(0);
    }
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
    guarded(*m_station.ui, [&] {
        const QSet<int32_t> assigned = readAssignedPids(*m_station.dm, terminal);
        QListWidget *people = m_ui->pbox;
        const QSignalBlocker block(people);
        people->setUpdatesEnabled(false);
        for (int i = 0; i < people->count(); ++i) {
            QListWidgetItem *item = people->item(i);
            const tperson *p = personOf(item);
            const Qt::CheckState state = p && assigned.contains(p->Pid) ? Qt::Checked : Qt::Unchecked;
            if (item->checkState() != state)
                item->setCheckState(state);
        }
        people->setUpdatesEnabled(true);
    });
}

void Tgzuweisenform::pboxClickCheck(QListWidgetItem *item)
{
    const tperson *p = personOf(item);
    if (!p)
        return;
    const bool ticked = item->checkState() == Qt::Checked;
    bool stored = false;
    if (m_ui->gbox->currentItem()) {
        const QString terminal = currentTerminal();
        stored = guarded(*m_station.ui, [&] {
            setAssignment(*m_station.dm, *m_station.clock, p->Pid, terminal, ticked);
            m_station.DataChanged = true;
        });
    }
    // A tick that was not stored would show an assignment that does not exist.
    if (!stored) {
        const QSignalBlocker block(m_ui->pbox);
        item->setCheckState(ticked ? Qt::Unchecked : Qt::Checked);
    }
}
