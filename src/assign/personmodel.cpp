#include "personmodel.h"

#include "statusicons.h"

const QColor PersonModel::SkyBlue(0xA6, 0xCA, 0xF0);
const QColor PersonModel::Silver(0xC0, 0xC0, 0xC0);

PersonModel::PersonModel(QObject *parent)
    : QAbstractTableModel(parent), m_titleColours{SkyBlue, Silver, QColor()}
{
}

void PersonModel::setPersons(QVector<PersonRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void PersonModel::setTemplatePids(QSet<int32_t> pids)
{
    m_templatePids = std::move(pids);
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, int(PersonColumn::Ok)), index(rowCount() - 1, int(PersonColumn::Ok)));
}

const PersonRow *PersonModel::person(int row) const
{
    return row >= 0 && row < m_rows.size() ? &m_rows[row] : nullptr;
}

bool PersonModel::hasTemplates(int row) const
{
    const PersonRow *p = person(row);
    return p && m_templatePids.contains(p->pid);
}

void PersonModel::updatePerson(int row, const PersonRow &person)
{
    if (!this->person(row))
        return;
    m_rows[row] = person;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void PersonModel::removePerson(int row)
{
    if (!person(row))
        return;
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

void PersonModel::setTitleColour(int column, const QColor &colour)
{
    m_titleColours[size_t(column)] = colour;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

int PersonModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PersonModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant PersonModel::data(const QModelIndex &index, int role) const
{
    const PersonRow *p = person(index.row());
    if (!p)
        return {};
    switch (PersonColumn(index.column())) {
    case PersonColumn::Pid:
        if (role == Qt::DisplayRole)
            return p->pid;
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        break;
    case PersonColumn::Name:
        if (role == Qt::DisplayRole)
            return p->name;
        break;
    case PersonColumn::Ok:
        if (role == Qt::DecorationRole)
            return m_templatePids.contains(p->pid) ? tickIcon() : stopIcon();
        if (role == Qt::ToolTipRole)
            return m_templatePids.contains(p->pid) ? QStringLiteral("Fingerdaten gespeichert")
                                                    : QStringLiteral("keine Fingerdaten");
        break;
    }
    return {};
}

QVariant PersonModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= 3)
        return {};
    if (role == Qt::DisplayRole) {
        static const char *titles[] = {"PID", "Name", "OK"};
        return QString::fromLatin1(titles[section]);
    }
    if (role == Qt::BackgroundRole && m_titleColours[size_t(section)].isValid())
        return m_titleColours[size_t(section)];
    return {};
}
