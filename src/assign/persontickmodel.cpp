#include "persontickmodel.h"

PersonTickModel::PersonTickModel(QObject *parent) : QAbstractListModel(parent) {}

void PersonTickModel::setPersons(QVector<PersonRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_ticked.clear();
    endResetModel();
}

void PersonTickModel::setTicked(QSet<int32_t> pids)
{
    m_ticked.swap(pids);
    if (!m_rows.isEmpty())
        emit dataChanged(index(0), index(rowCount() - 1), {Qt::CheckStateRole});
}

void PersonTickModel::setTick(int row, bool ticked)
{
    const PersonRow *p = person(row);
    if (!p)
        return;
    if (ticked)
        m_ticked.insert(p->pid);
    else
        m_ticked.remove(p->pid);
    emit dataChanged(index(row), index(row), {Qt::CheckStateRole});
}

const PersonRow *PersonTickModel::person(int row) const
{
    return row >= 0 && row < m_rows.size() ? &m_rows[row] : nullptr;
}

bool PersonTickModel::isTicked(int row) const
{
    const PersonRow *p = person(row);
    return p && m_ticked.contains(p->pid);
}

int PersonTickModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant PersonTickModel::data(const QModelIndex &index, int role) const
{
    const PersonRow *p = person(index.row());
    if (!p)
        return {};
    if (role == Qt::DisplayRole)
        return p->name;
    if (role == Qt::CheckStateRole)
        return m_ticked.contains(p->pid) ? Qt::Checked : Qt::Unchecked;
    return {};
}

Qt::ItemFlags PersonTickModel::flags(const QModelIndex &index) const
{
    if (!person(index.row()))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

bool PersonTickModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !person(index.row()))
        return false;
    const bool ticked = value.toInt() == Qt::Checked;
    if (ticked != isTicked(index.row()))
        emit tickToggled(index.row(), ticked);
    return true;
}
