// The persons of "Geräte zuweisen", each ticked when assigned to the chosen
// terminal. Ticks are not kept per row: a row is ticked when its number is in
// the set of assigned numbers, so that choosing a terminal swaps one set and
// repaints what is in view, however many persons there are.
#pragma once

#include "personrecords.h"

#include <QAbstractListModel>
#include <QSet>

class PersonTickModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit PersonTickModel(QObject *parent = nullptr);

    // New persons, none ticked.
    void setPersons(QVector<PersonRow> rows);
    // The numbers assigned to the chosen terminal.
    void setTicked(QSet<int32_t> pids);
    // One tick after its assignment was stored.
    void setTick(int row, bool ticked);

    const PersonRow *person(int row) const;
    bool isTicked(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A toggle by the operator does not tick by itself: it asks the window,
    // which stores the assignment and then sets the tick.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    void tickToggled(int row, bool ticked);

private:
    QVector<PersonRow> m_rows;
    QSet<int32_t> m_ticked;
};
