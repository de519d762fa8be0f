#include "tzuweisungsform.h"

#include "changejournal.h"
#include "fillingcolumn.h"
#include "guard.h"
#include "operatorui.h"
#include "personmaintenance.h"
#include "personmodel.h"
#include "personnelnumber.h"
#include "roomyrows.h"
#include "station.h"
#include "tchdataform.h"
#include "tdm.h"
#include "terminals.h"
#include "tscanfingerform.h"
#include "ui_tzuweisungsform.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHeaderView>
#include <QMenu>
#include <QShowEvent>
#include <QTimer>

namespace {

enum { TerminalRole = Qt::UserRole + 1 };

// Waits a second while the window keeps painting; input is held back, as the
// modal window would otherwise take clicks meant for after the change.
void pauseOneSecond()
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 1000) {
        QEventLoop loop;
        QTimer::singleShot(int(1000 - elapsed.elapsed()) + 1, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
}

}  // namespace

Tzuweisungsform::Tzuweisungsform(Station &station, Tscanfingerform &scanform, Tchdataform &chdataform,
                                 QWidget *parent)
    : QDialog(parent), renumberPause(pauseOneSecond), m_station(station), m_scanform(scanform),
      m_chdataform(chdataform), m_ui(std::make_unique<Ui::Tzuweisungsform>())
{
    m_ui->setupUi(this);
    m_persons = new PersonModel(this);
    QTableView *grid = m_ui->pgrid;
    grid->setModel(m_persons);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setFixedWidth(14);
    grid->horizontalHeader()->setSectionsClickable(true);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->resizeSection(2, 29);
    // The name takes the width left over, so that the marks stay in view; the
    // operator can still widen any column.
    letColumnFill(grid, 1, 60);
    grid->setShowGrid(true);
    grid->setWordWrap(false);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Eintraglschen1 = PopupMenu1->addAction(QStringLiteral("Eintrag löschen"));
    Eintraglschen1->setObjectName(QStringLiteral("Eintraglschen1"));
    Eintragbearbeiten1 = PopupMenu1->addAction(QStringLiteral("Eintrag bearbeiten"));
    Eintragbearbeiten1->setObjectName(QStringLiteral("Eintragbearbeiten1"));
    Neuscannen1 = PopupMenu1->addAction(QStringLiteral("Neu scannen"));
    Neuscannen1->setObjectName(QStringLiteral("Neuscannen1"));

    connect(grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->exec(m_ui->pgrid->viewport()->mapToGlobal(pos)); });
    connect(Eintraglschen1, &QAction::triggered, this, &Tzuweisungsform::Eintraglschen1Click);
    connect(Eintragbearbeiten1, &QAction::triggered, this, &Tzuweisungsform::Eintragbearbeiten1Click);
    connect(Neuscannen1, &QAction::triggered, this, &Tzuweisungsform::Neuscannen1Click);
    connect(grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &Tzuweisungsform::pgridTitleClick);
    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &, const QModelIndex &) { pqueryAfterScroll(); });
    connect(m_ui->search, &QLineEdit::textChanged, this, &Tzuweisungsform::searchChange);
    connect(m_ui->gbox, &QListWidget::itemChanged, this, &Tzuweisungsform::gboxClickCheck);
    giveRowsRoom(m_ui->gbox);
}

Tzuweisungsform::~Tzuweisungsform() = default;

QLineEdit *Tzuweisungsform::search() const { return m_ui->search; }
QTableView *Tzuweisungsform::pgrid() const { return m_ui->pgrid; }
QListWidget *Tzuweisungsform::gbox() const { return m_ui->gbox; }

void Tzuweisungsform::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tzuweisungsform::FormShow()
{
    guarded(*m_station.ui, [this] {
        m_persons->setTemplatePids(readTemplatePids(*m_station.dm, int(m_persons->templatePids().size())));
        LoadTerminalList();
        SortField = QStringLiteral("pid");
        OpenPersons();
    });
}

void Tzuweisungsform::LoadTerminalList()
{
    QListWidget *box = m_ui->gbox;
    const QSignalBlocker block(box);
    if (m_station.Settings)
        m_station.dm->LoadTerminals(*m_station.Settings);
    // The directory is read once per run: the same terminals as at the last
    // showing keep their items (their ticks follow the current person).
    const int count = m_station.dm->TerminalCount();
    bool same = box->count() == count + 1;
    for (int i = 0; same && i < count; ++i)
        same = terminalOf(box->item(i + 1)) == m_station.dm->GetTerminal(i)->typid;
    if (same)
        return;
    box->clear();
    auto *heading = new QListWidgetItem(QStringLiteral("Geräte"), box);
    // A heading: no check box, cannot be ticked or selected.
    heading->setFlags(Qt::ItemIsEnabled);
    heading->setForeground(QColor(0, 0, 255));
    heading->setBackground(QColor(255, 255, 0));
    QFont bold = box->font();
    bold.setBold(true);
    heading->setFont(bold);
    for (int i = 0; i < m_station.dm->TerminalCount(); ++i) {
        const tgeraet *t = m_station.dm->GetTerminal(i);
        auto *item = new QListWidgetItem(t->bezeichnung, box);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setFont(bold);
        item->setData(TerminalRole, t->typid);
    }
    // All rows take the first row's height, so that laying out the list does
    // not measure every terminal; the heading has no check box and would be
    // the lowest.
    if (box->count() > 1)
        heading->setSizeHint(box->sizeHintForIndex(box->model()->index(1, 0)));
}

void Tzuweisungsform::OpenPersons()
{
    m_persons->setPersons(readPersons(*m_station.dm, SortField, m_persons->rowCount(), &m_nameOrder));
    if (m_persons->rowCount() > 0) {
        setCurrentRow(0);
        m_ui->pgrid->scrollToTop();
    } else {
        clearTicks();
    }
}

int Tzuweisungsform::currentRow() const
{
    const QModelIndex current = m_ui->pgrid->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void Tzuweisungsform::setCurrentRow(int row)
{
    QTableView *grid = m_ui->pgrid;
    const QModelIndex index = m_persons->index(row, int(PersonColumn::Name));
    grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                       QItemSelectionModel::Rows);
    grid->scrollTo(index);
}

const PersonRow *Tzuweisungsform::currentPerson() const
{
    return m_persons->person(currentRow());
}

void Tzuweisungsform::pqueryAfterScroll()
{
    const PersonRow *p = currentPerson();
    if (!p) {
        clearTicks();
        return;
    }
    const int32_t pid = p->pid;
    guarded(*m_station.ui, [&] { ShowAssignments(pid); });
}

void Tzuweisungsform::ShowAssignments(int32_t pid)
{
    const QSet<QString> assigned = readAssignedTerminals(*m_station.dm, pid);
    QListWidget *box = m_ui->gbox;
    const QSignalBlocker block(box);
    for (int i = 1; i < box->count(); ++i) {
        QListWidgetItem *item = box->item(i);
        item->setCheckState(assigned.contains(terminalOf(item)) ? Qt::Checked : Qt::Unchecked);
    }
}

void Tzuweisungsform::clearTicks()
{
    QListWidget *box = m_ui->gbox;
    const QSignalBlocker block(box);
    for (int i = 1; i < box->count(); ++i)
        box->item(i)->setCheckState(Qt::Unchecked);
}

QString Tzuweisungsform::terminalOf(const QListWidgetItem *item) const
{
    return item->data(TerminalRole).toString();
}

QStringList Tzuweisungsform::tickedTerminals() const
{
    QStringList ids;
    for (int i = 1; i < m_ui->gbox->count(); ++i)
        if (m_ui->gbox->item(i)->checkState() == Qt::Checked)
            ids << terminalOf(m_ui->gbox->item(i));
    return ids;
}

QStringList Tzuweisungsform::allTerminals() const
{
    QStringList ids;
    for (int i = 1; i < m_ui->gbox->count(); ++i)
        ids << terminalOf(m_ui->gbox->item(i));
    return ids;
}

void Tzuweisungsform::pgridTitleClick(int column)
{
    // The "OK" column has no field to sort or search by.
    const QString field = sortFieldOf(PersonColumn(column));
    if (field.isEmpty())
        return;
    for (int c = 0; c < m_persons->columnCount(); ++c)
        m_persons->setTitleColour(c, PersonModel::Silver);
    SortField = field;
    m_persons->setTitleColour(column, PersonModel::SkyBlue);
    guarded(*m_station.ui, [this] { OpenPersons(); });
}

void Tzuweisungsform::searchChange(const QString &text)
{
    const int row = findByPrefix(m_persons->persons(), SortField, text);
    if (row >= 0)
        setCurrentRow(row);
}

void Tzuweisungsform::gboxClickCheck(QListWidgetItem *item)
{
    if (!item || m_ui->gbox->row(item) < 1)
        return;
    const bool ticked = item->checkState() == Qt::Checked;
    const PersonRow *p = currentPerson();
    bool stored = false;
    if (p) {
        const int32_t pid = p->pid;
        stored = guarded(*m_station.ui, [&] {
            setAssignment(*m_station.dm, *m_station.clock, pid, terminalOf(item), ticked);
            m_station.DataChanged = true;
        });
    }
    // Without a person, or after a rolled-back write, the tick would claim an
    // assignment that is not stored.
    if (!stored) {
        const QSignalBlocker block(m_ui->gbox);
        item->setCheckState(ticked ? Qt::Unchecked : Qt::Checked);
    }
}

void Tzuweisungsform::Eintraglschen1Click()
{
    const int row = currentRow();
    const PersonRow *p = m_persons->person(row);
    if (!p)
        return;
    if (!m_station.ui->confirm(QStringLiteral("Eintrag wirklich löschen ??"), OperatorUi::Default::No))
        return;
    const int32_t pid = p->pid;
    const bool deleted = guarded(*m_station.ui, [&] {
        deletePerson(*m_station.dm, *m_station.clock, pid, allTerminals());
    });
    if (!deleted)
        return;
    m_persons->removePerson(row);
    if (m_persons->rowCount() == 0) {
        clearTicks();
        return;
    }
    setCurrentRow(qMin(row, m_persons->rowCount() - 1));
    pqueryAfterScroll();
}

void Tzuweisungsform::Eintragbearbeiten1Click()
{
    const int row = currentRow();
    const PersonRow *p = m_persons->person(row);
    if (!p)
        return;
    const int32_t oldPid = p->pid;
    Tchdataform &dialog = m_chdataform;
    dialog.OldPid = QString::number(oldPid);
    dialog.nredit()->setText(dialog.OldPid);
    dialog.nameedit()->setText(p->name);
    if (dialog.exec() != QDialog::Accepted)
        return;

    // The dialog refused a bad or taken number before closing; the store
    // checks again inside its transaction.
    const bool stored = guarded(*m_station.ui, [&] {
        const int32_t newPid = personnelNumber(dialog.nredit()->text(), QStringLiteral("PID"));
        const QString name = dialog.nameedit()->text();
        changePerson(*m_station.dm, *m_station.clock, oldPid, newPid, name, tickedTerminals(),
                     dialog.FingerChanged, renumberPause);
        m_persons->updatePerson(row, {newPid, name});
        if (newPid != oldPid) {
            QSet<int32_t> withTemplates = m_persons->templatePids();
            if (withTemplates.remove(oldPid))
                withTemplates.insert(newPid);
            m_persons->setTemplatePids(withTemplates);
        }
    });
    if (!stored)
        return;
    if (const PersonRow *now = m_persons->person(row)) {
        const int32_t pid = now->pid;
        guarded(*m_station.ui, [&] { ShowAssignments(pid); });
    }
}

void Tzuweisungsform::Neuscannen1Click()
{
    const PersonRow *p = currentPerson();
    if (!p)
        return;
    const int32_t pid = p->pid;
    const int row = currentRow();
    m_scanform.pidedit()->setText(QString::number(pid));
    m_scanform.nameedit()->setText(p->name);
    m_scanform.RescanMode = true;
    const int result = m_scanform.exec();
    m_scanform.RescanMode = false;
    if (result != QDialog::Accepted)
        return;
    guarded(*m_station.ui, [&] {
        appendJournalRows(*m_station.dm, *m_station.clock, pid, tickedTerminals(), journal::put);
        m_persons->setTemplatePids(readTemplatePids(*m_station.dm));
    });
    if (currentRow() != row && m_persons->person(row))
        setCurrentRow(row);
}
